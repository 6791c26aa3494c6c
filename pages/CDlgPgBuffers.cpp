#include "CDlgPgBuffers.h"

#include "CDriverSettings.h"
#include "DataExchange.h"
#include "ResString.h"
#include "resource.h"

namespace {

// The trackbars draw at most this many ticks; denser positions share a tick.
constexpr uint32_t MaxTicks = 40;
constexpr UINT DropOutPollPeriod = 1000;

// A record is only put on a slider when its step can divide and its minimum
// does not lie above the page's maximum; anything else would divide by zero
// or invert the slider's range.
bool IsUsable(uint32_t minDepth, uint32_t step, int32_t maximum) {
    return step != 0 && minDepth <= static_cast<uint32_t>(maximum);
}

// One tick for every ceil(positions / 40) positions.
int AudioTicFrequency(uint32_t minDepth, uint32_t step, int32_t maximum) {
    const uint32_t positions = (static_cast<uint32_t>(maximum) - minDepth) / step + 1;
    return static_cast<int>((positions + MaxTicks - 1) / MaxTicks);
}

void ConfigureSlider(const CSliderCtrl& slider, uint32_t minDepth, uint32_t step, int32_t maximum,
                     uint32_t depth, int ticFrequency) {
    slider.SetRangeMin(static_cast<int>(minDepth / step), TRUE);
    slider.SetRangeMax(static_cast<int>(static_cast<uint32_t>(maximum) / step), TRUE);
    slider.SetTicFreq(ticFrequency);
    slider.SetPageSize(1);
    slider.SetLineSize(1);
    slider.SetPos(static_cast<int>(depth / step));
}

// Enables the slider when its record arrived and can be shown; otherwise
// disables it and empties its label. True when the record is to be shown.
bool AcceptRecord(DWORD status, uint32_t minDepth, uint32_t step, int32_t maximum,
                  const CSliderCtrl& slider, std::string& label) {
    const bool usable = status == 0 && IsUsable(minDepth, step, maximum);
    slider.EnableWindow(usable ? TRUE : FALSE);
    if (!usable)
        label.clear();
    return usable;
}

// The depth that the slider's position stands for; one that differs from the
// record's enables Apply, and nothing but a re-read disables it again.
uint32_t SliderDepth(const CSliderCtrl& slider, const CButton& apply, uint32_t step,
                     uint32_t recordDepth) {
    const uint32_t depth = static_cast<uint32_t>(slider.GetPos()) * step;
    if (depth != recordDepth)
        apply.EnableWindow(TRUE);
    return depth;
}

// Milliseconds with the tenth cut off, never rounded: 2599 us is "2.5 ms".
std::string MillisecondsText(uint32_t depth) {
    return std::to_string(depth / 1000) + "." + std::to_string(depth % 1000 / 100) + " " +
           LoadResString(IDS_UNIT_MS);
}

// The driver's samples figure belongs to the driver's own depth, so it is
// shown only while no change is pending.
std::string AudioDepthText(uint32_t depth, uint32_t samples, const CButton& apply) {
    std::string text = MillisecondsText(depth);
    if (!apply.IsWindowEnabled())
        text += "\n" + std::to_string(samples) + " " + LoadResString(IDS_UNIT_SAMPLES);
    return text;
}

void RestartStreaming() {
    gDrv.StopStreaming();
    gDrv.StartStreaming();
}

} // namespace

constexpr MessageMap CDlgPgBuffers::messageMap{
    &CDlgPgBase::messageMap,
    {
        {WM_TIMER, 0, 0, On<&CDlgPgBuffers::OnTimer>},
        {WM_SHOWWINDOW, 0, 0, On<&CDlgPgBuffers::OnShowWindow>},
        {WM_HSCROLL, 0, 0, On<&CDlgPgBuffers::OnHScroll>},
        {WM_COMMAND, BN_CLICKED, IDC_APPLY_STREAM_BUFFER, On<&CDlgPgBuffers::OnApplyStreamBuffer>},
        {WM_COMMAND, BN_CLICKED, IDC_APPLY_WDM_BUFFER, On<&CDlgPgBuffers::OnApplyWdmBuffer>},
        {WM_COMMAND, BN_CLICKED, IDC_APPLY_ASIO_BUFFER, On<&CDlgPgBuffers::OnApplyAsioBuffer>},
    }};

