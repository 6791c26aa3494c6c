// Setups from the command line, as a script runs them: "-save" and "-load"
// with no window, their exit codes and what they print, and a second start
// that hands its file to the running window.
#include "Eventually.h"
#include "ProgramInstance.h"
#include "resource.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>

namespace {

constexpr char kTitle[] = "Tarnet Control Panel";
constexpr DWORD kWaitMs = 10000;
constexpr char kFormatLine[] = "Tarnet Control Panel setup 1";

// A run of the simulated program (or of the release one, which finds no
// driver here) that is expected to end by itself.
struct Ended {
    DWORD code = STILL_ACTIVE;
    std::string printed;
};

Ended RunProgram(const char* program, const std::string& arguments) {
    ProgramInstance instance(program, arguments, ProgramInstance::Output::Kept);
    Ended run;
    if (instance.Started() && instance.Ended())
        run = {instance.ExitCode(), instance.PrintedText()};
    return run;
}

Ended RunSim(const std::string& arguments) {
    return RunProgram("DemtrelSim.exe", arguments);
}

bool Contains(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

class SetupCommandLine : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(nullptr, ::FindWindowA(nullptr, kTitle)) << "an instance is still running";
        char temp[MAX_PATH] = "";
        ::GetTempPathA(sizeof temp, temp);
        // A folder with a space: the path is given in quotes.
        folder = std::string(temp) + "Demtrel setups";
        ::CreateDirectoryA(folder.c_str(), nullptr);
        path = folder + "\\Studio A.tcsetup";
        ::DeleteFileA(path.c_str());
    }
    void TearDown() override {
        ::DeleteFileA(path.c_str());
        ::RemoveDirectoryA(folder.c_str());
        EXPECT_TRUE(Eventually([] { return !::FindWindowA(nullptr, kTitle); }, kWaitMs));
    }

    std::string Quoted() const { return "\"" + path + "\""; }
    std::string FileText() const {
        std::ifstream file(path, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
    }
    void WriteFile(const std::string& text) const { std::ofstream(path, std::ios::binary) << text; }

    std::string folder;
    std::string path;
};

TEST_F(SetupCommandLine, SaveAndLoadTellTheirOutcomeByExitCodeAndInPrint) {
    const Ended save = RunSim("-save " + Quoted());
    EXPECT_EQ(0u, save.code);
    EXPECT_TRUE(Contains(save.printed, "The setup was saved to " + path + ".")) << save.printed;
    const std::string saved = FileText();
    EXPECT_EQ(0u, saved.rfind(kFormatLine, 0)) << saved;
    EXPECT_TRUE(Contains(saved, "serial = TQ18-2207-0413"));
    EXPECT_EQ(nullptr, ::FindWindowA(nullptr, kTitle)) << "no window";

    const Ended load = RunSim("-LoAd " + Quoted());
    EXPECT_EQ(0u, load.code) << load.printed;
    EXPECT_TRUE(Contains(load.printed, "The setup " + path + " was loaded."));

    // A device that is not connected: done in part.
    WriteFile(saved + "\r\n[device]\r\nserial = XX-0001\r\nname = Stage Box\r\n");
    const Ended part = RunSim("-load " + Quoted());
    EXPECT_EQ(1u, part.code);
    EXPECT_TRUE(Contains(part.printed, "Not connected, skipped:\r\n  Stage Box (XX-0001)"))
        << part.printed;
}

TEST_F(SetupCommandLine, AFileThatCannotBeUsedOrNoDriverEndWithTheirOwnCodes) {
    WriteFile(std::string(kFormatLine) +
              "\r\n[driver]\r\nasio buffer = 4000\r\nasio buffer = 5000\r\n");
    const Ended twice = RunSim("-load " + Quoted());
    EXPECT_EQ(2u, twice.code);
    EXPECT_TRUE(Contains(twice.printed, "cannot be loaded, and nothing was changed. Line 4: The "
                                        "setting, section or device is given twice."))
        << twice.printed;

    const Ended missing = RunSim("-load \"" + folder + "\\none.tcsetup\"");
    EXPECT_EQ(2u, missing.code);
    EXPECT_TRUE(Contains(missing.printed, "could not be read")) << missing.printed;

    const Ended noFile = RunSim("-save");
    EXPECT_EQ(2u, noFile.code);
    EXPECT_TRUE(Contains(noFile.printed, "Give the setup file after -save")) << noFile.printed;

    // The release program finds no driver on this machine.
    ::DeleteFileA(path.c_str());
    const Ended noDriver = RunProgram("Demtrel.exe", "-save " + Quoted());
    EXPECT_EQ(3u, noDriver.code);
    EXPECT_TRUE(Contains(noDriver.printed, "The driver could not be opened")) << noDriver.printed;
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, ::GetFileAttributesA(path.c_str())) << "nothing written";
}

