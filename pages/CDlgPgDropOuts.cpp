#include "CDlgPgDropOuts.h"

#include "CDlgPgBuffers.h"
#include "CDriverSettings.h"
#include "Clock.h"
#include "DataExchange.h"
#include "DropOutGraph.h"
#include "DropOutTexts.h"
#include "PageMessages.h"
#include "ResString.h"
#include "resource.h"

#include <algorithm>

namespace {

constexpr ListColumn Columns[] = {
    {IDS_COL_TIME, 70},      {IDS_COL_DROPOUTS, 100}, {IDS_COL_ASIO_MS, 65},
    {IDS_COL_STREAM_MS, 75}, {IDS_COL_WDM_MS, 65},    {IDS_COL_RATE_HZ, 100},
};

// A depth or rate the driver did not give reads as nothing.
std::string DepthText(uint32_t microseconds) {
    return microseconds ? MillisecondsText(microseconds) : std::string();
}

std::string RateText(uint32_t rate) {
    return rate ? std::to_string(rate) : std::string();
}

} // namespace

constexpr MessageMap CDlgPgDropOuts::messageMap{
    &CDlgPgBase::messageMap,
    {
        {WM_SHOWWINDOW, 0, 0, On<&CDlgPgDropOuts::OnShowWindow>},
        {WM_COMMAND, BN_CLICKED, IDC_DROPOUTS_RESET, On<&CDlgPgDropOuts::OnReset>},
        {WM_COMMAND, BN_CLICKED, IDC_DROPOUT_WARNING, On<&CDlgPgDropOuts::OnWarning>},
        {WM_COMMAND, BN_CLICKED, IDC_DROPOUT_OPEN_SETTINGS, On<&CDlgPgDropOuts::OnOpenSettings>},
        {WM_NOTIFY, LVN_DELETEALLITEMS, IDC_DROPOUT_EVENTS, On<&CDlgPgDropOuts::OnDeleteAllItems>},
    }};

CDlgPgDropOuts::CDlgPgDropOuts(CWnd* pParent)
    : CDlgPgBase(IDD_PAGE_DROPOUTS, pParent), m_History(UnixNow()) {}

void CDlgPgDropOuts::DoDataExchange(CDataExchange* pDX) {
    CDlgPgBase::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_DROPOUT_EVENTS, m_Events);
    DDX_Control(pDX, IDC_DROPOUT_WARNING, m_Warning);
    DDX_Control(pDX, IDC_DROPOUT_OPEN_SETTINGS, m_OpenSettings);
}

BOOL CDlgPgDropOuts::OnInitDialog() {
    CDlgPgBase::OnInitDialog();
    m_Events.InsertColumns(Columns);
    m_Events.SetExtendedStyle(m_Events.GetExtendedStyle() | LVS_EX_GRIDLINES |
                              LVS_EX_FULLROWSELECT);
    UpdatePage();
    return TRUE;
}

bool CDlgPgDropOuts::Shown() const {
    return m_hWnd && (GetStyle() & WS_VISIBLE);
}

void CDlgPgDropOuts::UpdatePage() {
    AudioBufferDepth asio{};
    m_Asio = gDrv.GetAsioBufferDepth(&asio) == 0 ? asio : AudioBufferDepth{};
    if (m_hWnd)
        ShowHistory(UnixNow());
}

uint32_t CDlgPgDropOuts::Record(uint32_t status, uint32_t total, int64_t now) {
    uint32_t added = 0;
    if (status == 0)
        added = m_History.Read(now, total, [this] { return ReadSetup(); });
    else
        m_History.ReadFailed(now);
    if (Shown())
        ShowHistory(now);
    return added;
}

void CDlgPgDropOuts::Reset(int64_t now) {
    m_History.Reset(now);
    if (m_hWnd)
        ShowHistory(now);
}

void CDlgPgDropOuts::SetWarning(bool warn) {
    m_Warning.SetCheck(warn ? BST_CHECKED : BST_UNCHECKED);
}

