#include "CDlgSynchMode.h"
#include "ModalDriver.h"
#include "UiActions.h"
#include "resource.h"

#include <gtest/gtest.h>

#include <commctrl.h>

#include <cstring>
#include <functional>
#include <string>
#include <vector>

namespace {

SynchMode Mode(uint32_t kind, uint32_t modeId, const char* name) {
    SynchMode mode{};
    mode.Kind = kind;
    mode.ModeId = modeId;
    std::strncpy(mode.Name, name, sizeof mode.Name - 1);
    return mode;
}

// A device offering CSP, SYT and S/PDIF, with bytes behind each name's
// terminator so that a field-by-field copy would be told from a byte copy.
DeviceSynchModes ThreeModes() {
    DeviceSynchModes record{};
    record.DeviceId = 0x2A4D0002;
    const SynchMode modes[] = {Mode(1, 10, ""), Mode(2, 20, "Stream"), Mode(4, 30, "S/PDIF")};
    for (const SynchMode& mode : modes) {
        SynchMode& entry = record.Modes[record.ModeCount++];
        entry = mode;
        entry.Name[38] = static_cast<char>('a' + record.ModeCount);
    }
    record.Current = record.Modes[0];
    return record;
}

// What the dialog shows when the action runs; the action then ends it.
struct Shown {
    std::vector<std::string> texts;
    std::vector<bool> checks;
};

class SynchModeDialog : public ::testing::Test {
protected:
    DeviceSynchModes record = ThreeModes();

    static HWND List(HWND dialog) { return GetDlgItem(dialog, IDC_SYNCH_LIST); }
    static int Rows(HWND dialog) { return ListView_GetItemCount(List(dialog)); }
    static bool Checked(HWND dialog, int row) {
        return ListView_GetCheckState(List(dialog), row) != 0;
    }
    static Shown Read(HWND dialog) {
        Shown shown;
        for (int row = 0; row < Rows(dialog); ++row) {
            char text[128] = "";
            ListView_GetItemText(List(dialog), row, 1, text, sizeof text);
            shown.texts.push_back(text);
            shown.checks.push_back(Checked(dialog, row));
        }
        return shown;
    }

    // Runs the dialog on record; act plays the user, then ends it with endId.
    INT_PTR Run(const std::function<void(HWND)>& act, int endId = IDOK) {
        return RunOn(&record, act, endId);
    }
    static INT_PTR RunOn(DeviceSynchModes* edited, const std::function<void(HWND)>& act,
                         int endId = IDOK) {
        ModalDriver driver;
        driver.Then([&](HWND dialog) {
            act(dialog);
            ClickButton(dialog, endId);
        });
        CDlgSynchMode dialog(edited);
        INT_PTR result = dialog.DoModal();
        EXPECT_EQ(1, driver.Handled());
        return result;
    }
};

} // namespace

TEST_F(SynchModeDialog, ShowsEveryModeAndChecksTheCurrentOne) {
    record.Current = record.Modes[1];
    Shown shown;
    EXPECT_EQ(IDOK, Run([&](HWND dialog) { shown = Read(dialog); }));
    EXPECT_EQ((std::vector<std::string>{"CSP", "SYT (Stream)", "Digital Input (S/PDIF)"}),
              shown.texts);
    EXPECT_EQ((std::vector<bool>{false, true, false}), shown.checks);
}

// A narrow column for the check boxes only, and one wide enough for a mode
// kind with its name.
TEST_F(SynchModeDialog, ACheckBoxColumnAndAWideModeColumn) {
    std::vector<std::string> columns;
    DWORD styles = 0;
    int widest = 0;
    record.Modes[2] = Mode(5, 30, "Word clock input, 75 ohm");
    Run([&](HWND dialog) {
        columns = ListHeadings(List(dialog));
        styles = ListExtendedStyle(List(dialog));
        widest = ListView_GetStringWidth(List(dialog), Read(dialog).texts.at(2).c_str());
    });
    EXPECT_EQ((std::vector<std::string>{"/20", "Mode/290"}), columns);
    EXPECT_EQ(static_cast<DWORD>(LVS_EX_CHECKBOXES),
              styles & (LVS_EX_CHECKBOXES | LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT));
    EXPECT_LT(widest, 290);
}

TEST_F(SynchModeDialog, TheCurrentModeIsFoundByItsIdAlone) {
    record.Current = Mode(5, 30, "Something else");
    Shown shown;
    Run([&](HWND dialog) { shown = Read(dialog); });
    EXPECT_EQ((std::vector<bool>{false, false, true}), shown.checks);
}

