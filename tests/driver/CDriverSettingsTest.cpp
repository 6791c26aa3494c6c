#include "CDriverSettings.h"
#include "DriverCodes.h"
#include "FakeTransport.h"
#include "Trace.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <map>
#include <new>

// Live heap blocks of the record sizes, counted while a test asks for it, so
// that ownership (one block per record, freed exactly once) can be checked.
namespace {
bool gCounting = false;
std::map<void*, size_t>* gLive = nullptr;

bool IsRecordSize(size_t size) {
    return size == 432 || size == 824 || size == 92;
}

int LiveBlocks(size_t size) {
    int count = 0;
    for (const auto& block : *gLive)
        count += block.second == size;
    return count;
}

class CountRecordBlocks {
public:
    CountRecordBlocks() {
        gLive = new std::map<void*, size_t>();
        gCounting = true;
    }
    ~CountRecordBlocks() {
        gCounting = false;
        delete gLive;
        gLive = nullptr;
    }
};
} // namespace

void* operator new(size_t size) {
    void* block = std::malloc(size ? size : 1);
    if (!block)
        throw std::bad_alloc();
    if (gCounting && IsRecordSize(size)) {
        gCounting = false;
        (*gLive)[block] = size;
        gCounting = true;
    }
    return block;
}

void operator delete(void* block) noexcept {
    if (gCounting && block) {
        gCounting = false;
        auto found = gLive->find(block);
        if (found != gLive->end())
            gLive->erase(found);
        gCounting = true;
    }
    std::free(block);
}

void operator delete(void* block, size_t) noexcept {
    operator delete(block);
}

namespace {

std::vector<std::string>& Traces() {
    static std::vector<std::string> lines;
    return lines;
}

void CaptureTrace(const char* line) {
    Traces().push_back(line);
}

// A driver with the given devices and channels; ids listed in failing fail
// their per-id request with a status derived from the id.
struct ScriptedDriver {
    std::vector<uint32_t> Devices;
    uint32_t DeviceCount = 0xFFFFFFFF; // the real count unless set
    std::vector<uint32_t> Inputs;
    std::vector<uint32_t> Outputs;
    std::vector<uint32_t> Failing;
    uint32_t ListStatus = 0;

    static uint32_t FailureOf(uint32_t id) { return 0xE0000100u + id; }

    void Install() {
        FakeDriver::SetResponder(
            [this](const FakeRequest& request, uint8_t* out) { return Answer(request, out); });
    }

    uint32_t Answer(const FakeRequest& request, uint8_t* out) const {
        switch (request.Code) {
        case DriverRequest::GetDeviceList: {
            if (ListStatus)
                return ListStatus;
            DeviceList list{};
            list.Count =
                DeviceCount == 0xFFFFFFFF ? static_cast<uint32_t>(Devices.size()) : DeviceCount;
            std::copy(Devices.begin(), Devices.end(), list.DeviceIds);
            WriteReply(out, list);
            return 0;
        }
        case DriverRequest::GetChannelList: {
            if (ListStatus)
                return ListStatus;
            ChannelList list{};
            list.Inputs.Count = static_cast<uint32_t>(Inputs.size());
            std::copy(Inputs.begin(), Inputs.end(), list.Inputs.ChannelIds);
            list.Outputs.Count = static_cast<uint32_t>(Outputs.size());
            std::copy(Outputs.begin(), Outputs.end(), list.Outputs.ChannelIds);
            WriteReply(out, list);
            return 0;
        }
        case DriverRequest::GetDeviceProperties:
        case DriverRequest::GetDeviceSynchMode:
        case DriverRequest::GetChannelProperties:
            return AnswerById(request, out);
        default:
            return 0;
        }
    }

