#include "CDlgPgBuffers.h"
#include "DriverCodes.h"
#include "ImportHook.h"
#include "MessagePump.h"
#include "PageHost.h"
#include "resource.h"

#include <commctrl.h>

namespace {

// The timers the program starts, seen on their way to the system.
namespace Timers {

using SetTimerFn = UINT_PTR(WINAPI*)(HWND, UINT_PTR, UINT, TIMERPROC);
SetTimerFn g_system = nullptr;
HWND g_window = nullptr;
UINT_PTR g_id = 0;
UINT g_period = 0;

UINT_PTR WINAPI Record(HWND window, UINT_PTR id, UINT period, TIMERPROC procedure) {
    g_window = window;
    g_id = id;
    g_period = period;
    return g_system(window, id, period, procedure);
}

} // namespace Timers

using namespace DriverRequest;

constexpr uint32_t kDepthReads[] = {GetStreamBufferDepth, GetAsioBufferDepth, GetWdmBufferDepth};

class BuffersPage : public PageHost<CDlgPgBuffers> {
protected:
    BuffersPage() : PageHost(SimStart::DefaultSetUp, HostWindow::Shown) {}

    void SetUp() override {
        PageHost::SetUp();
        CreatePage();
    }

    LRESULT SliderMessage(int id, UINT message) const {
        return SendMessageA(probe.Item(id), message, 0, 0);
    }
    int RangeMin(int id) const { return static_cast<int>(SliderMessage(id, TBM_GETRANGEMIN)); }
    int RangeMax(int id) const { return static_cast<int>(SliderMessage(id, TBM_GETRANGEMAX)); }
    int Position(int id) const { return static_cast<int>(SliderMessage(id, TBM_GETPOS)); }
    int Ticks(int id) const { return static_cast<int>(SliderMessage(id, TBM_GETNUMTICS)); }

    // The user moves a slider by some positions.
    void Move(int sliderId, int by) const {
        MoveTrackbar(probe.Item(sliderId), Position(sliderId) + by,
                     by > 0 ? TB_LINEDOWN : TB_LINEUP);
    }
    void Timer(UINT_PTR id) const { SendMessageA(page->GetSafeHwnd(), WM_TIMER, id, 0); }

    std::string AudioText(uint32_t depth, const std::string& ms) {
        return ms + "\n" + std::to_string(sim.Model().Samples(depth)) + " samples";
    }
};

struct Slider {
    int slider;
    int label;
    int apply;
    SimBuffer CSimModel::*buffer;
    bool samples;
};

constexpr Slider Stream{IDC_STREAM_BUFFER_SLIDER, IDC_STREAM_BUFFER_VALUE, IDC_APPLY_STREAM_BUFFER,
                        &CSimModel::StreamBuffer, false};
constexpr Slider Asio{IDC_ASIO_BUFFER_SLIDER, IDC_ASIO_BUFFER_VALUE, IDC_APPLY_ASIO_BUFFER,
                      &CSimModel::AsioBuffer, true};
constexpr Slider Wdm{IDC_WDM_BUFFER_SLIDER, IDC_WDM_BUFFER_VALUE, IDC_APPLY_WDM_BUFFER,
                     &CSimModel::WdmBuffer, true};
constexpr Slider Sliders[] = {Stream, Asio, Wdm};

} // namespace

TEST_F(BuffersPage, LabelsShowMillisecondsWithTheTenthCutOff) {
    struct Case {
        uint32_t depth;
        uint32_t step;
        const char* text;
    };
    const Case cases[] = {{2500, 100, "2.5 ms"},    {2599, 1, "2.5 ms"}, {999, 1, "0.9 ms"},
                          {40000, 1000, "40.0 ms"}, {0, 500, "0.0 ms"},  {10000, 250, "10.0 ms"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.depth);
        for (const Slider& s : Sliders)
            sim.Model().*s.buffer = SimBuffer{c.depth, 0, 40000, c.step};
        page->UpdatePage();
        EXPECT_EQ(AudioText(c.depth, c.text), probe.Text(IDC_ASIO_BUFFER_VALUE));
        EXPECT_EQ(AudioText(c.depth, c.text), probe.Text(IDC_WDM_BUFFER_VALUE));
        EXPECT_FALSE(probe.Enabled(IDC_APPLY_ASIO_BUFFER)) << "the driver's own value is no change";
        EXPECT_FALSE(probe.Enabled(IDC_APPLY_WDM_BUFFER));
        // Beyond the stream slider's end the depth is pulled back to 10 ms,
        // which is a change waiting to be applied.
        const bool streamFits = c.depth <= 10000;
        EXPECT_EQ(streamFits ? c.text : "10.0 ms", probe.Text(IDC_STREAM_BUFFER_VALUE));
        EXPECT_EQ(!streamFits, probe.Enabled(IDC_APPLY_STREAM_BUFFER));
    }
}

