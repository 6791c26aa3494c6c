// Device arrivals reach the view as WM_DEVICECHANGE; only a closed connection
// is opened by them, and then the listener starts and every page fills.
#include "ViewEventFixture.h"

#include "CDriverSettings.h"
#include "DriverCodes.h"
#include "MessagePump.h"
#include "resource.h"

#include <dbt.h>

#include <algorithm>

namespace {

const char kInterfaceName[] =
    "\\\\?\\1394#Orlaso&Quadra#5&2a1c&0&0#{006902cb-e626-45b4-8a62-2eaad63f8d12}";

class Arrival : public ViewEventFixture {};

TEST_F(Arrival, ADeviceConnectedAfterStartOpensTheDriverStartsTheListenerAndFillsEveryPage) {
    OpenShellWithoutDriver();
    ASSERT_EQ(nullptr, gDrv.m_hDevice);
    ASSERT_EQ(nullptr, view->m_Notificator.m_hThread);
    EXPECT_EQ(0u, sim.OpenHandleCount());
    EXPECT_EQ(0, devices.Rows(IDC_DEVICE_LIST));
    EXPECT_EQ(0, synchronisation.ComboCount(IDC_SAMPLING_RATE_COMBO));
    EXPECT_FALSE(settings.Enabled(IDC_STREAM_BUFFER_SLIDER));

    sim.ClearLog();
    EXPECT_EQ(TRUE, DeviceChange(DBT_DEVICEARRIVAL, kInterfaceName));

    EXPECT_NE(nullptr, gDrv.m_hDevice);
    EXPECT_NE(nullptr, view->m_Notificator.m_hThread);
    EXPECT_EQ(2u, sim.OpenHandleCount()); // the settings and the listener's own
    const int connected = static_cast<int>(sim.Model().Devices.size());
    ASSERT_GT(connected, 0);
    EXPECT_EQ(connected, devices.Rows(IDC_DEVICE_LIST));
    EXPECT_EQ(static_cast<int>(ModelChannels(true)), inputs.Rows(IDC_CHANNEL_LIST));
    EXPECT_EQ(static_cast<int>(ModelChannels(false)), outputs.Rows(IDC_CHANNEL_LIST));
    EXPECT_EQ(connected, streams.Rows(IDC_STREAM_LIST));
    EXPECT_EQ(connected + 1, synchronisation.Rows(IDC_SYNCH_LIST)); // with "PC Driver"
    EXPECT_GT(synchronisation.ComboCount(IDC_SAMPLING_RATE_COMBO), 0);
    EXPECT_TRUE(settings.Enabled(IDC_STREAM_BUFFER_SLIDER));

    // The arrival reloaded every page exactly once, after opening.
    const std::vector<uint32_t> arrival = Logged();
    const std::vector<uint32_t> reload = OneReload();
    ASSERT_FALSE(reload.empty());
    ASSERT_GE(arrival.size(), reload.size());
    EXPECT_TRUE(std::equal(reload.begin(), reload.end(), arrival.end() - reload.size()));
    // Opening asks for no list: every list read belongs to the one reload.
    EXPECT_EQ(std::count(reload.begin(), reload.end(), DriverRequest::GetDeviceList),
              std::count(arrival.begin(), arrival.end(), DriverRequest::GetDeviceList));

    // The listener it started wakes this view for the driver's own events.
    sim.QueueNotification(EvtType_DomainConfigurationChanged);
    ASSERT_TRUE(PumpUntilDrained());
    EXPECT_EQ(Sequence({{kTookEvent}, reload, {kQueueEmpty}}), Logged());
}

TEST_F(Arrival, WithAWorkingConnectionArrivalAndRemovalOnlyCheckIt) {
    OpenShell();
    const HANDLE device = gDrv.m_hDevice;
    const HANDLE listener = view->m_Notificator.m_hThread;
    ASSERT_NE(nullptr, device);
    ASSERT_NE(nullptr, listener);
    sim.ClearLog();
    EXPECT_EQ(TRUE, DeviceChange(DBT_DEVICEARRIVAL, kInterfaceName));
    EXPECT_EQ(TRUE, DeviceChange(DBT_DEVICEREMOVECOMPLETE, kInterfaceName));
    PumpMessages(100);
    EXPECT_EQ(std::vector<uint32_t>(2, DriverRequest::GetInterfaceVersion), Logged());
    EXPECT_EQ(device, gDrv.m_hDevice);
    EXPECT_EQ(listener, view->m_Notificator.m_hThread);
    EXPECT_EQ(2u, sim.OpenHandleCount());
}

TEST_F(Arrival, AfterADriverRestartAnArrivalReconnectsBothConnectionsAndReloads) {
    OpenShell();
    const std::vector<uint32_t> reload = OneReload();
    for (uint32_t lost :
         {ERROR_DEVICE_NOT_CONNECTED, ERROR_INVALID_HANDLE, ERROR_FILE_NOT_FOUND, ERROR_BAD_COMMAND,
          ERROR_DEVICE_REMOVED, ERROR_ACCESS_DENIED, ERROR_DEV_NOT_EXIST}) {
        SCOPED_TRACE(lost);
        const HANDLE before = gDrv.m_hDevice;
        const HANDLE listenerBefore = view->m_Notificator.m_hDevice;
        sim.RestartDriver(lost);
        sim.ClearLog();
        EXPECT_EQ(TRUE, DeviceChange(DBT_DEVICEARRIVAL, kInterfaceName));
        ASSERT_NE(nullptr, gDrv.m_hDevice);
        EXPECT_NE(before, gDrv.m_hDevice);
        EXPECT_NE(nullptr, view->m_Notificator.m_hThread);
        EXPECT_NE(listenerBefore, view->m_Notificator.m_hDevice);
        EXPECT_EQ(2u, sim.OpenHandleCount()) << "the lost handles are closed";
        // Every page was reloaded once, on the new connection.
        const std::vector<uint32_t> arrival = Logged();
        ASSERT_GE(arrival.size(), reload.size());
        EXPECT_TRUE(std::equal(reload.begin(), reload.end(), arrival.end() - reload.size()));
        EXPECT_EQ(static_cast<int>(sim.Model().Devices.size()), devices.Rows(IDC_DEVICE_LIST));

        // The listener's new connection hears the driver's events.
        sim.ClearLog();
        sim.QueueNotification(EvtType_DomainConfigurationChanged);
        ASSERT_TRUE(PumpUntilDrained());
        EXPECT_EQ(Sequence({{kTookEvent}, reload, {kQueueEmpty}}), Logged());
    }
}

TEST_F(Arrival, AConnectionThatFailsForAnyOtherReasonIsKept) {
    OpenShell();
    const HANDLE device = gDrv.m_hDevice;
    const HANDLE listener = view->m_Notificator.m_hThread;
    for (uint32_t status :
         {DRVSTATUS_FAILED, DRVSTATUS_NOT_OPEN, static_cast<uint32_t>(ERROR_BUSY),
          static_cast<uint32_t>(ERROR_NOT_ENOUGH_MEMORY), static_cast<uint32_t>(ERROR_IO_DEVICE)}) {
        SCOPED_TRACE(status);
        sim.FailRequest(DriverRequest::GetInterfaceVersion, status, false);
        sim.ClearLog();
        EXPECT_EQ(TRUE, DeviceChange(DBT_DEVICEARRIVAL, kInterfaceName));
        EXPECT_EQ(std::vector<uint32_t>{DriverRequest::GetInterfaceVersion}, Logged());
        EXPECT_EQ(device, gDrv.m_hDevice);
        EXPECT_EQ(listener, view->m_Notificator.m_hThread);
    }
}

TEST_F(Arrival, ADriverThatIsGoneAfterARestartIsOpenedAgainWhenItIsBack) {
    OpenShell();
    sim.RestartDriver(ERROR_DEVICE_NOT_CONNECTED);
    sim.SetDriverPresent(false);
    EXPECT_EQ(TRUE, DeviceChange(DBT_DEVICEREMOVECOMPLETE, kInterfaceName));
    EXPECT_EQ(nullptr, gDrv.m_hDevice);
    EXPECT_EQ(nullptr, view->m_Notificator.m_hThread);
    EXPECT_EQ(0u, sim.OpenHandleCount());
    EXPECT_EQ(0, devices.Rows(IDC_DEVICE_LIST));

    sim.SetDriverPresent(true);
    EXPECT_EQ(TRUE, DeviceChange(DBT_DEVICEARRIVAL, kInterfaceName));
    EXPECT_NE(nullptr, gDrv.m_hDevice);
    EXPECT_NE(nullptr, view->m_Notificator.m_hThread);
    EXPECT_EQ(static_cast<int>(sim.Model().Devices.size()), devices.Rows(IDC_DEVICE_LIST));
}

TEST_F(Arrival, NamesShorterThanFiveCharactersAreIgnored) {
    OpenShellWithoutDriver();
    sim.ClearLog();
    EXPECT_EQ(TRUE, DeviceChange(DBT_DEVICEARRIVAL, "\\\\?\\"));
    EXPECT_EQ(TRUE, DeviceChange(DBT_DEVICEREMOVECOMPLETE, "abcd"));
    EXPECT_TRUE(sim.Log().empty());
    EXPECT_EQ(nullptr, gDrv.m_hDevice);
    EXPECT_EQ(nullptr, view->m_Notificator.m_hThread);
    EXPECT_EQ(0, devices.Rows(IDC_DEVICE_LIST));

    EXPECT_EQ(TRUE, DeviceChange(DBT_DEVICEARRIVAL, "abcde"));
    EXPECT_NE(nullptr, gDrv.m_hDevice);
    EXPECT_NE(nullptr, view->m_Notificator.m_hThread);
}

TEST_F(Arrival, QueryRemoveIsGrantedAndChangesNothing) {
    OpenShellWithoutDriver();
    sim.ClearLog();
    EXPECT_EQ(TRUE, DeviceChange(DBT_DEVICEQUERYREMOVE, kInterfaceName));
    EXPECT_EQ(nullptr, gDrv.m_hDevice);
    EXPECT_TRUE(sim.Log().empty());

    DeviceChange(DBT_DEVICEARRIVAL, kInterfaceName);
    const HANDLE device = gDrv.m_hDevice;
    sim.ClearLog();
    EXPECT_EQ(TRUE, DeviceChange(DBT_DEVICEQUERYREMOVE, kInterfaceName));
    EXPECT_EQ(device, gDrv.m_hDevice);
    EXPECT_TRUE(sim.Log().empty());
}

TEST_F(Arrival, ARemovalAfterTheDriverWentAwayReopensWhenItIsBack) {
    OpenShellWithoutDriver();
    // Still absent: the arrival fails to open but reloads the empty pages.
    sim.SetDriverPresent(false);
    EXPECT_EQ(TRUE, DeviceChange(DBT_DEVICEARRIVAL, kInterfaceName));
    EXPECT_EQ(nullptr, gDrv.m_hDevice);
    EXPECT_EQ(nullptr, view->m_Notificator.m_hThread);
    sim.SetDriverPresent(true);
    EXPECT_EQ(TRUE, DeviceChange(DBT_DEVICEREMOVECOMPLETE, kInterfaceName));
    EXPECT_NE(nullptr, gDrv.m_hDevice);
    EXPECT_NE(nullptr, view->m_Notificator.m_hThread);
    EXPECT_EQ(static_cast<int>(sim.Model().Devices.size()), devices.Rows(IDC_DEVICE_LIST));
}

} // namespace