    uint32_t AnswerById(const FakeRequest& request, uint8_t* out) const {
        uint32_t id = InputId(request);
        if (std::find(Failing.begin(), Failing.end(), id) != Failing.end())
            return FailureOf(id);
        std::memset(out, 0, request.OutSize);
        // Each record names its id where the test can find it.
        uint32_t offset = request.Code == DriverRequest::GetChannelProperties ? 4 : 0;
        std::memcpy(out + offset, &id, sizeof id);
        return 0;
    }
};

class DriverSettingsTest : public ::testing::Test {
protected:
    void SetUp() override {
        FakeDriver::Reset();
        Traces().clear();
        SetTraceHook(CaptureTrace);
        ASSERT_EQ(settings.Open(), 0u);
        FakeDriver::ClearLog();
        driver.Install();
    }
    void TearDown() override { SetTraceHook(nullptr); }

    std::vector<uint32_t> DeviceIds() const {
        std::vector<uint32_t> ids;
        for (int i = 0; i < settings.m_Devices.GetSize(); ++i)
            ids.push_back(settings.m_Devices.GetAt(i)->DeviceId);
        return ids;
    }

    static std::vector<uint32_t> ChannelIds(const CRecordArray<ChannelProperties>& channels) {
        std::vector<uint32_t> ids;
        for (int i = 0; i < channels.GetSize(); ++i)
            ids.push_back(channels.GetAt(i)->DeviceId); // the scripted driver puts the id here
        return ids;
    }

