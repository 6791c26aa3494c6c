// Whole Demtrel processes (the simulated build beside this test program):
// one instance only, the hand-over, "-exit", "-asio", "-hide", hiding on
// close and quitting.
#include "AppMessages.h"
#include "Eventually.h"
#include "Preferences.h"
#include "ProgramInstance.h"
#include "TrayProbe.h"
#include "resource.h"

#include <commctrl.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

constexpr char kTitle[] = "Tarnet Control Panel";
constexpr char kMutexName[] = "734EB08A-7DFA-48ad-B254-2719FB6F8CE8";
constexpr UINT kTrayIconId = 0x42424242;
constexpr UINT kAppExit = 57665;
constexpr int kDeviceListId = IDC_DEVICE_LIST;
constexpr int kStreamBufferSliderId = IDC_STREAM_BUFFER_SLIDER;
// How long the program waits for one request before it gives up on it.
constexpr DWORD kRequestTimeLimitMs = 5000;

// The simulated program, started beside the tests.
class Instance : public ProgramInstance {
public:
    explicit Instance(const std::string& arguments)
        : ProgramInstance("DemtrelSim.exe", arguments) {}

    HWND WaitForWindow() const { return ProgramInstance::WaitForWindow(kTitle); }

    // Shown when the frame is: every window up to the frame has WS_VISIBLE.
    static bool ShownInFrame(HWND child) {
        for (HWND window = child; window && (::GetWindowLongA(window, GWL_STYLE) & WS_CHILD);
             window = ::GetParent(window))
            if (!(::GetWindowLongA(window, GWL_STYLE) & WS_VISIBLE))
                return false;
        return true;
    }

    // The control that identifies the visible page: the devices list or
    // the stream buffer slider; empty while no page shows.
    static std::string VisiblePage(HWND frame) {
        std::string found;
        EnumChildWindows(frame, NameVisiblePage, reinterpret_cast<LPARAM>(&found));
        return found;
    }

private:
    static BOOL CALLBACK NameVisiblePage(HWND child, LPARAM result) {
        if (!ShownInFrame(child))
            return TRUE;
        auto& name = *reinterpret_cast<std::string*>(result);
        if (::GetDlgCtrlID(child) == kDeviceListId)
            name = "Devices";
        else if (::GetDlgCtrlID(child) == kStreamBufferSliderId)
            name = "Settings";
        else if (name.empty() && ::GetDlgCtrlID(child) > 1000)
            name = "other";
        return TRUE;
    }
};

bool MutexExists() {
    HANDLE mutex = ::OpenMutexA(SYNCHRONIZE, FALSE, kMutexName);
    if (!mutex)
        return false;
    ::CloseHandle(mutex);
    return true;
}

// How long something the other process does in its own time may take.
constexpr DWORD kWaitMs = 10000;

bool Visible(HWND window) {
    return ::IsWindowVisible(window) != FALSE;
}

class Process : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(nullptr, ::FindWindowA(nullptr, kTitle)) << "an instance is still running";
    }
    void TearDown() override {
        EXPECT_TRUE(
            Eventually([] { return !::FindWindowA(nullptr, kTitle) && !MutexExists(); }, kWaitMs));
    }
};

TEST_F(Process, ASecondStartEndsAndBringsTheFirstForward) {
    Instance first("");
    HWND window = first.WaitForWindow();
    ASSERT_NE(nullptr, window);
    ::PostMessageA(window, WM_COMMAND, ID_HIDE, 0);
    ASSERT_TRUE(Eventually([&] { return !Visible(window); }, kWaitMs));

    Instance second("");
    ASSERT_TRUE(second.Started());
    EXPECT_TRUE(second.Ended());
    EXPECT_EQ(0u, second.ExitCode());
    EXPECT_TRUE(Eventually([&] { return Visible(window); }, kWaitMs));
    EXPECT_EQ("Devices", Instance::VisiblePage(window));
    EXPECT_FALSE(first.Ended(0));
    ::PostMessageA(window, WM_COMMAND, ID_TRAY_QUIT, 0);
    EXPECT_TRUE(first.Ended());
}

TEST_F(Process, ASecondStartRestoresAMinimisedFirstEvenWhenAskedToHide) {
    Instance first("");
    HWND window = first.WaitForWindow();
    ASSERT_NE(nullptr, window);
    ::PostMessageA(window, WM_SYSCOMMAND, SC_MINIMIZE, 0);
    ASSERT_TRUE(Eventually([&] { return ::IsIconic(window) != FALSE; }, kWaitMs));

    Instance second("-hide");
    EXPECT_TRUE(second.Ended());
    EXPECT_TRUE(Eventually([&] { return !::IsIconic(window) && Visible(window); }, kWaitMs));
    ::PostMessageA(window, WM_COMMAND, ID_TRAY_QUIT, 0);
    EXPECT_TRUE(first.Ended());
}

