// Lets the user type a new name for a device into a caller-owned copy of its
// record (template 137).
#pragma once

#include "CDlgEditName.h"
#include "DriverRecords.h"

class CDlgEditDeviceName : public CDlgEditName {
public:
    // The record must outlive the dialog; only its name field is ever written.
    explicit CDlgEditDeviceName(DeviceProperties* pDevice, CWnd* pParent = nullptr);
};
