// The release program, whose only road to the driver is its Win32 transport,
// against the test driver (TestDriver.cpp), checked from outside as a person
// sees it: the window, the device count in the status bar, the devices list,
// and "-exit"; and with a driver that holds the drop-out poll of the
// "Settings" page, what the window says and that "-exit" does not wait.
#include "DriverSettings.h"
#include "Eventually.h"
#include "ProgramInstance.h"
#include "resource.h"

#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

constexpr char kTitle[] = "Tarnet Control Panel";
// How long the program waits for one request before it gives up on it.
constexpr DWORD kRequestTimeLimitMs = 5000;
// GetAsioStatistics, the drop-out poll of the "Settings" page.
constexpr char kHoldThePoll[] = "DelayAB2";

// How long something the other process does in its own time may take.
constexpr DWORD kWaitMs = 15000;

// Memory in another process, for the control messages whose answers are
// written through a pointer: the control writes into its own process.
class RemoteMemory {
public:
    RemoteMemory(HANDLE process, size_t size)
        : m_Process(process), m_Size(size),
          m_Address(::VirtualAllocEx(process, nullptr, size, MEM_COMMIT, PAGE_READWRITE)) {}
    ~RemoteMemory() {
        if (m_Address)
            ::VirtualFreeEx(m_Process, m_Address, 0, MEM_RELEASE);
    }
    RemoteMemory(const RemoteMemory&) = delete;
    RemoteMemory& operator=(const RemoteMemory&) = delete;

    char* Address() const { return static_cast<char*>(m_Address); }
    bool Write(size_t offset, const void* data, size_t size) const {
        return ::WriteProcessMemory(m_Process, Address() + offset, data, size, nullptr) != FALSE;
    }
    // The text at offset, up to its terminator.
    std::string Text(size_t offset) const {
        std::vector<char> text(m_Size - offset + 1, '\0');
        ::ReadProcessMemory(m_Process, Address() + offset, text.data(), m_Size - offset, nullptr);
        return text.data();
    }

private:
    HANDLE m_Process;
    size_t m_Size;
    void* m_Address;
};

LRESULT Send(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    DWORD_PTR result = 0;
    ::SendMessageTimeoutA(window, message, wParam, lParam, SMTO_ABORTIFHUNG, 5000, &result);
    return static_cast<LRESULT>(result);
}

// The release program, started beside the tests.
class Instance : public ProgramInstance {
public:
    explicit Instance(const std::string& arguments) : ProgramInstance("Demtrel.exe", arguments) {}

    HWND WaitForWindow() const { return ProgramInstance::WaitForWindow(kTitle); }

    std::string StatusPane(HWND frame, int pane) const {
        HWND bar = ::FindWindowExA(frame, nullptr, STATUSCLASSNAMEA, nullptr);
        RemoteMemory text(Process(), 256);
        const LRESULT length = Send(bar, SB_GETTEXTLENGTHA, pane, 0);
        if (!bar || !text.Address() || LOWORD(length) >= 256)
            return "(unreadable)";
        Send(bar, SB_GETTEXTA, pane, reinterpret_cast<LPARAM>(text.Address()));
        return text.Text(0);
    }

    // The first column of every row of a list view in the process.
    std::vector<std::string> ListRows(HWND list) const {
        constexpr size_t kTextSize = 128;
        RemoteMemory memory(Process(), sizeof(LVITEMA) + kTextSize);
        std::vector<std::string> rows;
        const int count = static_cast<int>(Send(list, LVM_GETITEMCOUNT, 0, 0));
        for (int row = 0; memory.Address() && row < count; ++row) {
            LVITEMA item{};
            item.iSubItem = 0;
            item.pszText = memory.Address() + sizeof(LVITEMA);
            item.cchTextMax = kTextSize;
            memory.Write(0, &item, sizeof item);
            memory.Write(sizeof(LVITEMA), "", 1);
            Send(list, LVM_GETITEMTEXTA, row, reinterpret_cast<LPARAM>(memory.Address()));
            rows.push_back(memory.Text(sizeof(LVITEMA)));
        }
        return rows;
    }
};

