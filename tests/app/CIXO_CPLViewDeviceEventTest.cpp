#include "ViewEventFixture.h"

#include "AppMessages.h"
#include "CDriverSettings.h"
#include "DriverCodes.h"

#include <dbt.h>

#include <cstdio>
#include <string>
#include <utility>
#include <vector>

namespace {

const char kInterfaceName[] = "\\\\?\\1394#Orlaso&Quadra#{006902cb-e626-45b4-8a62-2eaad63f8d12}";

class DeviceEvents : public ViewEventFixture {
protected:
    LRESULT DriverEvent() { return view->SendMessage(WM_APP_DRIVER_EVENT); }

    // What one reload of all pages asks the driver for the device list.
    size_t DeviceListReadsPerReload() {
        sim.ClearLog();
        view->UpdateAllPages();
        const size_t reads = sim.CountRequests(DriverRequest::GetDeviceList);
        sim.ClearLog();
        return reads;
    }
};

TEST_F(DeviceEvents, ArrivalOpensAClosedConnectionStartsTheListenerAndReloads) {
    OpenShellWithoutDriver();
    sim.ClearLog();
    EXPECT_EQ(TRUE, DeviceChange(DBT_DEVICEARRIVAL, kInterfaceName));
    EXPECT_NE(nullptr, gDrv.m_hDevice);
    EXPECT_NE(nullptr, view->m_Notificator.m_hThread);
    EXPECT_GT(sim.CountRequests(DriverRequest::GetDeviceList), 0u);
}

TEST_F(DeviceEvents, RemovalAlsoReopensAClosedConnection) {
    OpenShellWithoutDriver();
    EXPECT_EQ(TRUE, DeviceChange(DBT_DEVICEREMOVECOMPLETE, kInterfaceName));
    EXPECT_NE(nullptr, gDrv.m_hDevice);
}

// The pages show the devices of a connection that has gone; the open that
// the arrival tries fails, and every page then shows the closed connection.
TEST_F(DeviceEvents, AFailedReopenStillReloadsEveryPage) {
    OpenShell();
    const std::pair<const PageProbe*, int> lists[] = {{&devices, IDC_DEVICE_LIST},
                                                      {&inputs, IDC_CHANNEL_LIST},
                                                      {&outputs, IDC_CHANNEL_LIST},
                                                      {&streams, IDC_STREAM_LIST},
                                                      {&synchronisation, IDC_SYNCH_LIST}};
    for (const auto& list : lists)
        ASSERT_GT(list.first->Rows(list.second), 0);
    ASSERT_TRUE(settings.Enabled(IDC_STREAM_BUFFER_SLIDER));
    gDrv.Close();
    sim.SetDriverPresent(false);

    DeviceChange(DBT_DEVICEARRIVAL, kInterfaceName);
    EXPECT_EQ(nullptr, gDrv.m_hDevice);
    for (const auto& list : lists)
        EXPECT_EQ(0, list.first->Rows(list.second)) << list.second;
    EXPECT_FALSE(settings.Enabled(IDC_STREAM_BUFFER_SLIDER));
    EXPECT_EQ("0 Device(s) connected.", DevicePane());
}

TEST_F(DeviceEvents, WithAWorkingConnectionAnArrivalOnlyChecksIt) {
    OpenShell();
    HANDLE device = gDrv.m_hDevice;
    sim.ClearLog();
    EXPECT_EQ(TRUE, DeviceChange(DBT_DEVICEARRIVAL, kInterfaceName));
    EXPECT_EQ(TRUE, DeviceChange(DBT_DEVICEREMOVECOMPLETE, kInterfaceName));
    EXPECT_EQ(device, gDrv.m_hDevice);
    EXPECT_EQ(2u, sim.Log().size());
    EXPECT_EQ(2u, sim.CountRequests(DriverRequest::GetInterfaceVersion));
}

TEST_F(DeviceEvents, ShortOrMissingNamesAndForeignRecordsAreIgnored) {
    OpenShellWithoutDriver();
    EXPECT_EQ(TRUE, DeviceChange(DBT_DEVICEARRIVAL, "\\\\?\\"));
    EXPECT_EQ(TRUE, DeviceChange(DBT_DEVICEARRIVAL, ""));
    EXPECT_EQ(TRUE, view->SendMessage(WM_DEVICECHANGE, DBT_DEVICEARRIVAL, 0));
    // A volume record is shorter than an interface record: no name to read.
    DEV_BROADCAST_VOLUME volume{};
    volume.dbcv_size = sizeof(volume);
    volume.dbcv_devicetype = DBT_DEVTYP_VOLUME;
    volume.dbcv_unitmask = 0x41414141;
    EXPECT_EQ(TRUE, view->SendMessage(WM_DEVICECHANGE, DBT_DEVICEARRIVAL,
                                      reinterpret_cast<LPARAM>(&volume)));
    EXPECT_EQ(nullptr, gDrv.m_hDevice);
    // Five characters are enough.
    DeviceChange(DBT_DEVICEARRIVAL, "\\\\?\\x");
    EXPECT_NE(nullptr, gDrv.m_hDevice);
}

TEST_F(DeviceEvents, QueryRemoveIsGrantedAndOtherEventsDoNothing) {
    OpenShellWithoutDriver();
    EXPECT_EQ(TRUE, DeviceChange(DBT_DEVICEQUERYREMOVE, kInterfaceName));
    EXPECT_EQ(TRUE, DeviceChange(DBT_DEVICEREMOVEPENDING, kInterfaceName));
    EXPECT_EQ(TRUE, DeviceChange(DBT_DEVNODES_CHANGED, kInterfaceName));
    EXPECT_EQ(nullptr, gDrv.m_hDevice);
}

TEST_F(DeviceEvents, EachRestartOrConfigurationEventReloadsAllPagesOnce) {
    OpenShell();
    const size_t perReload = DeviceListReadsPerReload();
    ASSERT_GT(perReload, 0u);
    for (uint32_t type : {EvtType_BusReset, EvtType_StreamingRestarted,
                          EvtType_DomainConfigurationChanged, EvtType_AsioBufferSizeChanged, 7u})
        sim.QueueNotification(type);
    EXPECT_EQ(0, DriverEvent());
    // A slow machine may need more than one slice for the two reloads.
    const ULONGLONG until = ::GetTickCount64() + 5000;
    while (sim.Log().back().Status != DRVSTATUS_NO_MORE_NOTIFICATIONS && ::GetTickCount64() < until)
        PumpMessages(10);
    EXPECT_EQ(2 * perReload, sim.CountRequests(DriverRequest::GetDeviceList));
    // The queue was drained until the driver reported it empty.
    size_t taken = 0;
    for (const SimLogEntry& entry : sim.Log())
        taken += entry.Code == DriverRequest::GetNotification && entry.Status == 0 ? 1 : 0;
    EXPECT_EQ(5u, taken);
    EXPECT_EQ(DRVSTATUS_NO_MORE_NOTIFICATIONS, sim.Log().back().Status);
}

TEST_F(DeviceEvents, AnEmptyQueueCostsOneRequest) {
    OpenShell();
    sim.ClearLog();
    EXPECT_EQ(0, DriverEvent());
    EXPECT_EQ(1u, sim.CountRequests(DriverRequest::GetNotification));
    EXPECT_EQ(1u, sim.Log().size());
}

TEST_F(DeviceEvents, AFailingQueueEndsTheDrainingQuietly) {
    OpenShell();
    sim.QueueNotification(EvtType_StreamingRestarted);
    sim.FailRequest(DriverRequest::GetNotification, DRVSTATUS_FAILED, false);
    sim.ClearLog();
    EXPECT_EQ(0, DriverEvent());
    EXPECT_EQ(1u, sim.Log().size());
    // The next message finds the event still queued.
    EXPECT_EQ(0, DriverEvent());
    EXPECT_GT(sim.CountRequests(DriverRequest::GetDeviceList), 0u);
}

TEST_F(DeviceEvents, ADriverThatNeverReportsTheQueueEmptyCannotHoldTheWindow) {
    OpenShell();
    Notification endless{};
    endless.Type = EvtType_BusReset;
    sim.SetReplyRecord(DriverRequest::GetNotification, endless);
    sim.ClearLog();
    EXPECT_EQ(0, DriverEvent());
    const size_t first = sim.CountRequests(DriverRequest::GetNotification);
    EXPECT_GT(first, 0u);
    // The drain goes on between other messages for as long as the driver does.
    PumpMessages(200);
    EXPECT_GT(sim.CountRequests(DriverRequest::GetNotification), first);
    sim.ClearReply(DriverRequest::GetNotification);
    PumpMessages(100);
    const size_t ended = sim.CountRequests(DriverRequest::GetNotification);
    EXPECT_EQ(DRVSTATUS_NO_MORE_NOTIFICATIONS, sim.Log().back().Status);
    PumpMessages(100);
    EXPECT_EQ(ended, sim.CountRequests(DriverRequest::GetNotification));
}

TEST_F(DeviceEvents, AStormLosesNoNotification) {
    OpenShell();
    const size_t perReload = DeviceListReadsPerReload();
    // One wake-up of the listener for 300 bus resets and a configuration
    // change queued behind them.
    Notification reset{};
    reset.Type = EvtType_BusReset;
    sim.SetReplyRecord(DriverRequest::GetNotification, reset, 300);
    sim.ClearLog();
    sim.QueueNotification(EvtType_DomainConfigurationChanged);
    const ULONGLONG until = ::GetTickCount64() + 5000;
    while (sim.CountRequests(DriverRequest::GetNotification) < 302 && ::GetTickCount64() < until)
        PumpMessages(10);
    PumpMessages(100);
    EXPECT_EQ(302u, sim.CountRequests(DriverRequest::GetNotification));
    EXPECT_EQ(perReload, sim.CountRequests(DriverRequest::GetDeviceList));
    EXPECT_EQ(DRVSTATUS_NO_MORE_NOTIFICATIONS, sim.Log().back().Status);
}

// Timer messages are handed out last, after input and painting; one that
// arrives while the driver still has reloads to give shows that the window
// had its turn in between.
TEST_F(DeviceEvents, AStormOfReloadsLetsPaintingAndTimersThrough) {
    OpenShell();
    constexpr size_t kReloads = 40;
    Notification restart{};
    restart.Type = EvtType_StreamingRestarted;
    sim.SetReplyRecord(DriverRequest::GetNotification, restart, kReloads);
    HWND probe =
        ::CreateWindowExA(0, "STATIC", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
    ASSERT_NE(nullptr, probe);
    ::SetTimer(probe, 1, USER_TIMER_MINIMUM, nullptr);
    sim.ClearLog();
    view->PostMessage(WM_APP_DRIVER_EVENT);
    size_t takenAtFirstTick = 0;
    size_t paintsDuringStorm = 0;
    const ULONGLONG until = ::GetTickCount64() + 20000;
    while (sim.CountRequests(DriverRequest::GetNotification) <= kReloads &&
           ::GetTickCount64() < until) {
        MSG msg;
        if (!::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
            continue;
        }
        const size_t taken = sim.CountRequests(DriverRequest::GetNotification);
        if (msg.message == WM_TIMER && msg.hwnd == probe && takenAtFirstTick == 0)
            takenAtFirstTick = taken;
        if (msg.message == WM_PAINT && taken < kReloads)
            ++paintsDuringStorm;
        ::DispatchMessageA(&msg);
    }
    ::DestroyWindow(probe);
    EXPECT_EQ(kReloads + 1, sim.CountRequests(DriverRequest::GetNotification));
    EXPECT_GT(takenAtFirstTick, 0u);
    EXPECT_LT(takenAtFirstTick, kReloads);
    EXPECT_GT(paintsDuringStorm, 0u);
}

TEST(DriverInterfaceClass, RegistrationUsesTheDriversClass) {
    // The class registered for arrivals is the one the driver declares.
    char text[64];
    const GUID& g = CIXO_CPLView::DriverInterfaceClass;
    std::snprintf(text, sizeof(text), "{%08lX-%04X-%04X-%02X%02X-%02X%02X%02X%02X%02X%02X}",
                  g.Data1, g.Data2, g.Data3, g.Data4[0], g.Data4[1], g.Data4[2], g.Data4[3],
                  g.Data4[4], g.Data4[5], g.Data4[6], g.Data4[7]);
    EXPECT_STREQ(DRIVER_DEVICE_CLASS, text);
}

} // namespace
