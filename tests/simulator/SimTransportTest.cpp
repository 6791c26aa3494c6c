#include "SimFixture.h"

#include <cstring>
#include <vector>

using SimTransport = SimFixture;

TEST_F(SimTransport, OpensOnlyTheDriverDeviceAndGivesEachOpenItsOwnHandle) {
    const HANDLE second = OpenDevice();
    ASSERT_NE(second, INVALID_HANDLE_VALUE);
    EXPECT_NE(second, device);
    EXPECT_EQ(2u, sim.OpenHandleCount());

    EXPECT_EQ(INVALID_HANDLE_VALUE, DriverTransport::Open("\\\\.\\{00000000-0000-0000-0000-0}"));
    EXPECT_EQ(static_cast<DWORD>(ERROR_FILE_NOT_FOUND), DriverTransport::LastError());
    EXPECT_EQ(INVALID_HANDLE_VALUE, DriverTransport::Open(DRIVER_INTERFACE_ID));
    std::string upper = DeviceName();
    for (char& c : upper)
        c = static_cast<char>(toupper(static_cast<unsigned char>(c)));
    const HANDLE third = DriverTransport::Open(upper.c_str());
    EXPECT_NE(INVALID_HANDLE_VALUE, third) << "device names ignore case";
    DriverTransport::Close(third);
    EXPECT_EQ(INVALID_HANDLE_VALUE, DriverTransport::Open(nullptr));

    EXPECT_TRUE(DriverTransport::Close(second));
    EXPECT_FALSE(DriverTransport::Close(second));
    EXPECT_EQ(static_cast<DWORD>(ERROR_INVALID_HANDLE), DriverTransport::LastError());
    DriverVersion version{};
    EXPECT_EQ(
        static_cast<DWORD>(ERROR_INVALID_HANDLE),
        Send(DriverRequest::GetInterfaceVersion, nullptr, 0, &version, sizeof(version), second));
    EXPECT_EQ(1u, sim.OpenHandleCount());
}

TEST_F(SimTransport, AbsentDriverCannotBeOpenedAndFailsOpenHandles) {
    sim.SetDriverPresent(false);
    EXPECT_EQ(INVALID_HANDLE_VALUE, OpenDevice());
    EXPECT_EQ(static_cast<DWORD>(ERROR_FILE_NOT_FOUND), DriverTransport::LastError());
    DeviceList list{};
    EXPECT_NE(0u, Read(DriverRequest::GetDeviceList, list));

    sim.SetDriverPresent(true);
    const HANDLE again = OpenDevice();
    EXPECT_NE(INVALID_HANDLE_VALUE, again);
    EXPECT_EQ(0u, Read(DriverRequest::GetDeviceList, list));
    EXPECT_EQ(2u, list.Count);
}

TEST_F(SimTransport, ARestartedDriverFailsOldHandlesUntilClosedAndServesNewOnes) {
    HANDLE event = CreateEventA(nullptr, FALSE, FALSE, nullptr);
    const uint32_t value = static_cast<uint32_t>(reinterpret_cast<UINT_PTR>(event));
    ASSERT_EQ(0u,
              Send(DriverRequest::RegisterNotificationEvent, &value, sizeof(value), nullptr, 0));
    const std::string name = "Drum room";
    sim.Model().Devices[0].Name = name;

    sim.RestartDriver(ERROR_BAD_COMMAND);
    DriverVersion version{};
    EXPECT_EQ(static_cast<DWORD>(ERROR_BAD_COMMAND),
              Read(DriverRequest::GetInterfaceVersion, version));
    EXPECT_EQ(static_cast<DWORD>(ERROR_BAD_COMMAND),
              Send(DriverRequest::RegisterNotificationEvent, &value, sizeof(value), nullptr, 0));
    // The old registration is gone with the old driver.
    sim.QueueNotification(EvtType_StreamingRestarted);
    EXPECT_EQ(static_cast<DWORD>(WAIT_TIMEOUT), WaitForSingleObject(event, 0));

    const HANDLE fresh = OpenDevice();
    ASSERT_NE(INVALID_HANDLE_VALUE, fresh);
    EXPECT_EQ(
        0u, Send(DriverRequest::GetInterfaceVersion, nullptr, 0, &version, sizeof(version), fresh));
    const DeviceList list = [&] {
        DeviceList devices{};
        EXPECT_EQ(0u,
                  Send(DriverRequest::GetDeviceList, nullptr, 0, &devices, sizeof(devices), fresh));
        return devices;
    }();
    DeviceProperties first{};
    EXPECT_EQ(0u, Send(DriverRequest::GetDeviceProperties, &list.DeviceIds[0], 4, &first,
                       sizeof(first), fresh));
    EXPECT_EQ(name, FieldText(first.DeviceName)) << "the settings survive the restart";
    EXPECT_TRUE(DriverTransport::Close(device));
    EXPECT_EQ(1u, sim.OpenHandleCount());
    CloseHandle(event);
}

