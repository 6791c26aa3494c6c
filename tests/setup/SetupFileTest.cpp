#include "SetupFile.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <string>

namespace {

using SetupFile::Problem;

const std::string kHeader = "Tarnet Control Panel setup 1\n";

Setup Example() {
    Setup setup;
    setup.ClockSource = 1;
    setup.ClockMaster = "TQ18-2207-0413";
    setup.SampleRateMode = 0;
    setup.SampleRate = 48000;
    setup.StreamBufferUs = 2000;
    setup.AsioBufferUs = 4500;
    setup.WdmBufferUs = 10000;
    setup.IncludeDeviceName = false;
    SetupDevice quadra;
    quadra.Serial = "TQ18-2207-0413";
    quadra.Name = "Tarnet Quadra 1818";
    quadra.Rank = 0;
    quadra.Mode = SetupSynchMode{3, "Internal crystal"};
    quadra.Channels = {{false, 1, "Mic 1"}, {true, 2, " Main R "}, {false, 3, "B\xFChne"}};
    SetupDevice duo;
    duo.Serial = "TD08-1911-0077";
    duo.Rank = 1;
    duo.Mode = SetupSynchMode{7, ""};
    setup.Devices = {quadra, duo};
    return setup;
}

// Where and why a file cannot be used.
std::pair<Problem, size_t> Refusal(const std::string& text) {
    const SetupFile::Result result = SetupFile::Parse(text);
    EXPECT_TRUE(result.problem == Problem::None || result.setup.Devices.empty());
    return {result.problem, result.line};
}

} // namespace

TEST(SetupFile, WhatIsWrittenReadsBackWhole) {
    const ::Setup written = Example();
    const std::string text = SetupFile::Write(written);
    const SetupFile::Result read = SetupFile::Parse(text);
    ASSERT_EQ(Problem::None, read.problem) << "line " << read.line << "\n" << text;
    const ::Setup& setup = read.setup;
    EXPECT_EQ(written.ClockSource, setup.ClockSource);
    EXPECT_EQ(written.ClockMaster, setup.ClockMaster);
    EXPECT_EQ(written.SampleRateMode, setup.SampleRateMode);
    EXPECT_EQ(written.SampleRate, setup.SampleRate);
    EXPECT_EQ(written.StreamBufferUs, setup.StreamBufferUs);
    EXPECT_EQ(written.AsioBufferUs, setup.AsioBufferUs);
    EXPECT_EQ(written.WdmBufferUs, setup.WdmBufferUs);
    EXPECT_EQ(written.IncludeDeviceName, setup.IncludeDeviceName);
    ASSERT_EQ(2u, setup.Devices.size());
    for (size_t d = 0; d < 2; ++d) {
        const SetupDevice& a = written.Devices[d];
        const SetupDevice& b = setup.Devices[d];
        EXPECT_EQ(a.Serial, b.Serial);
        EXPECT_EQ(a.Name, b.Name);
        EXPECT_EQ(a.Rank, b.Rank);
        ASSERT_TRUE(b.Mode.has_value());
        EXPECT_EQ(a.Mode->ModeId, b.Mode->ModeId);
        EXPECT_EQ(a.Mode->Name, b.Mode->Name);
        ASSERT_EQ(a.Channels.size(), b.Channels.size());
        for (size_t c = 0; c < a.Channels.size(); ++c) {
            EXPECT_EQ(a.Channels[c].Output, b.Channels[c].Output);
            EXPECT_EQ(a.Channels[c].Position, b.Channels[c].Position);
            EXPECT_EQ(a.Channels[c].Name, b.Channels[c].Name) << "spaces and code page kept";
        }
    }
    EXPECT_NE(std::string::npos, text.find("B\xC3\xBChne")) << "the file is UTF-8";
    // What the driver did not tell stays out, and a name or serial number
    // that cannot stand on one line too.
    ::Setup sparse;
    sparse.ClockMaster = "S1\r\n[device]";
    sparse.Devices = {SetupDevice{"S1", std::string("two\nlines"), 2, {}, {}}};
    const std::string sparseText = SetupFile::Write(sparse);
    EXPECT_EQ(kHeader.substr(0, kHeader.size() - 1) + "\r\n[driver]\r\n\r\n[device]\r\n" +
                  "serial = S1\r\nrank = 2\r\n",
              sparseText);
}

