// The diagnostics report, compared whole, line by line, against what the
// simulated driver holds; with failing requests; and its size at capacity.
#include "CDiagnosticsReport.h"

#include "CDriverSettings.h"
#include "CNotificator.h"
#include "Clock.h"
#include "DriverCodes.h"
#include "Simulator.h"
#include "resource.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

namespace {

const std::string kBitness = sizeof(void*) == 8 ? "64-bit" : "32-bit";

SYSTEMTIME ReportTime() {
    SYSTEMTIME time{};
    time.wYear = 2026;
    time.wMonth = 3;
    time.wDay = 7;
    time.wHour = 9;
    time.wMinute = 5;
    time.wSecond = 2;
    return time;
}

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    size_t start = 0;
    for (size_t end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2)
        lines.push_back(text.substr(start, end - start));
    if (start < text.size())
        lines.push_back("no line end: " + text.substr(start));
    return lines;
}

// Line by line, so that a difference names its line.
void ExpectLines(const std::vector<std::string>& expected, const std::string& report) {
    const std::vector<std::string> lines = Lines(report);
    for (size_t i = 0; i < expected.size() || i < lines.size(); ++i) {
        EXPECT_EQ(i < expected.size() ? expected[i] : "(none)",
                  i < lines.size() ? lines[i] : "(none)")
            << "line " << i + 1;
    }
}

class DiagnosticsReport : public ::testing::Test {
protected:
    CSimulator& sim = CSimulator::Instance();
    CNotificator listener;

    void SetUp() override {
        sim.Reset();
        ASSERT_EQ(0u, gDrv.Open());
    }
    void TearDown() override {
        listener.Stop();
        gDrv.Close();
        sim.Reset();
    }

    std::string Report() { return CDiagnosticsReport(gDrv, listener).Build(ReportTime()); }
};

TEST_F(DiagnosticsReport, DefaultSetUpReadsWhole) {
    ASSERT_EQ(0u, listener.Start());
    ExpectLines(
        {
            "Tarnet Control Panel - Diagnostics report",
            "Time of the report: 2026-03-07 09:05:02",
            "Program version: 2.14.0.0, " + kBitness,
            "Driver interface version: 2.12",
            "Settings connection: open",
            "Event connection: open, listening",
            "Devices: 2",
            "Plugs below each device: audio out, audio in, synch out, synch in",
            "Rank 0: Tarnet Quadra 1818, TQ18-2207-0413; mode CSP (Internal crystal)",
            "  connected (0), connected (1), connected (4), state 0",
            "Rank 1: Tarnet Duo 8, TD08-1911-0077; mode SYT (Synch stream)",
            "  connected (2), connect failed (Error code 0xE0000073: Bandwidth allocation "
            "failed.), state 0, connected (3)",
            "Input channels: 26",
            "Output channels: 26",
            "Clock source: External",
            "Clock master: Tarnet Quadra 1818",
            "Sampling rate mode: set manually",
            "Sampling rate: 48000 Hz",
            "Selectable rates: 32000, 44100, 48000, 88200, 96000, 176400, 192000 Hz",
            "Stream buffer: 2000 \xB5s, 96 samples; minimum 500 \xB5s, step 250 \xB5s",
            "ASIO buffer: 4000 \xB5s, 192 samples; minimum 1000 \xB5s, step 500 \xB5s",
            "WDM buffer: 10000 \xB5s, 480 samples; minimum 2000 \xB5s, step 1000 \xB5s",
            "Drop-outs: 0",
        },
        Report());
}

