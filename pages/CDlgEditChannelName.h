// Lets the user type a new name for a channel into a caller-owned copy of its
// record; sending the copy to the driver is the caller's job.
#pragma once

#include "Dialog.h"
#include "DriverRecords.h"

#include <string>

class CDlgEditChannelName : public CDialog {
public:
    // The record must outlive the dialog; only its name field is ever written.
    explicit CDlgEditChannelName(ChannelProperties* pChannel, CWnd* pParent = nullptr);

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;
    void OnOK() override;

private:
    std::string m_strName;
    ChannelProperties* m_pChannel;
};
