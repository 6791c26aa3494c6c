#include "SetupPlan.h"

#include "DriverCodes.h"
#include "DriverRequests.h"
#include "SetupFile.h"
#include "SimulatedDriverTest.h"

#include <algorithm>
#include <string>

namespace {

class SetupLoading : public SimulatedDriverTest {
protected:
    SetupLoading() : SimulatedDriverTest(SimStart::DefaultSetUp) {}
    void SetUp() override {
        SimulatedDriverTest::SetUp();
        ASSERT_EQ(0u, driver.Open());
    }
    void TearDown() override {
        driver.Close();
        SimulatedDriverTest::TearDown();
    }

    std::string Saved() { return SetupFile::Write(ReadSetup(driver).setup); }

    SetupPlan Plan(const std::string& text) {
        const SetupFile::Result file = SetupFile::Parse(text);
        EXPECT_EQ(SetupFile::Problem::None, file.problem) << "line " << file.line;
        return PlanSetup(ReadDriverState(driver), file.setup);
    }

    SimDevice& Device(size_t index) { return sim.Model().Devices[index]; }
    SimChannel& Channel(uint32_t device, bool input, size_t place) {
        for (SimChannel& channel : sim.Model().Channels)
            if (channel.DeviceId == device && channel.Input == input && place-- == 0)
                return channel;
        throw std::out_of_range("no such channel");
    }

