#include "FindCmdLineOption.h"

#include <gtest/gtest.h>

#include <string>

namespace {

bool Has(const char* line, const char* option) {
    return FindCmdLineOption(line, option, nullptr, true);
}

TEST(FindCmdLineOption, MatchesWholeTokensAnywhereOnTheLine) {
    EXPECT_TRUE(Has("-exit", "-exit"));
    EXPECT_TRUE(Has("   -exit   ", "-exit"));
    EXPECT_TRUE(Has("foo.txt -hide", "-hide"));
    EXPECT_TRUE(Has("a\t-asio\tb", "-asio"));
    EXPECT_TRUE(Has("a\r\n-asio", "-asio"));
    EXPECT_FALSE(Has("", "-exit"));
    EXPECT_FALSE(Has("    ", "-exit"));
}

TEST(FindCmdLineOption, TokensThatOnlyContainTheOptionDoNotMatch) {
    EXPECT_FALSE(Has("--exit", "-exit"));
    EXPECT_FALSE(Has("-exits", "-exit"));
    EXPECT_FALSE(Has("x-exit", "-exit"));
    EXPECT_FALSE(Has("-exi", "-exit"));
    EXPECT_FALSE(Has("-hide-asio", "-asio"));
    EXPECT_FALSE(Has("- exit", "-exit"));
}

TEST(FindCmdLineOption, QuotesAreOrdinaryCharacters) {
    EXPECT_FALSE(Has("\"-exit\"", "-exit"));
    EXPECT_FALSE(Has("'-exit'", "-exit"));
    // A quoted phrase is not one token: its words are matched separately.
    EXPECT_TRUE(Has("\"a -exit b\"", "-exit"));
    EXPECT_TRUE(Has("\"x\" -exit", "-exit"));
}

TEST(FindCmdLineOption, CaseIsIgnoredOnlyWhenAsked) {
    EXPECT_TRUE(Has("-EXIT", "-exit"));
    EXPECT_TRUE(Has("-ExIt", "-exit"));
    EXPECT_TRUE(Has("-hide", "-HIDE"));
    EXPECT_FALSE(FindCmdLineOption("-EXIT", "-exit", nullptr, false));
    EXPECT_TRUE(FindCmdLineOption("-exit", "-exit", nullptr, false));
}

TEST(FindCmdLineOption, HandsBackTheTokenAfterTheFirstMatch) {
    std::string next = "stale";
    EXPECT_TRUE(FindCmdLineOption("-o  first -o second", "-o", &next, true));
    EXPECT_EQ("first", next);
    EXPECT_TRUE(FindCmdLineOption("x \"-o\" -o value", "-o", &next, true));
    EXPECT_EQ("value", next);
}

// A path after an option may hold spaces when it is quoted; the option
// itself is still a plain token.
TEST(FindCmdLineOption, ATokenAfterTheOptionMayBeAQuotedPath) {
    std::string next;
    EXPECT_TRUE(
        FindCmdLineOption("-LOAD \"C:\\My Setups\\Tracking.tcsetup\" -hide", "-load", &next, true));
    EXPECT_EQ("C:\\My Setups\\Tracking.tcsetup", next);
    EXPECT_TRUE(FindCmdLineOption("-load \"open to the end", "-load", &next, true));
    EXPECT_EQ("open to the end", next);
    EXPECT_TRUE(FindCmdLineOption("-load \"\" x", "-load", &next, true));
    EXPECT_EQ("", next);
    EXPECT_TRUE(FindCmdLineOption("-load a\"b c\"", "-load", &next, true));
    EXPECT_EQ("a\"b", next) << "only a leading quote groups";
}

TEST(FindCmdLineOption, OutStringIsEmptiedWhenNothingFollowsOrNothingMatches) {
    std::string next = "stale";
    EXPECT_TRUE(FindCmdLineOption("a -o   ", "-o", &next, true));
    EXPECT_EQ("", next);
    next = "stale";
    EXPECT_FALSE(FindCmdLineOption("a b c", "-o", &next, true));
    EXPECT_EQ("", next);
}

TEST(FindCmdLineOption, BytesAboveAsciiAreNotWhiteSpace) {
    // 0xA0 and 0x85 are spaces in some code pages but must stay inside a token.
    EXPECT_FALSE(Has("\xA0-exit", "-exit"));
    EXPECT_FALSE(Has("-exit\x85", "-exit"));
    EXPECT_TRUE(Has("\xE4\xF6 -exit", "-exit"));
}

TEST(FindCmdLineOption, MissingTextsFindNothing) {
    std::string next = "stale";
    EXPECT_FALSE(FindCmdLineOption(nullptr, "-exit", &next, true));
    EXPECT_EQ("", next);
    EXPECT_FALSE(FindCmdLineOption("-exit", nullptr, nullptr, true));
    EXPECT_FALSE(Has("-exit", ""));
}

} // namespace
