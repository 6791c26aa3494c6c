#include "CDlgPgSamplingRate.h"
#include "DriverCodes.h"
#include "ModalDriver.h"
#include "PageHost.h"
#include "resource.h"

#include <gtest/gtest.h>

#include <commctrl.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

using namespace DriverRequest;

// The message text and the icon of a system message box.
constexpr int kMessageBoxText = 0xFFFF;
constexpr int kMessageBoxIcon = 0x0440;

// The ids of a dialog's visible buttons.
std::vector<int> VisibleButtons(HWND dialog) {
    std::vector<int> ids;
    for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        char className[32] = "";
        GetClassNameA(child, className, sizeof className);
        if (lstrcmpiA(className, "Button") == 0 && IsWindowVisible(child))
            ids.push_back(GetDlgCtrlID(child));
    }
    return ids;
}

// The page on the simulated driver in its default set-up: "Tarnet Quadra
// 1818" (CSP, the clock master) and "Tarnet Duo 8" (a kind 3 SYT mode), 48 kHz
// of seven rates, the rate set manually.
class SamplingRatePage : public PageHost<CDlgPgSamplingRate> {
protected:
    uint32_t quadra = 0;
    uint32_t duo = 0;

    void SetUp() override {
        PageHost::SetUp();
        quadra = sim.Model().Devices.at(0).Id;
        duo = sim.Model().Devices.at(1).Id;
    }

    HWND List() const { return probe.Item(IDC_SYNCH_LIST); }
    HWND Combo() const { return probe.Item(IDC_SAMPLING_RATE_COMBO); }
    int Rows() const { return probe.Rows(IDC_SYNCH_LIST); }
    std::string Cell(int row, int column) const { return probe.Cell(IDC_SYNCH_LIST, row, column); }
    std::vector<std::string> Column(int column) const {
        return probe.Column(IDC_SYNCH_LIST, column);
    }
    std::vector<bool> Checks() const { return probe.Checks(IDC_SYNCH_LIST); }
    std::vector<std::string> RateItems() const { return probe.ComboItems(IDC_SAMPLING_RATE_COMBO); }
    int RateSelection() const { return probe.ComboSelected(IDC_SAMPLING_RATE_COMBO); }

    // The user picks a radio button of the rate-mode group.
    void PickRateMode(int id) const {
        CheckRadioButton(page->GetSafeHwnd(), IDC_RATE_MANUAL, IDC_RATE_AUTOMATIC, id);
        probe.Click(id);
    }

    void ReplyRates(uint32_t current, std::initializer_list<uint32_t> offered, uint32_t count) {
        SampleRates rates{};
        rates.CurrentRate = current;
        rates.RateCount = count;
        uint32_t index = 0;
        for (uint32_t rate : offered)
            rates.Rates[index++] = rate;
        sim.SetReplyRecord(GetSampleRates, rates);
    }
};

} // namespace

TEST_F(SamplingRatePage, ShowsThePcDriverAndEachDeviceWithItsMode) {
    CreatePage();
    EXPECT_EQ((std::vector<std::string>{"PC Driver", "Tarnet Quadra 1818", "Tarnet Duo 8"}),
              Column(1));
    EXPECT_EQ(
        (std::vector<std::string>{"External", "CSP (Internal crystal)", "SYT (Synch stream)"}),
        Column(2));
    EXPECT_EQ((std::vector<bool>{false, true, false}), Checks());
    EXPECT_EQ((std::vector<std::string>{"32.0 kHz", "44.1 kHz", "48.0 kHz", "88.2 kHz", "96.0 kHz",
                                        "176.4 kHz", "192.0 kHz"}),
              RateItems());
    EXPECT_EQ(2, RateSelection());
    EXPECT_TRUE(probe.Enabled(IDC_SAMPLING_RATE_COMBO));
    EXPECT_TRUE(probe.Checked(IDC_RATE_MANUAL));
    EXPECT_TRUE(probe.Enabled(IDC_RATE_MANUAL) && probe.Enabled(IDC_RATE_AUTOMATIC));
    EXPECT_FALSE(probe.Enabled(IDC_CHANGE_SYNCH_MODE));
    EXPECT_FALSE(probe.Enabled(IDC_APPLY_SYNCH));
    EXPECT_FALSE(probe.Enabled(IDC_APPLY_SAMPLING_RATE));
}

