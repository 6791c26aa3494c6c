#include "CDriver.h"
#include "DriverCodes.h"
#include "FakeTransport.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

// Records the operations read into or send from; their contents do not
// matter for the table, which only checks what travels.
struct Records {
    DriverVersion Version{};
    uint32_t Value = 0;
    Notification Note{};
    DeviceList Devices{};
    ChannelList Channels{};
    SynchSource Source{};
    SampleRates Rates{};
    DeviceSynchModes Modes{};
    SynchModeSelection Selection{};
    DeviceProperties Device{};
    StreamStatus Stream{};
    ChannelProperties Channel{};
    StreamBufferDepth StreamDepth{};
    AudioBufferDepth AudioDepth{};
    AsioStatistics Statistics{};
};

struct CatalogueEntry {
    const char* Name;
    uint32_t Code;
    DWORD InSize;
    DWORD OutSize;
    uint32_t (*Call)(CDriver& driver, Records& r);
};

const CatalogueEntry kCatalogue[] = {
    {"GetInterfaceVersion", 0x80882804, 0, 12,
     [](CDriver& d, Records& r) { return d.GetInterfaceVersion(&r.Version); }},
    {"GetIncludeDeviceName", 0x80882810, 0, 4,
     [](CDriver& d, Records& r) { return d.GetIncludeDeviceName(&r.Value); }},
    {"SetIncludeDeviceName", 0x80882814, 4, 0,
     [](CDriver& d, Records&) { return d.SetIncludeDeviceName(1); }},
    {"RegisterNotificationEvent", 0x80882820, 4, 0,
     [](CDriver& d, Records&) { return d.RegisterNotificationEvent(nullptr); }},
    {"GetNotification", 0x80882828, 0, 12,
     [](CDriver& d, Records& r) { return d.GetNotification(&r.Note); }},
    {"GetDeviceList", 0x80882860, 0, 260,
     [](CDriver& d, Records& r) { return d.GetDeviceList(&r.Devices); }},
    {"GetChannelList", 0x80882864, 0, 2056,
     [](CDriver& d, Records& r) { return d.GetChannelList(&r.Channels); }},
    {"GetSynchSource", 0x80882880, 0, 12,
     [](CDriver& d, Records& r) { return d.GetSynchSource(&r.Source); }},
    {"SetSynchSource", 0x80882884, 12, 0,
     [](CDriver& d, Records& r) { return d.SetSynchSource(&r.Source); }},
    {"GetSampleRateMode", 0x80882888, 0, 8,
     [](CDriver& d, Records& r) { return d.GetSampleRateMode(&r.Value); }},
    {"SetSampleRateMode", 0x8088288C, 8, 0,
     [](CDriver& d, Records&) { return d.SetSampleRateMode(1); }},
    {"GetSampleRates", 0x808828C0, 0, 44,
     [](CDriver& d, Records& r) { return d.GetSampleRates(&r.Rates); }},
    {"SetSampleRate", 0x808828C4, 8, 0,
     [](CDriver& d, Records&) { return d.SetSampleRate(44100); }},
    {"GetDeviceSynchMode", 0x80882900, 4, 824,
     [](CDriver& d, Records& r) { return d.GetDeviceSynchMode(7, &r.Modes); }},
    {"SetDeviceSynchMode", 0x80882904, 12, 0,
     [](CDriver& d, Records& r) { return d.SetDeviceSynchMode(&r.Selection); }},
    {"GetDeviceProperties", 0x80882920, 4, 432,
     [](CDriver& d, Records& r) { return d.GetDeviceProperties(7, &r.Device); }},
    {"SetDeviceProperties", 0x80882924, 432, 0,
     [](CDriver& d, Records& r) { return d.SetDeviceProperties(&r.Device); }},
    {"GetStreamStatus", 0x80882928, 4, 212,
     [](CDriver& d, Records& r) { return d.GetStreamStatus(7, &r.Stream); }},
    {"GetChannelProperties", 0x80882980, 4, 92,
     [](CDriver& d, Records& r) { return d.GetChannelProperties(7, &r.Channel); }},
    {"SetChannelProperties", 0x80882984, 92, 0,
     [](CDriver& d, Records& r) { return d.SetChannelProperties(&r.Channel); }},
    {"StartStreaming", 0x80882A00, 0, 0, [](CDriver& d, Records&) { return d.StartStreaming(); }},
    {"StopStreaming", 0x80882A04, 0, 0, [](CDriver& d, Records&) { return d.StopStreaming(); }},
    {"GetStreamBufferDepth", 0x80882A80, 0, 16,
     [](CDriver& d, Records& r) { return d.GetStreamBufferDepth(&r.StreamDepth); }},
    {"SetStreamBufferDepth", 0x80882A84, 16, 0,
     [](CDriver& d, Records& r) { return d.SetStreamBufferDepth(&r.StreamDepth); }},
    {"GetAsioBufferDepth", 0x80882A88, 0, 16,
     [](CDriver& d, Records& r) { return d.GetAsioBufferDepth(&r.AudioDepth); }},
    {"SetAsioBufferDepth", 0x80882A8C, 16, 0,
     [](CDriver& d, Records& r) { return d.SetAsioBufferDepth(&r.AudioDepth); }},
    {"GetWdmBufferDepth", 0x80882A90, 0, 16,
     [](CDriver& d, Records& r) { return d.GetWdmBufferDepth(&r.AudioDepth); }},
    {"SetWdmBufferDepth", 0x80882A94, 16, 0,
     [](CDriver& d, Records& r) { return d.SetWdmBufferDepth(&r.AudioDepth); }},
    {"GetAsioStatistics", 0x80882AC8, 0, 60,
     [](CDriver& d, Records& r) { return d.GetAsioStatistics(&r.Statistics); }},
};

