#include "CDlgPgStreams.h"
#include "DriverCodes.h"
#include "PageHost.h"
#include "resource.h"

#include <commctrl.h>

#include <initializer_list>

namespace {

using namespace DriverRequest;

class StreamsPage : public PageHost<CDlgPgStreams> {
protected:
    StreamsPage() : PageHost(SimStart::DefaultSetUp, HostWindow::Shown) {}

    void SetUp() override {
        PageHost::SetUp();
        CreatePage();
        // As the view does: shown once while placed, which fills the list.
        page->ShowWindow(SW_SHOW);
    }

    HWND List() const { return probe.Item(IDC_STREAM_LIST); }
    int Rows() const { return probe.Rows(IDC_STREAM_LIST); }
    std::string Cell(int row, int column) const { return probe.Cell(IDC_STREAM_LIST, row, column); }
    std::string Heading(int column) const { return ListHeading(List(), column); }
    void Select(int row) const { probe.Select(IDC_STREAM_LIST, row); }
    std::string Details() const { return probe.Text(IDC_STREAM_DETAILS); }

    StreamStatus& Stream(size_t device) { return sim.Model().Devices[device].Stream; }
    // Only the first device, with the given plugs.
    void OneDevice(const PlugStatus& audioOut, const PlugStatus& audioIn = {},
                   const PlugStatus& synchOut = {}, const PlugStatus& synchIn = {}) {
        sim.Model().Devices.resize(1);
        Stream(0).AudioOut = audioOut;
        Stream(0).AudioIn = audioIn;
        Stream(0).SynchOut = synchOut;
        Stream(0).SynchIn = synchIn;
        page->UpdatePage();
        Select(0);
    }
};

PlugStatus Connected(uint32_t stream, uint32_t rate, std::initializer_list<uint32_t> rates) {
    PlugStatus plug{};
    plug.State = PLUG_STATE_CONNECTED;
    plug.StreamNumber = stream;
    plug.SampleRate = rate;
    plug.RateCount = static_cast<uint32_t>(rates.size());
    uint32_t i = 0;
    for (uint32_t r : rates)
        plug.SupportedRates[i++] = r;
    return plug;
}

PlugStatus Failed(uint32_t errorCode) {
    PlugStatus plug{};
    plug.State = PLUG_STATE_CONNECT_FAILED;
    plug.ErrorCode = errorCode;
    plug.StreamNumber = 9;
    return plug;
}

PlugStatus InState(uint32_t state) {
    PlugStatus plug = Connected(7, 48000, {48000});
    plug.State = state;
    return plug;
}

const char Rates[] = "Supported sampling rates (Hz): ";

} // namespace

TEST_F(StreamsPage, ColumnsAndOneRowPerDeviceWithItsPlugStates) {
    EXPECT_EQ("Device name/140", Heading(0));
    EXPECT_EQ("Audio Out Plug/90", Heading(1));
    EXPECT_EQ("Audio In Plug/90", Heading(2));
    EXPECT_EQ("Synch Out Plug/90", Heading(3));
    EXPECT_EQ("Synch In Plug/90", Heading(4));
    EXPECT_EQ("(none)", Heading(5));
    const DWORD extended = ListView_GetExtendedListViewStyle(List());
    const DWORD wanted = LVS_EX_HEADERDRAGDROP | LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT;
    EXPECT_EQ(wanted, extended & wanted);

    Stream(0).AudioOut = Connected(5, 48000, {48000});
    Stream(0).AudioIn = Failed(DRVSTATUS_BANDWIDTH_ALLOCATION_FAILED);
    Stream(0).SynchOut = InState(0);
    Stream(0).SynchIn = Connected(0xFFFFFFFF, 48000, {48000});
    Stream(1).AudioOut = InState(7);
    page->UpdatePage();

    ASSERT_EQ(static_cast<int>(sim.Model().Devices.size()), Rows());
    for (int row = 0; row < Rows(); ++row)
        EXPECT_EQ(sim.Model().Devices[static_cast<size_t>(row)].Name, Cell(row, 0));
    EXPECT_EQ("connected (5)", Cell(0, 1));
    EXPECT_EQ("connect failed", Cell(0, 2));
    EXPECT_EQ("", Cell(0, 3));
    EXPECT_EQ("connected (4294967295)", Cell(0, 4)) << "unsigned in the cell";
    EXPECT_EQ("", Cell(1, 1));
    EXPECT_EQ(-1, ListView_GetNextItem(List(), -1, LVNI_SELECTED)) << "nothing selected";
    EXPECT_EQ("", Details());
}

