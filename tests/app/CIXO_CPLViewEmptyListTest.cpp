// Empty lists say why they are empty: no driver, a driver of a version the
// program does not speak, a driver that does not answer or cannot be
// opened, or no interface connected. Each list's text is read from its own
// window, as a screen reader or another program reads it, and follows the
// driver's state as it changes.
#include "ViewEventFixture.h"

#include "CDriverSettings.h"
#include "DriverCodes.h"
#include "FrameworkIds.h"
#include "MessagePump.h"
#include "resource.h"

#include <dbt.h>

#include <cstdlib>
#include <cstring>
#include <functional>
#include <string>

namespace {

const char kInterfaceName[] =
    "\\\\?\\1394#Orlaso&Quadra#5&2a1c&0&0#{006902cb-e626-45b4-8a62-2eaad63f8d12}";
constexpr DWORD kLongEnoughMs = 10000;

// What a list shows in its empty area: the text of its empty-text window
// while that is shown, else nothing.
std::string WhyEmpty(const PageProbe& page, int list) {
    HWND text = ::GetDlgItem(page.Item(list), IDW_LIST_EMPTY_TEXT);
    if (!text || !(::GetWindowLongA(text, GWL_STYLE) & WS_VISIBLE))
        return std::string();
    char buffer[512] = "";
    ::GetWindowTextA(text, buffer, sizeof buffer);
    return buffer;
}

class EmptyLists : public ViewEventFixture {
protected:
    // Every list as it reads now: devices, streams, inputs, outputs.
    void ExpectTexts(const std::string& devicesText, const std::string& brief) {
        EXPECT_EQ(devicesText, WhyEmpty(devices, IDC_DEVICE_LIST));
        EXPECT_EQ(brief, WhyEmpty(streams, IDC_STREAM_LIST));
        EXPECT_EQ(brief, WhyEmpty(inputs, IDC_CHANNEL_LIST));
        EXPECT_EQ(brief, WhyEmpty(outputs, IDC_CHANNEL_LIST));
    }
    void ExpectAllRowsShown() {
        const int connected = static_cast<int>(sim.Model().Devices.size());
        ASSERT_GT(connected, 0);
        EXPECT_EQ(connected, devices.Rows(IDC_DEVICE_LIST));
        EXPECT_EQ(connected, streams.Rows(IDC_STREAM_LIST));
        EXPECT_EQ(static_cast<int>(ModelChannels(true)), inputs.Rows(IDC_CHANNEL_LIST));
        EXPECT_EQ(static_cast<int>(ModelChannels(false)), outputs.Rows(IDC_CHANNEL_LIST));
    }
};

struct Reason {
    const char* name;
    std::function<void(CSimulator&)> arrange;
    const char* text;  // the devices list's
    const char* brief; // the other lists'
};

const Reason kReasons[] = {
    {"NotInstalled", [](CSimulator& sim) { sim.SetDriverPresent(false); },
     "The Tarnet driver is not installed.", "Driver not installed."},
    {"Version2_9", [](CSimulator& sim) { sim.SetInterfaceVersion(2, 9); },
     "The installed Tarnet driver is too old: version 2.9 found, 2.10 or later needed.",
     "Driver too old (2.9; 2.10 needed)."},
    {"Version1_14", [](CSimulator& sim) { sim.SetInterfaceVersion(1, 14); },
     "The installed Tarnet driver is too old: version 1.14 found, 2.10 or later needed.",
     "Driver too old (1.14; 2.10 needed)."},
    {"Version3_0", [](CSimulator& sim) { sim.SetInterfaceVersion(3, 0); },
     "The installed Tarnet driver is not supported: version 3.0 found, 2.10 or a later 2.x "
     "version needed.",
     "Driver 3.0 not supported."},
    {"VersionNotTold",
     [](CSimulator& sim) {
         sim.FailRequest(DriverRequest::GetInterfaceVersion, ERROR_ACCESS_DENIED, true);
     },
     "The Tarnet driver could not be opened (error 5).", "Driver could not be opened (error 5)."},
    {"NoInterface", [](CSimulator& sim) { sim.Model().Clear(); },
     "No audio interface is connected.", "No interface connected."},
};

class EmptyListReason : public EmptyLists, public ::testing::WithParamInterface<Reason> {};

// The status bar stays as it was: "Ready" and the count of what the driver
// reported.
TEST_P(EmptyListReason, IsSaidInEveryListAndTheStatusBarStaysAsItWas) {
    GetParam().arrange(sim);
    OpenShell();
    ExpectTexts(GetParam().text, GetParam().brief);
    EXPECT_EQ("Ready", StatusText());
    EXPECT_EQ("0 Device(s) connected.", DevicePane());
}

std::string ReasonName(const ::testing::TestParamInfo<Reason>& info) {
    return info.param.name;
}

INSTANTIATE_TEST_SUITE_P(Driver, EmptyListReason, ::testing::ValuesIn(kReasons), ReasonName);

TEST_F(EmptyLists, ListsWithRowsSayNothing) {
    OpenShell();
    ExpectAllRowsShown();
    ExpectTexts("", "");
}

// Installed while the program runs: the arrival opens it and the rows take
// the text's place.
TEST_F(EmptyLists, ADriverInstalledLaterReplacesTheTextWithRows) {
    OpenShellWithoutDriver();
    ExpectTexts("The Tarnet driver is not installed.", "Driver not installed.");
    EXPECT_EQ(TRUE, DeviceChange(DBT_DEVICEARRIVAL, kInterfaceName));
    ExpectAllRowsShown();
    ExpectTexts("", "");
}

TEST_F(EmptyLists, AnInterfacePluggedInReplacesTheTextWithRows) {
    sim.Model().Clear();
    OpenShell();
    ExpectTexts("No audio interface is connected.", "No interface connected.");
    ASSERT_NE(0u, sim.AddDevice("Tarnet Duo 8", "TD08-1911-0077", 2, 2));
    ASSERT_TRUE(PumpUntilDrained());
    EXPECT_EQ(1, devices.Rows(IDC_DEVICE_LIST));
    EXPECT_EQ(2, inputs.Rows(IDC_CHANNEL_LIST));
    ExpectTexts("", "");
    EXPECT_EQ("1 Device(s) connected.", DevicePane());

    // And unplugged again, the text comes back.
    ASSERT_TRUE(sim.RemoveDevice(sim.Model().Devices.front().Id));
    ASSERT_TRUE(PumpUntilDrained());
    ExpectTexts("No audio interface is connected.", "No interface connected.");
}

// A stall changes the text at once, without a reload; once the probe finds
// the driver again, the reload brings the reason back that the driver gives.
TEST_F(EmptyLists, AStallIsSaidAndTheTextGoesBackWhenTheDriverAnswers) {
    sim.Model().Clear();
    OpenShell();
    ExpectTexts("No audio interface is connected.", "No interface connected.");
    sim.DelayRequests(0, INFINITE, true);
    DeviceList* list = new DeviceList;
    EXPECT_EQ(DRVSTATUS_TIMEOUT, gDrv.GetDeviceList(list));
    PumpMessages(50);
    ExpectTexts("The driver is not responding.", "Driver not responding.");
    EXPECT_EQ("The driver is not responding.", StatusText());

    sim.ClearDelays();
    for (DWORD waited = 0; waited < kLongEnoughMs && view->DriverStalled(); waited += 50)
        PumpMessages(50);
    PumpMessages(200);
    delete list;
    ASSERT_FALSE(view->DriverStalled());
    ExpectTexts("No audio interface is connected.", "No interface connected.");
    EXPECT_EQ("Ready", StatusText());
}

// Under a German interface (the run of this case with LC_ALL=de_DE.UTF-8)
// the lists speak German.
TEST_F(EmptyLists, SpeakTheUsersLanguage) {
    const char* locale = std::getenv("LC_ALL");
    const bool german = locale && std::strncmp(locale, "de", 2) == 0;
    ASSERT_EQ(german ? LANG_GERMAN : LANG_ENGLISH, PRIMARYLANGID(::GetUserDefaultUILanguage()));
    sim.SetInterfaceVersion(2, 9);
    OpenShell();
    if (german)
        ExpectTexts("Der installierte Tarnet-Treiber ist zu alt: Version 2.9 gefunden, 2.10 oder "
                    "neuer n\xf6tig.",
                    "Treiber zu alt (2.9; 2.10 n\xf6tig).");
    else
        ExpectTexts(
            "The installed Tarnet driver is too old: version 2.9 found, 2.10 or later needed.",
            "Driver too old (2.9; 2.10 needed).");
}

} // namespace