class CatalogueTest : public ::testing::Test {
protected:
    void SetUp() override {
        FakeDriver::Reset();
        ASSERT_EQ(driver.Open(), 0u);
        FakeDriver::ClearLog();
    }

    CDriver driver;
    Records records;
};

TEST_F(CatalogueTest, EveryRequestHasItsCodeAndSizes) {
    ASSERT_EQ(std::size(kCatalogue), 29u);
    for (const CatalogueEntry& entry : kCatalogue) {
        SCOPED_TRACE(entry.Name);
        FakeDriver::ClearLog();
        EXPECT_EQ(entry.Call(driver, records), 0u);
        std::vector<FakeRequest> log = FakeDriver::Log();
        ASSERT_EQ(log.size(), 1u);
        EXPECT_EQ(log[0].Code, entry.Code);
        EXPECT_EQ(log[0].Input.size(), entry.InSize);
        EXPECT_EQ(log[0].OutSize, entry.OutSize);
    }
}

TEST_F(CatalogueTest, EveryRequestReturnsTheDriverStatusUnchanged) {
    // A distinct status per request, so a status taken from the wrong call
    // would show.
    FakeDriver::SetResponder([](const FakeRequest& request, uint8_t*) -> uint32_t {
        return 0xE0000000u | (request.Code & 0xFFFFu);
    });
    for (const CatalogueEntry& entry : kCatalogue) {
        if (entry.Code == DriverRequest::GetInterfaceVersion)
            continue; // answered by the version setting of the fake
        SCOPED_TRACE(entry.Name);
        EXPECT_EQ(entry.Call(driver, records), 0xE0000000u | (entry.Code & 0xFFFFu));
    }
    FakeDriver::SetVersionStatus(0xE0000099);
    EXPECT_EQ(driver.GetInterfaceVersion(&records.Version), 0xE0000099u);
}

TEST_F(CatalogueTest, ClosedConnectionRefusesEveryRequest) {
    driver.Close();
    FakeDriver::ClearLog();
    for (const CatalogueEntry& entry : kCatalogue) {
        SCOPED_TRACE(entry.Name);
        EXPECT_EQ(entry.Call(driver, records), 0xE0000013u);
    }
    EXPECT_TRUE(FakeDriver::Log().empty());
}

TEST_F(CatalogueTest, ValueRequestsSendZeroThenTheValue) {
    EXPECT_EQ(driver.SetSampleRate(48000), 0u);
    EXPECT_EQ(driver.SetSampleRateMode(1), 0u);
    EXPECT_EQ(driver.SetIncludeDeviceName(1), 0u);
    std::vector<FakeRequest> log = FakeDriver::Log();
    ASSERT_EQ(log.size(), 3u);
    EXPECT_EQ(log[0].Input, std::vector<uint8_t>({0, 0, 0, 0, 0x80, 0xBB, 0, 0}));
    EXPECT_EQ(log[1].Input, std::vector<uint8_t>({0, 0, 0, 0, 1, 0, 0, 0}));
    EXPECT_EQ(log[2].Input, std::vector<uint8_t>({1, 0, 0, 0}));
}

TEST_F(CatalogueTest, SampleRateModeIsStoredOnlyOnSuccess) {
    uint32_t status = 0;
    FakeDriver::SetResponder([&status](const FakeRequest&, uint8_t* out) {
        ParamValue reply{0xFFFFFFFF, 1};
        WriteReply(out, reply);
        return status;
    });
    uint32_t mode = 0;
    EXPECT_EQ(driver.GetSampleRateMode(&mode), 0u);
    EXPECT_EQ(mode, 1u);
    status = 0xE0000005;
    mode = 7;
    EXPECT_EQ(driver.GetSampleRateMode(&mode), 0xE0000005u);
    EXPECT_EQ(mode, 7u);
}