// Each request that fails shows its own status where its value would be;
// what other requests read is still there.
TEST_F(DiagnosticsReport, FailingRequestsShowTheirStatusInsteadOfAValue) {
    sim.FailRequest(DriverRequest::GetInterfaceVersion, DRVSTATUS_FAILED, true);
    sim.FailRequest(DriverRequest::GetDeviceProperties, ERROR_GEN_FAILURE, false);
    sim.FailRequest(DriverRequest::GetDeviceSynchMode, DRVSTATUS_FCP_REJECTED, false);
    sim.FailRequest(DriverRequest::GetStreamStatus, ERROR_DEVICE_NOT_CONNECTED, true);
    sim.FailRequest(DriverRequest::GetChannelList, DRVSTATUS_FAILED, true);
    sim.FailRequest(DriverRequest::GetSampleRateMode, ERROR_INVALID_FUNCTION, true);
    sim.FailRequest(DriverRequest::GetSampleRates, DRVSTATUS_SAMPLE_RATE_NOT_SUPPORTED, true);
    sim.FailRequest(DriverRequest::GetAsioBufferDepth, ERROR_NOT_READY, true);
    sim.FailRequest(DriverRequest::GetAsioStatistics, DRVSTATUS_FAILED, true);
    sim.SetDropOuts(7);
    char first[16];
    std::snprintf(first, sizeof first, "0x%08X", static_cast<unsigned>(sim.Model().Devices[0].Id));
    ExpectLines(
        {
            "Tarnet Control Panel - Diagnostics report",
            "Time of the report: 2026-03-07 09:05:02",
            "Program version: 2.14.0.0, " + kBitness,
            "Driver interface version: failed, status 0xE0000001",
            "Settings connection: open",
            "Event connection: closed, not listening",
            "Devices: 2",
            "Plugs below each device: audio out, audio in, synch out, synch in",
            "Device " + std::string(first) +
                ": failed, status 0x0000001F; mode failed, status 0xE0000022",
            "  failed, status 0x0000048F",
            "Rank 1: Tarnet Duo 8, TD08-1911-0077; mode SYT (Synch stream)",
            "  failed, status 0x0000048F",
            "Input channels: failed, status 0xE0000001",
            "Output channels: failed, status 0xE0000001",
            "Clock source: External",
            "Clock master: device id " + std::string(first) + ", not listed",
            "Sampling rate mode: failed, status 0x00000001",
            "Sampling rate: failed, status 0xE0000080",
            "Stream buffer: 2000 \xB5s; minimum 500 \xB5s, step 250 \xB5s",
            "ASIO buffer: failed, status 0x00000015",
            "WDM buffer: 10000 \xB5s, 480 samples; minimum 2000 \xB5s, step 1000 \xB5s",
            "Drop-outs: failed, status 0xE0000001",
        },
        Report());
}

TEST_F(DiagnosticsReport, ClosedConnectionIsReportedOnEveryLine) {
    gDrv.Close();
    const std::string report = Report();
    EXPECT_NE(std::string::npos, report.find("Settings connection: closed\r\n"));
    EXPECT_NE(std::string::npos, report.find("Devices: failed, status 0xE0000013\r\n"));
    EXPECT_NE(std::string::npos, report.find("Clock source: failed, status 0xE0000013\r\n"));
    EXPECT_NE(std::string::npos, report.find("Drop-outs: failed, status 0xE0000013\r\n"));
    EXPECT_EQ(std::string::npos, report.find("Rank "));
}

// The report reads into records of its own: what the pages hold in gDrv,
// applied or not, is left as it was.
TEST_F(DiagnosticsReport, LeavesThePagesEditsInTheModelAlone) {
    ASSERT_EQ(0u, gDrv.GetDevProp());
    ASSERT_EQ(0u, gDrv.GetDevSynchModes());
    gDrv.m_SynchSource = SynchSource{0, 0, 0};
    gDrv.m_SampleRateMode = 1;
    gDrv.m_DevSynchModes.GetAt(1)->Current.ModeId = 77;
    const DeviceProperties* first = gDrv.m_Devices.GetAt(0);
    sim.RemoveDevice(sim.Model().Devices[1].Id);

    Report();
    EXPECT_EQ(0u, gDrv.m_SynchSource.SourceKind);
    EXPECT_EQ(1u, gDrv.m_SampleRateMode);
    ASSERT_EQ(2, gDrv.m_Devices.GetSize());
    EXPECT_EQ(first, gDrv.m_Devices.GetAt(0));
    ASSERT_EQ(2, gDrv.m_DevSynchModes.GetSize());
    EXPECT_EQ(77u, gDrv.m_DevSynchModes.GetAt(1)->Current.ModeId);
}

