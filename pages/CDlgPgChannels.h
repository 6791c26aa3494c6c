// The "Input Channels" and "Output Channels" pages: one class, one object per
// direction. Lists the channels of all devices with their ASIO display names,
// renames a channel and switches whether those names include the device name.
#pragma once

#include "CDlgPgBase.h"

#include "Button.h"
#include "CRecordArray.h"
#include "DriverRecords.h"
#include "Edit.h"
#include "ListCtrl.h"
#include "Static.h"

#include <string>
#include <vector>

class CDlgPgChannels : public CDlgPgBase {
public:
    // direction: 0 for the input channels, any other value for the outputs.
    CDlgPgChannels(int direction, CWnd* pParent = nullptr);

    // Re-reads the channels from the driver; the check box is not re-read.
    void UpdatePage() override;
    void UpdateChannelList();
    void ShowWhyEmpty() override;
    // Recomputes the ASIO display name of every row from the other columns.
    void UpdateAsioNames();
    // Shows the include-device-name box in this state and the ASIO names
    // that follow from it.
    void FollowIncludeDeviceName(int check);

protected:
    static const MessageMap messageMap;
    const MessageMap* GetMessageMap() const override { return &messageMap; }

    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;

private:
    // A channel's row as the driver told it, before the list shows it; none
    // when the channel's device cannot be read.
    struct ChannelRow {
        int Index; // in the channel array the list was filled from
        std::string DeviceName;
        std::string ChannelName;
    };
    static void ReadChannelRow(int index, const ChannelProperties& channel,
                               std::vector<ChannelRow>& rows);
    void InsertChannelRow(const ChannelRow& channel);
    CRecordArray<ChannelProperties>& Channels() const;
    // The channel record a row was filled from, or null when the model no
    // longer holds it.
    ChannelProperties* ChannelAt(int row) const;
    void UpdateChannelDetails();
    void EditChannelName(int channel);

    void OnIncludeDeviceName();
    void OnChannelListChanged(NMHDR* pNMHDR, LRESULT* pResult);
    void OnEditChannelName();
    void OnChannelListDblClk(NMHDR* pNMHDR, LRESULT* pResult);
    void OnChannelListKeyDown(NMHDR* pNMHDR, LRESULT* pResult);

    const int m_nDirection;
    int m_nIncludeDeviceName; // the check box state, BST_CHECKED or BST_UNCHECKED
    std::string m_strHardwareName;
    CButton m_IncludeDeviceName;
    CEdit m_HardwareName;
    CStatic m_HardwareNameLabel;
    CButton m_EditName;
    CListCtrl m_List;
    // While the list is refilled, the details wait for its end.
    bool m_bRebuildingRows = false;
};