CDlgPgBuffers::CDlgPgBuffers(CWnd* pParent)
    : CDlgPgBase(IDD_PAGE_BUFFERS, pParent), m_StreamBuffer{}, m_AsioBuffer{}, m_WdmBuffer{},
      m_nStreamMaximum(10000), m_nAsioMaximum(40000), m_nWdmMaximum(40000), m_nTimer(0) {}

void CDlgPgBuffers::UpdatePage() {
    UpdateBufferSettings();
}

void CDlgPgBuffers::DoDataExchange(CDataExchange* pDX) {
    CDlgPgBase::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_APPLY_ASIO_BUFFER, m_ApplyAsio);
    DDX_Control(pDX, IDC_APPLY_WDM_BUFFER, m_ApplyWdm);
    DDX_Control(pDX, IDC_WDM_BUFFER_SLIDER, m_WdmSlider);
    DDX_Control(pDX, IDC_ASIO_BUFFER_SLIDER, m_AsioSlider);
    DDX_Control(pDX, IDC_APPLY_STREAM_BUFFER, m_ApplyStream);
    DDX_Control(pDX, IDC_STREAM_BUFFER_SLIDER, m_StreamSlider);
    DDX_Text(pDX, IDC_DROPOUTS, m_strDropOuts);
    DDX_Text(pDX, IDC_STREAM_BUFFER_VALUE, m_strStreamDepth);
    DDX_Text(pDX, IDC_ASIO_BUFFER_VALUE, m_strAsioDepth);
    DDX_Text(pDX, IDC_WDM_BUFFER_VALUE, m_strWdmDepth);
}

BOOL CDlgPgBuffers::OnInitDialog() {
    CDlgPgBase::OnInitDialog();
    UpdateBufferSettings();
    return TRUE;
}

void CDlgPgBuffers::UpdateBufferSettings() {
    bool anyRead = false;
    DWORD status = gDrv.GetStreamBufferDepth(&m_StreamBuffer);
    if (AcceptRecord(status, m_StreamBuffer.MinDepth, m_StreamBuffer.Step, m_nStreamMaximum,
                     m_StreamSlider, m_strStreamDepth)) {
        InitStreamSlider();
        anyRead = true;
    }
    status = gDrv.GetAsioBufferDepth(&m_AsioBuffer);
    if (AcceptRecord(status, m_AsioBuffer.MinDepth, m_AsioBuffer.Step, m_nAsioMaximum, m_AsioSlider,
                     m_strAsioDepth)) {
        InitAsioSlider();
        anyRead = true;
    }
    status = gDrv.GetWdmBufferDepth(&m_WdmBuffer);
    if (AcceptRecord(status, m_WdmBuffer.MinDepth, m_WdmBuffer.Step, m_nWdmMaximum, m_WdmSlider,
                     m_strWdmDepth)) {
        InitWdmSlider();
        anyRead = true;
    }
    // An Apply that disables itself hands the focus back to its slider.
    EnableControl(m_ApplyStream.m_hWnd, FALSE, {m_StreamSlider.m_hWnd});
    EnableControl(m_ApplyAsio.m_hWnd, FALSE, {m_AsioSlider.m_hWnd});
    EnableControl(m_ApplyWdm.m_hWnd, FALSE, {m_WdmSlider.m_hWnd});
    // With nothing read the emptied labels still have to reach the screen
    // now, not with the next drop-out poll (which a hidden page never runs).
    if (anyRead)
        UpdateBufferLabels();
    else
        UpdateData(FALSE);
}