TEST_F(StreamsPage, DetailsOfTheSelectedDeviceForEveryKindOfPlug) {
    OneDevice(Connected(1, 48000, {44100, 48000}), Failed(DRVSTATUS_BANDWIDTH_ALLOCATION_FAILED),
              Failed(0xE0000099), InState(7));
    EXPECT_EQ(std::string("AudioOutPlug: successfully connected\n"
                          "   Isochronous stream number: 1\n"
                          "   ") +
                  Rates + "44100  [48000]  \n" +
                  "AudioInPlug: connect failed (Error code 0xE0000073: Bandwidth allocation "
                  "failed.)\n"
                  "SynchOutPlug: connect failed (Error code 0xE0000099: )\n",
              Details());

    // The stream number is signed in the detail; a plug with no connection
    // to report leaves an empty line.
    OneDevice(InState(0), Connected(0xFFFFFFFF, 48000, {}), InState(2), InState(5));
    EXPECT_EQ(std::string("\nAudioInPlug: successfully connected\n"
                          "   Isochronous stream number: -1\n   ") +
                  Rates + "\n\n",
              Details());
}

TEST_F(StreamsPage, EveryKnownErrorCodeIsExplained) {
    const std::pair<uint32_t, const char*> errors[] = {
        {0xE0000022, "Negative response for an FCP request."},
        {0xE0000072, "Channel allocation failed."},
        {0xE0000073, "Bandwidth allocation failed."},
        {0xE0000074, "ISO resource allocation failed."},
        {0xE0000076, "Start streaming failed."},
        {0xE0000077, "Channel number has changed because of bus reset."},
        {0xE0000080, "Selected sampling rate not supported."},
        {0xE0000075, ""},
        {0, ""},
        {0xFFFFFFFF, ""},
    };
    for (const auto& [code, message] : errors) {
        char hex[16];
        snprintf(hex, sizeof hex, "%08X", code);
        SCOPED_TRACE(hex);
        OneDevice(InState(0), InState(0), InState(0), Failed(code));
        EXPECT_EQ(std::string("\n\n\nSynchInPlug: connect failed (Error code 0x") + hex + ": " +
                      message + ")",
                  Details());
        EXPECT_EQ("connect failed", Cell(0, 4));
    }
}

TEST_F(StreamsPage, SupportedRatesNameKnownRatesAndBracketOnlyTheCurrentOne) {
    struct Case {
        PlugStatus plug;
        std::string rates;
    };
    PlugStatus tooMany =
        Connected(3, 96000, {32000, 44100, 48000, 88200, 96000, 176400, 192000, 22050});
    tooMany.RateCount = 200;
    const Case cases[] = {
        {Connected(3, 96000, {44100, 48000}), "44100  48000  "},
        {Connected(3, 22050, {22050, 48000}), "[unknown  ]  48000  "},
        {Connected(3, 48000, {12345, 192000, 176400}), "unknown    192000  176400  "},
        {Connected(3, 32000, {}), ""},
        {Connected(3, 88200, {88200, 88200}), "[88200]  [88200]  "},
        {tooMany, "32000  44100  48000  88200  [96000]  176400  192000  unknown    "},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.rates);
        OneDevice(c.plug);
        EXPECT_EQ(std::string("AudioOutPlug: successfully connected\n"
                              "   Isochronous stream number: 3\n   ") +
                      Rates + c.rates + "\n\n\n",
                  Details());
    }
}

