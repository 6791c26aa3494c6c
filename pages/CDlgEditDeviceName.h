// Lets the user type a new name for a device into a caller-owned copy of its
// record; sending the copy to the driver is the caller's job.
#pragma once

#include "Dialog.h"
#include "DriverRecords.h"

#include <string>

class CDlgEditDeviceName : public CDialog {
public:
    // The record must outlive the dialog; only its name field is ever written.
    explicit CDlgEditDeviceName(DeviceProperties* pDevice, CWnd* pParent = nullptr);

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;
    void OnOK() override;

private:
    std::string m_strName;
    DeviceProperties* m_pDevice;
};