TEST_F(BuffersPage, SlidersRunFromTheDriverMinimumToThePageMaximumInSteps) {
    sim.Model().AsioBuffer = SimBuffer{5000, 1000, 40000, 1000};
    sim.Model().WdmBuffer = SimBuffer{5000, 0, 40000, 1000};
    sim.Model().StreamBuffer = SimBuffer{2000, 500, 20000, 500};
    page->UpdatePage();

    EXPECT_EQ(1, RangeMin(IDC_ASIO_BUFFER_SLIDER));
    EXPECT_EQ(40, RangeMax(IDC_ASIO_BUFFER_SLIDER));
    EXPECT_EQ(5, Position(IDC_ASIO_BUFFER_SLIDER));
    EXPECT_EQ(40, Ticks(IDC_ASIO_BUFFER_SLIDER)) << "40 positions, a tick at each";

    EXPECT_EQ(0, RangeMin(IDC_WDM_BUFFER_SLIDER));
    EXPECT_EQ(40, RangeMax(IDC_WDM_BUFFER_SLIDER));
    EXPECT_EQ(21, Ticks(IDC_WDM_BUFFER_SLIDER)) << "41 positions, a tick at every second";

    // The driver would allow 20000 us; the page stops at its own 10000.
    EXPECT_EQ(1, RangeMin(IDC_STREAM_BUFFER_SLIDER));
    EXPECT_EQ(20, RangeMax(IDC_STREAM_BUFFER_SLIDER));
    EXPECT_EQ(4, Position(IDC_STREAM_BUFFER_SLIDER));
    EXPECT_EQ(20, Ticks(IDC_STREAM_BUFFER_SLIDER));

    // 81 positions need a tick at every third; a driver maximum above the
    // page's is ignored here as well.
    sim.Model().WdmBuffer = SimBuffer{5000, 0, 80000, 500};
    page->UpdatePage();
    EXPECT_EQ(80, RangeMax(IDC_WDM_BUFFER_SLIDER));
    EXPECT_EQ(28, Ticks(IDC_WDM_BUFFER_SLIDER));
}

// A re-read leaves an unchanged scale alone, yet follows every change: a new
// depth on the same scale, and a minimum that keeps the range but not the
// ticks.
TEST_F(BuffersPage, AReReadFollowsEveryChangeOfDepthAndScale) {
    sim.Model().WdmBuffer = SimBuffer{5000, 0, 40000, 1000};
    page->UpdatePage();
    ASSERT_EQ(21, Ticks(IDC_WDM_BUFFER_SLIDER));

    sim.Model().WdmBuffer = SimBuffer{7000, 0, 40000, 1000};
    page->UpdatePage();
    EXPECT_EQ(7, Position(IDC_WDM_BUFFER_SLIDER));

    sim.Model().WdmBuffer = SimBuffer{7500, 500, 40000, 1000};
    page->UpdatePage();
    EXPECT_EQ(0, RangeMin(IDC_WDM_BUFFER_SLIDER));
    EXPECT_EQ(40, RangeMax(IDC_WDM_BUFFER_SLIDER));
    EXPECT_EQ(41, Ticks(IDC_WDM_BUFFER_SLIDER)) << "from 500 us, a tick at every position";
    EXPECT_EQ(7, Position(IDC_WDM_BUFFER_SLIDER));
}

// More than 40 positions: the audio sliders would share ticks, the stream
// slider never does.
TEST_F(BuffersPage, TheStreamSliderHasATickAtEveryPositionHoweverMany) {
    sim.Model().StreamBuffer = SimBuffer{2000, 0, 10000, 100};
    sim.Model().AsioBuffer = SimBuffer{2000, 0, 40000, 400};
    page->UpdatePage();
    EXPECT_EQ(100, RangeMax(IDC_STREAM_BUFFER_SLIDER));
    EXPECT_EQ(101, Ticks(IDC_STREAM_BUFFER_SLIDER)) << "101 positions, a tick at each";
    EXPECT_EQ(100, RangeMax(IDC_ASIO_BUFFER_SLIDER));
    EXPECT_EQ(35, Ticks(IDC_ASIO_BUFFER_SLIDER)) << "101 positions, a tick at every third";
}

