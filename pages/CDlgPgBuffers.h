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
    void UpdatePage();

    // Id of the once-a-second drop-out poll on the page window.
    static constexpr UINT_PTR DropOutTimerId = 27;

protected:
    static const MessageMap messageMap;
    const MessageMap* GetMessageMap() const override { return &messageMap; }

    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;

private:
    void UpdateBufferSettings();
    void UpdateBufferLabels();
    void InitStreamSlider();
    void InitAsioSlider();
    void InitWdmSlider();

    void OnTimer(UINT_PTR nIDEvent);
    void OnShowWindow(BOOL bShow, UINT nStatus);
    void OnHScroll(UINT nSBCode, UINT nPos, HWND hScrollBar);
    void OnApplyStreamBuffer();
    void OnApplyWdmBuffer();
    void OnApplyAsioBuffer();

    CButton m_ApplyAsio;
    CButton m_ApplyWdm;
    CSliderCtrl m_WdmSlider;
    CSliderCtrl m_AsioSlider;
    CButton m_ApplyStream;
    CSliderCtrl m_StreamSlider;

    std::string m_strDropOuts;
    std::string m_strStreamDepth;
    std::string m_strAsioDepth;
    std::string m_strWdmDepth;

    StreamBufferDepth m_StreamBuffer;
    AudioBufferDepth m_AsioBuffer;
    AudioBufferDepth m_WdmBuffer;

    const int32_t m_nStreamMaximum;
    const int32_t m_nAsioMaximum;
    const int32_t m_nWdmMaximum;

    UINT_PTR m_nTimer;
};