struct ChildSearch {
    int Id;
    HWND Found;
};

BOOL CALLBACK MatchChild(HWND child, LPARAM lParam) {
    auto& search = *reinterpret_cast<ChildSearch*>(lParam);
    if (::GetDlgCtrlID(child) != search.Id)
        return TRUE;
    search.Found = child;
    return FALSE;
}

// A control anywhere below the window: the pages are dialogs inside the view.
HWND FindChild(HWND parent, int id) {
    ChildSearch search{id, nullptr};
    ::EnumChildWindows(parent, MatchChild, reinterpret_cast<LPARAM>(&search));
    return search.Found;
}

TEST(ReleaseProgram, ShowsTheDriversDevicesAndEndsOnExit) {
    ASSERT_EQ(nullptr, ::FindWindowA(nullptr, kTitle)) << "an instance is already running";
    Instance program("");
    ASSERT_TRUE(program.Started());
    HWND window = program.WaitForWindow();
    ASSERT_NE(nullptr, window) << "no window \"" << kTitle << "\" in "
                               << ProgramInstance::StartTimeout << " ms";

    EXPECT_EQ("2 Device(s) connected.", program.StatusPane(window, 1));
    HWND list = FindChild(window, IDC_DEVICE_LIST);
    ASSERT_NE(nullptr, list);
    EXPECT_TRUE(::IsWindowVisible(list));
    EXPECT_EQ((std::vector<std::string>{"Tarnet Studio 10", "Tarnet Mobile 4"}),
              program.ListRows(list));

    Instance exit("-exit");
    EXPECT_TRUE(exit.Ended());
    EXPECT_EQ(0u, exit.ExitCode());
    EXPECT_TRUE(program.Ended());
    EXPECT_EQ(0u, program.ExitCode());
}

// The program in front of a driver that holds requests; the settings go
// with it.
class HeldRequests : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(nullptr, ::FindWindowA(nullptr, kTitle)) << "an instance is already running";
        ClearDriverSettings();
    }
    void TearDown() override { ClearDriverSettings(); }
};

TEST_F(HeldRequests, TheWindowAnswersWhileTheDriverWorksAndExitDoesNotWait) {
    Instance program("-asio");
    HWND window = program.WaitForWindow();
    ASSERT_NE(nullptr, window);
    ASSERT_TRUE(SetDriverSetting(kHoldThePoll, 60000));
    ASSERT_TRUE(SetDriverSetting("IgnoreCancel", 1));
    EXPECT_TRUE(Eventually(
        [&] { return program.StatusPane(window, 0) == "Waiting for the driver..."; }, kWaitMs));
    DWORD_PTR result = 0;
    EXPECT_NE(0, ::SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_NORMAL, 2000, &result));

    Instance exit("-exit");
    EXPECT_TRUE(exit.Ended());
    EXPECT_TRUE(program.Ended(kRequestTimeLimitMs / 2)) << "the quit waited for the driver";
    EXPECT_EQ(0u, program.ExitCode());
}

TEST_F(HeldRequests, AStalledDriverIsToldAndFoundAgain) {
    Instance program("-asio");
    HWND window = program.WaitForWindow();
    ASSERT_NE(nullptr, window);
    ASSERT_TRUE(SetDriverSetting(kHoldThePoll, 60000));
    EXPECT_TRUE(Eventually(
        [&] { return program.StatusPane(window, 0) == "The driver is not responding."; }, kWaitMs));
    ClearDriverSettings();
    EXPECT_TRUE(Eventually([&] { return program.StatusPane(window, 0) == "Ready"; }, kWaitMs));
    EXPECT_EQ("2 Device(s) connected.", program.StatusPane(window, 1));

    Instance exit("-exit");
    EXPECT_TRUE(exit.Ended());
    EXPECT_TRUE(program.Ended());
}

} // namespace
