// A setup saved, every setting then changed on the pages as a user would,
// the file loaded: the driver holds exactly what was saved, a second load of
// the same file finds nothing to send, and the pages show the loaded values.
#include "ShellFixture.h"

#include "DriverCodes.h"
#include "DriverRequests.h"
#include "ModalDriver.h"
#include "SetupCommands.h"
#include "SetupFile.h"
#include "SetupRead.h"
#include "SetupTexts.h"
#include "UiActions.h"

#include <commctrl.h>

#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <vector>

namespace {

std::string TempFile(const char* name) {
    char folder[MAX_PATH] = "";
    ::GetTempPathA(MAX_PATH, folder);
    return std::string(folder) + "demtrel-" + std::to_string(::GetCurrentProcessId()) + "-" + name;
}

std::string FileText(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

// The shell on the simulated driver's default set-up: "Tarnet Quadra 1818"
// ranked first and clock master, "Tarnet Duo 8" second; 48 kHz set by hand.
class SetupRoundTrip : public ShellFixture {
protected:
    const std::string saved = TempFile("saved.tcsetup");
    const std::string again = TempFile("again.tcsetup");
    uint32_t duo = 0;

    void SetUp() override {
        ShellFixture::SetUp();
        duo = sim.Model().Devices.at(1).Id;
    }
    void TearDown() override {
        ::DeleteFileA(saved.c_str());
        ::DeleteFileA(again.c_str());
        ShellFixture::TearDown();
    }

    // The driver's events of the last request reload the pages before the
    // user goes on.
    static void Settle() { PumpMessages(50); }

    // Each slider one step up, each with its own Apply.
    void RaiseEveryBuffer() const {
        const int controls[][2] = {{IDC_STREAM_BUFFER_SLIDER, IDC_APPLY_STREAM_BUFFER},
                                   {IDC_ASIO_BUFFER_SLIDER, IDC_APPLY_ASIO_BUFFER},
                                   {IDC_WDM_BUFFER_SLIDER, IDC_APPLY_WDM_BUFFER}};
        for (const auto& [slider, apply] : controls) {
            HWND bar = settings.Item(slider);
            const auto position = static_cast<int>(::SendMessageA(bar, TBM_GETPOS, 0, 0));
            MoveTrackbar(bar, position + 1, TB_LINEDOWN);
            settings.Click(apply);
            Settle();
        }
    }
    void PickRate(int item) const {
        SelectComboItem(synchronisation.Item(IDC_SAMPLING_RATE_COMBO), item);
        synchronisation.Click(IDC_APPLY_SAMPLING_RATE);
        Settle();
    }
    void PickRateMode(int id) const {
        ::CheckRadioButton(view->m_PgSamplingRate.m_hWnd, IDC_RATE_MANUAL, IDC_RATE_AUTOMATIC, id);
        synchronisation.Click(id);
    }
    // Row 0 of the synchronisation list is the PC driver; the devices follow.
    void MakeClockMaster(int row) const {
        CheckListRow(synchronisation.Item(IDC_SYNCH_LIST), row, true);
    }
    void PickSynchMode(int deviceRow, int modeRow) const {
        synchronisation.Select(IDC_SYNCH_LIST, deviceRow);
        ModalDriver driver;
        driver.Then([modeRow](HWND dialog) {
            CheckListRow(::GetDlgItem(dialog, IDC_SYNCH_LIST), modeRow, true);
            ClickButton(dialog, IDOK);
        });
        synchronisation.Click(IDC_CHANGE_SYNCH_MODE);
        EXPECT_EQ(1, driver.Handled());
    }
    void ApplySynchronisation() const {
        synchronisation.Click(IDC_APPLY_SYNCH);
        Settle();
    }
    // A row of a page's list renamed through its name dialog.
    struct NameDialog {
        int list;
        int button;
        int edit;
    };
    static constexpr NameDialog kDeviceName{IDC_DEVICE_LIST, IDC_EDIT_DEVICE_NAME,
                                            IDC_DEVICE_NAME_EDIT};
    static constexpr NameDialog kChannelName{IDC_CHANNEL_LIST, IDC_EDIT_CHANNEL_NAME,
                                             IDC_CHANNEL_NAME_EDIT};
    static void Rename(const PageProbe& page, NameDialog dialog, int row, const std::string& name) {
        page.Select(dialog.list, row);
        ModalDriver driver;
        driver.Then([dialog, name](HWND shown) {
            SetChildText(shown, dialog.edit, name);
            ClickButton(shown, IDOK);
        });
        page.Click(dialog.button);
        EXPECT_EQ(1, driver.Handled());
    }

    // The saved file loaded with no preview, as "-load" and a second start do.
    SetupResult LoadSaved() const {
        ::Setup setup;
        if (std::optional<SetupResult> unusable = ReadSetupFile(saved, setup))
            return *unusable;
        return *LoadSetup(gDrv, saved, setup, {});
    }
    // What saving now writes; a failed save gives no text.
    std::string SaveAgain() const {
        const SetupResult result = SaveSetup(gDrv, again);
        EXPECT_EQ(SetupDone, result.code) << result.summary;
        return result.code == SetupDone ? FileText(again) : std::string();
    }
    // Each kind of setting that loading the saved file would change now,
    // named as the preview names it.
    std::set<std::string> SettingsTheFileWouldChange() const {
        ::Setup setup;
        EXPECT_FALSE(ReadSetupFile(saved, setup).has_value());
        std::set<std::string> kinds;
        for (const SetupChange& change : PlanSetup(ReadDriverState(gDrv), setup).Changes)
            kinds.insert(SetupSettingName({change.Place.Setting, {}, {}, false, 1}));
        return kinds;
    }
    // The requests other than reads that loading the file once more sends.
    std::vector<std::string> WritesOfAnotherLoad() {
        Settle();
        sim.ClearLog();
        const SetupResult result = LoadSaved();
        EXPECT_EQ(SetupDone, result.code) << result.summary;
        return Writes();
    }

    const SimChannel* FirstInputOf(uint32_t device) const {
        for (const SimChannel& channel : sim.Model().Channels)
            if (channel.DeviceId == device && channel.Input)
                return &channel;
        return nullptr;
    }
    // A buffer label's first line: the depth in milliseconds.
    std::string Milliseconds(int label) const {
        const std::string text = settings.Text(label);
        return text.substr(0, text.find('\n'));
    }
};

TEST_F(SetupRoundTrip, EverySettingChangedOnThePagesIsPutBackByLoadingTheSavedFile) {
    OpenShell();
    ASSERT_EQ(SetupDone, SaveSetup(gDrv, saved).code);
    const std::string text = FileText(saved);

    RaiseEveryBuffer();
    // The rate first: once it follows the clock master it cannot be picked.
    PickRate(1);
    MakeClockMaster(2);
    PickRateMode(IDC_RATE_AUTOMATIC);
    PickSynchMode(2, 2);
    ApplySynchronisation();
    devices.Select(IDC_DEVICE_LIST, 1);
    devices.Click(IDC_DEVICE_UP);
    devices.Click(IDC_APPLY_RANKING);
    Settle();
    Rename(devices, kDeviceName, 0, "Stage Box");
    // The Duo now ranks first, and so do its channels.
    Rename(inputs, kChannelName, 0, "Talkback");
    SetButtonCheck(view->m_PgInChannels.m_hWnd, IDC_INCLUDE_DEVICE_NAME, BST_UNCHECKED);

    const CSimModel& model = sim.Model();
    EXPECT_EQ(2250u, model.StreamBuffer.Depth);
    EXPECT_EQ(4500u, model.AsioBuffer.Depth);
    EXPECT_EQ(11000u, model.WdmBuffer.Depth);
    EXPECT_EQ(44100u, model.CurrentRate);
    EXPECT_EQ(1u, model.Source.SourceKind);
    EXPECT_EQ(duo, model.Source.MasterDeviceId);
    EXPECT_EQ(1u, model.SampleRateMode);
    ASSERT_EQ(duo, model.Devices.at(0).Id);
    EXPECT_EQ("Stage Box", model.Devices[0].Name);
    EXPECT_EQ(3u, model.Devices[0].Current.ModeId);
    ASSERT_NE(nullptr, FirstInputOf(duo));
    EXPECT_EQ("Talkback", FirstInputOf(duo)->Name);
    EXPECT_EQ(0u, model.IncludeDeviceName);
    // Every setting a setup holds but the clock source, which stays external
    // here; the next case changes it.
    EXPECT_EQ(
        (std::set<std::string>{"ASIO buffer", "Clock master", "Device name in ASIO names",
                               "Input 1", "Name", "Rank", "Sampling rate", "Sampling rate mode",
                               "Stream buffer", "Synchronisation mode", "WDM buffer"}),
        SettingsTheFileWouldChange());

    // Loaded as a second start hands it over: the load reloads the pages.
    const SetupResult loaded = LoadHandedSetup(saved);
    EXPECT_EQ(SetupDone, loaded.code) << loaded.summary;
    EXPECT_EQ((std::vector<std::string>{"Tarnet Quadra 1818", "Tarnet Duo 8"}),
              devices.Column(IDC_DEVICE_LIST, 0));
    EXPECT_EQ((std::vector<bool>{false, true, false}), synchronisation.Checks(IDC_SYNCH_LIST));
    EXPECT_EQ("SYT (Synch stream)", synchronisation.Cell(IDC_SYNCH_LIST, 2, 2));
    EXPECT_TRUE(synchronisation.Checked(IDC_RATE_MANUAL));
    const int rate = synchronisation.ComboSelected(IDC_SAMPLING_RATE_COMBO);
    ASSERT_GE(rate, 0);
    EXPECT_EQ("48.0 kHz",
              synchronisation.ComboItems(IDC_SAMPLING_RATE_COMBO)[static_cast<size_t>(rate)]);
    EXPECT_EQ("2.0 ms", Milliseconds(IDC_STREAM_BUFFER_VALUE));
    EXPECT_EQ("4.0 ms", Milliseconds(IDC_ASIO_BUFFER_VALUE));
    EXPECT_EQ("10.0 ms", Milliseconds(IDC_WDM_BUFFER_VALUE));
    // The Quadra's 18 inputs come first again.
    EXPECT_EQ("Tarnet Duo 8", inputs.Cell(IDC_CHANNEL_LIST, 18, 0));
    EXPECT_EQ("Room L", inputs.Cell(IDC_CHANNEL_LIST, 18, 1));
    EXPECT_TRUE(inputs.Checked(IDC_INCLUDE_DEVICE_NAME));
    EXPECT_TRUE(outputs.Checked(IDC_INCLUDE_DEVICE_NAME));
    EXPECT_EQ("Tarnet Duo 8 - Room L", inputs.Cell(IDC_CHANNEL_LIST, 18, 2));

    EXPECT_EQ(text, SaveAgain());
    EXPECT_EQ(std::vector<std::string>{}, WritesOfAnotherLoad());
}

// The PC driver as clock master: the source turns internal and the master
// goes; the file's external source and its master come back together.
TEST_F(SetupRoundTrip, AClockSourceChangedToThePcDriverIsPutBackWithItsMaster) {
    OpenShell();
    ASSERT_EQ(SetupDone, SaveSetup(gDrv, saved).code);
    const std::string text = FileText(saved);

    MakeClockMaster(0);
    ApplySynchronisation();
    EXPECT_EQ(0u, sim.Model().Source.SourceKind);
    EXPECT_EQ((std::set<std::string>{"Clock master", "Clock source"}),
              SettingsTheFileWouldChange());

    const SetupResult loaded = LoadSaved();
    EXPECT_EQ(SetupDone, loaded.code) << loaded.summary;
    EXPECT_EQ(text, SaveAgain());
    EXPECT_EQ(std::vector<std::string>{}, WritesOfAnotherLoad());

    view->UpdateAllPages();
    EXPECT_EQ((std::vector<bool>{false, true, false}), synchronisation.Checks(IDC_SYNCH_LIST));
    EXPECT_EQ("External", synchronisation.Cell(IDC_SYNCH_LIST, 0, 2));
    EXPECT_TRUE(synchronisation.Enabled(IDC_RATE_MANUAL));
}

// What the driver turns away is named in the summary, with the value the
// file wanted and the driver's reason, and the load counts as done in part.
TEST_F(SetupRoundTrip, WhatTheDriverRefusesIsNamedInTheSummaryWithItsReason) {
    OpenShell();
    ASSERT_EQ(SetupDone, SaveSetup(gDrv, saved).code);
    sim.Model().Devices.at(0).Name = "Desk";
    sim.Model().AsioBuffer.Depth += 500;
    sim.FailRequest(DriverRequest::SetDeviceProperties, DRVSTATUS_FCP_REJECTED, true);

    const SetupResult loaded = LoadSaved();
    EXPECT_EQ(SetupPart, loaded.code);
    const size_t refused = loaded.summary.find("The driver refused:");
    ASSERT_NE(std::string::npos, refused) << loaded.summary;
    const std::string list = loaded.summary.substr(refused);
    EXPECT_NE(std::string::npos, list.find("Tarnet Quadra 1818")) << list;
    EXPECT_NE(std::string::npos, list.find("Negative response for an FCP request.")) << list;
    EXPECT_EQ(std::string::npos, list.find("ASIO")) << "the buffer was taken: " << list;
    EXPECT_EQ("Desk", sim.Model().Devices.at(0).Name);
}

} // namespace
