// The driver's own events travel the whole road: the simulated driver queues
// them and signals the registered event, the listener thread posts to the
// view, and the view drains the queue and reloads the pages.
#include "ViewEventFixture.h"

#include "CDriverSettings.h"
#include "DriverCodes.h"
#include "MessagePump.h"
#include "WinApp.h"
#include "resource.h"

#include <algorithm>

namespace {

constexpr ULONGLONG kListenerStopLimitMs = 10000;

class DriverEvents : public ViewEventFixture {
protected:
    void SetUp() override {
        ViewEventFixture::SetUp();
        OpenShell();
        ASSERT_NE(nullptr, view->m_Notificator.m_hThread);
        reload = OneReload();
    }

    static bool Contains(const std::vector<uint32_t>& codes, uint32_t code) {
        return std::find(codes.begin(), codes.end(), code) != codes.end();
    }

    std::vector<uint32_t> reload;
};

TEST_F(DriverEvents, OneReloadReadsEveryPage) {
    EXPECT_TRUE(Contains(reload, DriverRequest::GetDeviceList));        // devices, streams, synch
    EXPECT_TRUE(Contains(reload, DriverRequest::GetChannelList));       // both channel pages
    EXPECT_TRUE(Contains(reload, DriverRequest::GetStreamStatus));      // streams
    EXPECT_TRUE(Contains(reload, DriverRequest::GetStreamBufferDepth)); // buffers
    EXPECT_TRUE(Contains(reload, DriverRequest::GetSampleRates));       // sampling rate
    EXPECT_FALSE(Contains(reload, kTookEvent));
    EXPECT_FALSE(Contains(reload, kQueueEmpty));
}

TEST_F(DriverEvents, ThreeQueuedEventsGiveTwoReloadsInQueueOrderWithinOneMessage) {
    sim.QueueNotification(EvtType_BusReset);
    sim.QueueNotification(EvtType_StreamingRestarted);
    sim.QueueNotification(EvtType_DomainConfigurationChanged);
    ASSERT_TRUE(PumpUntilDrained());
    const std::vector<uint32_t> expected =
        Sequence({{kTookEvent, kTookEvent}, reload, {kTookEvent}, reload, {kQueueEmpty}});
    const std::vector<uint32_t> logged = Logged();
    ASSERT_GE(logged.size(), expected.size());
    // One message drained all three; the listener may have woken once more
    // for the later signals, and such a message finds the queue empty.
    EXPECT_EQ(expected, std::vector<uint32_t>(logged.begin(), logged.begin() + expected.size()));
    EXPECT_TRUE(std::all_of(logged.begin() + expected.size(), logged.end(),
                            [](uint32_t code) { return code == kQueueEmpty; }));
    EXPECT_EQ(0u, sim.PendingNotifications(view->m_Notificator.m_hDevice));
}

TEST_F(DriverEvents, AnAsioBufferSizeEventReloadsNothing) {
    sim.QueueNotification(EvtType_AsioBufferSizeChanged);
    ASSERT_TRUE(PumpUntilDrained());
    EXPECT_EQ(std::vector<uint32_t>({kTookEvent, kQueueEmpty}), Logged());
}

TEST_F(DriverEvents, AWakeUpWithAnEmptyQueueCostsOneGetNotification) {
    // The driver signals the registered event with nothing left to fetch.
    ASSERT_TRUE(::SetEvent(view->m_Notificator.m_hDriverEvent));
    ASSERT_TRUE(PumpUntilDrained());
    EXPECT_EQ(std::vector<uint32_t>({kQueueEmpty}), Logged());
}

TEST_F(DriverEvents, ADevicePluggedInOrRemovedWhileTheProgramRunsShowsOnItsOwn) {
    const int before = devices.Rows(IDC_DEVICE_LIST);
    const uint32_t added = sim.AddDevice("Tarnet Duo 44", "TD44-0001", 2, 2);
    ASSERT_NE(0u, added);
    ASSERT_TRUE(PumpUntilDrained());
    EXPECT_EQ(before + 1, devices.Rows(IDC_DEVICE_LIST));
    EXPECT_EQ(before + 1, streams.Rows(IDC_STREAM_LIST));
    EXPECT_EQ(before + 2, synchronisation.Rows(IDC_SYNCH_LIST));
    EXPECT_EQ(static_cast<int>(ModelChannels(true)), inputs.Rows(IDC_CHANNEL_LIST));
    EXPECT_EQ(static_cast<int>(ModelChannels(false)), outputs.Rows(IDC_CHANNEL_LIST));

    sim.ClearLog();
    ASSERT_TRUE(sim.RemoveDevice(added));
    ASSERT_TRUE(PumpUntilDrained());
    EXPECT_EQ(before, devices.Rows(IDC_DEVICE_LIST));
    EXPECT_EQ(static_cast<int>(ModelChannels(true)), inputs.Rows(IDC_CHANNEL_LIST));
}

TEST_F(DriverEvents, QuittingStopsTheListenerWithinItsTimeLimit) {
    HANDLE thread = nullptr;
    ASSERT_TRUE(::DuplicateHandle(::GetCurrentProcess(), view->m_Notificator.m_hThread,
                                  ::GetCurrentProcess(), &thread, SYNCHRONIZE, FALSE, 0));
    const ULONGLONG start = ::GetTickCount64();
    ::SendMessageA(frame->m_hWnd, WM_COMMAND, ID_TRAY_QUIT, 0);
    while (AfxGetApp()->m_pMainWnd && ::GetTickCount64() - start < 2 * kListenerStopLimitMs)
        PumpMessages(10);
    const ULONGLONG elapsed = ::GetTickCount64() - start;
    EXPECT_EQ(nullptr, AfxGetApp()->m_pMainWnd);
    EXPECT_EQ(static_cast<DWORD>(WAIT_OBJECT_0), ::WaitForSingleObject(thread, 0));
    EXPECT_LT(elapsed, kListenerStopLimitMs);
    ::CloseHandle(thread);
    // Both connections are closed: the listener's and the settings'.
    EXPECT_EQ(0u, sim.OpenHandleCount());
    EXPECT_EQ(nullptr, gDrv.m_hDevice);
    // A late event of the driver reaches nobody.
    sim.ClearLog();
    sim.QueueNotification(EvtType_StreamingRestarted);
    PumpMessages(100);
    EXPECT_TRUE(sim.Log().empty());
}

} // namespace
