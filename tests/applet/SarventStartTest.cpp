// Opening the entry starts the program that lies beside the applet. A stand-in
// program in a folder of its own records how it was started.
#include <windows.h>
#include <cpl.h>

#include "ImportHook.h"
#include "LoadedApplet.h"

#include <gtest/gtest.h>

#include <fstream>
#include <string>

namespace {

// The applet's shell start, seen instead of done.
namespace ShellStart {

int g_calls = 0;
HWND g_owner = nullptr;
std::string g_verb;
std::string g_file;
bool g_noParameters = false;
bool g_noDirectory = false;
INT g_show = -1;

HINSTANCE WINAPI Record(HWND owner, LPCSTR verb, LPCSTR file, LPCSTR parameters, LPCSTR directory,
                        INT show) {
    ++g_calls;
    g_owner = owner;
    g_verb = verb ? verb : "(null)";
    g_file = file ? file : "(null)";
    g_noParameters = parameters == nullptr;
    g_noDirectory = directory == nullptr;
    g_show = show;
    return reinterpret_cast<HINSTANCE>(static_cast<INT_PTR>(33)); // started
}

} // namespace ShellStart

// A fresh folder holding a copy of the applet and, if asked, the stand-in program
// under the name the applet starts.
class AppletFolder : public testing::Test {
protected:
    void Prepare(bool withProgram) {
        char temp[MAX_PATH] = {};
        ASSERT_NE(GetTempPathA(MAX_PATH, temp), 0u);
        folder_ = std::string(temp) + "SarventStart" + std::to_string(GetCurrentProcessId()) + "_" +
                  testing::UnitTest::GetInstance()->current_test_info()->name();
        ASSERT_TRUE(CreateDirectoryA(folder_.c_str(), nullptr));
        ASSERT_TRUE(CopyFileA(BesideThisProgram("Sarvent.cpl").c_str(), Path("Sarvent.cpl").c_str(),
                              FALSE));
        if (withProgram) {
            ASSERT_TRUE(CopyFileA(BesideThisProgram("applet_start_probe.exe").c_str(),
                                  Path("Demtrel.exe").c_str(), FALSE));
        }
        ASSERT_TRUE(applet_.Load(Path("Sarvent.cpl")));
    }

    void TearDown() override {
        applet_.Unload();
        for (const char* name : {"started.txt", "Demtrel.exe", "Sarvent.cpl"}) {
            // The stand-in may still be ending.
            for (int attempt = 0;
                 attempt < 50 && GetFileAttributesA(Path(name).c_str()) != INVALID_FILE_ATTRIBUTES;
                 ++attempt)
                if (!DeleteFileA(Path(name).c_str()))
                    Sleep(100);
        }
        RemoveDirectoryA(folder_.c_str());
    }

    std::string Path(const char* name) const { return folder_ + "\\" + name; }

    // The record of the stand-in, once it has been written; empty after the timeout.
    std::string WaitForRecord(DWORD milliseconds) const {
        const DWORD end = GetTickCount() + milliseconds;
        do {
            std::ifstream in(Path("started.txt"));
            std::string count, path;
            if (std::getline(in, count) && std::getline(in, path))
                return count + "|" + path;
            Sleep(100);
        } while (static_cast<LONG>(end - GetTickCount()) > 0);
        return "";
    }

    std::string folder_;
    LoadedApplet applet_;
};

TEST_F(AppletFolder, OpeningStartsTheProgramBesideTheAppletWithoutArguments) {
    Prepare(true);
    EXPECT_EQ(applet_.Send(CPL_DBLCLK), 0);
    const std::string record = WaitForRecord(15000);
    ASSERT_FALSE(record.empty()) << "the program was not started";
    EXPECT_EQ(record.substr(0, 2), "0|");
    EXPECT_EQ(CompareStringA(LOCALE_INVARIANT, NORM_IGNORECASE, record.c_str() + 2, -1,
                             Path("Demtrel.exe").c_str(), -1),
              CSTR_EQUAL)
        << record;
}

TEST_F(AppletFolder, OpeningAsksTheShellToOpenTheProgramShownNormally) {
    Prepare(true);
    ImportHook hook(applet_.Module(), "shell32.dll", "ShellExecuteA",
                    reinterpret_cast<void*>(ShellStart::Record));
    ASSERT_TRUE(hook.Installed());
    EXPECT_EQ(applet_.Send(CPL_DBLCLK), 0);
    ASSERT_EQ(ShellStart::g_calls, 1);
    EXPECT_EQ(ShellStart::g_owner, nullptr);
    EXPECT_EQ(ShellStart::g_verb, "open");
    EXPECT_EQ(CompareStringA(LOCALE_INVARIANT, NORM_IGNORECASE, ShellStart::g_file.c_str(), -1,
                             Path("Demtrel.exe").c_str(), -1),
              CSTR_EQUAL)
        << ShellStart::g_file;
    EXPECT_TRUE(ShellStart::g_noParameters);
    EXPECT_TRUE(ShellStart::g_noDirectory);
    EXPECT_EQ(ShellStart::g_show, SW_SHOWNORMAL);
}

TEST_F(AppletFolder, OpeningWithoutTheProgramFailsSilently) {
    Prepare(false);
    EXPECT_EQ(applet_.Send(CPL_DBLCLK), 0);
    EXPECT_EQ(applet_.Send(CPL_GETCOUNT), 1);
}

} // namespace
