// The "Streams" page: read-only state of the four isochronous plugs of every
// connected device, with a detail text for the selected device.
#pragma once

#include "CDlgPgBase.h"

#include "DriverRecords.h"
#include "ListCtrl.h"

#include <cstdint>
#include <string>

class CDlgPgStreams : public CDlgPgBase {
public:
    explicit CDlgPgStreams(CWnd* pParent = nullptr);
    ~CDlgPgStreams() override;

    // Reloads the device list and the plug states; clears the detail text.
    void UpdatePage() override;
    void ShowWhyEmpty() override;

    // A plug's cell text, and the text of a plug's error code.
    // In the user's language, or in the given one (a LANGID; 0: the user's).
    static std::string GetPlugStateText(const PlugStatus& plug, LANGID language = 0);
    static std::string GetPlugErrorText(uint32_t errorCode, LANGID language = 0);

protected:
    static const MessageMap messageMap;
    const MessageMap* GetMessageMap() const override { return &messageMap; }

    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;

private:
    static std::string GetPlugDetailsText(const PlugStatus& plug, const std::string& label);
    static std::string GetSupportedRatesText(const PlugStatus& plug);

    // A device's stream status as the driver told it, before the list shows
    // it as the row of the model's device index, with its four plug states.
    struct DeviceStreams {
        int Index; // in gDrv.m_Devices
        bool Read;
        StreamStatus Status;
    };
    static DeviceStreams ReadStreams(int device);
    void InsertDeviceRow(const DeviceStreams& device);

    void OnShowWindow(BOOL bShow, UINT nStatus);
    void OnItemChangedStreamList(NMHDR* pNMHDR, LRESULT* pResult);

    CListCtrl m_List;
    std::string m_strDetails;
};