TEST(SetupFile, PeopleMayEditItLooselyWithinTheFormat) {
    const std::string text = "\xEF\xBB\xBF" + kHeader +
                             "; my tracking set-up\r\n"
                             "  [ DRIVER ]  \n"
                             "Clock Source=EXTERNAL\n"
                             "   ; comments anywhere\n"
                             "\n"
                             "[device]\n"
                             "Input 12 =   Kick = In ; not a comment  \n"
                             "serial = \"  S 1 \"\n";
    const SetupFile::Result read = SetupFile::Parse(text);
    ASSERT_EQ(Problem::None, read.problem) << read.line;
    EXPECT_EQ(1u, read.setup.ClockSource);
    ASSERT_EQ(1u, read.setup.Devices.size());
    EXPECT_EQ("  S 1 ", read.setup.Devices[0].Serial);
    ASSERT_EQ(1u, read.setup.Devices[0].Channels.size());
    EXPECT_EQ(12u, read.setup.Devices[0].Channels[0].Position);
    EXPECT_EQ("Kick = In ; not a comment", read.setup.Devices[0].Channels[0].Name);
}

TEST(SetupFile, AnUnusableFileSaysWhereAndWhyAndGivesNothing) {
    const std::string name39(39, 'n');
    struct Case {
        std::string text;
        Problem problem;
        size_t line;
    };
    const Case cases[] = {
        {"", Problem::NotASetup, 1},
        {"[driver]\n", Problem::NotASetup, 1},
        {"Tarnet Control Panel setup\n", Problem::NotASetup, 1},
        {"Tarnet Control Panel setup 1x\n", Problem::NotASetup, 1},
        {"Tarnet Control Panel setup 2\n[driver]\n", Problem::NewerVersion, 1},
        {kHeader + "clock source = internal\n", Problem::NoSection, 2},
        {kHeader + "[drivers]\n", Problem::UnknownSection, 2},
        {kHeader + "[driver\n", Problem::UnknownSection, 2},
        {kHeader + "[driver]\n[driver]\n", Problem::DuplicateKey, 3},
        {kHeader + "[driver]\nclock = internal\n", Problem::UnknownKey, 3},
        {kHeader + "[driver]\nclock source internal\n", Problem::NoEquals, 3},
        {kHeader + "[driver]\nclock source = inside\n", Problem::BadChoice, 3},
        {kHeader + "[driver]\nasio buffer = 1\nasio buffer = 2\n", Problem::DuplicateKey, 4},
        {kHeader + "[driver]\nasio buffer = 40001\n", Problem::BadNumber, 3},
        {kHeader + "[driver]\nstream buffer = 0\n", Problem::BadNumber, 3},
        {kHeader + "[driver]\nsampling rate = -48000\n", Problem::BadNumber, 3},
        {kHeader + "[driver]\nsampling rate = 99999999999\n", Problem::BadNumber, 3},
        {kHeader + "[driver]\ninclude device name = 1\n", Problem::BadChoice, 3},
        {kHeader + "[device]\nname = x\n", Problem::NoSerial, 2},
        {kHeader + "[device]\nname = x\n[driver]\n", Problem::NoSerial, 2},
        {kHeader + "[device]\nserial = A\n[device]\nserial = A\n", Problem::DuplicateKey, 5},
        {kHeader + "[device]\nserial = A\nrank = 64\n", Problem::BadNumber, 4},
        {kHeader + "[device]\nserial = A\ninput 0 = x\n", Problem::BadNumber, 4},
        {kHeader + "[device]\nserial = A\ninput 257 = x\n", Problem::BadNumber, 4},
        {kHeader + "[device]\nserial = A\ninput 1 = x\ninput 1 = y\n", Problem::DuplicateKey, 5},
        {kHeader + "[device]\nserial = A\ninput 1 = " + name39 + "n\n", Problem::NameTooLong, 4},
        {kHeader + "[device]\nserial = A\nsynchronisation mode = x\n", Problem::BadNumber, 4},
        {kHeader + "[device]\nserial = A\nname = \xE6\xBC\xA2\n", Problem::NotInCodePage, 4},
        {kHeader + "[device]\nserial = A\nname = \xC3\n", Problem::NotUtf8, 4},
        {kHeader + "[device]\nserial = A\ncolour = red\n", Problem::UnknownKey, 4},
        {std::string(SetupFile::kMaxFileBytes + 1, ';'), Problem::TooLarge, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text.substr(0, 120));
        EXPECT_EQ(std::make_pair(c.problem, c.line), Refusal(c.text));
    }
    // The limits themselves are fine.
    EXPECT_EQ(Problem::None,
              SetupFile::Parse(kHeader + "[device]\nserial = A\nname = " + name39 +
                               "\ninput 256 = x\nrank = 63\n[driver]\nasio buffer = 40000\n")
                  .problem);
}

