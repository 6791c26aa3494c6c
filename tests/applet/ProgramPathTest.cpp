#include "ProgramPath.h"

#include <gtest/gtest.h>

#include <string>

namespace {

const UINT kJapanese = 932;
const UINT kWestern = 1252;

std::string Beside(const char* modulePath, UINT codePage = kWestern, size_t size = MAX_PATH) {
    char out[MAX_PATH] = "not touched";
    if (!ProgramBesideModule(modulePath, "Demtrel.exe", codePage, out, size)) {
        EXPECT_STREQ(out, "") << "a failure leaves the result empty";
        return "<none>";
    }
    return out;
}

TEST(ProgramBesideModule, ReplacesTheFileNameOfTheModule) {
    EXPECT_EQ(Beside("C:\\Windows\\System32\\Sarvent.cpl"), "C:\\Windows\\System32\\Demtrel.exe");
    EXPECT_EQ(Beside("C:\\Sarvent.cpl"), "C:\\Demtrel.exe");
    EXPECT_EQ(Beside("\\\\server\\share\\Sarvent.cpl"), "\\\\server\\share\\Demtrel.exe");
    EXPECT_EQ(Beside("C:\\Program Files\\Orlaso\\"), "C:\\Program Files\\Orlaso\\Demtrel.exe");
}

TEST(ProgramBesideModule, FailsWithoutABackslash) {
    EXPECT_EQ(Beside("Sarvent.cpl"), "<none>");
    EXPECT_EQ(Beside("C:/Windows/Sarvent.cpl"), "<none>");
    EXPECT_EQ(Beside(""), "<none>");
}

TEST(ProgramBesideModule, FailsRatherThanCutTheProgramPath) {
    const char* module = "C:\\Orlaso\\Sarvent.cpl";
    const std::string whole = "C:\\Orlaso\\Demtrel.exe";
    EXPECT_EQ(Beside(module, kWestern, whole.size() + 1), whole);
    EXPECT_EQ(Beside(module, kWestern, whole.size()), "<none>");
    char out[1] = {'x'};
    EXPECT_FALSE(ProgramBesideModule(module, "Demtrel.exe", kWestern, out, 0));
    EXPECT_EQ(out[0], 'x');
}

// 0x95 0x5C is one double-byte character under code page 932; its trail byte is the
// backslash code.
TEST(ProgramBesideModule, DoubleByteDirectoryWhoseTrailByteIsABackslash) {
    ASSERT_TRUE(IsValidCodePage(kJapanese));
    const char* module = "C:\\\x95\x5C\\Sarvent.cpl";
    EXPECT_EQ(Beside(module, kJapanese), "C:\\\x95\x5C\\Demtrel.exe");

    // A file name ending in such a character holds no separator of its own.
    EXPECT_EQ(Beside("C:\\Orlaso\\\x95\x5C", kJapanese), "C:\\Orlaso\\Demtrel.exe");
    // Read as a single-byte code page the same bytes end in a separator.
    EXPECT_EQ(Beside("C:\\Orlaso\\\x95\x5C", kWestern), "C:\\Orlaso\\\x95\\Demtrel.exe");
}

TEST(FindLastBackslash, StepsOverDoubleByteCharactersOnly) {
    ASSERT_TRUE(IsValidCodePage(kJapanese));
    const char path[] = "\x95\x5C\\a\\\x95\x5C\x95\x5C";
    EXPECT_EQ(FindLastBackslash(path, kJapanese), path + 4);
    EXPECT_EQ(FindLastBackslash(path, kWestern), path + 8);
    // A single-byte katakana (0xA0-0xDF) is no lead byte: the backslash after it counts.
    const char katakana[] = "C:\\\xB1\\x";
    EXPECT_EQ(FindLastBackslash(katakana, kJapanese), katakana + 4);
}

TEST(FindLastBackslash, ALeadByteAtTheEndDoesNotSwallowTheTerminator) {
    ASSERT_TRUE(IsValidCodePage(kJapanese));
    // The bytes after the terminator would be read by a search that skips two at a time.
    const char path[] = "C:\\a\\\x95\0\\\\";
    EXPECT_EQ(FindLastBackslash(path, kJapanese), path + 4);
    EXPECT_EQ(FindLastBackslash("no separator", kJapanese), nullptr);
}

} // namespace
