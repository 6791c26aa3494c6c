#include "CDlgEditDeviceName.h"

#include "CopyStringBounded.h"
#include "DataExchange.h"
#include "resource.h"

CDlgEditDeviceName::CDlgEditDeviceName(DeviceProperties* pDevice, CWnd* pParent)
    : CDialog(IDD_EDIT_DEVICE_NAME, pParent), m_pDevice(pDevice) {}

void CDlgEditDeviceName::DoDataExchange(CDataExchange* pDX) {
    CDialog::DoDataExchange(pDX);
    DDX_Text(pDX, IDC_DEVICE_NAME_EDIT, m_strName);
}

// Read within the field: a name from the driver may lack its terminator.
BOOL CDlgEditDeviceName::OnInitDialog() {
    CDialog::OnInitDialog();
    m_strName = FieldText(m_pDevice->DeviceName);
    UpdateData(FALSE);
    return TRUE;
}

// The edit control takes any length; the field keeps the first 39 bytes.
void CDlgEditDeviceName::OnOK() {
    if (!UpdateData(TRUE))
        return;
    CopyStringBounded(m_pDevice->DeviceName, m_strName.c_str(), sizeof m_pDevice->DeviceName);
    m_pDevice->DeviceName[sizeof m_pDevice->DeviceName - 1] = '\0';
    EndDialog(IDOK);
}
