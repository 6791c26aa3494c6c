#include "DriverCodes.h"
#include "ModalDriver.h"
#include "PageHost.h"
#include "ShellFixture.h"
#include "resource.h"

#include "CDlgPgDevices.h"

namespace {

class DevicesPage : public PageHost<CDlgPgDevices> {
protected:
    DevicesPage() : PageHost(SimStart::EmptyModel) {}

    void AddDevices(int count) {
        const char* names[] = {"Alpha", "Bravo", "Charlie"};
        for (int i = 0; i < count; ++i)
            AddDevice(names[i], std::string("SN-") + names[i]);
    }
    std::vector<std::string> Names() const { return probe.Column(IDC_DEVICE_LIST, 0); }
    void EditNameTo(const std::string& name) {
        ModalDriver driver;
        driver.Then([name](HWND dialog) {
            SetChildText(dialog, IDC_DEVICE_NAME_EDIT, name);
            ClickButton(dialog, IDOK);
        });
        probe.Click(IDC_EDIT_DEVICE_NAME);
        EXPECT_EQ(1, driver.Handled());
    }
};

TEST_F(DevicesPage, ListsNamesAndSerialNumbersUnderTheirHeadings) {
    AddDevices(2);
    CreatePage();
    EXPECT_EQ((std::vector<std::string>{"Alpha", "Bravo"}), Names());
    EXPECT_EQ((std::vector<std::string>{"SN-Alpha", "SN-Bravo"}), probe.Column(IDC_DEVICE_LIST, 1));
    EXPECT_EQ((std::vector<std::string>{"Device name/235", "Serial number/220"}),
              ListHeadings(probe.Item(IDC_DEVICE_LIST)));
    DWORD styles = ListExtendedStyle(probe.Item(IDC_DEVICE_LIST));
    EXPECT_EQ(static_cast<DWORD>(LVS_EX_GRIDLINES | LVS_EX_HEADERDRAGDROP | LVS_EX_FULLROWSELECT),
              styles & (LVS_EX_GRIDLINES | LVS_EX_HEADERDRAGDROP | LVS_EX_FULLROWSELECT));
    EXPECT_EQ("Use Up and Down buttons to change device ranking and press Apply to store "
              "settings.\nDevice ranking defines the order of channels shown in ASIO hosts.",
              probe.Text(IDC_RANKING_HINT));
    EXPECT_FALSE(probe.Enabled(IDC_APPLY_RANKING));
}

TEST_F(DevicesPage, ButtonsAndHintFollowTheSelectionForOneTwoAndThreeDevices) {
    struct Case {
        int devices;
        int selected; // -1: none
        bool edit, up, down;
    };
    const Case cases[] = {
        {1, -1, false, false, false}, {1, 0, true, false, false}, {2, -1, false, false, false},
        {2, 0, true, false, true},    {2, 1, true, true, false},  {3, -1, false, false, false},
        {3, 0, true, false, true},    {3, 1, true, true, true},   {3, 2, true, true, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.devices << " devices, row " << c.selected);
        sim.Model().Clear();
        AddDevices(c.devices);
        CreatePage();
        ASSERT_EQ(c.devices, probe.Rows(IDC_DEVICE_LIST));
        if (c.selected >= 0)
            probe.Select(IDC_DEVICE_LIST, c.selected);
        EXPECT_EQ(c.edit, probe.Enabled(IDC_EDIT_DEVICE_NAME));
        EXPECT_EQ(c.up, probe.Enabled(IDC_DEVICE_UP));
        EXPECT_EQ(c.down, probe.Enabled(IDC_DEVICE_DOWN));
        EXPECT_EQ(c.up || c.down, probe.Shown(IDC_RANKING_HINT));
    }
}

TEST_F(DevicesPage, MovingTheMiddleDeviceUpSelectsTheNewTopRowAndApplyStoresTheRowOrder) {
    AddDevices(3);
    CreatePage();
    probe.Select(IDC_DEVICE_LIST, 1);
    probe.Click(IDC_DEVICE_UP);
    EXPECT_EQ((std::vector<std::string>{"Bravo", "Alpha", "Charlie"}), Names());
    EXPECT_EQ(0, probe.Selected(IDC_DEVICE_LIST));
    EXPECT_TRUE(probe.Enabled(IDC_APPLY_RANKING));
    EXPECT_FALSE(probe.Enabled(IDC_DEVICE_UP));
    EXPECT_TRUE(probe.Enabled(IDC_DEVICE_DOWN));
    // Only the rows moved; the driver hears nothing before Apply.
    EXPECT_EQ(0u, sim.CountRequests(DriverRequest::SetDeviceProperties));

    sim.ClearLog();
    probe.Click(IDC_APPLY_RANKING);
    std::vector<DeviceProperties> sent =
        sim.SentRecords<DeviceProperties>(DriverRequest::SetDeviceProperties);
    ASSERT_EQ(3u, sent.size());
    // All records, in the model's order, each ranked by its row.
    EXPECT_EQ("Alpha", FieldText(sent[0].DeviceName));
    EXPECT_EQ(1u, sent[0].Rank);
    EXPECT_EQ("Bravo", FieldText(sent[1].DeviceName));
    EXPECT_EQ(0u, sent[1].Rank);
    EXPECT_EQ("Charlie", FieldText(sent[2].DeviceName));
    EXPECT_EQ(2u, sent[2].Rank);
    EXPECT_EQ("SN-Charlie", FieldText(sent[2].SerialNumber));
    // The refill shows the driver's new order; Apply is done.
    EXPECT_EQ((std::vector<std::string>{"Bravo", "Alpha", "Charlie"}), Names());
    EXPECT_FALSE(probe.Enabled(IDC_APPLY_RANKING));
}

TEST_F(DevicesPage, MovingDownAndBackLeavesApplyEnabledAndBottomRowStays) {
    AddDevices(3);
    CreatePage();
    probe.Select(IDC_DEVICE_LIST, 0);
    probe.Click(IDC_DEVICE_DOWN);
    EXPECT_EQ((std::vector<std::string>{"Bravo", "Alpha", "Charlie"}), Names());
    EXPECT_EQ(1, probe.Selected(IDC_DEVICE_LIST));
    probe.Click(IDC_DEVICE_UP);
    EXPECT_EQ((std::vector<std::string>{"Alpha", "Bravo", "Charlie"}), Names());
    EXPECT_TRUE(probe.Enabled(IDC_APPLY_RANKING));
    // Down on the last row keeps it where it is.
    probe.Select(IDC_DEVICE_LIST, 2);
    probe.Click(IDC_DEVICE_DOWN);
    EXPECT_EQ((std::vector<std::string>{"Alpha", "Bravo", "Charlie"}), Names());
    EXPECT_EQ(2, probe.Selected(IDC_DEVICE_LIST));
}

TEST_F(DevicesPage, RefillKeepsTheRowNumberNotTheDeviceAndDropsPendingMoves) {
    uint32_t alpha = AddDevice("Alpha");
    AddDevice("Bravo");
    AddDevice("Charlie");
    CreatePage();
    probe.Select(IDC_DEVICE_LIST, 0);
    probe.Click(IDC_DEVICE_DOWN);
    sim.Model().MoveDevice(alpha, 2);
    page->UpdatePage();
    EXPECT_EQ((std::vector<std::string>{"Bravo", "Charlie", "Alpha"}), Names());
    EXPECT_EQ(1, probe.Selected(IDC_DEVICE_LIST));
    EXPECT_TRUE(probe.Enabled(IDC_DEVICE_UP));
    EXPECT_TRUE(probe.Enabled(IDC_DEVICE_DOWN));
    // A refill does not touch Apply.
    EXPECT_TRUE(probe.Enabled(IDC_APPLY_RANKING));
}

TEST_F(DevicesPage, DoubleClickAndButtonOpenTheSameDialogAndCancelSendsNothing) {
    AddDevices(2);
    CreatePage();
    probe.Select(IDC_DEVICE_LIST, 1);
    sim.ClearLog();
    std::string shown;
    ModalDriver driver;
    for (int i = 0; i < 2; ++i)
        driver.Then([&shown](HWND dialog) {
            shown = ChildText(dialog, IDC_DEVICE_NAME_EDIT);
            SetChildText(dialog, IDC_DEVICE_NAME_EDIT, "Never stored");
            ClickButton(dialog, IDCANCEL);
        });
    probe.DoubleClick(IDC_DEVICE_LIST, 1);
    EXPECT_EQ("Bravo", shown);
    shown.clear();
    probe.Click(IDC_EDIT_DEVICE_NAME);
    EXPECT_EQ("Bravo", shown);
    ASSERT_EQ(2, driver.Handled());
    EXPECT_EQ("Edit Device Name", driver.Captions()[0]);
    EXPECT_EQ(driver.Captions()[0], driver.Captions()[1]);
    EXPECT_EQ(0u, sim.CountRequests(DriverRequest::SetDeviceProperties));
    EXPECT_EQ(0u, sim.CountRequests(DriverRequest::GetDeviceList));
}

TEST_F(DevicesPage, RenameSendsTheWholeRecordWithANameOfAtMost39Bytes) {
    uint32_t id = AddDevice("Alpha", "SN-A");
    AddDevice("Bravo");
    sim.Model().FindDevice(id)->DriverData = "fw 9";
    CreatePage();
    DeviceProperties before{};
    ASSERT_EQ(0u, gDrv.GetDeviceProperties(id, &before));
    probe.Select(IDC_DEVICE_LIST, 0);

    const std::string name39(39, 'n');
    sim.ClearLog();
    EditNameTo(name39);
    std::vector<DeviceProperties> sent =
        sim.SentRecords<DeviceProperties>(DriverRequest::SetDeviceProperties);
    ASSERT_EQ(1u, sent.size());
    EXPECT_EQ(name39, FieldText(sent[0].DeviceName));
    EXPECT_EQ(0, std::memcmp(&before, &sent[0], offsetof(DeviceProperties, DeviceName)));
    EXPECT_EQ(0,
              std::memcmp(before.SerialNumber, sent[0].SerialNumber, sizeof before.SerialNumber));
    EXPECT_EQ(name39, probe.Cell(IDC_DEVICE_LIST, 0, 0));

    // The edit box refuses a longer name whole: the 39 bytes stay.
    sim.ClearLog();
    EditNameTo(std::string(40, 'L') + "TAILS");
    sent = sim.SentRecords<DeviceProperties>(DriverRequest::SetDeviceProperties);
    ASSERT_EQ(1u, sent.size());
    EXPECT_EQ(name39, FieldText(sent[0].DeviceName));
    EXPECT_EQ('\0', sent[0].DeviceName[39]);
    EXPECT_EQ(name39, probe.Cell(IDC_DEVICE_LIST, 0, 0));
}

TEST_F(DevicesPage, StaleRowsDoNothingOnceTheModelHoldsFewerDevices) {
    AddDevices(3);
    CreatePage();
    probe.Select(IDC_DEVICE_LIST, 2);
    // Another page re-reads the model after two devices went away.
    sim.Model().RemoveDevice(sim.Model().Devices[2].Id);
    sim.Model().RemoveDevice(sim.Model().Devices[1].Id);
    ASSERT_EQ(0u, gDrv.GetDevProp());
    ASSERT_EQ(1, gDrv.m_Devices.GetSize());
    sim.ClearLog();

    ModalDriver driver;
    driver.Then([](HWND dialog) { ClickButton(dialog, IDCANCEL); });
    probe.Click(IDC_EDIT_DEVICE_NAME);
    probe.DoubleClick(IDC_DEVICE_LIST, 2);
    EXPECT_EQ(0, driver.Handled());

    probe.Click(IDC_DEVICE_UP);
    EXPECT_EQ((std::vector<std::string>{"Alpha", "Bravo", "Charlie"}), Names());
    EXPECT_FALSE(probe.Enabled(IDC_APPLY_RANKING));

    // Apply ranks only the record the model still holds.
    probe.Click(IDC_APPLY_RANKING);
    std::vector<DeviceProperties> sent =
        sim.SentRecords<DeviceProperties>(DriverRequest::SetDeviceProperties);
    ASSERT_EQ(1u, sent.size());
    EXPECT_EQ("Alpha", FieldText(sent[0].DeviceName));
    EXPECT_EQ(0u, sent[0].Rank);
    EXPECT_EQ((std::vector<std::string>{"Alpha"}), Names());
}

TEST_F(DevicesPage, UnterminatedNamesAreReadWithinTheirField) {
    uint32_t id = AddDevice("Alpha");
    DeviceProperties record{};
    record.DeviceId = id;
    std::memset(record.DeviceName, 'N', sizeof record.DeviceName);
    std::memset(record.SerialNumber, 'S', sizeof record.SerialNumber);
    sim.SetReplyRecord(DriverRequest::GetDeviceProperties, record);
    CreatePage();
    ASSERT_EQ(1, probe.Rows(IDC_DEVICE_LIST));
    EXPECT_EQ(std::string(40, 'N'), probe.Cell(IDC_DEVICE_LIST, 0, 0));
    EXPECT_EQ(std::string(384, 'S'), probe.Cell(IDC_DEVICE_LIST, 0, 1));

    // Confirming without an edit stores the first 39 bytes, terminated.
    probe.Select(IDC_DEVICE_LIST, 0);
    sim.ClearLog();
    std::string shown;
    ModalDriver driver;
    driver.Then([&shown](HWND dialog) {
        shown = ChildText(dialog, IDC_DEVICE_NAME_EDIT);
        ClickButton(dialog, IDOK);
    });
    probe.Click(IDC_EDIT_DEVICE_NAME);
    EXPECT_EQ(std::string(40, 'N'), shown);
    std::vector<DeviceProperties> sent =
        sim.SentRecords<DeviceProperties>(DriverRequest::SetDeviceProperties);
    ASSERT_EQ(1u, sent.size());
    EXPECT_EQ(std::string(39, 'N'), FieldText(sent[0].DeviceName));
}

TEST_F(DevicesPage, WithoutFrameOrViewTheListStillWorks) {
    AddDevices(2);
    CreatePage();
    probe.Select(IDC_DEVICE_LIST, 1);
    probe.Click(IDC_DEVICE_UP);
    probe.Click(IDC_APPLY_RANKING);
    EXPECT_EQ((std::vector<std::string>{"Bravo", "Alpha"}), Names());
    EXPECT_FALSE(probe.Enabled(IDC_APPLY_RANKING));
}

// The page inside the program's frame and view, on a model of the test's own.
class DevicesInShell : public ShellFixture {
protected:
    DevicesInShell() : ShellFixture(SimStart::EmptyModel) {}
};

TEST_F(DevicesInShell, StatusPaneCountsTheDevicesTheModelRead) {
    AddDevice("Alpha");
    AddDevice("Bravo");
    OpenShell();
    EXPECT_EQ("2 Device(s) connected.", DevicePane());
    EXPECT_EQ(2, devices.Rows(IDC_DEVICE_LIST));

    // One device's properties refused: a partial read shows no rows.
    sim.FailRequest(DriverRequest::GetDeviceProperties, ERROR_GEN_FAILURE, false);
    view->m_PgDevices.UpdatePage();
    EXPECT_EQ(0, devices.Rows(IDC_DEVICE_LIST));
    EXPECT_EQ("1 Device(s) connected.", DevicePane());

    sim.FailRequest(DriverRequest::GetDeviceList, ERROR_GEN_FAILURE, false);
    view->m_PgDevices.UpdatePage();
    EXPECT_EQ(0, devices.Rows(IDC_DEVICE_LIST));
    EXPECT_EQ("0 Device(s) connected.", DevicePane());
}

TEST_F(DevicesInShell, RankingAndRenameReachTheChannelPagesAtOnce) {
    uint32_t alpha = AddDevice("Alpha");
    uint32_t bravo = AddDevice("Bravo");
    AddInput(alpha, "In 1", "Mic A");
    AddInput(bravo, "In 1", "Mic B");
    AddOutput(alpha, "Out 1", "Main A");
    AddOutput(bravo, "Out 1", "Main B");
    OpenShell();
    ASSERT_EQ((std::vector<std::string>{"Alpha", "Bravo"}), inputs.Column(IDC_CHANNEL_LIST, 0));

    devices.Select(IDC_DEVICE_LIST, 1);
    devices.Click(IDC_DEVICE_UP);
    devices.Click(IDC_APPLY_RANKING);
    EXPECT_EQ((std::vector<std::string>{"Bravo", "Alpha"}), inputs.Column(IDC_CHANNEL_LIST, 0));
    EXPECT_EQ((std::vector<std::string>{"Main B", "Main A"}), outputs.Column(IDC_CHANNEL_LIST, 1));

    devices.Select(IDC_DEVICE_LIST, 0);
    ModalDriver driver;
    driver.Then([](HWND dialog) {
        SetChildText(dialog, IDC_DEVICE_NAME_EDIT, "Stage Box");
        ClickButton(dialog, IDOK);
    });
    devices.Click(IDC_EDIT_DEVICE_NAME);
    ASSERT_EQ(1, driver.Handled());
    EXPECT_EQ("Stage Box", devices.Cell(IDC_DEVICE_LIST, 0, 0));
    EXPECT_EQ("Stage Box", inputs.Cell(IDC_CHANNEL_LIST, 0, 0));
    EXPECT_EQ("Stage Box", outputs.Cell(IDC_CHANNEL_LIST, 0, 0));
}

} // namespace