TEST_F(Process, AsioFromASecondStartSwitchesTheFirstToSettings) {
    Instance first("");
    HWND window = first.WaitForWindow();
    ASSERT_NE(nullptr, window);
    ASSERT_EQ("Devices", Instance::VisiblePage(window));

    Instance second("-ASIO");
    EXPECT_TRUE(second.Ended());
    EXPECT_TRUE(Eventually([&] { return Instance::VisiblePage(window) == "Settings"; }, kWaitMs));
    EXPECT_EQ("Settings", Instance::StatusText(window));
    ::PostMessageA(window, WM_COMMAND, ID_TRAY_QUIT, 0);
    EXPECT_TRUE(first.Ended());
}

TEST_F(Process, ExitEndsAShownInstance) {
    Instance first("");
    HWND window = first.WaitForWindow();
    ASSERT_NE(nullptr, window);
    Instance exit("-exit");
    EXPECT_TRUE(exit.Ended());
    EXPECT_TRUE(first.Ended());
    EXPECT_EQ(0u, first.ExitCode());
    EXPECT_FALSE(TrayIconExists(window, kTrayIconId));
}

TEST_F(Process, ExitEndsAHiddenInstanceAndWinsOverEverythingElse) {
    Instance first("-hide");
    HWND window = first.WaitForWindow();
    ASSERT_NE(nullptr, window);
    ASSERT_FALSE(Visible(window));
    Instance exit("-asio x -Exit -hide");
    EXPECT_TRUE(exit.Ended());
    EXPECT_TRUE(first.Ended());
    EXPECT_EQ(0u, first.ExitCode());
}

// A driver that holds the settings page's drop-out poll for a minute and
// ignores being asked to stop: the window answers meanwhile, and "-exit" ends
// the program well before the request's own time limit would.
TEST_F(Process, ExitDuringAStalledRequestEndsTheProgramAtOnce) {
    ::SetEnvironmentVariableA("DEMTREL_SIM_DELAY", "GetAsioStatistics=60000!");
    Instance first("-asio");
    ::SetEnvironmentVariableA("DEMTREL_SIM_DELAY", nullptr);
    HWND window = first.WaitForWindow();
    ASSERT_NE(nullptr, window);
    ASSERT_TRUE(Eventually(
        [&] { return Instance::StatusText(window) == "Waiting for the driver..."; }, kWaitMs));
    DWORD_PTR result = 0;
    EXPECT_NE(0, ::SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_NORMAL, 2000, &result));

    Instance exit("-exit");
    EXPECT_TRUE(exit.Ended());
    EXPECT_TRUE(first.Ended(kRequestTimeLimitMs / 2));
    EXPECT_EQ(0u, first.ExitCode());
    EXPECT_FALSE(TrayIconExists(window, kTrayIconId));
}

TEST_F(Process, ExitWithNoneRunningLeavesNothingBehind) {
    Instance exit("-asio -exit");
    ASSERT_TRUE(exit.Started());
    // Watch while it runs: it must never make a window or take the mutex.
    bool sawAnything = false;
    while (!exit.Ended(10))
        sawAnything = sawAnything || ::FindWindowA(nullptr, kTitle) || MutexExists();
    EXPECT_FALSE(sawAnything);
    EXPECT_EQ(0u, exit.ExitCode());
    EXPECT_EQ(nullptr, ::FindWindowA(nullptr, kTitle));
    EXPECT_FALSE(MutexExists());
}

TEST_F(Process, QuotedOrLongerOptionsAreNotOptions) {
    Instance first("\"-hide\" --hide -hidden");
    HWND window = first.WaitForWindow();
    ASSERT_NE(nullptr, window);
    EXPECT_TRUE(Visible(window));
    Instance exit("\"-exit\"");
    // Not an exit request: a second start that hands over and ends.
    EXPECT_TRUE(exit.Ended());
    EXPECT_FALSE(first.Ended(500));
    ::PostMessageA(window, WM_COMMAND, ID_TRAY_QUIT, 0);
    EXPECT_TRUE(first.Ended());
}

TEST_F(Process, HideStartsHiddenWithTheTrayIcon) {
    Instance first("unrelated -hide -asio");
    HWND window = first.WaitForWindow();
    ASSERT_NE(nullptr, window);
    EXPECT_FALSE(Visible(window));
    EXPECT_TRUE(MutexExists());
    EXPECT_TRUE(TrayIconExists(window, kTrayIconId));
    // Opened from the tray, it shows the page that "-asio" asked for.
    ::PostMessageA(window, WM_APP_TRAY_NOTIFY, kTrayIconId, WM_LBUTTONDOWN);
    EXPECT_TRUE(Eventually([&] { return Visible(window); }, kWaitMs));
    EXPECT_EQ("Settings", Instance::VisiblePage(window));
    ::PostMessageA(window, WM_COMMAND, ID_TRAY_QUIT, 0);
    EXPECT_TRUE(first.Ended());
}

