// Lets the user type a new name for a channel into a caller-owned copy of its
// record (template 138).
#pragma once

#include "CDlgEditName.h"
#include "DriverRecords.h"

class CDlgEditChannelName : public CDlgEditName {
public:
    // The record must outlive the dialog; only its name field is ever written.
    explicit CDlgEditChannelName(ChannelProperties* pChannel, CWnd* pParent = nullptr);
};
