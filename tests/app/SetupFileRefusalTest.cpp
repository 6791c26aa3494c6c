// Every way a setup file can be unusable: each is told with its line and
// reason, and nothing at all reaches the driver, not even the opening of it.
#include "SetupCommands.h"
#include "SimulatedDriverTest.h"

#include <fstream>
#include <string>

namespace {

struct Refusal {
    const char* what;
    std::string text;
    const char* message; // what the user reads, after the file's name
};

const std::string kHead = "Tarnet Control Panel setup 1\r\n";

std::vector<Refusal> Refusals() {
    const std::string device = kHead + "[device]\r\nserial = SN-1\r\n";
    return {
        {"not a setup", "[driver]\r\n", "Line 1: This is not a setup file"},
        {"a newer version", "Tarnet Control Panel setup 2\r\n[driver]\r\n",
         "Line 1: The file was written by a newer version"},
        {"out of range", kHead + "[driver]\r\nasio buffer = 40001\r\n",
         "Line 3: The value is not a whole number in the allowed range."},
        {"of the wrong kind", kHead + "[driver]\r\nclock source = 1\r\n",
         "Line 3: The value is not one of those allowed."},
        {"a duplicate key", device + "rank = 1\r\nRANK = 2\r\n",
         "Line 5: The setting, section or device is given twice."},
        {"a name over 39 bytes", device + "name = " + std::string(40, 'n') + "\r\n",
         "Line 4: The name is longer than 39 bytes."},
        {"a name the code page cannot hold", device + "input 1 = \xE6\x97\xA5\xE6\x9C\xAC\r\n",
         "Line 4: The name has a character that this system's code page does not have."},
        {"a file over 1 MB", kHead + ";" + std::string(1024 * 1024, 'x') + "\r\n",
         "cannot be loaded, and nothing was changed: The file is too large: a setup may take at "
         "most 1 MB."},
    };
}

class SetupFileRefusal : public SimulatedDriverTest {
protected:
    SetupFileRefusal() : SimulatedDriverTest(SimStart::DefaultSetUp) {}
    void SetUp() override {
        SimulatedDriverTest::SetUp();
        char temp[MAX_PATH] = "";
        ::GetTempPathA(sizeof temp, temp);
        path = std::string(temp) + "refused.tcsetup";
    }
    void TearDown() override {
        ::DeleteFileA(path.c_str());
        SimulatedDriverTest::TearDown();
    }
    std::string path;
};

TEST_F(SetupFileRefusal, EachIsToldWithItsLineAndReasonAndNothingReachesTheDriver) {
    for (const Refusal& refusal : Refusals()) {
        std::ofstream(path, std::ios::binary | std::ios::trunc) << refusal.text;
        sim.ClearLog();
        ::Setup setup;
        const std::optional<SetupResult> unusable = ReadSetupFile(path, setup);
        ASSERT_TRUE(unusable.has_value()) << refusal.what;
        EXPECT_EQ(SetupFileUnusable, unusable->code) << refusal.what;
        EXPECT_NE(std::string::npos, unusable->summary.find(path)) << refusal.what;
        EXPECT_NE(std::string::npos, unusable->summary.find(refusal.message))
            << refusal.what << ": " << unusable->summary;
        EXPECT_EQ(SetupFileUnusable, RunSetupCommandLine("-load", path)) << refusal.what;
        EXPECT_TRUE(sim.Log().empty()) << refusal.what;
    }
}

} // namespace