TEST_F(SynchModeDialog, ACurrentModeOfferedByNoEntryChecksNothingAndOkKeepsTheRecord) {
    record.Current = Mode(2, 99, "Gone");
    const DeviceSynchModes before = record;
    Shown shown;
    EXPECT_EQ(IDOK, Run([&](HWND dialog) { shown = Read(dialog); }));
    EXPECT_EQ((std::vector<bool>{false, false, false}), shown.checks);
    EXPECT_EQ(0, std::memcmp(&before, &record, sizeof record));
}

TEST_F(SynchModeDialog, OfTwoModesWithTheCurrentIdOnlyTheFirstIsChecked) {
    record.Modes[2].ModeId = 20;
    record.Current = record.Modes[2];
    Shown shown;
    Run([&](HWND dialog) { shown = Read(dialog); });
    EXPECT_EQ((std::vector<bool>{false, true, false}), shown.checks);
}

TEST_F(SynchModeDialog, CheckingAModeUnchecksTheOthersAndCopiesItWhole) {
    Shown shown;
    EXPECT_EQ(IDOK, Run([&](HWND dialog) {
                  CheckListRow(List(dialog), 2, true);
                  shown = Read(dialog);
              }));
    EXPECT_EQ((std::vector<bool>{false, false, true}), shown.checks);
    EXPECT_EQ(0, std::memcmp(&record.Modes[2], &record.Current, sizeof(SynchMode)));

    // A second pick replaces the first.
    Run([&](HWND dialog) {
        CheckListRow(List(dialog), 1, true);
        shown = Read(dialog);
    });
    EXPECT_EQ((std::vector<bool>{false, true, false}), shown.checks);
    EXPECT_EQ(0, std::memcmp(&record.Modes[1], &record.Current, sizeof(SynchMode)));
}

TEST_F(SynchModeDialog, TheCheckedModeCannotBeUnchecked) {
    Shown shown;
    Run([&](HWND dialog) {
        CheckListRow(List(dialog), 0, false);
        shown = Read(dialog);
    });
    EXPECT_EQ((std::vector<bool>{true, false, false}), shown.checks);
    EXPECT_EQ(0, std::memcmp(&record.Modes[0], &record.Current, sizeof(SynchMode)));
}

TEST_F(SynchModeDialog, SelectingOrFocusingARowChangesNeitherChecksNorTheCurrentMode) {
    const DeviceSynchModes before = record;
    Shown shown;
    Run([&](HWND dialog) {
        SelectListRow(List(dialog), 2);
        SelectListRow(List(dialog), 1);
        shown = Read(dialog);
    });
    EXPECT_EQ((std::vector<bool>{true, false, false}), shown.checks);
    EXPECT_EQ(0, std::memcmp(&before, &record, sizeof record));
}

TEST_F(SynchModeDialog, NoModesGiveAnEmptyListAndOkKeepsTheRecord) {
    record.ModeCount = 0;
    const DeviceSynchModes before = record;
    int rows = -1;
    EXPECT_EQ(IDOK, Run([&](HWND dialog) { rows = Rows(dialog); }));
    EXPECT_EQ(0, rows);
    EXPECT_EQ(0, std::memcmp(&before, &record, sizeof record));
}

#pragma pack(push, 1)
// A record followed by what a reader that trusts ModeCount would take for a
// seventeenth mode.
struct RecordAndMore {
    DeviceSynchModes record;
    SynchMode beyond;
};
#pragma pack(pop)

TEST_F(SynchModeDialog, NoMoreThanSixteenModesAreRead) {
    RecordAndMore memory{};
    DeviceSynchModes& big = memory.record;
    big.ModeCount = 0xFFFFFFF0;
    for (uint32_t index = 0; index < 16; ++index)
        big.Modes[index] = Mode(1, 100 + index, "");
    memory.beyond = Mode(1, 116, "beyond");
    big.Current = memory.beyond;

    int rows = -1;
    Shown shown;
    RunOn(&big, [&](HWND dialog) {
        rows = Rows(dialog);
        shown = Read(dialog);
    });
    EXPECT_EQ(16, rows);
    EXPECT_EQ(std::vector<bool>(16, false), shown.checks);

    CDlgSynchMode dialog(&big);
    EXPECT_EQ(15, dialog.FindCurrentMode(Mode(0, 115, "")));
    EXPECT_EQ(-1, dialog.FindCurrentMode(memory.beyond));
}

TEST_F(SynchModeDialog, CancelEndsWithCancel) {
    EXPECT_EQ(IDCANCEL, Run([](HWND) {}, IDCANCEL));
}
