#include "SetupRead.h"

#include "DriverRequests.h"
#include "SimulatedDriverTest.h"

#include <cstring>
#include <string>

namespace {

class SetupReading : public SimulatedDriverTest {
protected:
    SetupReading() : SimulatedDriverTest(SimStart::EmptyModel) {}
    void TearDown() override {
        driver.Close();
        SimulatedDriverTest::TearDown();
    }

    CDriver driver;
    uint32_t quadra = 0;
    uint32_t duo = 0;

    // Two devices whose channels come interleaved in the driver's lists.
    void TwoDevices() {
        quadra = AddDevice("Quadra", "SN-A");
        duo = AddDevice("Duo", "SN-B");
        AddInput(quadra, "In 1", "Kick");
        AddInput(duo, "In 1", "Vox");
        AddInput(quadra, "In 2", "Snare");
        AddOutput(duo, "Out 1", "Main");
        CSimModel& model = sim.Model();
        model.Source.SourceKind = 1;
        model.Source.MasterDeviceId = duo;
        model.SampleRateMode = 1;
        model.CurrentRate = 96000;
        model.StreamBuffer.Depth = 1500;
        model.AsioBuffer.Depth = 3000;
        model.WdmBuffer.Depth = 8000;
        model.IncludeDeviceName = 1;
        model.Devices[1].Current.ModeId = 9;
        std::strcpy(model.Devices[1].Current.Name, "Word clock");
        ASSERT_EQ(0u, driver.Open());
    }

    static std::vector<std::string> Names(const SetupDevice& device, bool output) {
        std::vector<std::string> names;
        for (const SetupChannel& channel : device.Channels)
            if (channel.Output == output)
                names.push_back(std::to_string(channel.Position) + " " + channel.Name);
        return names;
    }
};

} // namespace

TEST_F(SetupReading, EverySettingWithDevicesBySerialAndChannelsByTheirPlace) {
    TwoDevices();
    const SetupRead read = ReadSetup(driver);
    EXPECT_TRUE(read.failures.empty());
    const ::Setup& setup = read.setup;
    EXPECT_EQ(1u, setup.ClockSource);
    EXPECT_EQ("SN-B", setup.ClockMaster);
    EXPECT_EQ(1u, setup.SampleRateMode);
    EXPECT_EQ(96000u, setup.SampleRate);
    EXPECT_EQ(1500u, setup.StreamBufferUs);
    EXPECT_EQ(3000u, setup.AsioBufferUs);
    EXPECT_EQ(8000u, setup.WdmBufferUs);
    EXPECT_EQ(true, setup.IncludeDeviceName);
    ASSERT_EQ(2u, setup.Devices.size());
    EXPECT_EQ("SN-A", setup.Devices[0].Serial);
    EXPECT_EQ("Quadra", setup.Devices[0].Name);
    EXPECT_EQ(0u, setup.Devices[0].Rank);
    EXPECT_EQ((std::vector<std::string>{"1 Kick", "2 Snare"}), Names(setup.Devices[0], false));
    EXPECT_EQ("SN-B", setup.Devices[1].Serial);
    ASSERT_TRUE(setup.Devices[1].Mode.has_value());
    EXPECT_EQ(9u, setup.Devices[1].Mode->ModeId);
    EXPECT_EQ("Word clock", setup.Devices[1].Mode->Name);
    EXPECT_EQ((std::vector<std::string>{"1 Vox"}), Names(setup.Devices[1], false));
    EXPECT_EQ((std::vector<std::string>{"1 Main"}), Names(setup.Devices[1], true));
}

TEST_F(SetupReading, AFailedRequestLeavesItsSettingOutAndIsNamed) {
    TwoDevices();
    sim.FailRequest(DriverRequest::GetAsioBufferDepth, ERROR_GEN_FAILURE, true);
    sim.FailRequest(DriverRequest::GetDeviceProperties, ERROR_GEN_FAILURE, false);
    sim.FailRequest(DriverRequest::GetChannelProperties, ERROR_NOT_READY, false);
    const SetupRead read = ReadSetup(driver);
    EXPECT_FALSE(read.setup.AsioBufferUs.has_value());
    EXPECT_TRUE(read.setup.WdmBufferUs.has_value());
    ASSERT_EQ(1u, read.setup.Devices.size()) << "a device without its serial number stays out";
    EXPECT_EQ("SN-B", read.setup.Devices[0].Serial);
    EXPECT_TRUE(Names(read.setup.Devices[0], false).empty())
        << "after a channel that failed, no input's place is sure";
    EXPECT_EQ((std::vector<std::string>{"1 Main"}), Names(read.setup.Devices[0], true));
    std::vector<std::string> failed;
    for (const SetupReadFailure& failure : read.failures)
        failed.push_back(std::string(failure.Request) + " " + std::to_string(failure.Status));
    EXPECT_EQ((std::vector<std::string>{"GetDeviceProperties 31", "GetAsioBufferDepth 31",
                                        "GetChannelProperties 21"}),
              failed);
}