// A driver that claims more devices and rates than its records hold: the
// count is shown as claimed, and only what the records hold is read.
TEST_F(DiagnosticsReport, CountsBeyondTheRecordsAreShownButNotFollowed) {
    DeviceList devices{};
    devices.Count = 1000;
    for (uint32_t i = 0; i < 64; ++i)
        devices.DeviceIds[i] = sim.Model().Devices[0].Id;
    sim.SetReplyRecord(DriverRequest::GetDeviceList, devices);
    SampleRates rates{};
    rates.CurrentRate = 44100;
    rates.RateCount = 0xFFFFFFFF;
    for (uint32_t& rate : rates.Rates)
        rate = 44100;
    sim.SetReplyRecord(DriverRequest::GetSampleRates, rates);

    const std::string report = Report();
    EXPECT_NE(std::string::npos, report.find("Devices: 1000\r\n"));
    size_t listed = 0;
    for (size_t at = report.find("\r\nRank 0: "); at != std::string::npos;
         at = report.find("\r\nRank 0: ", at + 1))
        ++listed;
    EXPECT_EQ(64u, listed);
    EXPECT_NE(std::string::npos,
              report.find("Selectable rates: 44100, 44100, 44100, 44100, 44100, 44100, 44100, "
                          "44100 Hz\r\n"));
}

// Whoever helps reads the report, whatever the user's interface language:
// built on a thread whose interface language is German (a thread of its own,
// so that no text loaded earlier in English is reused), it reads as in English,
// word for word, with failing requests and a failed plug connection in it.
TEST_F(DiagnosticsReport, StaysEnglishUnderAGermanInterface) {
    ASSERT_EQ(0u, listener.Start());
    sim.FailRequest(DriverRequest::GetSampleRateMode, ERROR_INVALID_FUNCTION, true);
    const int64_t start = 1800000000;
    DropOutHistory history(start);
    const auto whole = [&] {
        return Report() + CDiagnosticsReport::MonitorSection(history, start + 5);
    };
    std::string german;
    WCHAR pageTitle[64] = {};
    std::thread([&] {
        const LANGID language = MAKELANGID(LANG_GERMAN, SUBLANG_GERMAN);
        SetThreadUILanguage(language);
        SetThreadLocale(MAKELCID(language, SORT_DEFAULT));
        LoadStringW(GetModuleHandleA(nullptr), IDS_PAGE_DEVICES, pageTitle, 64);
        german = whole();
    }).join();
    ASSERT_STREQ(L"Ger\u00e4te", pageTitle) << "the thread's interface was German";
    const std::string english = whole();
    EXPECT_NE(std::string::npos,
              english.find("Error code 0xE0000073: Bandwidth allocation failed."));
    EXPECT_NE(std::string::npos, english.find("Sampling rate mode: failed, status 0x00000001"));
    EXPECT_NE(std::string::npos, english.find("Clock source: External"));
    EXPECT_NE(std::string::npos, english.find("mode CSP (Internal crystal)"));
    ExpectLines(Lines(english), german);
}