TEST_F(SimTransport, ReportsTheSettableInterfaceVersion) {
    DriverVersion version{};
    ASSERT_EQ(0u, Read(DriverRequest::GetInterfaceVersion, version));
    EXPECT_EQ(2, version.Major);
    EXPECT_GE(version.Minor, 10);
    sim.SetInterfaceVersion(2, 9);
    ASSERT_EQ(0u, Read(DriverRequest::GetInterfaceVersion, version));
    EXPECT_EQ(2, version.Major);
    EXPECT_EQ(9, version.Minor);
}

TEST_F(SimTransport, RejectsWrongSizesUnknownCodesAndMissingBuffers) {
    DeviceList list{};
    list.Count = 0xAAAA;
    DWORD returned = 77;
    EXPECT_FALSE(SyncControl(device, DriverRequest::GetDeviceList, nullptr, 0, &list,
                             sizeof(list) - 1, &returned));
    EXPECT_EQ(static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER), DriverTransport::LastError());
    EXPECT_EQ(0u, returned);
    EXPECT_EQ(0xAAAAu, list.Count) << "a failed request must not write the caller's buffer";

    const uint32_t id = Devices().DeviceIds[0];
    DeviceProperties properties{};
    EXPECT_EQ(static_cast<DWORD>(ERROR_INVALID_PARAMETER),
              Send(DriverRequest::GetDeviceProperties, &id, 2, &properties, sizeof(properties)));
    EXPECT_EQ(static_cast<DWORD>(ERROR_INVALID_FUNCTION),
              Send(DriverControlCode(0xA02), nullptr, 0, nullptr, 0));
    EXPECT_EQ(static_cast<DWORD>(ERROR_NOACCESS),
              Send(DriverRequest::GetDeviceList, nullptr, 0, nullptr, sizeof(list)));

    ASSERT_TRUE(SyncControl(device, DriverRequest::GetDeviceList, nullptr, 0, &list, sizeof(list),
                            &returned));
    EXPECT_EQ(sizeof(list), returned);
}

TEST_F(SimTransport, UnknownIdsAreRefused) {
    DeviceProperties properties{};
    EXPECT_EQ(static_cast<DWORD>(ERROR_INVALID_PARAMETER),
              ReadFor(DriverRequest::GetDeviceProperties, 0x12345u, properties));
    ChannelProperties channel{};
    EXPECT_EQ(static_cast<DWORD>(ERROR_INVALID_PARAMETER),
              ReadFor(DriverRequest::GetChannelProperties, 0x12345u, channel));
    StreamStatus stream{};
    EXPECT_EQ(static_cast<DWORD>(ERROR_INVALID_PARAMETER),
              ReadFor(DriverRequest::GetStreamStatus, 0u, stream));
}

TEST_F(SimTransport, LogsEveryRequestWithInputOutputSizeAndStatus) {
    sim.ClearLog();
    const ParamValue rate{0, 44100};
    EXPECT_EQ(0u, Write(DriverRequest::SetSampleRate, rate));
    Notification notification{};
    EXPECT_EQ(DRVSTATUS_NO_MORE_NOTIFICATIONS, Read(DriverRequest::GetNotification, notification));

    const std::vector<SimLogEntry> log = sim.Log();
    ASSERT_EQ(2u, log.size());
    EXPECT_EQ(device, log[0].Handle);
    EXPECT_EQ(DriverRequest::SetSampleRate, log[0].Code);
    const std::vector<uint8_t> expected = {0, 0, 0, 0, 0x44, 0xAC, 0, 0};
    EXPECT_EQ(expected, log[0].Input);
    EXPECT_EQ(0u, log[0].OutSize);
    EXPECT_EQ(0u, log[0].Status);
    EXPECT_EQ(DriverRequest::GetNotification, log[1].Code);
    EXPECT_EQ(sizeof(Notification), log[1].OutSize);
    EXPECT_EQ(DRVSTATUS_NO_MORE_NOTIFICATIONS, log[1].Status);
    EXPECT_EQ(1u, sim.CountRequests(DriverRequest::SetSampleRate));

    sim.ClearLog();
    EXPECT_TRUE(sim.Log().empty());
}

