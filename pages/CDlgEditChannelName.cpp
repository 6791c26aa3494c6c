#include "CDlgEditChannelName.h"

#include "CopyStringBounded.h"
#include "DataExchange.h"
#include "resource.h"

CDlgEditChannelName::CDlgEditChannelName(ChannelProperties* pChannel, CWnd* pParent)
    : CDialog(IDD_EDIT_CHANNEL_NAME, pParent), m_pChannel(pChannel) {}

void CDlgEditChannelName::DoDataExchange(CDataExchange* pDX) {
    CDialog::DoDataExchange(pDX);
    DDX_Text(pDX, IDC_CHANNEL_NAME_EDIT, m_strName);
}

// Read within the field: a name from the driver may lack its terminator.
BOOL CDlgEditChannelName::OnInitDialog() {
    CDialog::OnInitDialog();
    m_strName = FieldText(m_pChannel->ChannelName);
    UpdateData(FALSE);
    return TRUE;
}

// The edit control takes any length; the field keeps the first 39 bytes.
void CDlgEditChannelName::OnOK() {
    if (!UpdateData(TRUE))
        return;
    CopyStringBounded(m_pChannel->ChannelName, m_strName.c_str(), sizeof m_pChannel->ChannelName);
    m_pChannel->ChannelName[sizeof m_pChannel->ChannelName - 1] = '\0';
    EndDialog(IDOK);
}
