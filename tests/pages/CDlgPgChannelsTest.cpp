#include "DriverCodes.h"
#include "ModalDriver.h"
#include "PageHost.h"
#include "ShellFixture.h"
#include "resource.h"

#include "CDlgPgChannels.h"

namespace {

class ChannelsPage : public PageHost<CDlgPgChannels> {
protected:
    ChannelsPage() : PageHost(SimStart::EmptyModel) {}

    uint32_t unitA = 0;
    uint32_t unitB = 0;

    // Unit A: inputs Mic 1 and Mic 2, output Out 3; Unit B: input Line.
    void AddUnits() {
        unitA = AddDevice("Unit A");
        unitB = AddDevice("Unit B");
        AddInput(unitA, "In 1", "Mic 1");
        AddInput(unitA, "In 2", "Mic 2");
        AddOutput(unitA, "Out 3", "Out 3");
        AddInput(unitB, "In 1", "Line");
    }
    std::vector<std::string> Column(int column) const {
        return probe.Column(IDC_CHANNEL_LIST, column);
    }
};

TEST_F(ChannelsPage, RowsShowDeviceChannelAndAsioNameOfTheirDirection) {
    AddUnits();
    CreatePage(0);
    EXPECT_EQ((std::vector<std::string>{"Unit A", "Unit A", "Unit B"}), Column(0));
    EXPECT_EQ((std::vector<std::string>{"Mic 1", "Mic 2", "Line"}), Column(1));
    EXPECT_EQ((std::vector<std::string>{"Mic 1", "Mic 2", "Line"}), Column(2));
    EXPECT_FALSE(probe.Checked(IDC_INCLUDE_DEVICE_NAME));
    EXPECT_EQ(
        (std::vector<std::string>{"Device name/160", "Channel name/160", "ASIO display name/180"}),
        ListHeadings(probe.Item(IDC_CHANNEL_LIST)));
    const DWORD styles = LVS_EX_GRIDLINES | LVS_EX_HEADERDRAGDROP | LVS_EX_FULLROWSELECT;
    EXPECT_EQ(styles, ListExtendedStyle(probe.Item(IDC_CHANNEL_LIST)) & styles);

    CreatePage(1);
    EXPECT_EQ((std::vector<std::string>{"Out 3"}), Column(1));
}

TEST_F(ChannelsPage, AsioNamesIncludeTheDeviceNameWhenTheDriverSaysSo) {
    AddUnits();
    sim.Model().IncludeDeviceName = 7;
    CreatePage(1);
    EXPECT_TRUE(probe.Checked(IDC_INCLUDE_DEVICE_NAME));
    EXPECT_EQ((std::vector<std::string>{"Unit A - Out 3"}), Column(2));
}

TEST_F(ChannelsPage, AsioNamesAreCutAfter32Bytes) {
    uint32_t device = AddDevice("Twenty Char Device X");
    AddInput(device, "In 1", "Fifteen Chars I");
    AddInput(device, "In 2", "");
    AddInput(device, "In 3", std::string(39, 'c'));
    sim.Model().IncludeDeviceName = 1;
    CreatePage(0);
    const std::string full = "Twenty Char Device X - Fifteen Chars I";
    ASSERT_EQ(38u, full.size());
    EXPECT_EQ((std::vector<std::string>{full.substr(0, 32), "Twenty Char Device X - ",
                                        "Twenty Char Device X - " + std::string(9, 'c')}),
              Column(2));

    // Without the device name a long channel name is cut as well.
    SetButtonCheck(page->GetSafeHwnd(), IDC_INCLUDE_DEVICE_NAME, BST_UNCHECKED);
    page->UpdateAsioNames();
    EXPECT_EQ(std::string(32, 'c'), probe.Cell(IDC_CHANNEL_LIST, 2, 2));
}

TEST_F(ChannelsPage, DetailsFollowTheSelectionWithALeadingBlank) {
    AddUnits();
    CreatePage(0);
    for (int id : {IDC_EDIT_CHANNEL_NAME, IDC_HARDWARE_NAME_LABEL, IDC_HARDWARE_NAME})
        EXPECT_FALSE(probe.Enabled(id));
    EXPECT_EQ("", probe.Text(IDC_HARDWARE_NAME));

    probe.Select(IDC_CHANNEL_LIST, 1);
    for (int id : {IDC_EDIT_CHANNEL_NAME, IDC_HARDWARE_NAME_LABEL, IDC_HARDWARE_NAME})
        EXPECT_TRUE(probe.Enabled(id));
    EXPECT_EQ(" In 2", probe.Text(IDC_HARDWARE_NAME));
}

TEST_F(ChannelsPage, ChannelsOfAnUnreadableDeviceAreLeftOutAndTheOthersKeepTheirOwn) {
    uint32_t device = AddDevice("Unit A");
    const char* names[] = {"One", "Two", "Three", "Four", "Five"};
    for (int i = 0; i < 5; ++i)
        AddInput(device, std::string("Hw ") + names[i], names[i]);
    // The third channel names a device the driver does not know.
    sim.Model().Channels[2].DeviceId = 0xDEAD;
    CreatePage(0);
    EXPECT_EQ((std::vector<std::string>{"One", "Two", "Four", "Five"}), Column(1));
    // Each row's details come from its own channel record.
    const char* hardware[] = {" Hw One", " Hw Two", " Hw Four", " Hw Five"};
    for (int row = 0; row < 4; ++row) {
        probe.Select(IDC_CHANNEL_LIST, row);
        EXPECT_EQ(hardware[row], probe.Text(IDC_HARDWARE_NAME));
    }
    // Renaming the row after the gap renames its own channel.
    probe.Select(IDC_CHANNEL_LIST, 2);
    sim.ClearLog();
    ModalDriver driver;
    driver.Then([](HWND dialog) {
        SetChildText(dialog, IDC_CHANNEL_NAME_EDIT, "Renamed");
        ClickButton(dialog, IDOK);
    });
    probe.Click(IDC_EDIT_CHANNEL_NAME);
    std::vector<ChannelProperties> sent =
        sim.SentRecords<ChannelProperties>(DriverRequest::SetChannelProperties);
    ASSERT_EQ(1u, sent.size());
    EXPECT_EQ("Hw Four", FieldText(sent[0].HardwareName));
    EXPECT_EQ((std::vector<std::string>{"One", "Two", "Renamed", "Five"}), Column(1));
}

TEST_F(ChannelsPage, APartialChannelReadLeavesTheListEmpty) {
    AddUnits();
    sim.FailRequest(DriverRequest::GetChannelProperties, ERROR_GEN_FAILURE, false);
    CreatePage(0);
    EXPECT_EQ(0, probe.Rows(IDC_CHANNEL_LIST));
    page->UpdatePage();
    EXPECT_EQ(3, probe.Rows(IDC_CHANNEL_LIST));
}

TEST_F(ChannelsPage, DoubleClickAndButtonOpenTheSameDialogAndCancelSendsNothing) {
    AddUnits();
    CreatePage(0);
    probe.Select(IDC_CHANNEL_LIST, 2);
    sim.ClearLog();
    std::vector<std::string> shown;
    ModalDriver driver;
    for (int i = 0; i < 2; ++i)
        driver.Then([&shown](HWND dialog) {
            shown.push_back(ChildText(dialog, IDC_CHANNEL_NAME_EDIT));
            SetChildText(dialog, IDC_CHANNEL_NAME_EDIT, "Never stored");
            ClickButton(dialog, IDCANCEL);
        });
    probe.DoubleClick(IDC_CHANNEL_LIST, 2);
    probe.Click(IDC_EDIT_CHANNEL_NAME);
    ASSERT_EQ(2, driver.Handled());
    EXPECT_EQ("Edit Channel Name", driver.Captions()[0]);
    EXPECT_EQ(driver.Captions()[0], driver.Captions()[1]);
    EXPECT_EQ((std::vector<std::string>{"Line", "Line"}), shown);
    EXPECT_TRUE(sim.Log().empty());
}

TEST_F(ChannelsPage, RenameSendsTheWholeRecordAndRefillsKeepingTheRow) {
    AddUnits();
    CreatePage(0);
    probe.Select(IDC_CHANNEL_LIST, 1);
    ChannelProperties before = *gDrv.m_InChannels.GetAt(1);
    sim.ClearLog();
    const std::string name39(39, 'x');
    ModalDriver driver;
    driver.Then([name39](HWND dialog) {
        SetChildText(dialog, IDC_CHANNEL_NAME_EDIT, name39);
        ClickButton(dialog, IDOK);
    });
    probe.Click(IDC_EDIT_CHANNEL_NAME);
    std::vector<ChannelProperties> sent =
        sim.SentRecords<ChannelProperties>(DriverRequest::SetChannelProperties);
    ASSERT_EQ(1u, sent.size());
    EXPECT_EQ(0, std::memcmp(&before, &sent[0], offsetof(ChannelProperties, ChannelName)));
    EXPECT_EQ(std::string(39, 'x'), FieldText(sent[0].ChannelName));
    EXPECT_EQ(std::string(39, 'x'), probe.Cell(IDC_CHANNEL_LIST, 1, 1));
    EXPECT_EQ(1, probe.Selected(IDC_CHANNEL_LIST));
    EXPECT_EQ(" In 2", probe.Text(IDC_HARDWARE_NAME));
}

TEST_F(ChannelsPage, StaleRowsShowNoDetailsAndOpenNoDialog) {
    AddUnits();
    CreatePage(0);
    probe.Select(IDC_CHANNEL_LIST, 2);
    // The model is re-read elsewhere after Unit B went away.
    sim.Model().RemoveDevice(unitB);
    ASSERT_EQ(0u, gDrv.GetChanProp(gDrv.m_InChannels, 0));
    ASSERT_EQ(2, gDrv.m_InChannels.GetSize());
    probe.Select(IDC_CHANNEL_LIST, 0);
    EXPECT_EQ(" In 1", probe.Text(IDC_HARDWARE_NAME));
    probe.Select(IDC_CHANNEL_LIST, 2);
    EXPECT_EQ("", probe.Text(IDC_HARDWARE_NAME));
    sim.ClearLog();
    ModalDriver driver;
    driver.Then([](HWND dialog) { ClickButton(dialog, IDCANCEL); });
    probe.Click(IDC_EDIT_CHANNEL_NAME);
    EXPECT_EQ(0, driver.Handled());
    EXPECT_TRUE(sim.Log().empty());
}

TEST_F(ChannelsPage, UnterminatedNamesAreReadWithinTheirFields) {
    uint32_t device = AddDevice("Unit A");
    AddInput(device, "In 1", "Mic 1");
    ChannelProperties record = {};
    record.Reserved0 = sim.Model().Channels[0].Id;
    record.DeviceId = device;
    std::memset(record.HardwareName, 'H', sizeof record.HardwareName);
    std::memset(record.ChannelName, 'C', sizeof record.ChannelName);
    sim.SetReplyRecord(DriverRequest::GetChannelProperties, record);
    sim.Model().IncludeDeviceName = 0;
    CreatePage(0);
    ASSERT_EQ(1, probe.Rows(IDC_CHANNEL_LIST));
    EXPECT_EQ(std::string(40, 'C'), probe.Cell(IDC_CHANNEL_LIST, 0, 1));
    EXPECT_EQ(std::string(32, 'C'), probe.Cell(IDC_CHANNEL_LIST, 0, 2));
    probe.Select(IDC_CHANNEL_LIST, 0);
    EXPECT_EQ(" " + std::string(40, 'H'), probe.Text(IDC_HARDWARE_NAME));
}

TEST_F(ChannelsPage, CheckBoxWithoutAViewOnlySendsTheValue) {
    AddUnits();
    CreatePage(0);
    sim.ClearLog();
    SetButtonCheck(page->GetSafeHwnd(), IDC_INCLUDE_DEVICE_NAME, BST_CHECKED);
    std::vector<IncludeDeviceName> sent =
        sim.SentRecords<IncludeDeviceName>(DriverRequest::SetIncludeDeviceName);
    ASSERT_EQ(1u, sent.size());
    EXPECT_EQ(1u, sent[0].Value);
    EXPECT_EQ(1u, sim.Model().IncludeDeviceName);
}

TEST_F(ChannelsPage, AFlagThatCannotBeReadAtCreationLeavesTheBoxClear) {
    AddUnits();
    sim.Model().IncludeDeviceName = 1;
    gDrv.m_IncludeDeviceName = 1; // what an earlier read left
    sim.FailRequest(DriverRequest::GetIncludeDeviceName, ERROR_GEN_FAILURE, false);
    CreatePage(1);
    EXPECT_FALSE(probe.Checked(IDC_INCLUDE_DEVICE_NAME));
    EXPECT_EQ((std::vector<std::string>{"Out 3"}), Column(2));
}

TEST_F(ChannelsPage, AReloadDoesNotReadTheFlagAgain) {
    AddUnits();
    CreatePage(0);
    sim.Model().IncludeDeviceName = 1;
    sim.ClearLog();
    page->UpdatePage();
    EXPECT_EQ(0u, sim.CountRequests(DriverRequest::GetIncludeDeviceName));
    EXPECT_GT(sim.CountRequests(DriverRequest::GetChannelList), 0u);
    EXPECT_FALSE(probe.Checked(IDC_INCLUDE_DEVICE_NAME));
    EXPECT_EQ((std::vector<std::string>{"Mic 1", "Mic 2", "Line"}), Column(2));
}

// The page inside the program's frame and view, on a model of the test's own.
class ChannelsInShell : public ShellFixture {
protected:
    ChannelsInShell() : ShellFixture(SimStart::EmptyModel) {}
};

TEST_F(ChannelsInShell, AFlagTheDriverRefusesIsStillShownOnBothPages) {
    uint32_t unit = AddDevice("Unit A");
    AddInput(unit, "In 1", "Mic 1");
    AddOutput(unit, "Out 3", "Out 3");
    OpenShell();
    sim.FailRequest(DriverRequest::SetIncludeDeviceName, ERROR_GEN_FAILURE, false);
    SetButtonCheck(view->m_PgOutChannels.GetSafeHwnd(), IDC_INCLUDE_DEVICE_NAME, BST_CHECKED);
    EXPECT_EQ(0u, sim.Model().IncludeDeviceName);
    EXPECT_EQ(1u, gDrv.m_IncludeDeviceName);
    EXPECT_TRUE(inputs.Checked(IDC_INCLUDE_DEVICE_NAME));
    EXPECT_TRUE(outputs.Checked(IDC_INCLUDE_DEVICE_NAME));
    EXPECT_EQ("Unit A - Mic 1", inputs.Cell(IDC_CHANNEL_LIST, 0, 2));
    EXPECT_EQ("Unit A - Out 3", outputs.Cell(IDC_CHANNEL_LIST, 0, 2));
}

TEST_F(ChannelsInShell, CheckBoxOnOnePageSetsBothPagesAndSendsTheValue) {
    uint32_t unit = AddDevice("Unit A");
    AddInput(unit, "In 1", "Mic 1");
    AddOutput(unit, "Out 3", "Out 3");
    sim.Model().IncludeDeviceName = 1;
    OpenShell();
    EXPECT_TRUE(inputs.Checked(IDC_INCLUDE_DEVICE_NAME));
    EXPECT_TRUE(outputs.Checked(IDC_INCLUDE_DEVICE_NAME));
    EXPECT_EQ("Unit A - Mic 1", inputs.Cell(IDC_CHANNEL_LIST, 0, 2));
    EXPECT_EQ("Unit A - Out 3", outputs.Cell(IDC_CHANNEL_LIST, 0, 2));

    sim.ClearLog();
    SetButtonCheck(view->m_PgOutChannels.GetSafeHwnd(), IDC_INCLUDE_DEVICE_NAME, BST_UNCHECKED);
    std::vector<IncludeDeviceName> sent =
        sim.SentRecords<IncludeDeviceName>(DriverRequest::SetIncludeDeviceName);
    ASSERT_EQ(1u, sent.size());
    EXPECT_EQ(0u, sent[0].Value);
    EXPECT_FALSE(inputs.Checked(IDC_INCLUDE_DEVICE_NAME));
    EXPECT_FALSE(outputs.Checked(IDC_INCLUDE_DEVICE_NAME));
    EXPECT_EQ("Mic 1", inputs.Cell(IDC_CHANNEL_LIST, 0, 2));
    EXPECT_EQ("Out 3", outputs.Cell(IDC_CHANNEL_LIST, 0, 2));

    sim.ClearLog();
    SetButtonCheck(view->m_PgInChannels.GetSafeHwnd(), IDC_INCLUDE_DEVICE_NAME, BST_CHECKED);
    sent = sim.SentRecords<IncludeDeviceName>(DriverRequest::SetIncludeDeviceName);
    ASSERT_EQ(1u, sent.size());
    EXPECT_EQ(1u, sent[0].Value);
    EXPECT_TRUE(outputs.Checked(IDC_INCLUDE_DEVICE_NAME));
    EXPECT_EQ("Unit A - Out 3", outputs.Cell(IDC_CHANNEL_LIST, 0, 2));
    // Only the check box was sent: no list was read again.
    EXPECT_EQ(0u, sim.CountRequests(DriverRequest::GetChannelList));
}

} // namespace