    CDriver driver;
};

TEST_F(SetupLoading, ASavedSetupComesBackWholeInTheDriversOrderAndLoadingItAgainSendsNothing) {
    const std::string saved = Saved();
    CSimModel& model = sim.Model();
    const uint32_t quadra = Device(0).Id;
    const uint32_t duo = Device(1).Id;
    model.Source = SynchSource{0, 0, duo};
    model.SampleRateMode = 1;
    model.SetRate(96000);
    model.StreamBuffer.Depth = 3000;
    model.AsioBuffer.Depth = 1500;
    model.WdmBuffer.Depth = 20000;
    model.IncludeDeviceName = 0;
    Device(0).Name = "Desk";
    Device(1).Current = Device(1).Modes[2];
    Channel(quadra, true, 0).Name = "Talkback";
    Channel(duo, false, 1).Name = "Cue";
    model.MoveDevice(duo, 0);

    const SetupPlan plan = Plan(saved);
    sim.ClearLog();
    const std::vector<uint32_t> statuses = ApplySetupPlan(driver, plan);
    EXPECT_TRUE(AppliedWhole(plan, statuses));
    EXPECT_EQ(saved, Saved());
    EXPECT_EQ((std::vector<std::string>{
                  "StopStreaming", "SetSynchSource", "SetSampleRateMode", "SetDeviceSynchMode",
                  "SetStreamBufferDepth", "SetWdmBufferDepth", "StartStreaming", "SetSampleRate",
                  "SetAsioBufferDepth", "SetDeviceProperties", "SetDeviceProperties",
                  "SetIncludeDeviceName", "SetChannelProperties", "SetChannelProperties"}),
              Writes());

    sim.ClearLog();
    const SetupPlan again = Plan(Saved());
    EXPECT_TRUE(again.Changes.empty());
    EXPECT_TRUE(AppliedWhole(again, ApplySetupPlan(driver, again)));
    EXPECT_TRUE(Writes().empty()) << "a setup that matches the driver sends no change";
}

TEST_F(SetupLoading, DevicesNotConnectedAreSkippedAndDevicesNotInTheFileLeftAsTheyAre) {
    const std::string quadraOnly = SetupFile::kFormatName + std::string(" 1\n[device]\n") +
                                   "serial = TQ18-2207-0413\nname = Desk\n" +
                                   "[device]\nserial = XX-0001\nname = Gone\ninput 1 = Far\n";
    Device(1).Name = "Duo edited";
    const SetupPlan plan = Plan(quadraOnly);
    ASSERT_EQ(1u, plan.MissingDevices.size());
    EXPECT_EQ("XX-0001", plan.MissingDevices[0].Serial);
    EXPECT_EQ("Gone", plan.MissingDevices[0].DeviceName);
    ASSERT_EQ(1u, plan.UntouchedDevices.size());
    EXPECT_EQ("TD08-1911-0077", plan.UntouchedDevices[0].Serial);
    ASSERT_EQ(1u, plan.Changes.size());
    EXPECT_EQ("Desk", plan.Changes[0].Wanted.Text);

    const std::vector<uint32_t> statuses = ApplySetupPlan(driver, plan);
    EXPECT_FALSE(AppliedWhole(plan, statuses)) << "a device of the file was not there";
    EXPECT_EQ("Desk", Device(0).Name);
    EXPECT_EQ("Duo edited", Device(1).Name);
}

TEST_F(SetupLoading, AModeTheDeviceNoLongerOffersIsReportedNotGuessed) {
    std::string text = Saved();
    const std::string mode = "synchronisation mode = 1 Internal crystal";
    ASSERT_NE(std::string::npos, text.find(mode));
    // The device offers id 5 as "Word Clock": the same id under another name
    // is another mode, and so is a name under another id.
    for (const char* wanted :
         {"synchronisation mode = 5 Word clock in", "synchronisation mode = 9 Word Clock"}) {
        std::string edited = text;
        edited.replace(edited.find(mode), mode.size(), wanted);
        sim.ClearLog();
        const SetupPlan plan = Plan(edited);
        ASSERT_EQ(1u, plan.Unavailable.size()) << wanted;
        EXPECT_EQ(SetupUnavailable::Why::NotOffered, plan.Unavailable[0].Reason);
        EXPECT_EQ(SetupSetting::SynchMode, plan.Unavailable[0].Place.Setting);
        EXPECT_FALSE(AppliedWhole(plan, ApplySetupPlan(driver, plan)));
        EXPECT_TRUE(Writes().empty()) << wanted;
    }
    std::string offered = text;
    offered.replace(offered.find(mode), mode.size(), "synchronisation mode = 5 Word Clock");
    const SetupPlan plan = Plan(offered);
    EXPECT_TRUE(AppliedWhole(plan, ApplySetupPlan(driver, plan)));
    EXPECT_EQ(5u, Device(0).Current.ModeId);
}

TEST_F(SetupLoading, NamesOfTheFullLengthAndOfTheSystemsCodePageReachTheDriverExactly) {
    const std::string longest(SetupFile::kMaxNameBytes, 'n');
    const std::string text = SetupFile::kFormatName + std::string(" 1\n[device]\n") +
                             "serial = TQ18-2207-0413\nname = " + longest +
                             "\ninput 1 = B\xC3\xBChne\noutput 2 = \" Main R \"\n";
    const SetupPlan plan = Plan(text);
    EXPECT_TRUE(AppliedWhole(plan, ApplySetupPlan(driver, plan)))
        << "a device the file does not name is left as it is";
    const uint32_t quadra = Device(0).Id;
    EXPECT_EQ(longest, Device(0).Name);
    EXPECT_EQ("B\xFChne", Channel(quadra, true, 0).Name) << "code page 1252";
    EXPECT_EQ(" Main R ", Channel(quadra, false, 1).Name);
    EXPECT_NE(std::string::npos, Saved().find("input 1 = B\xC3\xBChne\r\n"));
}

TEST_F(SetupLoading, WhatTheDriverCannotTakeIsReportedAndNotSent) {
    std::string text = Saved();
    const auto set = [&text](const std::string& key, const std::string& value) {
        const size_t at = text.find(key + " = ");
        const size_t end = text.find("\r\n", at);
        text.replace(at, end - at, key + " = " + value);
    };
    set("asio buffer", "4100");  // off the driver's steps of 500
    set("stream buffer", "250"); // below its minimum of 500
    set("sampling rate", "22050");
    set("input 2", "\"Guitar DI\"\r\ninput 99 = Nowhere");
    set("clock master", "XX-0001");
    sim.ClearLog();
    SetupPlan plan = Plan(text);
    std::vector<SetupSetting> settings;
    for (const SetupUnavailable& unavailable : plan.Unavailable)
        settings.push_back(unavailable.Place.Setting);
    EXPECT_EQ((std::vector<SetupSetting>{SetupSetting::ClockMaster, SetupSetting::StreamBuffer,
                                         SetupSetting::SampleRate, SetupSetting::AsioBuffer,
                                         SetupSetting::ChannelName}),
              settings);
    EXPECT_FALSE(AppliedWhole(plan, ApplySetupPlan(driver, plan)));
    EXPECT_TRUE(Writes().empty());

    // While the clock master sets the rate, the file's rate is not sent.
    set("sampling rate mode", "automatic");
    set("sampling rate", "96000");
    plan = Plan(text);
    ASSERT_EQ(5u, plan.Unavailable.size());
    EXPECT_EQ(SetupSetting::SampleRate, plan.Unavailable[2].Place.Setting);
    EXPECT_EQ(SetupUnavailable::Why::RateFollowsMaster, plan.Unavailable[2].Reason);
    sim.ClearLog();
    ApplySetupPlan(driver, plan);
    EXPECT_EQ(0u, sim.CountRequests(DriverRequest::SetSampleRate));
    EXPECT_EQ(1u, sim.Model().SampleRateMode);
}

TEST_F(SetupLoading, StreamsThatCannotStopHoldBackTheClockAndBuffersButNotTheNames) {
    sim.Model().Source.SourceKind = 0;
    sim.Model().StreamBuffer.Depth = 3000;
    Device(0).Name = "Desk";
    const std::string text = SetupFile::kFormatName + std::string(" 1\n[driver]\n") +
                             "clock source = external\nstream buffer = 2000\n[device]\n" +
                             "serial = TQ18-2207-0413\nname = Quadra\n";
    sim.FailRequest(DriverRequest::StopStreaming, DRVSTATUS_FAILED, true);
    const SetupPlan plan = Plan(text);
    sim.ClearLog();
    const std::vector<uint32_t> statuses = ApplySetupPlan(driver, plan);
    EXPECT_EQ((std::vector<uint32_t>{DRVSTATUS_FAILED, DRVSTATUS_FAILED, 0}), statuses);
    EXPECT_EQ((std::vector<std::string>{"StopStreaming", "SetDeviceProperties"}), Writes());
    EXPECT_EQ(0u, sim.Model().Source.SourceKind);
    EXPECT_EQ("Quadra", Device(0).Name);
    EXPECT_FALSE(AppliedWhole(plan, statuses));
}

} // namespace
