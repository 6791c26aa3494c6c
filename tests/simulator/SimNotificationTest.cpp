#include "SimFixture.h"

#include <vector>

namespace {
class SimNotifications : public SimFixture {
protected:
    HANDLE event = nullptr;

    void SetUp() override {
        SimFixture::SetUp();
        event = CreateEventA(nullptr, FALSE, FALSE, nullptr);
        ASSERT_EQ(0u, Register(device, event));
    }
    void TearDown() override {
        SimFixture::TearDown();
        CloseHandle(event);
    }

    DWORD Register(HANDLE on, HANDLE waitable) {
        const uint32_t value = static_cast<uint32_t>(reinterpret_cast<UINT_PTR>(waitable));
        return Send(DriverRequest::RegisterNotificationEvent, &value, sizeof(value), nullptr, 0,
                    on);
    }
    // The types queued for a handle, in order, until the driver says no more.
    std::vector<uint32_t> Drain(HANDLE on) {
        std::vector<uint32_t> types;
        for (;;) {
            Notification notification{};
            const DWORD status = Send(DriverRequest::GetNotification, nullptr, 0, &notification,
                                      sizeof(notification), on);
            if (status != 0) {
                EXPECT_EQ(DRVSTATUS_NO_MORE_NOTIFICATIONS, status);
                return types;
            }
            types.push_back(notification.Type);
        }
    }
    std::vector<uint32_t> Drain() { return Drain(device); }
    bool Signalled(HANDLE waitable) { return WaitForSingleObject(waitable, 0) == WAIT_OBJECT_0; }
};
} // namespace

TEST_F(SimNotifications, QueuesPerHandleAndSignalsOnlyTheRegisteredEvents) {
    const HANDLE listener = OpenDevice();
    const HANDLE silent = OpenDevice();
    const HANDLE listenerEvent = CreateEventA(nullptr, FALSE, FALSE, nullptr);
    ASSERT_EQ(0u, Register(listener, listenerEvent));

    sim.QueueNotification(EvtType_BusReset);
    sim.QueueNotification(77);
    EXPECT_TRUE(Signalled(event));
    EXPECT_TRUE(Signalled(listenerEvent));

    EXPECT_EQ((std::vector<uint32_t>{EvtType_BusReset, 77}), Drain(listener));
    EXPECT_EQ(0u, sim.PendingNotifications(listener));
    EXPECT_EQ(2u, sim.PendingNotifications(device)) << "draining one handle leaves the other";
    EXPECT_EQ((std::vector<uint32_t>{EvtType_BusReset, 77}), Drain());
    EXPECT_TRUE(Drain(silent).empty()) << "a handle without an event gets nothing queued";

    DriverTransport::Close(listener);
    CloseHandle(listenerEvent);
    sim.QueueNotification(EvtType_BusReset);
    EXPECT_EQ(1u, sim.PendingNotifications(device));
}

TEST_F(SimNotifications, RegistrationSurvivesTheCallerClosingItsEventHandle) {
    const HANDLE listener = OpenDevice();
    HANDLE own = CreateEventA(nullptr, FALSE, FALSE, nullptr);
    ASSERT_EQ(0u, Register(listener, own));
    CloseHandle(own);
    sim.QueueNotification(EvtType_StreamingRestarted);
    EXPECT_EQ(std::vector<uint32_t>{EvtType_StreamingRestarted}, Drain(listener));
}

TEST_F(SimNotifications, RefusesAnEventValueThatIsNoHandle) {
    const HANDLE listener = OpenDevice();
    EXPECT_EQ(static_cast<DWORD>(ERROR_INVALID_HANDLE),
              Register(listener, reinterpret_cast<HANDLE>(static_cast<UINT_PTR>(0x7FFFFFF0))));
    sim.QueueNotification(EvtType_BusReset);
    EXPECT_EQ(0u, sim.PendingNotifications(listener));
    EXPECT_EQ(static_cast<DWORD>(ERROR_INVALID_PARAMETER),
              Send(DriverRequest::RegisterNotificationEvent, "ab", 2, nullptr, 0, listener));
}

TEST_F(SimNotifications, QueueIsCappedButTheEventStillFires) {
    for (size_t i = 0; i < CSimConnections::QueueCapacity + 10; ++i)
        sim.QueueNotification(EvtType_BusReset);
    EXPECT_EQ(CSimConnections::QueueCapacity, sim.PendingNotifications(device));
    Drain();
    sim.QueueNotification(EvtType_DomainConfigurationChanged);
    EXPECT_TRUE(Signalled(event));
    EXPECT_EQ(std::vector<uint32_t>{EvtType_DomainConfigurationChanged}, Drain());
}