TEST_F(CatalogueTest, RequestsByIdSendTheIdAndFillTheCallersRecord) {
    FakeDriver::SetResponder([](const FakeRequest& request, uint8_t* out) -> uint32_t {
        std::memset(out, 0, request.OutSize);
        uint32_t id = InputId(request);
        std::memcpy(out + request.OutSize - sizeof id, &id, sizeof id);
        return 0;
    });
    DeviceProperties device{};
    StreamStatus stream{};
    DeviceSynchModes modes{};
    ChannelProperties channel{};
    ASSERT_EQ(driver.GetDeviceProperties(0x12345678, &device), 0u);
    ASSERT_EQ(driver.GetStreamStatus(0x01020304, &stream), 0u);
    ASSERT_EQ(driver.GetDeviceSynchMode(0xA0B0C0D0, &modes), 0u);
    ASSERT_EQ(driver.GetChannelProperties(0xFFFFFFFE, &channel), 0u);
    std::vector<FakeRequest> log = FakeDriver::Log();
    ASSERT_EQ(log.size(), 4u);
    EXPECT_EQ(log[0].Input, std::vector<uint8_t>({0x78, 0x56, 0x34, 0x12}));
    EXPECT_EQ(InputId(log[1]), 0x01020304u);
    EXPECT_EQ(InputId(log[2]), 0xA0B0C0D0u);
    EXPECT_EQ(InputId(log[3]), 0xFFFFFFFEu);
    // The reply lands in the caller's record, up to its last byte.
    uint32_t tail = 0;
    std::memcpy(&tail, device.SerialNumber + 380, 4);
    EXPECT_EQ(tail, 0x12345678u);
    EXPECT_EQ(stream.SynchIn.SupportedRates[7], 0x01020304u);
    EXPECT_EQ(modes.Modes[15].Name[36], static_cast<char>(0xD0));
    std::memcpy(&tail, channel.ChannelName + 36, 4);
    EXPECT_EQ(tail, 0xFFFFFFFEu);
}

TEST_F(CatalogueTest, WritesSendTheWholeRecordAsItStands) {
    DeviceProperties device;
    for (size_t i = 0; i < sizeof device; ++i)
        reinterpret_cast<uint8_t*>(&device)[i] = static_cast<uint8_t>(i * 7);
    ChannelProperties channel;
    std::memset(&channel, 0xC3, sizeof channel);
    AudioBufferDepth depth{4000, 1000, 500, 192};
    StreamBufferDepth streamDepth{1000, 20000, 250, 3000};
    SynchModeSelection selection{5, 2, 9};
    ASSERT_EQ(driver.SetDeviceProperties(&device), 0u);
    ASSERT_EQ(driver.SetChannelProperties(&channel), 0u);
    ASSERT_EQ(driver.SetWdmBufferDepth(&depth), 0u);
    ASSERT_EQ(driver.SetStreamBufferDepth(&streamDepth), 0u);
    ASSERT_EQ(driver.SetDeviceSynchMode(&selection), 0u);
    std::vector<FakeRequest> log = FakeDriver::Log();
    ASSERT_EQ(log.size(), 5u);
    EXPECT_EQ(log[0].Input, BytesOf(device));
    EXPECT_EQ(log[1].Input, BytesOf(channel));
    EXPECT_EQ(log[2].Input, BytesOf(depth));
    EXPECT_EQ(log[3].Input, BytesOf(streamDepth));
    EXPECT_EQ(log[4].Input, std::vector<uint8_t>({5, 0, 0, 0, 2, 0, 0, 0, 9, 0, 0, 0}));
}

TEST_F(CatalogueTest, RegistrationSendsTheEventHandleValue) {
    HANDLE event = CreateEventA(nullptr, FALSE, FALSE, nullptr);
    ASSERT_NE(event, nullptr);
    ASSERT_EQ(driver.RegisterNotificationEvent(event), 0u);
    EXPECT_EQ(FakeDriver::RegisteredEvent(), event);
    // The handle received is usable: signalling it reaches our event.
    FakeDriver::SignalRegisteredEvent();
    EXPECT_EQ(WaitForSingleObject(event, 0), WAIT_OBJECT_0);
    CloseHandle(event);
}

TEST(EventTypeName, NamesTheKnownTypesOnly) {
    EXPECT_STREQ(EventTypeName(1), "EvtType_BusReset");
    EXPECT_STREQ(EventTypeName(2), "EvtType_StreamingRestarted");
    EXPECT_STREQ(EventTypeName(3), "EvtType_DomainConfigurationChanged");
    EXPECT_STREQ(EventTypeName(100), "EvtType_AsioBufferSizeChanged");
    for (uint32_t other : {0u, 4u, 99u, 101u, 0xFFFFFFFFu})
        EXPECT_STREQ(EventTypeName(other), "unknown");
}

} // namespace