TEST_F(SamplingRatePage, TheListHasItsColumnsAndStyles) {
    CreatePage();
    EXPECT_EQ((std::vector<std::string>{"Clk Master/70", "Devices/160",
                                        "Current Synchronisation Source/250"}),
              ListHeadings(List()));
    const DWORD styles = LVS_EX_GRIDLINES | LVS_EX_CHECKBOXES | LVS_EX_FULLROWSELECT;
    EXPECT_EQ(styles, ListExtendedStyle(List()) & styles);
}

TEST_F(SamplingRatePage, AReloadSelectsTheSameRowAgain) {
    CreatePage();
    SelectListRow(List(), 2);
    page->UpdateSynchronisationSettings();
    EXPECT_EQ(2, probe.Selected(IDC_SYNCH_LIST));
    EXPECT_TRUE(probe.Enabled(IDC_CHANGE_SYNCH_MODE));
}

TEST_F(SamplingRatePage, ASourceThatCannotBeReadLeavesItsCellEmptyAndTheChecksAsTheyWere) {
    CreatePage();
    ASSERT_EQ((std::vector<bool>{false, true, false}), Checks());
    // The driver now has the PC driver as master, but cannot say so.
    sim.Model().Source = SynchSource{0, 0, 0};
    sim.FailRequest(GetSynchSource, ERROR_GEN_FAILURE, false);
    page->UpdateSynchronisationSettings();
    EXPECT_EQ("", Cell(0, 2));
    EXPECT_EQ((std::vector<bool>{false, true, false}), Checks());
    EXPECT_EQ(quadra, gDrv.m_SynchSource.MasterDeviceId);
    EXPECT_TRUE(probe.Enabled(IDC_RATE_MANUAL) && probe.Enabled(IDC_RATE_AUTOMATIC));
}

TEST_F(SamplingRatePage, ARateModeThatCannotBeReadKeepsThePreviousOne) {
    CreatePage();
    PickRateMode(IDC_RATE_AUTOMATIC);
    ASSERT_EQ(1u, gDrv.m_SampleRateMode);
    sim.FailRequest(GetSampleRateMode, ERROR_GEN_FAILURE, false);
    page->UpdateSynchronisationSettings();
    EXPECT_EQ(1u, gDrv.m_SampleRateMode);
    EXPECT_TRUE(probe.Checked(IDC_RATE_AUTOMATIC));
    EXPECT_FALSE(probe.Enabled(IDC_SAMPLING_RATE_COMBO));
}

// Any mode but 0 shows the automatic button; only mode 1 itself takes the
// rate out of the user's hands, and the mode goes back to the driver as read.
TEST_F(SamplingRatePage, ARateModeAboveOneReadsAsAutomaticAndLeavesTheComboEnabled) {
    sim.Model().SampleRateMode = 2;
    CreatePage();
    EXPECT_EQ(2u, gDrv.m_SampleRateMode);
    EXPECT_TRUE(probe.Checked(IDC_RATE_AUTOMATIC));
    EXPECT_FALSE(probe.Checked(IDC_RATE_MANUAL));
    EXPECT_TRUE(probe.Enabled(IDC_SAMPLING_RATE_COMBO));

    CheckListRow(List(), 2, true); // a new clock master keeps the mode
    sim.ClearLog();
    probe.Click(IDC_APPLY_SYNCH);
    ASSERT_EQ(1u, sim.CountRequests(SetSampleRateMode));
    EXPECT_EQ(2u, sim.SentRecords<ParamValue>(SetSampleRateMode).at(0).Value);
}

