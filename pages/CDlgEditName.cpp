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
    UpdateData(FALSE);
    return TRUE;
}

// The edit control takes any length; the field keeps the first 39 bytes.
void CDlgEditName::OnOK() {
    if (!UpdateData(TRUE))
        return;
    CopyStringBounded(m_Name, m_strName.c_str(), kNameSize);
    m_Name[kNameSize - 1] = '\0';
    EndDialog(IDOK);
}