TEST_F(SimNotifications, ClockAndModeChangesQueueADomainChange) {
    const DeviceList devices = Devices();
    SynchSource source{0, 0, 0};
    ASSERT_EQ(0u, Write(DriverRequest::SetSynchSource, source));
    EXPECT_EQ(std::vector<uint32_t>{EvtType_DomainConfigurationChanged}, Drain());

    ASSERT_EQ(0u, SendValue(DriverRequest::SetSampleRateMode, 1));
    EXPECT_EQ(std::vector<uint32_t>{EvtType_DomainConfigurationChanged}, Drain());

    DeviceSynchModes modes{};
    ASSERT_EQ(0u, ReadFor(DriverRequest::GetDeviceSynchMode, devices.DeviceIds[0], modes));
    const SynchModeSelection selection{modes.DeviceId, modes.Modes[0].Kind, modes.Modes[0].ModeId};
    ASSERT_EQ(0u, Write(DriverRequest::SetDeviceSynchMode, selection));
    EXPECT_EQ(std::vector<uint32_t>{EvtType_DomainConfigurationChanged}, Drain());
}

TEST_F(SimNotifications, StreamingPairAndRateChangeQueueARestart) {
    ASSERT_EQ(0u, Send(DriverRequest::StopStreaming, nullptr, 0, nullptr, 0));
    EXPECT_FALSE(sim.Model().Streaming);
    ASSERT_EQ(0u, Send(DriverRequest::StartStreaming, nullptr, 0, nullptr, 0));
    EXPECT_TRUE(sim.Model().Streaming);
    ASSERT_EQ(0u, SendValue(DriverRequest::SetSampleRate, 44100));
    EXPECT_EQ((std::vector<uint32_t>{EvtType_StreamingRestarted, EvtType_StreamingRestarted,
                                     EvtType_StreamingRestarted}),
              Drain());
}

TEST_F(SimNotifications, RefusedOrQuietWritesQueueNothing) {
    EXPECT_NE(0u, SendValue(DriverRequest::SetSampleRate, 12345));
    EXPECT_NE(0u, SendValue(DriverRequest::SetSampleRateMode, 7));
    const SynchSource toNowhere{0, 1, 0xDEAD};
    EXPECT_EQ(static_cast<DWORD>(ERROR_INVALID_PARAMETER),
              Write(DriverRequest::SetSynchSource, toNowhere));
    const SynchModeSelection noMode{Devices().DeviceIds[0], 1, 999};
    EXPECT_EQ(static_cast<DWORD>(ERROR_INVALID_PARAMETER),
              Write(DriverRequest::SetDeviceSynchMode, noMode));
    const IncludeDeviceName include{0};
    EXPECT_EQ(0u, Write(DriverRequest::SetIncludeDeviceName, include));
    EXPECT_TRUE(Drain().empty());
    EXPECT_FALSE(Signalled(event));
}

TEST_F(SimNotifications, PluggingDevicesResetsTheBusAndLosingTheMasterFreesTheClock) {
    // Whoever listens learns of the new set of devices, not only of the reset.
    const std::vector<uint32_t> reconfigured{EvtType_BusReset, EvtType_DomainConfigurationChanged};
    const uint32_t added = sim.AddDevice("Tarnet Solo 2", "TS02-0001", 2, 2);
    ASSERT_NE(0u, added);
    EXPECT_EQ(reconfigured, Drain());
    ASSERT_TRUE(sim.RemoveDevice(added));
    EXPECT_EQ(reconfigured, Drain());

    SynchSource source{};
    ASSERT_EQ(0u, Read(DriverRequest::GetSynchSource, source));
    ASSERT_EQ(1u, source.SourceKind);
    ASSERT_TRUE(sim.RemoveDevice(source.MasterDeviceId));
    EXPECT_EQ(reconfigured, Drain());
    ASSERT_EQ(0u, Read(DriverRequest::GetSynchSource, source));
    EXPECT_EQ(0u, source.SourceKind);
    EXPECT_EQ(0u, source.MasterDeviceId);
    EXPECT_FALSE(sim.RemoveDevice(0xDEAD));
}
