// The preview of a load over the program's window, used as a person would:
// what it lists, where the keyboard starts and goes, how it ends; and the
// whole road from the File menu through it to the summary.
#include "ShellFixture.h"

#include "CDlgLoadSetup.h"
#include "DriverRequests.h"
#include "ModalDriver.h"
#include "SetupCommands.h"
#include "SetupDisk.h"
#include "SetupFile.h"
#include "SetupRead.h"
#include "UiActions.h"

#include <functional>
#include <string>
#include <vector>

namespace {

// The text of a system message box.
constexpr int kMessageBoxText = 0xFFFF;

// On the simulated driver's default set-up (Quadra in its internal crystal
// mode, 48 kHz, a 4 ms ASIO buffer): four changes, a device that is not
// connected, and a mode the Duo does not offer.
constexpr char kStudioFile[] = "Tarnet Control Panel setup 1\r\n"
                               "[driver]\r\n"
                               "sampling rate = 96000\r\n"
                               "asio buffer = 8000\r\n"
                               "[device]\r\n"
                               "serial = TQ18-2207-0413\r\n"
                               "synchronisation mode = 5 Word Clock\r\n"
                               "[device]\r\n"
                               "serial = TD08-1911-0077\r\n"
                               "name = Studio B\r\n"
                               "synchronisation mode = 4 ADAT\r\n"
                               "[device]\r\n"
                               "serial = TO16-2301-0005\r\n"
                               "name = Tarnet Octo 16\r\n";

constexpr char kStudioNotes[] = "Not connected, skipped:\r\n"
                                "  Tarnet Octo 16 (TO16-2301-0005)\r\n"
                                "Not taken from the file:\r\n"
                                "  Synchronisation mode of Tarnet Duo 8: ADAT (4) (not offered)";

// Nothing of it changes the driver's events, which would reload the pages
// by themselves.
constexpr char kRenameFile[] = "Tarnet Control Panel setup 1\r\n"
                               "[driver]\r\n"
                               "asio buffer = 8000\r\n"
                               "[device]\r\n"
                               "serial = TD08-1911-0077\r\n"
                               "name = Studio B\r\n"
                               "[device]\r\n"
                               "serial = TO16-2301-0005\r\n";

int FocusId() {
    HWND focus = ::GetFocus();
    return focus ? ::GetDlgCtrlID(focus) : 0;
}

class SetupPreview : public ShellFixture {
protected:
    SetupPlan plan;
    const std::string path = [] {
        char folder[MAX_PATH] = "";
        ::GetTempPathA(MAX_PATH, folder);
        return std::string(folder) + "demtrel-" + std::to_string(::GetCurrentProcessId()) +
               "-studio.tcsetup";
    }();

    void SetUp() override {
        ShellFixture::SetUp();
        OpenShell();
    }
    void TearDown() override {
        ::DeleteFileA(path.c_str());
        ShellFixture::TearDown();
    }