// Started hidden at log-on before the task bar existed, or hidden when
// Explorer restarted: the icon is there again once the shell says so.
TEST_F(Process, AHiddenInstanceGetsItsTrayIconBackFromANewTaskBar) {
    Instance first("-hide");
    HWND window = first.WaitForWindow();
    ASSERT_NE(nullptr, window);
    ASSERT_TRUE(RemoveTrayIcon(window, kTrayIconId));
    ASSERT_FALSE(TrayIconExists(window, kTrayIconId));
    BroadcastTaskbarCreated();
    EXPECT_TRUE(Eventually([&] { return TrayIconExists(window, kTrayIconId); }, kWaitMs));
    EXPECT_FALSE(Visible(window));
    ::PostMessageA(window, WM_COMMAND, ID_TRAY_QUIT, 0);
    EXPECT_TRUE(first.Ended());
}

TEST_F(Process, ClosingTheWindowHidesItAndTheProgramKeepsRunning) {
    Instance first("");
    HWND window = first.WaitForWindow();
    ASSERT_NE(nullptr, window);
    ASSERT_TRUE(Visible(window));
    ::PostMessageA(window, WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_TRUE(Eventually([&] { return !Visible(window); }, kWaitMs));
    EXPECT_FALSE(first.Ended(500));
    EXPECT_TRUE(TrayIconExists(window, kTrayIconId));
    ::PostMessageA(window, WM_COMMAND, ID_TRAY_OPEN, 0);
    EXPECT_TRUE(Eventually([&] { return Visible(window); }, kWaitMs));
    ::PostMessageA(window, WM_COMMAND, ID_HIDE, 0);
    EXPECT_TRUE(Eventually([&] { return !Visible(window); }, kWaitMs));
    EXPECT_FALSE(first.Ended(500));
    ::PostMessageA(window, WM_COMMAND, ID_TRAY_QUIT, 0);
    EXPECT_TRUE(first.Ended());
}

bool ToldAboutClosing() {
    DWORD value = 0;
    DWORD size = sizeof value;
    return ::RegGetValueA(HKEY_CURRENT_USER, Preferences::kKey, Preferences::kToldAboutClosing,
                          RRF_RT_REG_DWORD, nullptr, &value, &size) == ERROR_SUCCESS &&
           value == 1;
}

// What the user's first close told is remembered for the user; a start
// hidden at log-on, opened from the tray and quit, closed nothing.
TEST_F(Process, TheFirstCloseIsRememberedAndAHiddenStartIsNoClose) {
    ::RegDeleteKeyValueA(HKEY_CURRENT_USER, Preferences::kKey, Preferences::kToldAboutClosing);
    Instance first("-hide");
    HWND window = first.WaitForWindow();
    ASSERT_NE(nullptr, window);
    ::PostMessageA(window, WM_APP_TRAY_NOTIFY, kTrayIconId, WM_LBUTTONDOWN);
    EXPECT_TRUE(Eventually([&] { return Visible(window); }, kWaitMs));
    ::PostMessageA(window, WM_COMMAND, ID_TRAY_QUIT, 0);
    EXPECT_TRUE(first.Ended());
    EXPECT_FALSE(ToldAboutClosing());

    Instance second("");
    window = second.WaitForWindow();
    ASSERT_NE(nullptr, window);
    ::PostMessageA(window, WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_TRUE(Eventually([] { return ToldAboutClosing(); }, kWaitMs));
    ::PostMessageA(window, WM_COMMAND, ID_TRAY_QUIT, 0);
    EXPECT_TRUE(second.Ended());
}

TEST_F(Process, QuitFromTheTrayOrTheFileMenuEndsTheProgram) {
    for (UINT command : {UINT{ID_TRAY_QUIT}, kAppExit}) {
        Instance first("");
        HWND window = first.WaitForWindow();
        ASSERT_NE(nullptr, window);
        ASSERT_TRUE(TrayIconExists(window, kTrayIconId));
        ::PostMessageA(window, WM_COMMAND, command, 0);
        EXPECT_TRUE(first.Ended()) << command;
        EXPECT_EQ(0u, first.ExitCode());
        EXPECT_FALSE(TrayIconExists(window, kTrayIconId));
        EXPECT_FALSE(MutexExists());
    }
}

TEST_F(Process, ACloseSentStraightToTheWindowEndsTheProgram) {
    Instance first("-hide");
    HWND window = first.WaitForWindow();
    ASSERT_NE(nullptr, window);
    ::PostMessageA(window, WM_CLOSE, 0, 0);
    EXPECT_TRUE(first.Ended());
}

} // namespace