TEST_F(SimTransport, InjectedFaultsFailOnceOrAlwaysWithoutChangingTheDriver) {
    sim.FailRequest(DriverRequest::SetSampleRate, DRVSTATUS_FCP_REJECTED, false);
    EXPECT_EQ(DRVSTATUS_FCP_REJECTED, SendValue(DriverRequest::SetSampleRate, 96000));
    SampleRates rates{};
    ASSERT_EQ(0u, Read(DriverRequest::GetSampleRates, rates));
    EXPECT_EQ(48000u, rates.CurrentRate);
    EXPECT_EQ(0u, SendValue(DriverRequest::SetSampleRate, 96000));

    sim.FailRequest(DriverRequest::GetDeviceList, ERROR_GEN_FAILURE, true);
    DeviceList list{};
    EXPECT_EQ(static_cast<DWORD>(ERROR_GEN_FAILURE), Read(DriverRequest::GetDeviceList, list));
    EXPECT_EQ(static_cast<DWORD>(ERROR_GEN_FAILURE), Read(DriverRequest::GetDeviceList, list));
    EXPECT_EQ(0u, Read(DriverRequest::GetSampleRates, rates)) << "other codes are untouched";
    sim.ClearFaults();
    EXPECT_EQ(0u, Read(DriverRequest::GetDeviceList, list));
}

TEST_F(SimTransport, OverriddenRepliesCarryMalformedRecordsCutToTheBuffer) {
    DeviceList bad{};
    bad.Count = 1000;
    std::vector<uint8_t> bytes(sizeof(bad) + 16, 0xEE);
    memcpy(bytes.data(), &bad, sizeof(bad));
    sim.SetReply(DriverRequest::GetDeviceList, bytes);

    std::vector<uint8_t> buffer(sizeof(DeviceList) + 16, 0);
    DWORD returned = 0;
    ASSERT_TRUE(SyncControl(device, DriverRequest::GetDeviceList, nullptr, 0, buffer.data(),
                            sizeof(DeviceList), &returned));
    EXPECT_EQ(sizeof(DeviceList), returned);
    uint32_t count = 0;
    memcpy(&count, buffer.data(), sizeof(count));
    EXPECT_EQ(1000u, count);
    EXPECT_EQ(0, buffer[sizeof(DeviceList)]) << "never written past the caller's size";

    sim.ClearReply(DriverRequest::GetDeviceList);
    EXPECT_EQ(2u, Devices().Count);

    AudioBufferDepth zeroStep{4000, 1000, 0, 192};
    sim.SetReplyRecord(DriverRequest::GetAsioBufferDepth, zeroStep);
    AudioBufferDepth reply{};
    ASSERT_EQ(0u, Read(DriverRequest::GetAsioBufferDepth, reply));
    EXPECT_EQ(0u, reply.Step);
    EXPECT_EQ(0u, Read(DriverRequest::GetWdmBufferDepth, reply));
    EXPECT_NE(0u, reply.Step) << "only the overridden code answers differently";
}

TEST_F(SimTransport, ResetClosesHandlesAndRestoresTheDefaults) {
    ASSERT_EQ(0u, SendValue(DriverRequest::SetSampleRate, 96000));
    sim.SetDriverPresent(false);
    sim.Reset();
    EXPECT_EQ(0u, sim.OpenHandleCount());
    device = OpenDevice();
    ASSERT_NE(INVALID_HANDLE_VALUE, device);
    SampleRates rates{};
    ASSERT_EQ(0u, Read(DriverRequest::GetSampleRates, rates));
    EXPECT_EQ(48000u, rates.CurrentRate);
}

TEST_F(SimTransport, ServesTwoThreadsAtOnce) {
    struct Worker {
        static DWORD WINAPI Run(void*) {
            const HANDLE own = DriverTransport::Open(SimFixture::DeviceName().c_str());
            DWORD failures = 0;
            for (int i = 0; i < 500; ++i) {
                DeviceList list{};
                DWORD returned = 0;
                if (!SyncControl(own, DriverRequest::GetDeviceList, nullptr, 0, &list, sizeof(list),
                                 &returned) ||
                    list.Count != 2)
                    ++failures;
            }
            DriverTransport::Close(own);
            return failures;
        }
    };
    const HANDLE thread = CreateThread(nullptr, 0, &Worker::Run, nullptr, 0, nullptr);
    ASSERT_NE(nullptr, thread);
    for (int i = 0; i < 500; ++i)
        sim.QueueNotification(EvtType_BusReset);
    ASSERT_EQ(WAIT_OBJECT_0, WaitForSingleObject(thread, 30000));
    DWORD failures = 1;
    GetExitCodeThread(thread, &failures);
    CloseHandle(thread);
    EXPECT_EQ(0u, failures);
}
