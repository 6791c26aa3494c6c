// The "Settings" page: the stream, ASIO and WDM buffer depths, each on a
// slider with its own Apply button, and the drop-out counter that is polled
// once a second while the page is visible.
#pragma once

#include "CDlgPgBase.h"

#include "Button.h"
#include "DriverRecords.h"
#include "SliderCtrl.h"

#include <cstdint>
#include <string>

class CDlgPgBuffers : public CDlgPgBase {
public:
    explicit CDlgPgBuffers(CWnd* pParent = nullptr);

    // Re-reads the three depths from the driver; slider moves not applied are lost.
    void UpdatePage() override;
    // No poll while the window is hidden: the page alone does not know.
    void OnHostShown(bool shown) override;

    // Id of the once-a-second drop-out poll on the page window.
    static constexpr UINT_PTR DropOutTimerId = 27;
    // The largest ASIO depth the page offers, in microseconds.
    static constexpr int32_t AsioMaximum = 40000;
    // Whether the page's own drop-out poll runs.
    bool PollsDropOuts() const { return m_nTimer != 0; }

protected:
    static const MessageMap messageMap;
    const MessageMap* GetMessageMap() const override { return &messageMap; }

    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;

private:
    // One of the three depths: its slider, Apply button and label, and the
    // page's fixed maximum for it. The ASIO and WDM depths are audio buffers:
    // their ticks are thinned out and their label names the size in samples.
    struct DepthSlider {
        int32_t maximum;
        bool audio;
        CSliderCtrl slider;
        CButton apply;
        std::string label;
        int ticFrequency = 0; // as last set on the slider
    };

    void UpdateBufferSettings();
    void UpdateBufferLabels();
    void InitStreamSlider();
    void InitAsioSlider();
    void InitWdmSlider();

    // Enables the slider when its record arrived and can be shown; otherwise
    // disables it and empties its label. True when the record is to be shown.
    template <typename Record>
    static bool AcceptRecord(DepthSlider& depth, DWORD status, const Record& record);
    template <typename Record> static void InitSlider(DepthSlider& depth, const Record& record);
    // The record's depth from the slider's position, and the label from it.
    template <typename Record> static void UpdateLabel(DepthSlider& depth, Record& record);

    void RunDropOutPoll(bool run);
    void OnTimer(UINT_PTR nIDEvent);
    void OnShowWindow(BOOL bShow, UINT nStatus);
    void OnHScroll(UINT nSBCode, UINT nPos, HWND hScrollBar);
    void OnApplyStreamBuffer();
    void OnApplyWdmBuffer();
    void OnApplyAsioBuffer();

    DepthSlider m_Stream{10000, false, {}, {}, {}};
    DepthSlider m_Asio{AsioMaximum, true, {}, {}, {}};
    DepthSlider m_Wdm{40000, true, {}, {}, {}};
    std::string m_strDropOuts;

    // Working copies of the driver's records, sent whole by Apply.
    StreamBufferDepth m_StreamBuffer{};
    AudioBufferDepth m_AsioBuffer{};
    AudioBufferDepth m_WdmBuffer{};

    UINT_PTR m_nTimer = 0;
};