    void PlanFor(const std::string& text) {
        const SetupFile::Result file = SetupFile::Parse(text);
        ASSERT_EQ(SetupFile::Problem::None, file.problem) << "line " << file.line;
        plan = PlanSetup(ReadDriverState(gDrv), file.setup);
    }
    // Opens the preview of the plan; the action plays the person once it is
    // up. The dialog's result.
    INT_PTR Preview(const std::function<void(HWND)>& action) {
        ModalDriver driver;
        driver.Then(action);
        CDlgLoadSetup dialog(plan, "studio.tcsetup");
        const INT_PTR result = dialog.DoModal();
        EXPECT_EQ(1, driver.Handled());
        return result;
    }
    static std::vector<std::string> Row(HWND list, int row) {
        return {ListCellText(list, row, 0), ListCellText(list, row, 1), ListCellText(list, row, 2)};
    }
};

TEST_F(SetupPreview, ListsEveryChangeOverTheMainWindowWithTheNotesBelow) {
    PlanFor(kStudioFile);
    RECT main{};
    frame->GetWindowRect(&main);
    RECT shown{};
    std::string intro, notes;
    std::vector<std::vector<std::string>> rows;
    std::vector<std::string> headings;
    int selected = -1;
    int focus = 0;
    sim.ClearLog();
    const INT_PTR result = Preview([&](HWND dialog) {
        ::GetWindowRect(dialog, &shown);
        intro = ChildText(dialog, IDC_SETUP_INTRO);
        notes = ChildText(dialog, IDC_SETUP_NOTES);
        HWND list = ::GetDlgItem(dialog, IDC_SETUP_CHANGES);
        headings = ListHeadings(list);
        for (int row = 0; row < ListRowCount(list); ++row)
            rows.push_back(Row(list, row));
        selected = ListSelectedRow(list);
        focus = FocusId();
        ClickButton(dialog, IDCANCEL);
    });

    EXPECT_EQ(IDCANCEL, result);
    EXPECT_NEAR((main.left + main.right) / 2, (shown.left + shown.right) / 2, 1);
    EXPECT_NEAR((main.top + main.bottom) / 2, (shown.top + shown.bottom) / 2, 1);
    EXPECT_EQ("Loading studio.tcsetup changes these settings:", intro);
    EXPECT_EQ((std::vector<std::string>{"Setting/200", "Now/175", "In the file/175"}), headings);
    EXPECT_EQ((std::vector<std::vector<std::string>>{
                  // Modes as the synchronisation page shows them.
                  {"Synchronisation mode of Tarnet Quadra 1818", "CSP (Internal crystal)",
                   "External Clock (Word Clock)"},
                  {"Sampling rate", "48000 Hz", "96000 Hz"},
                  {"ASIO buffer", "4.0 ms", "8.0 ms"},
                  {"Name of Tarnet Duo 8", "\"Tarnet Duo 8\"", "\"Studio B\""},
              }),
              rows);
    EXPECT_EQ(0, selected);
    EXPECT_EQ(IDC_SETUP_CHANGES, focus);
    EXPECT_EQ(kStudioNotes, notes);
    EXPECT_EQ(std::vector<std::string>{}, Writes()) << "the preview itself sends nothing";
}

TEST_F(SetupPreview, EnterLoadsEscapeCancelsAndTabGoesFromTheListToCancel) {
    PlanFor(kStudioFile);
    EXPECT_EQ(IDOK, Preview([](HWND) { TypeKey(VK_RETURN); }));

    std::vector<int> visited;
    EXPECT_EQ(IDCANCEL, Preview([&visited](HWND) {
                  visited.push_back(FocusId());
                  for (int press = 0; press < 4; ++press) {
                      TypeKey(VK_TAB);
                      visited.push_back(FocusId());
                  }
                  TypeKey(VK_ESCAPE);
              }));
    EXPECT_EQ(
        (std::vector<int>{IDC_SETUP_CHANGES, IDC_SETUP_NOTES, IDOK, IDCANCEL, IDC_SETUP_CHANGES}),
        visited);
}

// The driver already holds the file's settings: there is nothing to look
// through, and Enter takes the one way on.
TEST_F(SetupPreview, APlanWithoutChangesSaysNothingWillBeSentAndStartsOnLoad) {
    plan = PlanSetup(ReadDriverState(gDrv), ReadSetup(gDrv).setup);
    ASSERT_TRUE(plan.Changes.empty());
    std::string intro, notes;
    int rows = -1;
    int focus = 0;
    const INT_PTR result = Preview([&](HWND dialog) {
        intro = ChildText(dialog, IDC_SETUP_INTRO);
        notes = ChildText(dialog, IDC_SETUP_NOTES);
        rows = ListRowCount(::GetDlgItem(dialog, IDC_SETUP_CHANGES));
        focus = FocusId();
        TypeKey(VK_RETURN);
    });
    EXPECT_EQ(IDOK, result);
    EXPECT_EQ("The driver already holds every setting of studio.tcsetup that it can take. "
              "Nothing will be sent.",
              intro);
    EXPECT_EQ(0, rows);
    EXPECT_EQ("", notes);
    EXPECT_EQ(IDOK, focus);
}

// From the menu: the preview over the window, then nothing at all on Cancel.
// A summary box that should not come is answered rather than left to hang
// the test.
TEST_F(SetupPreview, FromTheMenuCancelSendsNothing) {
    ASSERT_EQ(0u, SetupDisk::Save(path, kStudioFile));
    sim.ClearLog();
    ModalDriver driver;
    driver.Then([](HWND dialog) { ClickButton(dialog, IDCANCEL); });
    driver.Then([](HWND box) { ClickButton(box, IDOK); });
    PreviewSetup(frame->m_hWnd, path);

    EXPECT_EQ(1, driver.Handled());
    EXPECT_EQ("Load Setup", driver.Handled() ? driver.Captions().front() : "");
    EXPECT_EQ(std::vector<std::string>{}, Writes());
    EXPECT_EQ(4000u, sim.Model().AsioBuffer.Depth);
    EXPECT_EQ("Tarnet Duo 8", sim.Model().Devices.at(1).Name);
}

// Load sends the plan, the summary tells what was skipped, and the pages
// show the new values at once: a new device name sends no event of the
// driver that would reload them.
TEST_F(SetupPreview, FromTheMenuLoadAppliesThenTellsTheOutcomeOverReloadedPages) {
    ASSERT_EQ(0u, SetupDisk::Save(path, kRenameFile));
    std::string summary;
    std::vector<std::string> namesUnderTheBox;
    ModalDriver driver;
    driver.Then([](HWND dialog) { ClickButton(dialog, IDOK); });
    driver.Then([&](HWND box) {
        summary = ChildText(box, kMessageBoxText);
        namesUnderTheBox = devices.Column(IDC_DEVICE_LIST, 0);
        ClickButton(box, IDOK);
    });
    PreviewSetup(frame->m_hWnd, path);

    EXPECT_EQ(2, driver.Handled());
    EXPECT_EQ(8000u, sim.Model().AsioBuffer.Depth);
    EXPECT_EQ("Studio B", sim.Model().Devices.at(1).Name);
    EXPECT_EQ("The setup " + path +
                  " was loaded in part.\r\n\r\n"
                  "Not connected, skipped:\r\n"
                  "  TO16-2301-0005\r\n"
                  "Not in the file, left as they are:\r\n"
                  "  Tarnet Quadra 1818 (TQ18-2207-0413)",
              summary);
    EXPECT_EQ((std::vector<std::string>{"Tarnet Quadra 1818", "Studio B"}), namesUnderTheBox);
    EXPECT_EQ("8.0 ms", settings.Text(IDC_ASIO_BUFFER_VALUE).substr(0, 6));
}

} // namespace