AudioSetup CDlgPgDropOuts::ReadSetup() {
    AudioSetup setup;
    AudioBufferDepth asio{}, wdm{};
    StreamBufferDepth stream{};
    SampleRates rates{};
    if (gDrv.GetAsioBufferDepth(&asio) == 0) {
        m_Asio = asio;
        setup.AsioUs = asio.Depth;
    }
    if (gDrv.GetStreamBufferDepth(&stream) == 0)
        setup.StreamUs = stream.Depth;
    if (gDrv.GetWdmBufferDepth(&wdm) == 0)
        setup.WdmUs = wdm.Depth;
    if (gDrv.GetSampleRates(&rates) == 0)
        setup.SampleRate = rates.CurrentRate;
    return setup;
}

// Set only when it changed: the texts are set every second while shown.
void CDlgPgDropOuts::SetText(int id, const std::string& text) {
    const CWindowHandle control(ChildById(id));
    if (control.GetWindowText() != text)
        control.SetWindowText(text);
}

void CDlgPgDropOuts::ShowHistory(int64_t now) {
    uint32_t total = 0;
    SetText(IDC_DROPOUTS_SINCE_RESET, std::to_string(m_History.SinceReset()));
    SetText(IDC_DROPOUTS_DRIVER_TOTAL,
            m_History.DriverTotal(total) ? std::to_string(total) : std::string());
    SetText(IDC_DROPOUTS_LAST, LastDropOutText(m_History, now));
    SetText(IDC_DROPOUTS_WATCHING_SINCE, LocalTimeText(m_History.WatchingSince()));
    const auto minutes = m_History.LastMinutes(now, GraphMinutes);
    SetDropOutGraph(ChildById(IDC_DROPOUT_GRAPH), minutes,
                    GraphDescription(DropOutHistory::Summarise(minutes)));
    ShowEvents();
    ShowHint(now);
}

// Newest first. New events go in at the top and those the history no longer
// keeps come out at the bottom: a long run of drop-outs never refills the
// whole list every second.
void CDlgPgDropOuts::ShowEvents() {
    const auto& events = m_History.Events();
    const uint64_t added = m_History.EventsEver() - m_ShownEventsEver;
    m_ShownEventsEver = m_History.EventsEver();
    const size_t fresh = static_cast<size_t>(std::min<uint64_t>(added, events.size()));
    for (size_t i = events.size() - fresh; i < events.size(); ++i)
        InsertEvent(events[i]);
    for (int row = m_Events.GetItemCount() - 1; row >= static_cast<int>(events.size()); --row)
        m_Events.DeleteItem(row);
}

void CDlgPgDropOuts::InsertEvent(const DropOutHistory::Event& event) {
    m_Events.InsertItem(0, LocalTimeText(event.Time, true));
    m_Events.SetItemText(0, 1, EventCountText(event));
    m_Events.SetItemText(0, 2, DepthText(event.Setup.AsioUs));
    m_Events.SetItemText(0, 3, DepthText(event.Setup.StreamUs));
    m_Events.SetItemText(0, 4, DepthText(event.Setup.WdmUs));
    m_Events.SetItemText(0, 5, RateText(event.Setup.SampleRate));
}

// Only a step the buffer page can set is suggested; without one the hint
// and its button are not shown at all.
void CDlgPgDropOuts::ShowHint(int64_t now) {
    const uint32_t next = NextAsioDepth(m_Asio, CDlgPgBuffers::AsioMaximum);
    const bool hint = next != 0 && m_History.DropOutsSince(now - HintSeconds);
    SetText(IDC_DROPOUT_HINT,
            hint ? FormatResString(IDS_DROPOUT_HINT,
                                   {MillisecondsText(next), MillisecondsText(m_Asio.Depth)})
                 : std::string());
    // Disabled before it hides, so that a focus on it moves on to the check box.
    EnableControl(m_OpenSettings.m_hWnd, hint, {m_Warning.m_hWnd});
    m_OpenSettings.ShowWindow(hint ? SW_SHOWNA : SW_HIDE);
}

void CDlgPgDropOuts::OnShowWindow(BOOL bShow, UINT) {
    Default();
    if (bShow)
        ShowHistory(UnixNow());
}

void CDlgPgDropOuts::OnReset() {
    Reset(UnixNow());
    TellParent(WM_APP_DROPOUTS_RESET);
}

void CDlgPgDropOuts::OnWarning() {
    TellParent(WM_APP_DROPOUT_WARNING, static_cast<WPARAM>(m_Warning.GetCheck()));
}

void CDlgPgDropOuts::OnOpenSettings() {
    TellParent(WM_APP_SHOW_SETTINGS);
}
