#include "CDlgSynchMode.h"

#include "DataExchange.h"
#include "ResString.h"
#include "SynchTexts.h"
#include "resource.h"

namespace {

// The first column carries only the check boxes.
const ListColumn kColumns[] = {
    {0, 20},
    {IDS_COL_MODE, 290},
};

} // namespace

constexpr MessageMap CDlgSynchMode::messageMap{
    &CDialog::messageMap,
    {
        {WM_NOTIFY, LVN_ITEMCHANGED, IDC_SYNCH_LIST, On<&CDlgSynchMode::OnItemChangedModeList>},
    }};

CDlgSynchMode::CDlgSynchMode(DeviceSynchModes* pSynchModes, CWnd* pParent)
    : CDialog(IDD_SYNCH_MODE, pParent), m_pSynchModes(pSynchModes), m_bListReady(false) {}

int CDlgSynchMode::ModeCount() const {
    return static_cast<int>(ClampedCount(m_pSynchModes->ModeCount, m_pSynchModes->Modes));
}

int CDlgSynchMode::FindCurrentMode(const SynchMode& mode) const {
    for (int index = 0; index < ModeCount(); ++index)
        if (m_pSynchModes->Modes[index].ModeId == mode.ModeId)
            return index;
    return -1;
}

void CDlgSynchMode::DoDataExchange(CDataExchange* pDX) {
    CDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_SYNCH_LIST, m_ModeList);
}

BOOL CDlgSynchMode::OnInitDialog() {
    CDialog::OnInitDialog();
    m_ModeList.SetExtendedStyle(m_ModeList.GetExtendedStyle() | LVS_EX_CHECKBOXES);
    m_ModeList.InsertColumns(kColumns);

    for (int index = 0; index < ModeCount(); ++index) {
        int row = m_ModeList.InsertItem(index, std::string());
        if (row < 0)
            continue;
        m_ModeList.SetItemText(row, 1, GetSynchModeText(m_pSynchModes->Modes[index]));
        m_ModeList.SetItemData(row, static_cast<DWORD_PTR>(index));
        m_ModeList.SetCheck(row, FALSE);
    }

    int current = FindCurrentMode(m_pSynchModes->Current);
    for (int row = 0; current >= 0 && row < m_ModeList.GetItemCount(); ++row)
        if (m_ModeList.GetItemData(row) == static_cast<DWORD_PTR>(current))
            m_ModeList.SetCheck(row, TRUE);

    m_bListReady = true;
    return TRUE;
}

// Only a change of a check box counts: the list reports selection and focus
// through the same notification, and those must neither move the check mark
// nor change the current mode. Exactly one row stays checked once one is.
void CDlgSynchMode::OnItemChangedModeList(NMHDR* pNMHDR, LRESULT* pResult) {
    *pResult = 0;
    const NMLISTVIEW* change = reinterpret_cast<const NMLISTVIEW*>(pNMHDR);
    const bool checkChanged = (change->uChanged & LVIF_STATE) != 0 &&
                              ((change->uNewState ^ change->uOldState) & LVIS_STATEIMAGEMASK) != 0;
    const int row = change->iItem;
    if (!m_bListReady || !checkChanged || row < 0 || row >= m_ModeList.GetItemCount())
        return;

    m_bListReady = false;
    if (m_ModeList.GetCheck(row)) {
        for (int other = 0; other < m_ModeList.GetItemCount(); ++other)
            if (other != row)
                m_ModeList.SetCheck(other, FALSE);
    } else {
        m_ModeList.SetCheck(row, TRUE);
    }
    m_bListReady = true;

    DWORD_PTR index = m_ModeList.GetItemData(row);
    if (index < static_cast<DWORD_PTR>(ModeCount()))
        m_pSynchModes->Current = m_pSynchModes->Modes[index];
}