// The message box a running instance shows, and its text.
struct MessageBoxSearch {
    const ProgramInstance* instance;
    std::string text;
};

BOOL CALLBACK FindMessageBox(HWND window, LPARAM data) {
    auto& search = *reinterpret_cast<MessageBoxSearch*>(data);
    char kind[32] = "";
    ::GetClassNameA(window, kind, sizeof kind);
    if (!search.instance->Owns(window) || std::string(kind) != "#32770" ||
        !::IsWindowVisible(window))
        return TRUE;
    char text[1024] = "";
    ::GetDlgItemTextA(window, 0xFFFF, text, sizeof text);
    search.text = text;
    return search.text.empty() ? TRUE : FALSE;
}

std::string MessageBoxText(const ProgramInstance& instance) {
    MessageBoxSearch search{&instance, {}};
    ::EnumWindows(FindMessageBox, reinterpret_cast<LPARAM>(&search));
    return search.text;
}

HWND OwnedWindow(const ProgramInstance& instance, const char* title) {
    HWND window = ::FindWindowA(nullptr, title);
    return window && instance.Owns(window) ? window : nullptr;
}

TEST_F(SetupCommandLine, ALoadFromASecondStartIsMadeByTheRunningWindowWhichTellsTheOutcome) {
    ProgramInstance running("DemtrelSim.exe", "-hide");
    HWND window = running.WaitForWindow(kTitle);
    ASSERT_NE(nullptr, window);
    ASSERT_EQ(0u, RunSim("-save " + Quoted()).code);
    WriteFile(FileText() + "[device]\r\nserial = XX-0001\r\n");

    const Ended load = RunSim("-load " + Quoted());
    EXPECT_EQ(1u, load.code);
    EXPECT_TRUE(Contains(load.printed, "was loaded in part.")) << load.printed;
    // The running window shows itself with the same summary.
    EXPECT_TRUE(Eventually([&] { return Contains(MessageBoxText(running), "XX-0001"); }, kWaitMs));
    EXPECT_TRUE(::IsWindowVisible(window));

    // A file it cannot use never reaches it.
    WriteFile("not a setup");
    const Ended unusable = RunSim("-load " + Quoted());
    EXPECT_EQ(2u, unusable.code);
    EXPECT_TRUE(Contains(unusable.printed, "Line 1: This is not a setup file")) << unusable.printed;

    ::PostMessageA(window, WM_COMMAND, ID_TRAY_QUIT, 0);
    EXPECT_TRUE(running.Ended());
}

TEST_F(SetupCommandLine, OpeningASetupFileShowsTheLoadPreviewInTheRunningWindowOrANewOne) {
    ASSERT_EQ(0u, RunSim("-save " + Quoted()).code);
    {
        ProgramInstance first("DemtrelSim.exe", "-preview " + Quoted());
        ASSERT_NE(nullptr, first.WaitForWindow(kTitle));
        HWND preview = nullptr;
        EXPECT_TRUE(
            Eventually([&] { return (preview = OwnedWindow(first, "Load Setup")); }, kWaitMs));
        ::PostMessageA(preview, WM_COMMAND, IDCANCEL, 0);
        ASSERT_TRUE(Eventually([&] { return !OwnedWindow(first, "Load Setup"); }, kWaitMs));

        const Ended second = RunSim("-preview " + Quoted());
        EXPECT_EQ(0u, second.code);
        EXPECT_TRUE(
            Eventually([&] { return (preview = OwnedWindow(first, "Load Setup")); }, kWaitMs));
        const HWND changes = ::GetDlgItem(preview, IDC_SETUP_CHANGES);
        EXPECT_EQ(0, ::SendMessageA(changes, LVM_GETITEMCOUNT, 0, 0)) << "just saved";
        ::PostMessageA(preview, WM_COMMAND, IDCANCEL, 0);
        ::PostMessageA(::FindWindowA(nullptr, kTitle), WM_COMMAND, ID_TRAY_QUIT, 0);
        EXPECT_TRUE(first.Ended());
    }
}

} // namespace