// Without devices the source is not read: the radio buttons follow what
// gDrv holds.
TEST_F(SamplingRatePage, WithoutDevicesTheListIsEmptyAndTheRadiosFollowTheSource) {
    sim.Model().Clear();
    gDrv.m_SynchSource = SynchSource{0, 1, 0x1234};
    CreatePage();
    EXPECT_EQ(0, Rows());
    EXPECT_FALSE(probe.Enabled(IDC_CHANGE_SYNCH_MODE));
    EXPECT_TRUE(probe.Enabled(IDC_RATE_MANUAL) && probe.Enabled(IDC_RATE_AUTOMATIC));

    gDrv.m_SynchSource = SynchSource{0, 0, 0};
    page->UpdatePage();
    EXPECT_EQ(0, Rows());
    EXPECT_FALSE(probe.Enabled(IDC_RATE_MANUAL) || probe.Enabled(IDC_RATE_AUTOMATIC));
}

TEST_F(SamplingRatePage, AFailedReadOfTheModesLeavesTheListEmpty) {
    CreatePage();
    SelectListRow(List(), 2);
    ASSERT_TRUE(probe.Enabled(IDC_CHANGE_SYNCH_MODE));
    sim.FailRequest(GetDeviceSynchMode, ERROR_GEN_FAILURE, false);
    page->UpdateSynchronisationSettings();
    EXPECT_EQ(0, Rows());
    EXPECT_FALSE(probe.Enabled(IDC_CHANGE_SYNCH_MODE));
}

TEST_F(SamplingRatePage, AMasterIdOfNoListedDeviceChecksNothingUntilTheUserDoes) {
    sim.Model().Source = SynchSource{0, 1, 0xDEAD};
    CreatePage();
    EXPECT_EQ((std::vector<bool>{false, false, false}), Checks());

    CheckListRow(List(), 2, true);
    EXPECT_EQ((std::vector<bool>{false, false, true}), Checks());
    EXPECT_EQ(1u, gDrv.m_SynchSource.SourceKind);
    EXPECT_EQ(duo, gDrv.m_SynchSource.MasterDeviceId);
    EXPECT_TRUE(probe.Enabled(IDC_APPLY_SYNCH));
}

// Two rows carrying the master's id must not give two clock masters.
TEST_F(SamplingRatePage, OnlyTheFirstRowWithTheMasterIdIsChecked) {
    DeviceProperties twin{};
    twin.DeviceId = quadra;
    std::strcpy(twin.DeviceName, "Twin");
    sim.SetReplyRecord(GetDeviceProperties, twin);
    CreatePage();
    EXPECT_EQ((std::vector<std::string>{"PC Driver", "Twin", "Twin"}), Column(1));
    EXPECT_EQ((std::vector<bool>{false, true, false}), Checks());
}

TEST_F(SamplingRatePage, CheckingThePcDriverMakesItTheInternalMasterSetManually) {
    sim.Model().SampleRateMode = 1;
    CreatePage();
    ASSERT_TRUE(probe.Checked(IDC_RATE_AUTOMATIC));
    ASSERT_FALSE(probe.Enabled(IDC_SAMPLING_RATE_COMBO));

    CheckListRow(List(), 0, true);
    EXPECT_EQ((std::vector<bool>{true, false, false}), Checks());
    EXPECT_EQ("Internal", Cell(0, 2));
    EXPECT_FALSE(probe.Enabled(IDC_RATE_MANUAL) || probe.Enabled(IDC_RATE_AUTOMATIC));
    EXPECT_TRUE(probe.Checked(IDC_RATE_MANUAL));
    EXPECT_FALSE(probe.Checked(IDC_RATE_AUTOMATIC));
    EXPECT_EQ(0u, gDrv.m_SampleRateMode);
    EXPECT_EQ(0u, gDrv.m_SynchSource.SourceKind);
    EXPECT_EQ(0u, gDrv.m_SynchSource.MasterDeviceId);
    EXPECT_TRUE(probe.Enabled(IDC_SAMPLING_RATE_COMBO));
    EXPECT_TRUE(probe.Enabled(IDC_APPLY_SYNCH));
    EXPECT_EQ(0u, sim.CountRequests(SetSynchSource)) << "nothing is sent before Apply";
}

