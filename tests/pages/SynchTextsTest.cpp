#include "SynchTexts.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

SynchMode Mode(uint32_t kind, const char* name) {
    SynchMode mode{};
    mode.Kind = kind;
    mode.ModeId = 7;
    std::strncpy(mode.Name, name, sizeof mode.Name - 1);
    return mode;
}

} // namespace

TEST(SynchTexts, ModeKindsReadTheirNamesWithTheModeNameBehind) {
    struct Case {
        uint32_t kind;
        const char* name;
        const char* text;
    };
    const Case cases[] = {
        {0, "", "Unspecified"},
        {1, "", "CSP"},
        {2, "", "SYT"},
        {3, "", "SYT"},
        {4, "S/PDIF", "Digital Input (S/PDIF)"},
        {5, "Word Clock", "External Clock (Word Clock)"},
        {3, "Synch stream", "SYT (Synch stream)"},
        {6, "", ""},
        {6, "Odd", " (Odd)"},
        {0xFFFFFFFF, "Odd", " (Odd)"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.kind);
        EXPECT_EQ(c.text, GetSynchModeText(Mode(c.kind, c.name)));
    }
}

TEST(SynchTexts, AnUnterminatedModeNameStopsAtTheEndOfItsField) {
    SynchMode mode = Mode(1, "");
    std::memset(mode.Name, 'x', sizeof mode.Name);
    EXPECT_EQ("CSP (" + std::string(40, 'x') + ")", GetSynchModeText(mode));
}

TEST(SynchTexts, SourceKindsReadInternalAndExternalOnly) {
    EXPECT_EQ("Internal", GetSynchSourceText(0));
    EXPECT_EQ("External", GetSynchSourceText(1));
    EXPECT_EQ("", GetSynchSourceText(2));
    EXPECT_EQ("", GetSynchSourceText(0x80000000u));
}

TEST(SynchTexts, RatesReadKilohertzWithTheHundredsDigitNeverRounded) {
    struct Case {
        uint32_t rate;
        const char* text;
    };
    const Case cases[] = {
        {32000, "32.0 kHz"},   {44100, "44.1 kHz"},
        {48000, "48.0 kHz"},   {88200, "88.2 kHz"},
        {176400, "176.4 kHz"}, {192000, "192.0 kHz"},
        {44199, "44.1 kHz"},   {999, "0.9 kHz"},
        {0, "0.0 kHz"},        {4294967295u, "4294967.2 kHz"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.text, GetSampleRateText(c.rate)) << c.rate;
}