TEST(SetupFile, AChannelIsKnownByItsPlaceHoweverItsKeyIsSpelt) {
    const std::string device = kHeader + "[device]\nserial = A\n";
    for (const char* twice : {"input 02 = y\n", "INPUT  2 = y\n", "input \t2 = y\n"}) {
        SCOPED_TRACE(twice);
        EXPECT_EQ(std::make_pair(Problem::DuplicateKey, size_t{5}),
                  Refusal(device + "input 2 = x\n" + twice));
    }
    const SetupFile::Result read = SetupFile::Parse(device + "input 2 = x\noutput 02 = y\n");
    ASSERT_EQ(Problem::None, read.problem) << "the other direction is another channel";
    EXPECT_EQ(2u, read.setup.Devices[0].Channels.size());
}

// The writer leaves out a value that holds a control character, so a file
// that gives one could not be written back as it was read.
TEST(SetupFile, AValueWithAControlCharacterIsRefused) {
    const std::string device = kHeader + "[device]\nserial = A\n";
    struct Case {
        std::string text;
        size_t line;
    };
    const Case cases[] = {
        {device + "name = Mic\t1\n", 4},
        {device + "input 1 = \"Mic 1\t\"\n", 4},
        {device + "synchronisation mode = 3 Word\x01"
                  "clock\n",
         4},
        {device + "output 1 = x\r\r\n", 4}, // a line end doubled by a transfer
        {kHeader + "[device]\nserial = A" + std::string(1, '\0') + "\n", 3},
        {kHeader + "[driver]\nclock master = A\x1F\n", 3},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(std::make_pair(Problem::ControlCharacter, c.line), Refusal(c.text));
    }
    // Tabs beside the key and the value are spacing, not part of the value.
    const SetupFile::Result read = SetupFile::Parse(device + "name\t=\tMic 1\t\n");
    ASSERT_EQ(Problem::None, read.problem);
    EXPECT_EQ("Mic 1", read.setup.Devices[0].Name);
}

// A file within the size limit is read at once, however it is made: a
// megabyte of devices, each to be told from every other by its serial number.
TEST(SetupFile, AFileOfTensOfThousandsOfDevicesIsReadAtOnce) {
    std::string text = kHeader;
    for (size_t i = 0; text.size() < SetupFile::kMaxFileBytes - 60; ++i)
        text += "[device]\nserial=" + std::to_string(i) + "\n";
    const auto start = std::chrono::steady_clock::now();
    SetupFile::Parse(text);
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    // Comparing each serial number with all before took seconds; looking it
    // up takes a small part of one, under load too.
    EXPECT_LT(seconds, 2.0);
    // A serial number given twice is still found among them all.
    const size_t lines = static_cast<size_t>(std::count(text.begin(), text.end(), '\n'));
    EXPECT_EQ(std::make_pair(Problem::DuplicateKey, lines + 2),
              Refusal(text + "[device]\nserial=17\n"));
}