TEST_F(SamplingRatePage, CheckingADeviceMakesItTheExternalMaster) {
    sim.Model().Source = SynchSource{0, 0, 0};
    CreatePage();
    ASSERT_EQ((std::vector<bool>{true, false, false}), Checks());
    ASSERT_FALSE(probe.Enabled(IDC_RATE_MANUAL));

    CheckListRow(List(), 2, true);
    EXPECT_EQ((std::vector<bool>{false, false, true}), Checks());
    EXPECT_EQ("External", Cell(0, 2));
    EXPECT_TRUE(probe.Enabled(IDC_RATE_MANUAL) && probe.Enabled(IDC_RATE_AUTOMATIC));
    EXPECT_EQ(duo, gDrv.m_SynchSource.MasterDeviceId);
}

TEST_F(SamplingRatePage, TheClockMasterCanBeReplacedButNotUnchecked) {
    CreatePage();
    CheckListRow(List(), 1, false);
    EXPECT_EQ((std::vector<bool>{false, true, false}), Checks());
    EXPECT_FALSE(probe.Enabled(IDC_APPLY_SYNCH));
    SelectListRow(List(), 2);
    EXPECT_EQ((std::vector<bool>{false, true, false}), Checks()) << "a selection is no check";
    EXPECT_FALSE(probe.Enabled(IDC_APPLY_SYNCH));
}

TEST_F(SamplingRatePage, ApplyAfterCheckingThePcDriverSendsTheGroupBetweenStopAndStart) {
    sim.Model().Source = SynchSource{0xA5A50001, 1, 0};
    sim.Model().Source.MasterDeviceId = duo;
    CreatePage();
    sim.ClearLog();
    CheckListRow(List(), 0, true);
    probe.Click(IDC_APPLY_SYNCH);

    const std::vector<uint32_t> expected{StopStreaming,      SetSynchSource,     SetSampleRateMode,
                                         SetDeviceSynchMode, SetDeviceSynchMode, StartStreaming};
    std::vector<uint32_t> requests = Requests();
    ASSERT_GT(requests.size(), expected.size());
    EXPECT_EQ(expected, std::vector<uint32_t>(requests.begin(), requests.begin() + 6));

    const SynchSource source = sim.SentRecords<SynchSource>(SetSynchSource).at(0);
    EXPECT_EQ(0xA5A50001u, source.Reserved0) << "the first word goes back as read";
    EXPECT_EQ(0u, source.SourceKind);
    EXPECT_EQ(0u, source.MasterDeviceId);
    EXPECT_EQ(0u, sim.SentRecords<ParamValue>(SetSampleRateMode).at(0).Value);
    const std::vector<SynchModeSelection> modes =
        sim.SentRecords<SynchModeSelection>(SetDeviceSynchMode);
    ASSERT_EQ(2u, modes.size());
    EXPECT_EQ(quadra, modes[0].DeviceId);
    EXPECT_EQ(1u, modes[0].Kind);
    EXPECT_EQ(1u, modes[0].ModeId);
    EXPECT_EQ(duo, modes[1].DeviceId);
    EXPECT_EQ(3u, modes[1].Kind);
    EXPECT_EQ(2u, modes[1].ModeId);

    // The page re-read what the driver now holds.
    EXPECT_EQ(1u, sim.CountRequests(GetSynchSource));
    EXPECT_EQ((std::vector<bool>{true, false, false}), Checks());
    EXPECT_FALSE(probe.Enabled(IDC_APPLY_SYNCH));
}

TEST_F(SamplingRatePage, AFailedStopSendsNothingElseAndDisablesApply) {
    CreatePage();
    CheckListRow(List(), 0, true);
    sim.FailRequest(StopStreaming, ERROR_BUSY, false);
    sim.ClearLog();
    probe.Click(IDC_APPLY_SYNCH);
    EXPECT_EQ(std::vector<uint32_t>{StopStreaming}, Requests());
    EXPECT_FALSE(probe.Enabled(IDC_APPLY_SYNCH));
    EXPECT_EQ(0u, gDrv.m_SynchSource.SourceKind) << "the edit stays until the next reload";
    EXPECT_EQ((std::vector<bool>{true, false, false}), Checks());
}

