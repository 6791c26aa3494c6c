// Opening the entry beside the real program: a copy of the applet and of the
// simulated build, named as the applet expects, in a folder of their own. The
// program's window appears, and a second opening hands over to the first
// instance instead of making a second window.
#include <windows.h>
#include <cpl.h>
#include <tlhelp32.h>

#include "Eventually.h"
#include "LoadedApplet.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace {

constexpr char kTitle[] = "Tarnet Control Panel";
constexpr char kProgram[] = "Demtrel.exe";
constexpr UINT kHideCommand = 32773;
constexpr DWORD kTimeoutMs = 30000;

BOOL CALLBACK CountProgramWindow(HWND window, LPARAM counter) {
    char title[64] = {};
    ::GetWindowTextA(window, title, sizeof(title));
    if (std::string(title) == kTitle)
        ++*reinterpret_cast<int*>(counter);
    return TRUE;
}

// The program's top-level windows, whoever made them.
int ProgramWindowCount() {
    int count = 0;
    ::EnumWindows(CountProgramWindow, reinterpret_cast<LPARAM>(&count));
    return count;
}

// The running processes of the program's file name.
std::set<DWORD> ProgramProcesses() {
    std::set<DWORD> found;
    HANDLE snapshot = ::CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE)
        return found;
    PROCESSENTRY32 entry{};
    entry.dwSize = sizeof(entry);
    for (BOOL more = ::Process32First(snapshot, &entry); more;
         more = ::Process32Next(snapshot, &entry))
        if (::lstrcmpiA(entry.szExeFile, kProgram) == 0)
            found.insert(entry.th32ProcessID);
    ::CloseHandle(snapshot);
    return found;
}

std::string ImageOf(DWORD processId) {
    HANDLE process = ::OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, processId);
    if (!process)
        return "";
    char path[MAX_PATH] = {};
    DWORD size = MAX_PATH;
    const BOOL ok = ::QueryFullProcessImageNameA(process, 0, path, &size);
    ::CloseHandle(process);
    return ok ? std::string(path, size) : "";
}

bool SamePath(const std::string& a, const std::string& b) {
    return ::CompareStringA(LOCALE_INVARIANT, NORM_IGNORECASE, a.c_str(), -1, b.c_str(), -1) ==
           CSTR_EQUAL;
}

class AppletWithProgram : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(0, ProgramWindowCount()) << "a program window is left from elsewhere";
        char temp[MAX_PATH] = {};
        ASSERT_NE(::GetTempPathA(MAX_PATH, temp), 0u);
        folder_ = std::string(temp) + "SarventProgram" + std::to_string(::GetCurrentProcessId());
        ASSERT_TRUE(::CreateDirectoryA(folder_.c_str(), nullptr));
        ASSERT_TRUE(::CopyFileA(BesideThisProgram("Sarvent.cpl").c_str(),
                                Path("Sarvent.cpl").c_str(), FALSE));
        ASSERT_TRUE(::CopyFileA(BesideThisProgram("DemtrelSim.exe").c_str(), Path(kProgram).c_str(),
                                FALSE));
        ASSERT_TRUE(applet_.Load(Path("Sarvent.cpl")));
    }

    void TearDown() override {
        applet_.Unload();
        EndPrograms();
        for (const char* name : {kProgram, "Sarvent.cpl"})
            for (int attempt = 0;
                 attempt < 50 && !::DeleteFileA(Path(name).c_str()) &&
                 ::GetFileAttributesA(Path(name).c_str()) != INVALID_FILE_ATTRIBUTES;
                 ++attempt)
                ::Sleep(100);
        ::RemoveDirectoryA(folder_.c_str());
    }

    std::string Path(const char* name) const { return folder_ + "\\" + name; }

    // The program's own way to end a running instance; what still runs from
    // this folder afterwards is ended by force.
    void EndPrograms() {
        const std::set<DWORD> running = ProgramProcesses();
        if (running.empty())
            return;
        std::string commandLine = "\"" + Path(kProgram) + "\" -exit";
        STARTUPINFOA startup{};
        startup.cb = sizeof(startup);
        PROCESS_INFORMATION exiting{};
        if (::CreateProcessA(nullptr, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                             &startup, &exiting)) {
            ::WaitForSingleObject(exiting.hProcess, kTimeoutMs);
            ::CloseHandle(exiting.hThread);
            ::CloseHandle(exiting.hProcess);
        }
        for (DWORD id : running) {
            HANDLE process = ::OpenProcess(SYNCHRONIZE | PROCESS_TERMINATE, FALSE, id);
            if (!process)
                continue;
            if (SamePath(ImageOf(id), Path(kProgram)) &&
                ::WaitForSingleObject(process, kTimeoutMs) == WAIT_TIMEOUT)
                ::TerminateProcess(process, 99);
            ::CloseHandle(process);
        }
    }

    // The program's window once it is there and shown.
    HWND WaitForVisibleWindow() const {
        HWND window = nullptr;
        Eventually(
            [&] {
                window = ::FindWindowA(nullptr, kTitle);
                return window && ::IsWindowVisible(window);
            },
            kTimeoutMs);
        return window && ::IsWindowVisible(window) ? window : nullptr;
    }

    static DWORD OwnerOf(HWND window) {
        DWORD owner = 0;
        ::GetWindowThreadProcessId(window, &owner);
        return owner;
    }

    std::string folder_;
    LoadedApplet applet_;
};

TEST_F(AppletWithProgram, OpeningStartsTheProgramFromTheAppletsFolderAndExitEndsIt) {
    EXPECT_EQ(0, applet_.Send(CPL_DBLCLK));
    HWND window = WaitForVisibleWindow();
    ASSERT_NE(nullptr, window) << "the program's window did not appear";
    const DWORD owner = OwnerOf(window);
    EXPECT_TRUE(SamePath(ImageOf(owner), Path(kProgram))) << ImageOf(owner);
    EXPECT_EQ(std::set<DWORD>({owner}), ProgramProcesses());

    EndPrograms();
    EXPECT_TRUE(Eventually([] { return ProgramWindowCount() == 0; }, kTimeoutMs));
    EXPECT_TRUE(ProgramProcesses().empty());
}

TEST_F(AppletWithProgram, ASecondOpeningHandsOverToTheFirstInstance) {
    ASSERT_EQ(0, applet_.Send(CPL_DBLCLK));
    HWND window = WaitForVisibleWindow();
    ASSERT_NE(nullptr, window);
    const DWORD first = OwnerOf(window);
    // Hidden, so that the hand-over shows in the first instance's window.
    ::PostMessageA(window, WM_COMMAND, kHideCommand, 0);
    ASSERT_TRUE(Eventually([&] { return !::IsWindowVisible(window); }, kTimeoutMs));

    EXPECT_EQ(0, applet_.Send(CPL_DBLCLK));
    EXPECT_TRUE(Eventually([&] { return ::IsWindowVisible(window) != FALSE; }, kTimeoutMs))
        << "the first instance was not brought forward";
    // The second process ends by itself; the first keeps its one window.
    EXPECT_TRUE(
        Eventually([&] { return ProgramProcesses() == std::set<DWORD>({first}); }, kTimeoutMs));
    EXPECT_EQ(1, ProgramWindowCount());
    EXPECT_EQ(window, ::FindWindowA(nullptr, kTitle));
    EXPECT_EQ(first, OwnerOf(window));
}

} // namespace