TEST_F(BuffersPage, DropOutsArePolledOnceASecond) {
    ImportHook hook(GetModuleHandleA(nullptr), "user32.dll", "SetTimer",
                    reinterpret_cast<void*>(Timers::Record));
    ASSERT_TRUE(hook.Installed());
    Timers::g_system = reinterpret_cast<Timers::SetTimerFn>(hook.Original());
    Timers::g_period = 0;
    page->ShowWindow(SW_SHOW);
    EXPECT_EQ(page->GetSafeHwnd(), Timers::g_window);
    EXPECT_EQ(CDlgPgBuffers::DropOutTimerId, Timers::g_id);
    EXPECT_EQ(1000u, Timers::g_period);
    page->ShowWindow(SW_HIDE);
}

TEST_F(BuffersPage, ADepthOffTheStepGridIsShownOnTheGridWithApplyEnabled) {
    sim.Model().AsioBuffer = SimBuffer{2900, 0, 40000, 1000};
    page->UpdatePage();
    EXPECT_EQ("2.0 ms", probe.Text(IDC_ASIO_BUFFER_VALUE));
    EXPECT_TRUE(probe.Enabled(IDC_APPLY_ASIO_BUFFER));
    EXPECT_FALSE(probe.Enabled(IDC_APPLY_WDM_BUFFER));
    EXPECT_FALSE(probe.Enabled(IDC_APPLY_STREAM_BUFFER));

    // Applying it sends the grid value.
    sim.ClearLog();
    probe.Click(IDC_APPLY_ASIO_BUFFER);
    EXPECT_EQ(2000u, sim.LastSentRecord<AudioBufferDepth>(SetAsioBufferDepth).Depth);
    EXPECT_EQ(2000u, sim.Model().AsioBuffer.Depth);
}

TEST_F(BuffersPage, MovingASliderDropsTheSamplesLineAndKeepsApplyEnabled) {
    sim.Model().AsioBuffer = SimBuffer{4000, 1000, 40000, 500};
    page->UpdatePage();
    ASSERT_EQ(AudioText(4000, "4.0 ms"), probe.Text(IDC_ASIO_BUFFER_VALUE));

    Move(IDC_ASIO_BUFFER_SLIDER, 1);
    EXPECT_EQ("4.5 ms", probe.Text(IDC_ASIO_BUFFER_VALUE));
    EXPECT_TRUE(probe.Enabled(IDC_APPLY_ASIO_BUFFER));
    EXPECT_FALSE(probe.Enabled(IDC_APPLY_WDM_BUFFER));

    Move(IDC_ASIO_BUFFER_SLIDER, -1);
    EXPECT_EQ("4.0 ms", probe.Text(IDC_ASIO_BUFFER_VALUE))
        << "back at the driver's value, still pending";
    EXPECT_TRUE(probe.Enabled(IDC_APPLY_ASIO_BUFFER));

    Move(IDC_STREAM_BUFFER_SLIDER, 1);
    EXPECT_TRUE(probe.Enabled(IDC_APPLY_STREAM_BUFFER));
    EXPECT_EQ("4.0 ms", probe.Text(IDC_ASIO_BUFFER_VALUE));

    // A re-read discards the moves.
    page->UpdatePage();
    EXPECT_EQ(AudioText(4000, "4.0 ms"), probe.Text(IDC_ASIO_BUFFER_VALUE));
    for (const Slider& s : Sliders)
        EXPECT_FALSE(probe.Enabled(s.apply));
    EXPECT_EQ(4000u, sim.Model().AsioBuffer.Depth) << "nothing was sent";
}

TEST_F(BuffersPage, EachApplySendsItsRecordThenItsFollowUpsThenRereads) {
    struct Case {
        Slider slider;
        std::vector<uint32_t> requests;
    };
    const std::vector<uint32_t> reread{GetStreamBufferDepth, GetAsioBufferDepth, GetWdmBufferDepth};
    auto then = [&](std::vector<uint32_t> first) {
        first.insert(first.end(), reread.begin(), reread.end());
        return first;
    };
    const Case cases[] = {
        {Stream, then({SetStreamBufferDepth, StopStreaming, StartStreaming})},
        {Wdm, then({SetWdmBufferDepth, StopStreaming, StartStreaming})},
        {Asio, then({SetAsioBufferDepth})},
    };
    for (bool setFails : {false, true}) {
        for (const Case& c : cases) {
            SCOPED_TRACE(c.slider.apply);
            SCOPED_TRACE(setFails ? "set request fails" : "set request succeeds");
            gDrv.Close();
            sim.Reset();
            ASSERT_EQ(0u, gDrv.Open());
            if (setFails)
                sim.FailRequest(c.requests[0], DRVSTATUS_FAILED, true);
            page->UpdatePage();
            const SimBuffer before = sim.Model().*c.slider.buffer;

            Move(c.slider.slider, 1);
            ASSERT_TRUE(probe.Enabled(c.slider.apply));
            sim.ClearLog();
            probe.Click(c.slider.apply);

            EXPECT_EQ(c.requests, Requests());
            const uint32_t moved = before.Depth + before.Step;
            EXPECT_EQ(setFails ? before.Depth : moved, (sim.Model().*c.slider.buffer).Depth);
            EXPECT_FALSE(probe.Enabled(c.slider.apply));
            EXPECT_EQ(setFails ? before.Depth / before.Step : moved / before.Step,
                      static_cast<uint32_t>(Position(c.slider.slider)));
        }
    }
}