TEST_F(SamplingRatePage, TheRateModeBelongsToTheSynchronisationApply) {
    CreatePage();
    SelectComboItem(Combo(), 0);
    PickRateMode(IDC_RATE_AUTOMATIC);
    EXPECT_EQ(1u, gDrv.m_SampleRateMode);
    EXPECT_FALSE(probe.Enabled(IDC_SAMPLING_RATE_COMBO));
    EXPECT_TRUE(probe.Enabled(IDC_APPLY_SYNCH));

    sim.ClearLog();
    probe.Click(IDC_APPLY_SAMPLING_RATE);
    EXPECT_EQ(1u, sim.CountRequests(SetSampleRate));
    EXPECT_EQ(0u, sim.CountRequests(SetSampleRateMode));
    EXPECT_TRUE(probe.Checked(IDC_RATE_MANUAL)) << "the reload shows the driver's mode again";

    PickRateMode(IDC_RATE_AUTOMATIC);
    sim.ClearLog();
    probe.Click(IDC_APPLY_SYNCH);
    ASSERT_EQ(1u, sim.CountRequests(SetSampleRateMode));
    EXPECT_EQ(1u, sim.SentRecords<ParamValue>(SetSampleRateMode).at(0).Value);
    EXPECT_EQ(1u, sim.Model().SampleRateMode);
    EXPECT_TRUE(probe.Checked(IDC_RATE_AUTOMATIC));
    EXPECT_FALSE(probe.Enabled(IDC_SAMPLING_RATE_COMBO));

    PickRateMode(IDC_RATE_MANUAL);
    EXPECT_EQ(0u, gDrv.m_SampleRateMode);
    EXPECT_TRUE(probe.Enabled(IDC_SAMPLING_RATE_COMBO));
}

TEST_F(SamplingRatePage, RatesReadAsKilohertzAndCarryTheirRate) {
    ReplyRates(44100, {32000, 44100, 88200, 176400, 192000}, 5);
    CreatePage();
    EXPECT_EQ(
        (std::vector<std::string>{"32.0 kHz", "44.1 kHz", "88.2 kHz", "176.4 kHz", "192.0 kHz"}),
        RateItems());
    EXPECT_EQ(1, RateSelection());

    SelectComboItem(Combo(), 3);
    EXPECT_TRUE(probe.Enabled(IDC_APPLY_SAMPLING_RATE));
    probe.Click(IDC_APPLY_SAMPLING_RATE);
    ASSERT_EQ(1u, sim.CountRequests(SetSampleRate));
    EXPECT_EQ(176400u, sim.SentRecords<ParamValue>(SetSampleRate).at(0).Value);
    EXPECT_FALSE(probe.Enabled(IDC_APPLY_SAMPLING_RATE));
}

TEST_F(SamplingRatePage, ACurrentRateNotOfferedSelectsTheFirstItem) {
    ReplyRates(22050, {44100, 48000}, 2);
    CreatePage();
    EXPECT_EQ(0, RateSelection());
    EXPECT_FALSE(probe.Enabled(IDC_APPLY_SAMPLING_RATE)) << "the page's own selection is no change";
}

TEST_F(SamplingRatePage, NoMoreThanEightRatesAreRead) {
    ReplyRates(48000, {8000, 11025, 16000, 22050, 32000, 44100, 48000, 96000}, 0x7FFFFFFF);
    CreatePage();
    EXPECT_EQ(8u, RateItems().size());

    ReplyRates(48000, {}, 0);
    page->UpdateSamplingRateSettings();
    EXPECT_TRUE(RateItems().empty());
    EXPECT_FALSE(probe.Enabled(IDC_SAMPLING_RATE_COMBO));
}