void CDlgPgBuffers::UpdateBufferLabels() {
    if (m_AsioSlider.IsWindowEnabled()) {
        m_AsioBuffer.Depth =
            SliderDepth(m_AsioSlider, m_ApplyAsio, m_AsioBuffer.Step, m_AsioBuffer.Depth);
        m_strAsioDepth = AudioDepthText(m_AsioBuffer.Depth, m_AsioBuffer.Samples, m_ApplyAsio);
    }
    if (m_WdmSlider.IsWindowEnabled()) {
        m_WdmBuffer.Depth =
            SliderDepth(m_WdmSlider, m_ApplyWdm, m_WdmBuffer.Step, m_WdmBuffer.Depth);
        m_strWdmDepth = AudioDepthText(m_WdmBuffer.Depth, m_WdmBuffer.Samples, m_ApplyWdm);
    }
    if (m_StreamSlider.IsWindowEnabled()) {
        m_StreamBuffer.Depth =
            SliderDepth(m_StreamSlider, m_ApplyStream, m_StreamBuffer.Step, m_StreamBuffer.Depth);
        m_strStreamDepth = MillisecondsText(m_StreamBuffer.Depth);
    }
    UpdateData(FALSE);
}

void CDlgPgBuffers::InitStreamSlider() {
    ConfigureSlider(m_StreamSlider, m_StreamBuffer.MinDepth, m_StreamBuffer.Step, m_nStreamMaximum,
                    m_StreamBuffer.Depth, 1);
}

void CDlgPgBuffers::InitAsioSlider() {
    ConfigureSlider(m_AsioSlider, m_AsioBuffer.MinDepth, m_AsioBuffer.Step, m_nAsioMaximum,
                    m_AsioBuffer.Depth,
                    AudioTicFrequency(m_AsioBuffer.MinDepth, m_AsioBuffer.Step, m_nAsioMaximum));
}

void CDlgPgBuffers::InitWdmSlider() {
    ConfigureSlider(m_WdmSlider, m_WdmBuffer.MinDepth, m_WdmBuffer.Step, m_nWdmMaximum,
                    m_WdmBuffer.Depth,
                    AudioTicFrequency(m_WdmBuffer.MinDepth, m_WdmBuffer.Step, m_nWdmMaximum));
}

void CDlgPgBuffers::OnTimer(UINT_PTR nIDEvent) {
    if (nIDEvent != DropOutTimerId) {
        Default();
        return;
    }
    AsioStatistics statistics{};
    if (gDrv.GetAsioStatistics(&statistics) == 0)
        m_strDropOuts = std::to_string(statistics.DropOuts);
    else
        m_strDropOuts.clear();
    UpdateData(FALSE);
}

void CDlgPgBuffers::OnShowWindow(BOOL bShow, UINT) {
    Default();
    if (bShow) {
        if (m_nTimer == 0)
            m_nTimer = SetTimer(DropOutTimerId, DropOutPollPeriod);
    } else if (m_nTimer != 0) {
        KillTimer(m_nTimer);
        m_nTimer = 0;
    }
    UpdateBufferSettings();
}

void CDlgPgBuffers::OnHScroll(UINT, UINT, HWND) {
    UpdateBufferLabels();
    Default();
}

void CDlgPgBuffers::OnApplyStreamBuffer() {
    gDrv.SetStreamBufferDepth(&m_StreamBuffer);
    RestartStreaming();
    UpdateBufferSettings();
}

void CDlgPgBuffers::OnApplyWdmBuffer() {
    gDrv.SetWdmBufferDepth(&m_WdmBuffer);
    RestartStreaming();
    UpdateBufferSettings();
}

void CDlgPgBuffers::OnApplyAsioBuffer() {
    gDrv.SetAsioBufferDepth(&m_AsioBuffer);
    UpdateBufferSettings();
}