TEST_F(BuffersPage, ApplySendsTheRecordAsReadWithOnlyTheDepthChanged) {
    StreamBufferDepth stream{1000, 0xA5A5A5A5, 1000, 3000};
    AudioBufferDepth asio{6000, 2000, 2000, 0x12345678};
    sim.SetReplyRecord(GetStreamBufferDepth, stream);
    sim.SetReplyRecord(GetAsioBufferDepth, asio);
    page->UpdatePage();

    Move(IDC_STREAM_BUFFER_SLIDER, 1);
    probe.Click(IDC_APPLY_STREAM_BUFFER);
    const StreamBufferDepth sentStream =
        sim.LastSentRecord<StreamBufferDepth>(SetStreamBufferDepth);
    EXPECT_EQ(1000u, sentStream.MinDepth);
    EXPECT_EQ(0xA5A5A5A5u, sentStream.Reserved4);
    EXPECT_EQ(1000u, sentStream.Step);
    EXPECT_EQ(4000u, sentStream.Depth);

    Move(IDC_ASIO_BUFFER_SLIDER, -1);
    probe.Click(IDC_APPLY_ASIO_BUFFER);
    const AudioBufferDepth sentAsio = sim.LastSentRecord<AudioBufferDepth>(SetAsioBufferDepth);
    EXPECT_EQ(4000u, sentAsio.Depth);
    EXPECT_EQ(2000u, sentAsio.MinDepth);
    EXPECT_EQ(2000u, sentAsio.Step);
    EXPECT_EQ(0x12345678u, sentAsio.Samples);
}

TEST_F(BuffersPage, OnlyAVisiblePagePollsDropOutsAndEveryShowingRereads) {
    PumpMessages(1300);
    EXPECT_EQ(0u, sim.CountRequests(GetAsioStatistics)) << "hidden since creation";

    sim.ClearLog();
    page->ShowWindow(SW_SHOW);
    EXPECT_EQ(1u, sim.CountRequests(GetAsioBufferDepth)) << "showing re-reads";
    PumpMessages(1300);
    EXPECT_GE(sim.CountRequests(GetAsioStatistics), 1u);
    EXPECT_EQ(std::to_string(sim.Model().DropOuts), probe.Text(IDC_DROPOUTS));

    page->ShowWindow(SW_HIDE);
    sim.ClearLog();
    PumpMessages(1300);
    EXPECT_EQ(0u, sim.CountRequests(GetAsioStatistics)) << "the timer went with the page";

    // Hidden twice, shown twice: still one poll a second.
    SendMessageA(page->GetSafeHwnd(), WM_SHOWWINDOW, FALSE, 0);
    EXPECT_EQ(1u, sim.CountRequests(GetWdmBufferDepth)) << "hiding re-reads as well";
    page->ShowWindow(SW_SHOW);
    SendMessageA(page->GetSafeHwnd(), WM_SHOWWINDOW, TRUE, 0);
    sim.ClearLog();
    PumpMessages(2500);
    const size_t polls = sim.CountRequests(GetAsioStatistics);
    EXPECT_GE(polls, 1u);
    EXPECT_LE(polls, 3u);
}