// A setup read must save to a file that reads again, yet the writer's spaces
// and line ends make the densest files longer than they were.
TEST(SetupFile, AFileWhoseSetupWouldBeWrittenTooLargeIsRefusedAsTooLarge) {
    const auto devices = [](size_t size) {
        std::string text = kHeader;
        for (size_t device = 0; text.size() < size; ++device) {
            text += "[device]\nserial=" + std::to_string(device) + "\n";
            for (int channel = 1; channel <= 256; ++channel)
                text += "input " + std::to_string(channel) + "=" + std::string(39, 'n') + "\n";
        }
        return text;
    };
    const std::string dense = devices(SetupFile::kMaxFileBytes - 30000);
    ASSERT_LE(dense.size(), SetupFile::kMaxFileBytes);
    EXPECT_EQ(std::make_pair(Problem::TooLarge, size_t{0}), Refusal(dense));
    const SetupFile::Result half = SetupFile::Parse(devices(SetupFile::kMaxFileBytes / 2));
    ASSERT_EQ(Problem::None, half.problem);
    EXPECT_EQ(Problem::None, SetupFile::Parse(SetupFile::Write(half.setup)).problem);
}

// What a driver may report and a file cannot hold is left out before saving,
// and named, so that the file saved can always be loaded again.
TEST(SetupFileUnwritable, ValuesAFileCannotHoldAreLeftOutAndNamedSoThatTheFileLoadsAgain) {
    ::Setup setup;
    setup.ClockMaster = "SN-A\r\n[device]";
    setup.SampleRate = 1000;
    setup.AsioBufferUs = 50000;
    setup.WdmBufferUs = 8000;
    SetupDevice a;
    a.Serial = "SN-A";
    a.Name = std::string(40, 'n');
    a.Rank = 64;
    a.Mode = SetupSynchMode{3, "Word\tclock"};
    a.Channels = {{false, 1, "Kick"}, {true, 2, "Main\nR"}};
    SetupDevice twin = a;
    twin.Name = "Twin";
    SetupDevice unnamed;
    unnamed.Serial = "";
    setup.Devices = {a, twin, unnamed};

    const std::vector<SetupPlace> leftOut = SetupFile::LeaveOutUnwritable(setup);
    std::vector<std::string> places;
    for (const SetupPlace& place : leftOut)
        places.push_back(std::to_string(static_cast<int>(place.Setting)) + " " + place.Serial +
                         (place.Position ? " " + std::to_string(place.Position) : ""));
    const auto code = [](SetupSetting setting) {
        return std::to_string(static_cast<int>(setting));
    };
    EXPECT_EQ((std::vector<std::string>{
                  code(SetupSetting::ClockMaster) + " ", code(SetupSetting::SampleRate) + " ",
                  code(SetupSetting::AsioBuffer) + " ", code(SetupSetting::DeviceName) + " SN-A",
                  code(SetupSetting::DeviceName) + " ", code(SetupSetting::DeviceName) + " SN-A",
                  code(SetupSetting::DeviceRank) + " SN-A", code(SetupSetting::SynchMode) + " SN-A",
                  code(SetupSetting::ChannelName) + " SN-A 2"}),
              places);
    EXPECT_EQ(8000u, setup.WdmBufferUs);
    ASSERT_EQ(1u, setup.Devices.size()) << "a serial number given twice, or none, is no key";
    EXPECT_EQ(1u, setup.Devices[0].Channels.size());

    const SetupFile::Result again = SetupFile::Parse(SetupFile::Write(setup));
    EXPECT_EQ(SetupFile::Problem::None, again.problem) << "line " << again.line;
}
