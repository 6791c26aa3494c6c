#include "CDlgPgBuffers.h"

#include "CDriverSettings.h"
#include "DataExchange.h"
#include "DropOutTexts.h"
#include "PageMessages.h"
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

// A depth as its label shows it, the tenth cut off, never rounded: 2599 us
// is "2.5 ms".
std::string DepthLabel(uint32_t depth) {
    return MillisecondsText(depth) + " " + LoadResString(IDS_UNIT_MS);
}

// The driver's samples figure belongs to the driver's own depth, so it is
// shown only while no change is pending. The stream buffer has none.
std::string AudioDepthText(const AudioBufferDepth& record, const CButton& apply) {
    std::string text = DepthLabel(record.Depth);
    if (!apply.IsWindowEnabled())
        text += "\n" + std::to_string(record.Samples) + " " + LoadResString(IDS_UNIT_SAMPLES);
    return text;
}

std::string AudioDepthText(const StreamBufferDepth& record, const CButton&) {
    return DepthLabel(record.Depth);
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

CDlgPgBuffers::CDlgPgBuffers(CWnd* pParent) : CDlgPgBase(IDD_PAGE_BUFFERS, pParent) {}

void CDlgPgBuffers::UpdatePage() {
    UpdateBufferSettings();
}

void CDlgPgBuffers::DoDataExchange(CDataExchange* pDX) {
    CDlgPgBase::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_APPLY_ASIO_BUFFER, m_Asio.apply);
    DDX_Control(pDX, IDC_APPLY_WDM_BUFFER, m_Wdm.apply);
    DDX_Control(pDX, IDC_WDM_BUFFER_SLIDER, m_Wdm.slider);
    DDX_Control(pDX, IDC_ASIO_BUFFER_SLIDER, m_Asio.slider);
    DDX_Control(pDX, IDC_APPLY_STREAM_BUFFER, m_Stream.apply);
    DDX_Control(pDX, IDC_STREAM_BUFFER_SLIDER, m_Stream.slider);
    DDX_Text(pDX, IDC_DROPOUTS, m_strDropOuts);
    DDX_Text(pDX, IDC_STREAM_BUFFER_VALUE, m_Stream.label);
    DDX_Text(pDX, IDC_ASIO_BUFFER_VALUE, m_Asio.label);
    DDX_Text(pDX, IDC_WDM_BUFFER_VALUE, m_Wdm.label);
}

BOOL CDlgPgBuffers::OnInitDialog() {
    CDlgPgBase::OnInitDialog();
    UpdateBufferSettings();
    return TRUE;
}

void CDlgPgBuffers::UpdateBufferSettings() {
    bool anyRead = false;
    if (AcceptRecord(m_Stream, gDrv.GetStreamBufferDepth(&m_StreamBuffer), m_StreamBuffer)) {
        InitStreamSlider();
        anyRead = true;
    }
    if (AcceptRecord(m_Asio, gDrv.GetAsioBufferDepth(&m_AsioBuffer), m_AsioBuffer)) {
        InitAsioSlider();
        anyRead = true;
    }
    if (AcceptRecord(m_Wdm, gDrv.GetWdmBufferDepth(&m_WdmBuffer), m_WdmBuffer)) {
        InitWdmSlider();
        anyRead = true;
    }
    // An Apply that disables itself hands the focus back to its slider.
    for (const DepthSlider* depth : {&m_Stream, &m_Asio, &m_Wdm})
        EnableControl(depth->apply.m_hWnd, FALSE, {depth->slider.m_hWnd});
    // With nothing read the emptied labels still have to reach the screen
    // now, not with the next drop-out poll (which a hidden page never runs).
    if (anyRead)
        UpdateBufferLabels();
    else
        UpdateData(FALSE);
}

void CDlgPgBuffers::UpdateBufferLabels() {
    UpdateLabel(m_Asio, m_AsioBuffer);
    UpdateLabel(m_Wdm, m_WdmBuffer);
    UpdateLabel(m_Stream, m_StreamBuffer);
    UpdateData(FALSE);
}

