// The fuzz and the soak are only as good as their rules and tools: each rule
// reports a breach built on purpose, the reply filter breaks replies the way
// the fuzz relies on, and the soak's counters follow what they count.
#include "CDriverSettings.h"
#include "DriverCodes.h"
#include "ProcessCounters.h"
#include "ProgramChecks.h"
#include "ReplyFuzzer.h"
#include "Simulator.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <cstring>
#include <new>
#include <string>

namespace {

bool Reports(const ProgramChecks& checks, const std::string& part) {
    for (const std::string& breach : checks.Breaches())
        if (breach.find(part) != std::string::npos)
            return true;
    return false;
}

class ProgramChecksList : public ::testing::Test {
protected:
    HWND list = nullptr;

    void SetUp() override {
        INITCOMMONCONTROLSEX controls{sizeof controls, ICC_LISTVIEW_CLASSES};
        ::InitCommonControlsEx(&controls);
        list = ::CreateWindowExA(0, WC_LISTVIEWA, "", LVS_REPORT, 0, 0, 100, 100, nullptr, nullptr,
                                 nullptr, nullptr);
        LVCOLUMNA column{};
        column.mask = LVCF_WIDTH;
        column.cx = 50;
        ::SendMessageA(list, LVM_INSERTCOLUMNA, 0, reinterpret_cast<LPARAM>(&column));
    }
    void TearDown() override { ::DestroyWindow(list); }

    void AddRows(int count, const std::string& text) {
        for (int row = 0; row < count; ++row) {
            LVITEMA item{};
            item.mask = LVIF_TEXT;
            item.iItem = row;
            item.pszText = const_cast<char*>(text.c_str());
            ::SendMessageA(list, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item));
        }
    }
};

TEST_F(ProgramChecksList, ReportsRowsBeyondTheCapacityAndTextsBeyondTheField) {
    AddRows(4, std::string(40, 'x'));
    ProgramChecks full;
    full.CheckList(list, "device list", 4, {40});
    EXPECT_TRUE(full.Breaches().empty());

    AddRows(1, std::string(41, 'x'));
    ProgramChecks over;
    over.CheckList(list, "device list", 4, {40});
    EXPECT_TRUE(Reports(over, "shows 5 rows, more than 4"));
    EXPECT_TRUE(Reports(over, "row 0 column 0 shows 41 characters, more than 40"));
}

TEST(ProgramChecks, ReportsARecordThatIsNoBlockOfItsOwnSize) {
    ProgramChecks whole;
    whole.CheckModel();
    EXPECT_TRUE(whole.Breaches().empty());
    // Freed by the array as a record: its destructor does nothing.
    gDrv.m_Devices.Add(
        static_cast<DeviceProperties*>(::operator new(sizeof(DeviceProperties) + 8)));
    ProgramChecks odd;
    odd.CheckModel();
    gDrv.m_Devices.RemoveAll();
    EXPECT_TRUE(Reports(odd, "m_Devices holds a block of 440 bytes for a record of 432"));
}

TEST(ProgramChecks, ReportsADialogLeftOpen) {
    HWND dialog = ::CreateWindowExA(0, "#32770", "Left open", WS_POPUP, 0, 0, 10, 10, nullptr,
                                    nullptr, nullptr, nullptr);
    ASSERT_NE(nullptr, dialog);
    ProgramChecks open;
    open.CheckNoDialogOpen();
    ::DestroyWindow(dialog);
    EXPECT_TRUE(Reports(open, "dialog \"Left open\" is still open"));
    ProgramChecks closed;
    closed.CheckNoDialogOpen();
    EXPECT_TRUE(closed.Breaches().empty());
}

TEST(ProgramChecks, ReportsAHeapWrittenPastABlock) {
    ProgramChecks sound;
    sound.CheckHeaps();
    EXPECT_TRUE(sound.Breaches().empty());
    HANDLE heap = ::HeapCreate(0, 0, 0);
    auto* block = static_cast<uint8_t*>(::HeapAlloc(heap, 0, 24));
    ::HeapAlloc(heap, 0, 24);
    // Over the next block's header, and back before the heap goes, so that
    // the system never meets the damage itself.
    uint8_t kept[64];
    std::memcpy(kept, block, sizeof kept);
    std::memset(block, 0xA5, sizeof kept);
    ProgramChecks broken;
    broken.CheckHeaps();
    std::memcpy(block, kept, sizeof kept);
    ProgramChecks repaired;
    repaired.CheckHeaps();
    ::HeapDestroy(heap);
    EXPECT_TRUE(repaired.Breaches().empty());
    EXPECT_TRUE(Reports(broken, "does not validate"));
}