TEST_F(StreamsPage, DetailsAreAskedForAfreshOnEveryItemChange) {
    ASSERT_GE(Rows(), 2);
    Stream(1).AudioOut = Connected(2, 48000, {48000});
    page->UpdatePage();
    Select(1);
    EXPECT_EQ(0u, Details().find("AudioOutPlug: successfully connected\n"));

    // The driver changes its mind; the cells still show the old state, the
    // detail follows the driver on the next notification.
    Stream(1).AudioOut = Failed(DRVSTATUS_START_STREAMING_FAILED);
    sim.ClearLog();
    Select(0);
    Select(1);
    EXPECT_GE(sim.CountRequests(GetStreamStatus), 2u);
    EXPECT_EQ(0u, Details().find("AudioOutPlug: connect failed (Error code 0xE0000076: Start "
                                 "streaming failed.)\n"));
    EXPECT_EQ("connected (2)", Cell(1, 1));

    // The selected device's status cannot be read: no detail at all.
    sim.FailRequest(GetStreamStatus, DRVSTATUS_NOT_OPEN, true);
    Select(0);
    EXPECT_EQ("", Details());

    // No row selected: empty as well.
    sim.ClearFaults();
    Select(1);
    ASSERT_NE("", Details());
    ListView_SetItemState(List(), 1, 0, LVIS_SELECTED);
    EXPECT_EQ("", Details());
}

// Also a notification that leaves the selection where it was, or that names
// another row, asks the driver again for the selected device.
TEST_F(StreamsPage, EveryNotificationAsksTheDriverAgainForTheSelectedDevice) {
    ASSERT_GE(Rows(), 2);
    Select(1);
    const uint32_t selectedId = sim.Model().Devices[1].Id;
    for (int named : {1, 0}) {
        SCOPED_TRACE(named);
        Stream(1).AudioOut =
            named == 1 ? Failed(DRVSTATUS_START_STREAMING_FAILED) : Connected(3, 48000, {48000});
        sim.ClearLog();
        NMLISTVIEW change{};
        change.hdr.hwndFrom = List();
        change.hdr.idFrom = IDC_STREAM_LIST;
        change.hdr.code = LVN_ITEMCHANGED;
        change.iItem = named;
        change.uChanged = LVIF_STATE;
        change.uNewState = named == 1 ? LVIS_SELECTED : 0;
        change.uOldState = named == 1 ? 0 : LVIS_SELECTED;
        SendMessageA(page->GetSafeHwnd(), WM_NOTIFY, IDC_STREAM_LIST,
                     reinterpret_cast<LPARAM>(&change));
        ASSERT_EQ(1u, sim.CountRequests(GetStreamStatus));
        EXPECT_EQ(selectedId, sim.SentRecords<uint32_t>(GetStreamStatus).at(0));
        EXPECT_EQ(0u, Details().find(named == 1 ? "AudioOutPlug: connect failed"
                                                : "AudioOutPlug: successfully connected"));
    }
}

TEST_F(StreamsPage, EveryShowingReloadsTheListAndClearsTheDetail) {
    Select(0);
    ASSERT_NE("", Details());
    page->ShowWindow(SW_HIDE);
    sim.Model().Devices.resize(1);
    sim.ClearLog();
    page->ShowWindow(SW_SHOW);
    EXPECT_EQ(1u, sim.CountRequests(GetDeviceList));
    EXPECT_EQ(1, Rows());
    EXPECT_EQ("", Details());

    // No device connected: an empty list.
    page->ShowWindow(SW_HIDE);
    sim.Model().Devices.clear();
    page->ShowWindow(SW_SHOW);
    EXPECT_EQ(0, Rows());
    EXPECT_EQ("", Details());
}

TEST_F(StreamsPage, ADeviceWhoseStatusFailsKeepsItsRowWithTheNameOnly) {
    ASSERT_GE(sim.Model().Devices.size(), 2u);
    Stream(0).AudioOut = Connected(1, 48000, {48000});
    Stream(1).AudioOut = Connected(2, 48000, {48000});
    sim.FailRequest(GetStreamStatus, DRVSTATUS_NOT_OPEN, false);
    page->UpdatePage();
    ASSERT_EQ(2, Rows());
    EXPECT_EQ(sim.Model().Devices[0].Name, Cell(0, 0));
    for (int column = 1; column <= 4; ++column)
        EXPECT_EQ("", Cell(0, column));
    EXPECT_EQ("connected (2)", Cell(1, 1));
}

TEST_F(StreamsPage, AFailingDeviceListLeavesTheListEmpty) {
    Select(0);
    sim.FailRequest(GetDeviceProperties, DRVSTATUS_NOT_OPEN, false);
    page->UpdatePage();
    EXPECT_EQ(0, Rows()) << "one device missing is a failed refresh";
    EXPECT_EQ("", Details());

    sim.FailRequest(GetDeviceList, DRVSTATUS_NOT_OPEN, false);
    page->UpdatePage();
    EXPECT_EQ(0, Rows());
}
