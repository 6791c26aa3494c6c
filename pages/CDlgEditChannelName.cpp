#include "CDlgEditChannelName.h"

#include "resource.h"

static_assert(sizeof(ChannelProperties::ChannelName) == CDlgEditName::kNameSize);

CDlgEditChannelName::CDlgEditChannelName(ChannelProperties* pChannel, CWnd* pParent)
    : CDlgEditName(IDD_EDIT_CHANNEL_NAME, IDC_CHANNEL_NAME_EDIT, pChannel->ChannelName, pParent) {}