// A reload leaves a combo that already offers the driver's rates as it is;
// other rates, as many as before, replace them.
TEST_F(SamplingRatePage, TheComboFollowsOtherRatesOfTheSameNumber) {
    ReplyRates(48000, {44100, 48000}, 2);
    CreatePage();
    ASSERT_EQ(2u, RateItems().size());
    ReplyRates(96000, {88200, 96000}, 2);
    page->UpdateSamplingRateSettings();
    EXPECT_EQ((std::vector<std::string>{"88.2 kHz", "96.0 kHz"}), RateItems());
    EXPECT_EQ(1, RateSelection());
}

TEST_F(SamplingRatePage, AFailedRateReadKeepsTheItems) {
    CreatePage();
    sim.FailRequest(GetSampleRates, ERROR_GEN_FAILURE, false);
    page->UpdateSamplingRateSettings();
    EXPECT_EQ(7u, RateItems().size());
    EXPECT_EQ(2, RateSelection());
}

TEST_F(SamplingRatePage, AutomaticModeDisablesTheCombo) {
    sim.Model().SampleRateMode = 1;
    CreatePage();
    EXPECT_EQ(7u, RateItems().size());
    EXPECT_FALSE(probe.Enabled(IDC_SAMPLING_RATE_COMBO));
    EXPECT_TRUE(probe.Checked(IDC_RATE_AUTOMATIC));
}

TEST_F(SamplingRatePage, AWdmDeviceInUseIsTheOneRefusalThatShowsAMessage) {
    CreatePage();
    sim.SetWdmDeviceInUse(true);
    std::string message;
    HICON icon = nullptr;
    std::vector<int> buttons;
    {
        ModalDriver driver;
        driver.Then([&](HWND box) {
            message = ChildText(box, kMessageBoxText);
            icon = reinterpret_cast<HICON>(
                SendDlgItemMessageA(box, kMessageBoxIcon, STM_GETICON, 0, 0));
            buttons = VisibleButtons(box);
            ClickButton(box, IDOK);
        });
        SelectComboItem(Combo(), 1);
        probe.Click(IDC_APPLY_SAMPLING_RATE);
        EXPECT_EQ(1, driver.Handled());
    }
    EXPECT_EQ("A WDM sound device is currently in use.\nSampling rate cannot be changed.", message);
    EXPECT_EQ(LoadIconA(nullptr, IDI_EXCLAMATION), icon);
    EXPECT_EQ((std::vector<int>{IDOK}), buttons);
    EXPECT_EQ(2, RateSelection()) << "the driver's rate is shown again";
    EXPECT_FALSE(probe.Enabled(IDC_APPLY_SAMPLING_RATE));

    sim.SetWdmDeviceInUse(false);
    sim.FailRequest(SetSampleRate, DRVSTATUS_SAMPLE_RATE_NOT_SUPPORTED, false);
    ModalDriver driver;
    driver.Then([](HWND box) { ClickButton(box, IDOK); });
    SelectComboItem(Combo(), 1);
    probe.Click(IDC_APPLY_SAMPLING_RATE);
    EXPECT_EQ(0, driver.Handled());
    EXPECT_EQ(2, RateSelection());
}

TEST_F(SamplingRatePage, TheModeDialogOpensOnlyForADeviceRow) {
    CreatePage();
    ModalDriver driver;
    driver.Then([](HWND dialog) { ClickButton(dialog, IDCANCEL); });

    SelectListRow(List(), 0);
    EXPECT_FALSE(probe.Enabled(IDC_CHANGE_SYNCH_MODE));
    DoubleClickListRow(List(), 0);
    probe.Click(IDC_CHANGE_SYNCH_MODE);
    EXPECT_EQ(0, driver.Handled());

    SelectListRow(List(), 2);
    EXPECT_TRUE(probe.Enabled(IDC_CHANGE_SYNCH_MODE));
    DoubleClickListRow(List(), 2);
    EXPECT_EQ(1, driver.Handled());
    EXPECT_EQ("Device Synchronisation Mode", driver.Captions().at(0));
    EXPECT_EQ("SYT (Synch stream)", Cell(2, 2)) << "a cancelled dialog changes nothing";
    EXPECT_FALSE(probe.Enabled(IDC_APPLY_SYNCH));
}