void CDlgPgBuffers::InitStreamSlider() {
    InitSlider(m_Stream, m_StreamBuffer);
}

void CDlgPgBuffers::InitAsioSlider() {
    InitSlider(m_Asio, m_AsioBuffer);
}

void CDlgPgBuffers::InitWdmSlider() {
    InitSlider(m_Wdm, m_WdmBuffer);
}

template <typename Record>
bool CDlgPgBuffers::AcceptRecord(DepthSlider& depth, DWORD status, const Record& record) {
    const bool usable = status == 0 && IsUsable(record.MinDepth, record.Step, depth.maximum);
    depth.slider.EnableWindow(usable ? TRUE : FALSE);
    if (!usable)
        depth.label.clear();
    return usable;
}

template <typename Record>
void CDlgPgBuffers::InitSlider(DepthSlider& depth, const Record& record) {
    const uint32_t step = record.Step;
    const CSliderCtrl& slider = depth.slider;
    const int minimum = static_cast<int>(record.MinDepth / step);
    const int maximum = static_cast<int>(static_cast<uint32_t>(depth.maximum) / step);
    const int tics = depth.audio ? AudioTicFrequency(record.MinDepth, step, depth.maximum) : 1;
    // Every reload reads the depths again; a scale or position set again
    // repaints the slider for nothing.
    if (slider.GetRangeMin() != minimum || slider.GetRangeMax() != maximum ||
        depth.ticFrequency != tics) {
        slider.SetRangeMin(minimum, TRUE);
        slider.SetRangeMax(maximum, TRUE);
        slider.SetTicFreq(tics);
        depth.ticFrequency = tics;
    }
    slider.SetPageSize(1);
    slider.SetLineSize(1);
    const int position = static_cast<int>(record.Depth / step);
    if (slider.GetPos() != position)
        slider.SetPos(position);
}

// A slider that is disabled keeps its record and label as they are. A depth
// that differs from the record's enables Apply, and nothing but a re-read
// disables it again.
template <typename Record> void CDlgPgBuffers::UpdateLabel(DepthSlider& depth, Record& record) {
    if (!depth.slider.IsWindowEnabled())
        return;
    const uint32_t value = static_cast<uint32_t>(depth.slider.GetPos()) * record.Step;
    if (value != record.Depth)
        depth.apply.EnableWindow(TRUE);
    record.Depth = value;
    depth.label = AudioDepthText(record, depth.apply);
}

void CDlgPgBuffers::OnTimer(UINT_PTR nIDEvent) {
    if (nIDEvent != DropOutTimerId) {
        Default();
        return;
    }
    AsioStatistics statistics{};
    const uint32_t status = gDrv.GetAsioStatistics(&statistics);
    if (status == 0)
        m_strDropOuts = std::to_string(statistics.DropOuts);
    else
        m_strDropOuts.clear();
    UpdateData(FALSE);
    // The drop-out monitor counts from the same reading rather than asking
    // the driver a second time.
    TellParent(WM_APP_ASIO_STATISTICS, status, static_cast<LPARAM>(statistics.DropOuts));
}

void CDlgPgBuffers::OnShowWindow(BOOL bShow, UINT) {
    Default();
    RunDropOutPoll(bShow != FALSE);
    UpdateBufferSettings();
}

void CDlgPgBuffers::OnHostShown(bool shown) {
    RunDropOutPoll(shown && (GetStyle() & WS_VISIBLE));
}

void CDlgPgBuffers::RunDropOutPoll(bool run) {
    if (run && m_nTimer == 0) {
        m_nTimer = SetTimer(DropOutTimerId, DropOutPollPeriod);
    } else if (!run && m_nTimer != 0) {
        KillTimer(m_nTimer);
        m_nTimer = 0;
    }
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
