#include "CDlgEditName.h"

#include "CopyStringBounded.h"
#include "DataExchange.h"
#include "DriverRecords.h"

CDlgEditName::CDlgEditName(UINT templateId, int editId, NameField& name, CWnd* pParent)
    : CDialog(templateId, pParent), m_nEditId(editId), m_Name(name) {}

void CDlgEditName::DoDataExchange(CDataExchange* pDX) {
    CDialog::DoDataExchange(pDX);
    DDX_Text(pDX, m_nEditId, m_strName);
}

// Read within the field: a name from the driver may lack its terminator.
BOOL CDlgEditName::OnInitDialog() {
    CDialog::OnInitDialog();
    m_strName = FieldText(m_Name);
    // Characters, which is bytes only in a single-byte code page: the change
    // handler keeps double-byte names within the field's bytes.
    ::SendDlgItemMessageA(m_hWnd, m_nEditId, EM_LIMITTEXT, kNameSize - 1, 0);
    UpdateData(FALSE);
    m_strFitting = m_strName;
    m_bWatching = true;
    return TRUE;
}

BOOL CDlgEditName::OnCommand(WPARAM wParam, LPARAM lParam) {
    if (m_bWatching && LOWORD(wParam) == m_nEditId && HIWORD(wParam) == EN_CHANGE) {
        RefuseWhatDoesNotFit();
        return TRUE;
    }
    return CDialog::OnCommand(wParam, lParam);
}

// A change that makes the name longer than the field keeps is taken back
// whole, with the beep of a full edit box. A name from the driver that is
// already too long may still be shortened.
void CDlgEditName::RefuseWhatDoesNotFit() {
    HWND edit = ::GetDlgItem(m_hWnd, m_nEditId);
    char text[256] = {};
    const int length = ::GetWindowTextA(edit, text, sizeof(text));
    const bool fits = BoundedLength(text, kNameSize) == static_cast<size_t>(length);
    if (fits || static_cast<size_t>(length) <= m_strFitting.size()) {
        m_strFitting.assign(text, static_cast<size_t>(length));
        return;
    }
    m_bWatching = false;
    ::SendMessageA(edit, EM_UNDO, 0, 0);
    if (::GetWindowTextLengthA(edit) != static_cast<int>(m_strFitting.size()))
        ::SetWindowTextA(edit, m_strFitting.c_str());
    ::SendMessageA(edit, EM_EMPTYUNDOBUFFER, 0, 0);
    m_bWatching = true;
    ::MessageBeep(MB_OK);
}

// The edit box holds no more than fits, but a name from the driver may be
// longer: the field keeps the first 39 bytes, whole characters only.
void CDlgEditName::OnOK() {
    if (!UpdateData(TRUE))
        return;
    CopyStringBounded(m_Name, m_strName.c_str(), kNameSize);
    m_Name[kNameSize - 1] = '\0';
    EndDialog(IDOK);
}