    ScriptedDriver driver;
    CDriverSettings settings;
};

TEST_F(DriverSettingsTest, StartsEmptyAndZeroed) {
    CDriverSettings fresh;
    EXPECT_EQ(fresh.m_hDevice, nullptr);
    EXPECT_EQ(fresh.m_IncludeDeviceName, 0u);
    EXPECT_EQ(fresh.m_SampleRateMode, 0u);
    EXPECT_EQ(fresh.m_SynchSource.MasterDeviceId, 0u);
    EXPECT_EQ(fresh.m_SampleRates.CurrentRate, 0u);
    EXPECT_EQ(fresh.m_Devices.GetSize(), 0);
    EXPECT_EQ(fresh.m_DevSynchModes.GetSize(), 0);
    EXPECT_EQ(fresh.m_InChannels.GetSize(), 0);
    EXPECT_EQ(fresh.m_OutChannels.GetSize(), 0);
}

TEST_F(DriverSettingsTest, DevPropSkipsAFailingDeviceAndReturnsItsStatus) {
    driver.Devices = {11, 12, 13};
    driver.Failing = {12};
    EXPECT_EQ(settings.GetDevProp(), ScriptedDriver::FailureOf(12));
    EXPECT_EQ(DeviceIds(), std::vector<uint32_t>({11, 13}));
    std::vector<FakeRequest> log = FakeDriver::Log();
    ASSERT_EQ(log.size(), 4u);
    EXPECT_EQ(log[0].Code, DriverRequest::GetDeviceList);
    EXPECT_EQ(log[0].OutSize, 260u);
    for (size_t i = 1; i < 4; ++i) {
        EXPECT_EQ(log[i].Code, DriverRequest::GetDeviceProperties);
        EXPECT_EQ(log[i].OutSize, 432u);
        EXPECT_EQ(InputId(log[i]), 10 + i);
    }
    ASSERT_EQ(Traces().size(), 1u);
    EXPECT_EQ(Traces()[0], "GetDevProp(): GetDeviceProperties failed. Status: 0xE000010C\n");
}

TEST_F(DriverSettingsTest, FirstFailureWinsAndLaterOnesAreOnlyTraced) {
    driver.Devices = {1, 2, 3, 4};
    driver.Failing = {2, 4};
    EXPECT_EQ(settings.GetDevSynchModes(), ScriptedDriver::FailureOf(2));
    ASSERT_EQ(settings.m_DevSynchModes.GetSize(), 2);
    EXPECT_EQ(settings.m_DevSynchModes.GetAt(0)->DeviceId, 1u);
    EXPECT_EQ(settings.m_DevSynchModes.GetAt(1)->DeviceId, 3u);
    EXPECT_EQ(FakeDriver::Requests(DriverRequest::GetDeviceSynchMode).size(), 4u);
    EXPECT_EQ(FakeDriver::Requests(DriverRequest::GetDeviceSynchMode)[0].OutSize, 824u);
    ASSERT_EQ(Traces().size(), 2u);
    EXPECT_EQ(Traces()[1], "GetDevSynchModes(): GetDeviceSynchMode failed. Status: 0xE0000104\n");
}

TEST_F(DriverSettingsTest, ClosedConnectionEmptiesTheListsItRefreshes) {
    driver.Devices = {1, 2};
    driver.Inputs = {5};
    ASSERT_EQ(settings.GetDevProp(), 0u);
    ASSERT_EQ(settings.GetDevSynchModes(), 0u);
    ASSERT_EQ(settings.GetChanProp(settings.m_InChannels, 0), 0u);
    settings.Close();
    Traces().clear();
    EXPECT_EQ(settings.GetDevProp(), 0xE0000013u);
    EXPECT_EQ(settings.GetDevSynchModes(), 0xE0000013u);
    EXPECT_EQ(settings.GetChanProp(settings.m_InChannels, 0), 0xE0000013u);
    EXPECT_EQ(settings.m_Devices.GetSize(), 0);
    EXPECT_EQ(settings.m_DevSynchModes.GetSize(), 0);
    EXPECT_EQ(settings.m_InChannels.GetSize(), 0);
    EXPECT_EQ(Traces(), std::vector<std::string>({
                            "GetDevProp(): GetDeviceList failed, 0xe0000013\n",
                            "GetDevSynchModes(): GetDeviceList failed, 0xe0000013\n",
                            "GetChanProp(): GetChannelList failed 0xE0000013\n",
                        }));
}

TEST_F(DriverSettingsTest, FailingListRequestReturnsItsStatus) {
    driver.ListStatus = 0xE0000050;
    EXPECT_EQ(settings.GetDevProp(), 0xE0000050u);
    EXPECT_EQ(settings.GetChanProp(settings.m_OutChannels, 1), 0xE0000050u);
    EXPECT_EQ(FakeDriver::Log().size(), 2u);
}

TEST_F(DriverSettingsTest, ChannelsComeFromTheChosenHalf) {
    driver.Inputs = {0x101, 0x102, 0x103};
    driver.Outputs = {0x201, 0x202};
    EXPECT_EQ(settings.GetChanProp(settings.m_InChannels, 0), 0u);
    EXPECT_EQ(ChannelIds(settings.m_InChannels), std::vector<uint32_t>({0x101, 0x102, 0x103}));
    EXPECT_EQ(settings.GetChanProp(settings.m_OutChannels, 1), 0u);
    EXPECT_EQ(ChannelIds(settings.m_OutChannels), std::vector<uint32_t>({0x201, 0x202}));
    std::vector<FakeRequest> lists = FakeDriver::Requests(DriverRequest::GetChannelList);
    ASSERT_EQ(lists.size(), 2u);
    EXPECT_EQ(lists[0].OutSize, 2056u);
    EXPECT_EQ(FakeDriver::Requests(DriverRequest::GetChannelProperties)[0].OutSize, 92u);

    // No outputs: the output half is read at byte 1028, not behind the inputs.
    driver.Outputs.clear();
    EXPECT_EQ(settings.GetChanProp(settings.m_OutChannels, 1), 0u);
    EXPECT_EQ(settings.m_OutChannels.GetSize(), 0);
    EXPECT_EQ(settings.m_InChannels.GetSize(), 3);
}

TEST_F(DriverSettingsTest, FailingChannelIsLeftOut) {
    driver.Outputs = {7, 8, 9};
    driver.Failing = {8, 9};
    EXPECT_EQ(settings.GetChanProp(settings.m_OutChannels, 1), ScriptedDriver::FailureOf(8));
    EXPECT_EQ(ChannelIds(settings.m_OutChannels), std::vector<uint32_t>({7}));
    ASSERT_EQ(Traces().size(), 2u);
    EXPECT_EQ(Traces()[0], "GetChanProp(): GetChannelProperties failed. Status: 0xE0000108\n");
}

TEST_F(DriverSettingsTest, CountsBeyondCapacityAreClamped) {
    driver.Devices.resize(64);
    for (uint32_t i = 0; i < 64; ++i)
        driver.Devices[i] = i + 1;
    driver.DeviceCount = 1000;
    EXPECT_EQ(settings.GetDevProp(), 0u);
    EXPECT_EQ(settings.m_Devices.GetSize(), 64);
    EXPECT_EQ(FakeDriver::Requests(DriverRequest::GetDeviceProperties).size(), 64u);

    FakeDriver::SetResponder([](const FakeRequest& request, uint8_t* out) -> uint32_t {
        if (request.Code == DriverRequest::GetChannelList) {
            ChannelList list{};
            list.Inputs.Count = 0xFFFFFFFF;
            list.Outputs.Count = 257;
            WriteReply(out, list);
        }
        return 0;
    });
    EXPECT_EQ(settings.GetChanProp(settings.m_InChannels, 0), 0u);
    EXPECT_EQ(settings.m_InChannels.GetSize(), 256);
    EXPECT_EQ(settings.GetChanProp(settings.m_OutChannels, 1), 0u);
    EXPECT_EQ(settings.m_OutChannels.GetSize(), 256);
}

// Leaves the stack below the caller full of 0xA5 bytes, where the next call's
// locals will lie.
__attribute__((noinline)) void SoilTheStack() {
    volatile unsigned char soil[64 * 1024];
    for (size_t i = 0; i < sizeof soil; ++i)
        soil[i] = 0xA5;
}

TEST_F(DriverSettingsTest, ListRecordsAreZeroedBeforeTheDriverFillsThem) {
    // A driver that succeeds and writes nothing; every byte it was handed
    // must be zero, so that the count it did not write reads 0.
    std::map<uint32_t, bool> allZero;
    FakeDriver::SetResponder([&allZero](const FakeRequest& request, uint8_t* out) -> uint32_t {
        bool zero = true;
        for (DWORD i = 0; i < request.OutSize; ++i)
            zero = zero && out[i] == 0;
        allZero[request.Code] = zero;
        return 0;
    });
    SoilTheStack();
    EXPECT_EQ(settings.GetDevProp(), 0u);
    SoilTheStack();
    EXPECT_EQ(settings.GetDevSynchModes(), 0u);
    SoilTheStack();
    EXPECT_EQ(settings.GetChanProp(settings.m_InChannels, 0), 0u);
    SoilTheStack();
    EXPECT_EQ(settings.GetChanProp(settings.m_OutChannels, 1), 0u);
    EXPECT_TRUE(allZero[DriverRequest::GetDeviceList]);
    EXPECT_TRUE(allZero[DriverRequest::GetChannelList]);
    EXPECT_EQ(settings.m_Devices.GetSize(), 0);
    EXPECT_EQ(settings.m_DevSynchModes.GetSize(), 0);
    EXPECT_EQ(settings.m_InChannels.GetSize(), 0);
    EXPECT_EQ(settings.m_OutChannels.GetSize(), 0);
    // Only the list requests: no count was taken from the untouched records.
    EXPECT_EQ(FakeDriver::Log().size(), 4u);
}

TEST_F(DriverSettingsTest, SetDevPropSendsEveryDeviceAndKeepsTheFirstFailure) {
    driver.Devices = {21, 22};
    ASSERT_EQ(settings.GetDevProp(), 0u);
    settings.m_Devices.GetAt(0)->Rank = 1;
    settings.m_Devices.GetAt(1)->Rank = 0;
    std::memset(settings.m_Devices.GetAt(1)->SerialNumber, 0x6B, 384);
    FakeDriver::ClearLog();
    FakeDriver::SetResponder([](const FakeRequest& request, uint8_t*) -> uint32_t {
        DeviceProperties sent;
        std::memcpy(&sent, request.Input.data(), sizeof sent);
        return sent.DeviceId == 21 ? 0xE0000061 : 0xE0000062;
    });
    EXPECT_EQ(settings.SetDevProp(), 0xE0000061u);
    std::vector<FakeRequest> log = FakeDriver::Log();
    ASSERT_EQ(log.size(), 2u);
    EXPECT_EQ(log[0].Code, DriverRequest::SetDeviceProperties);
    EXPECT_EQ(log[0].Input, BytesOf(*settings.m_Devices.GetAt(0)));
    EXPECT_EQ(log[1].Input, BytesOf(*settings.m_Devices.GetAt(1)));
    EXPECT_EQ(Traces().back(), "SetDevProp(): SetDeviceProperties failed, 0xE0000062\n");
}

TEST_F(DriverSettingsTest, SetDevSynchModesSendsTwelveBytesPerDevice) {
    driver.Devices = {31, 32};
    ASSERT_EQ(settings.GetDevSynchModes(), 0u);
    for (int i = 0; i < 2; ++i) {
        DeviceSynchModes* modes = settings.m_DevSynchModes.GetAt(i);
        modes->Current.Kind = 4 + i;
        modes->Current.ModeId = 0x70 + i;
        modes->ModeCount = 16;
        std::memset(modes->Modes, 0xEE, sizeof modes->Modes);
    }
    FakeDriver::ClearLog();
    uint32_t calls = 0;
    FakeDriver::SetResponder([&calls](const FakeRequest&, uint8_t*) -> uint32_t {
        return ++calls == 1 ? 0xE0000063 : 0;
    });
    EXPECT_EQ(settings.SetDevSynchModes(), 0xE0000063u);
    std::vector<FakeRequest> log = FakeDriver::Log();
    ASSERT_EQ(log.size(), 2u);
    EXPECT_EQ(log[0].Code, DriverRequest::SetDeviceSynchMode);
    EXPECT_EQ(log[0].Input, std::vector<uint8_t>({31, 0, 0, 0, 4, 0, 0, 0, 0x70, 0, 0, 0}));
    EXPECT_EQ(log[1].Input, std::vector<uint8_t>({32, 0, 0, 0, 5, 0, 0, 0, 0x71, 0, 0, 0}));
    EXPECT_EQ(log[1].OutSize, 0u);
}

TEST_F(DriverSettingsTest, EachRecordIsOneBlockFreedExactlyOnce) {
    driver.Devices = {1, 2, 3};
    driver.Failing = {2};
    driver.Inputs = {4, 5};
    driver.Outputs = {6};
    {
        CountRecordBlocks counting;
        {
            CDriverSettings held;
            ASSERT_EQ(held.Open(), 0u);
            held.GetDevProp();
            held.GetDevSynchModes();
            held.GetChanProp(held.m_InChannels, 0);
            held.GetChanProp(held.m_OutChannels, 1);
            EXPECT_EQ(LiveBlocks(432), 2);
            EXPECT_EQ(LiveBlocks(824), 2);
            EXPECT_EQ(LiveBlocks(92), 3);
            // A refresh replaces the records rather than adding to them.
            held.GetDevProp();
            EXPECT_EQ(LiveBlocks(432), 2);
        }
        EXPECT_TRUE(gLive->empty());
    }
}

TEST(RecordArray, StaleIndexesFindNothing) {
    CRecordArray<ChannelProperties> channels;
    channels.Add(new ChannelProperties());
    EXPECT_NE(channels.GetAt(0), nullptr);
    EXPECT_EQ(channels.GetAt(1), nullptr);
    EXPECT_EQ(channels.GetAt(-1), nullptr);
    channels.RemoveAll();
    EXPECT_EQ(channels.GetSize(), 0);
    EXPECT_EQ(channels.GetAt(0), nullptr);
}

} // namespace