TEST_F(BuffersPage, DropOutPollShowsTheUnsignedCountAndIgnoresOtherTimers) {
    AsioStatistics statistics{};
    statistics.DropOuts = 4294967295u;
    sim.SetReplyRecord(GetAsioStatistics, statistics);
    Timer(CDlgPgBuffers::DropOutTimerId);
    EXPECT_EQ("4294967295", probe.Text(IDC_DROPOUTS));

    sim.ClearReply(GetAsioStatistics);
    sim.ClearLog();
    Timer(28);
    EXPECT_EQ("4294967295", probe.Text(IDC_DROPOUTS));
    EXPECT_EQ(0u, sim.CountRequests(GetAsioStatistics));

    sim.FailRequest(GetAsioStatistics, DRVSTATUS_NOT_OPEN, false);
    Timer(CDlgPgBuffers::DropOutTimerId);
    EXPECT_EQ("", probe.Text(IDC_DROPOUTS));
}

TEST_F(BuffersPage, AFailedReadDisablesOnlyThatSlider) {
    sim.FailRequest(GetWdmBufferDepth, DRVSTATUS_NOT_OPEN, false);
    page->UpdatePage();
    EXPECT_FALSE(probe.Enabled(IDC_WDM_BUFFER_SLIDER));
    EXPECT_FALSE(probe.Enabled(IDC_APPLY_WDM_BUFFER));
    EXPECT_EQ("", probe.Text(IDC_WDM_BUFFER_VALUE));
    EXPECT_TRUE(probe.Enabled(IDC_ASIO_BUFFER_SLIDER));
    EXPECT_TRUE(probe.Enabled(IDC_STREAM_BUFFER_SLIDER));
    EXPECT_NE("", probe.Text(IDC_ASIO_BUFFER_VALUE));

    // Moving another slider leaves the unreadable one alone.
    Move(IDC_ASIO_BUFFER_SLIDER, 1);
    EXPECT_EQ("", probe.Text(IDC_WDM_BUFFER_VALUE));
    EXPECT_FALSE(probe.Enabled(IDC_APPLY_WDM_BUFFER));

    page->UpdatePage();
    EXPECT_TRUE(probe.Enabled(IDC_WDM_BUFFER_SLIDER));
    EXPECT_NE("", probe.Text(IDC_WDM_BUFFER_VALUE));
}

TEST_F(BuffersPage, ARecordWithoutStepOrWithItsMinimumAboveTheMaximumIsNotShown) {
    sim.SetReplyRecord(GetStreamBufferDepth, StreamBufferDepth{1000, 10000, 0, 2000});
    sim.SetReplyRecord(GetWdmBufferDepth, AudioBufferDepth{4000, 1000, 0, 192});
    sim.Model().AsioBuffer = SimBuffer{50000, 50000, 60000, 1000};
    page->UpdatePage();

    for (const Slider& s : Sliders) {
        SCOPED_TRACE(s.slider);
        EXPECT_FALSE(probe.Enabled(s.slider));
        EXPECT_FALSE(probe.Enabled(s.apply));
        EXPECT_EQ("", probe.Text(s.label));
        EXPECT_LE(RangeMin(s.slider), RangeMax(s.slider)) << "no inverted range";
    }

    // A minimum exactly at the page's maximum still gives a one-position slider.
    sim.ClearReply(GetStreamBufferDepth);
    sim.Model().StreamBuffer = SimBuffer{10000, 10000, 10000, 1000};
    page->UpdatePage();
    EXPECT_TRUE(probe.Enabled(IDC_STREAM_BUFFER_SLIDER));
    EXPECT_EQ(RangeMin(IDC_STREAM_BUFFER_SLIDER), RangeMax(IDC_STREAM_BUFFER_SLIDER));
    EXPECT_EQ("10.0 ms", probe.Text(IDC_STREAM_BUFFER_VALUE));
}

TEST_F(BuffersPage, WithNoRecordReadTheEmptiedLabelsReachTheScreenAtOnce) {
    for (uint32_t code : kDepthReads)
        sim.FailRequest(code, DRVSTATUS_NOT_OPEN, true);
    page.reset();
    CreatePage();
    for (const Slider& s : Sliders) {
        SCOPED_TRACE(s.slider);
        EXPECT_EQ("", probe.Text(s.label)) << "the template's placeholder is gone";
        EXPECT_FALSE(probe.Enabled(s.slider));
        EXPECT_FALSE(probe.Enabled(s.apply));
    }
    EXPECT_EQ(0u, sim.CountRequests(GetAsioStatistics));

    // The same when the driver goes away under a page that showed depths.
    sim.ClearFaults();
    page->UpdatePage();
    ASSERT_NE("", probe.Text(IDC_STREAM_BUFFER_VALUE));
    for (uint32_t code : kDepthReads)
        sim.FailRequest(code, DRVSTATUS_NOT_OPEN, true);
    page->UpdatePage();
    for (const Slider& s : Sliders)
        EXPECT_EQ("", probe.Text(s.label));
}