TEST_F(SamplingRatePage, AModePickedInTheDialogIsShownAndSentOnApply) {
    CreatePage();
    SelectListRow(List(), 2);
    sim.ClearLog();
    {
        ModalDriver driver;
        driver.Then([](HWND dialog) {
            CheckListRow(GetDlgItem(dialog, IDC_SYNCH_LIST), 2, true);
            ClickButton(dialog, IDOK);
        });
        probe.Click(IDC_CHANGE_SYNCH_MODE);
        ASSERT_EQ(1, driver.Handled());
    }
    EXPECT_EQ("Digital Input (S/PDIF)", Cell(2, 2));
    EXPECT_TRUE(probe.Enabled(IDC_APPLY_SYNCH));
    EXPECT_TRUE(Requests().empty()) << "the dialog sends nothing";

    probe.Click(IDC_APPLY_SYNCH);
    const std::vector<SynchModeSelection> modes =
        sim.SentRecords<SynchModeSelection>(SetDeviceSynchMode);
    ASSERT_EQ(2u, modes.size());
    EXPECT_EQ(duo, modes[1].DeviceId);
    EXPECT_EQ(4u, modes[1].Kind);
    EXPECT_EQ(3u, modes[1].ModeId);
    EXPECT_EQ("Digital Input (S/PDIF)", Cell(2, 2)) << "as the driver now reports";
}

// The modes entry of each row is the one with the device's id, whatever its
// position: here the driver answers every device with the Duo's modes.
TEST_F(SamplingRatePage, ModesArePairedWithDevicesByIdNotByPosition) {
    DeviceSynchModes duoModes{};
    duoModes.DeviceId = duo;
    duoModes.Current.Kind = 5;
    std::strcpy(duoModes.Current.Name, "Word Clock");
    duoModes.ModeCount = 1;
    duoModes.Modes[0] = duoModes.Current;
    sim.SetReplyRecord(GetDeviceSynchMode, duoModes);
    CreatePage();

    EXPECT_EQ((std::vector<std::string>{"External", "", "External Clock (Word Clock)"}), Column(2));
    ModalDriver driver;
    driver.Then([](HWND dialog) { ClickButton(dialog, IDCANCEL); });
    SelectListRow(List(), 1);
    EXPECT_FALSE(probe.Enabled(IDC_CHANGE_SYNCH_MODE)) << "the Quadra has no modes entry";
    DoubleClickListRow(List(), 1);
    EXPECT_EQ(0, driver.Handled());
    SelectListRow(List(), 2);
    EXPECT_TRUE(probe.Enabled(IDC_CHANGE_SYNCH_MODE));
}

// A driver event reloads every page while the dialog is open; the picked mode
// must still reach the device it was picked for.
TEST_F(SamplingRatePage, APickSurvivesAReloadThatReorderedTheDevices) {
    CreatePage();
    SelectListRow(List(), 2);
    ModalDriver driver;
    driver.Then([&](HWND dialog) {
        sim.Model().MoveDevice(duo, 0);
        page->UpdatePage();
        CheckListRow(GetDlgItem(dialog, IDC_SYNCH_LIST), 0, true);
        ClickButton(dialog, IDOK);
    });
    probe.Click(IDC_CHANGE_SYNCH_MODE);
    ASSERT_EQ(1, driver.Handled());

    EXPECT_EQ((std::vector<std::string>{"PC Driver", "Tarnet Duo 8", "Tarnet Quadra 1818"}),
              Column(1));
    EXPECT_EQ((std::vector<std::string>{"External", "CSP", "CSP (Internal crystal)"}), Column(2));
    const DeviceSynchModes* edited = gDrv.m_DevSynchModes.GetAt(0);
    ASSERT_NE(nullptr, edited);
    EXPECT_EQ(duo, edited->DeviceId);
    EXPECT_EQ(1u, edited->Current.ModeId);
    ASSERT_NE(nullptr, gDrv.m_DevSynchModes.GetAt(1));
    EXPECT_EQ(quadra, gDrv.m_DevSynchModes.GetAt(1)->DeviceId) << "the Quadra keeps its entry";
}
