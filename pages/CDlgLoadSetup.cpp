#include "CDlgLoadSetup.h"

#include "DataExchange.h"
#include "ResString.h"
#include "SetupTexts.h"
#include "resource.h"

namespace {

const ListColumn kColumns[] = {
    {IDS_COL_SETTING, 200},
    {IDS_COL_NOW, 175},
    {IDS_COL_IN_FILE, 175},
};

} // namespace

CDlgLoadSetup::CDlgLoadSetup(const SetupPlan& plan, const std::string& fileName, CWnd* pParent)
    : CDialog(IDD_LOAD_SETUP, pParent), m_Plan(plan), m_strFileName(fileName) {}

void CDlgLoadSetup::DoDataExchange(CDataExchange* pDX) {
    CDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_SETUP_CHANGES, m_Changes);
}

// With changes to show the keyboard starts on the first of them; with none,
// on the button.
BOOL CDlgLoadSetup::OnInitDialog() {
    CDialog::OnInitDialog();
    const bool changes = !m_Plan.Changes.empty();
    SetDlgItemTextA(
        m_hWnd, IDC_SETUP_INTRO,
        FormatResString(changes ? IDS_SETUP_PREVIEW : IDS_SETUP_PREVIEW_NOTHING, {m_strFileName})
            .c_str());
    m_Changes.SetExtendedStyle(m_Changes.GetExtendedStyle() | LVS_EX_FULLROWSELECT);
    m_Changes.InsertColumns(kColumns);
    int row = 0;
    for (const SetupChange& change : m_Plan.Changes) {
        row = m_Changes.InsertItem(row, SetupSettingName(change.Place));
        if (row < 0)
            break;
        m_Changes.SetItemText(row, 1, SetupValueText(change.Place.Setting, change.Current));
        m_Changes.SetItemText(row, 2, SetupValueText(change.Place.Setting, change.Wanted));
        ++row;
    }
    SetDlgItemTextA(m_hWnd, IDC_SETUP_NOTES, SetupPlanNotes(m_Plan).c_str());
    if (!changes) {
        ::SetFocus(::GetDlgItem(m_hWnd, IDOK));
        return FALSE;
    }
    m_Changes.SelectRow(0);
    ::SetFocus(m_Changes.m_hWnd);
    return FALSE;
}