// The simulator's filter: a shortened reply leaves the rest of the caller's
// buffer as it was, and a failure reaches the caller with nothing copied.
TEST(ReplyFilter, AShortReplyLeavesTheRestOfTheBufferAndAFailureCopiesNothing) {
    CSimulator& sim = CSimulator::Instance();
    sim.Reset();
    ASSERT_EQ(0u, gDrv.Open());
    sim.SetReplyFilter([](uint32_t code, uint32_t& status, std::vector<uint8_t>&, DWORD& returned) {
        if (code == DriverRequest::GetSynchSource)
            returned = 4;
        if (code == DriverRequest::GetSampleRates)
            status = ERROR_GEN_FAILURE;
    });
    SynchSource source;
    std::memset(&source, 0xEE, sizeof source);
    EXPECT_EQ(0u, gDrv.GetSynchSource(&source));
    EXPECT_EQ(0xEEEEEEEEu, source.SourceKind);
    SampleRates rates;
    std::memset(&rates, 0xEE, sizeof rates);
    EXPECT_EQ(static_cast<uint32_t>(ERROR_GEN_FAILURE), gDrv.GetSampleRates(&rates));
    EXPECT_EQ(0xEEEEEEEEu, rates.RateCount);
    gDrv.Close();
    sim.Reset();
}

// One request's decision depends on its seed, its code and how many of that
// code came before it, not on requests of other codes.
TEST(ReplyFuzzer, DecidesEachRequestByItsSeedCodeAndTurn) {
    auto reply = [](ReplyFuzzer& fuzzer, uint32_t code) {
        std::vector<uint8_t> bytes(sizeof(DeviceList), 0);
        uint32_t status = 0;
        DWORD returned = sizeof(DeviceList);
        fuzzer.Filter(code, status, bytes, returned);
        bytes.push_back(static_cast<uint8_t>(status));
        bytes.push_back(static_cast<uint8_t>(returned));
        return bytes;
    };
    ReplyFuzzer alone(77, 100);
    ReplyFuzzer mixed(77, 100);
    const std::vector<uint8_t> first = reply(alone, DriverRequest::GetDeviceList);
    reply(mixed, DriverRequest::GetNotification);
    EXPECT_EQ(first, reply(mixed, DriverRequest::GetDeviceList));
    EXPECT_EQ(reply(alone, DriverRequest::GetDeviceList),
              reply(mixed, DriverRequest::GetDeviceList));
    ReplyFuzzer other(78, 100);
    EXPECT_NE(first, reply(other, DriverRequest::GetDeviceList));
}

// The soak's own counters, since Wine's read 0: one more event is one more
// handle, one more window one more window, and both go again.
TEST(ProcessCounters, FollowOneHandleAndOneWindow) {
    // The thread's first window brings the system's own input-method window
    // with it; that one must exist before counting starts.
    HWND first = ::CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr,
                                   nullptr);
    const ProcessCounters before = ProcessCounters::Now();
    HANDLE event = ::CreateEventA(nullptr, FALSE, FALSE, nullptr);
    HWND window = ::CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr,
                                    nullptr, nullptr);
    const ProcessCounters during = ProcessCounters::Now();
    ::DestroyWindow(window);
    ::CloseHandle(event);
    const ProcessCounters after = ProcessCounters::Now();
    ::DestroyWindow(first);
    EXPECT_EQ(before.Handles + 1, during.Handles);
    EXPECT_EQ(before.Windows + 1, during.Windows);
    EXPECT_EQ(before.Handles, after.Handles);
    EXPECT_EQ(before.Windows, after.Windows);
    EXPECT_GT(during.PrivateBytes, 0u);
}

} // namespace