// Why the pages' lists are empty is a line of its own, before the devices;
// a driver with devices has none (the whole reports above show it).
TEST_F(DiagnosticsReport, SaysWhyThereAreNoDevices) {
    struct Case {
        const char* name;
        void (*arrange)(CSimulator&);
        const char* lines;
    };
    const Case cases[] = {
        {"no driver", [](CSimulator& sim) { sim.SetDriverPresent(false); },
         "\r\nDriver: not installed\r\nDevices: failed, status 0xE0000013\r\n"},
        {"driver 2.9", [](CSimulator& sim) { sim.SetInterfaceVersion(2, 9); },
         "\r\nDriver: too old, version 2.9 found, 2.10 or later needed\r\n"
         "Devices: failed, status 0xE0000013\r\n"},
        {"driver 3.0", [](CSimulator& sim) { sim.SetInterfaceVersion(3, 0); },
         "\r\nDriver: not supported, version 3.0 found, 2.10 or a later 2.x version needed\r\n"},
        {"no interface", [](CSimulator& sim) { sim.Model().Clear(); },
         "\r\nDriver: no audio interface connected\r\nDevices: 0\r\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        gDrv.Close();
        sim.Reset();
        c.arrange(sim);
        gDrv.Open();
        const std::string report = Report();
        EXPECT_NE(std::string::npos, report.find(c.lines)) << report;
    }
    gDrv.Close();
    sim.Reset();
    ASSERT_EQ(0u, gDrv.Open());
    EXPECT_EQ(std::string::npos, Report().find("Driver:"));
}

// The simulated driver filled to capacity, as the reload benchmark fills it.
void FillToCapacity(CSimulator& sim, const char* nameFormat) {
    while (!sim.Model().Devices.empty())
        sim.RemoveDevice(sim.Model().Devices.front().Id);
    const uint32_t channels = CSimModel::MaxChannels / CSimModel::MaxDevices;
    for (unsigned device = 1; device <= CSimModel::MaxDevices; ++device) {
        char name[40];
        char serial[40];
        std::snprintf(name, sizeof name, nameFormat, device);
        std::snprintf(serial, sizeof serial, "TQ18-2207-%04u", device);
        ASSERT_NE(0u, sim.AddDevice(name, serial, channels, channels));
    }
    sim.Model().Source.SourceKind = 1;
    sim.Model().Source.MasterDeviceId = sim.Model().Devices.front().Id;
}

TEST_F(DiagnosticsReport, StaysUnderEightKilobytesAtCapacity) {
    FillToCapacity(sim, "Tarnet Quadra 1818 #%02u");
    ASSERT_EQ(0u, listener.Start());
    const std::string report = Report();
    std::printf("Diagnostics report at capacity (%u devices, %u channels each way): %u bytes\n",
                static_cast<unsigned>(CSimModel::MaxDevices),
                static_cast<unsigned>(CSimModel::MaxChannels),
                static_cast<unsigned>(report.size()));
    EXPECT_NE(std::string::npos,
              report.find("\r\nRank 63: Tarnet Quadra 1818 #64, TQ18-2207-0064"));
    EXPECT_NE(std::string::npos, report.find("Input channels: 256\r\n"));
    EXPECT_LT(report.size(), 8192u);
}

} // namespace

// The monitor's part: what the program counted, with the minutes of the last
// hour that had drop-outs, and never the driver's word for it.
TEST(DiagnosticsMonitor, NamesTheCountSinceResetTheLastDropOutAndTheBusyMinutes) {
    const int64_t start = 1800000000; // a whole minute
    DropOutHistory history(start);
    const auto setup = [] { return AudioSetup{}; };
    ExpectLines({"Drop-out monitor", "Drop-outs since " + LocalTimeText(start, true) + ": 0",
                 "Last drop-out: none", "Drop-outs per minute in the last hour: none"},
                CDiagnosticsReport::MonitorSection(history, start + 5));
    history.Read(start + 1, 100, setup);
    history.Read(start + 2, 102, setup);
    history.Read(start + 130, 107, setup);
    ExpectLines({"Drop-out monitor", "Drop-outs since " + LocalTimeText(start, true) + ": 7",
                 "Last drop-out: " + LocalTimeText(start + 130, true) + ", 5",
                 "Drop-outs per minute in the last hour: " + LocalTimeText(start) + " 2, " +
                     LocalTimeText(start + 120) + " 5"},
                CDiagnosticsReport::MonitorSection(history, start + 150));
}
