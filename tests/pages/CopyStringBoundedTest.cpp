#include "CopyStringBounded.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

// A 40-byte name field followed by guard bytes that no copy may touch.
struct GuardedField {
    char Field[40];
    char Guard[8];
    GuardedField() { std::memset(this, '#', sizeof(*this)); }
    bool GuardIntact() const { return std::string(Guard, sizeof(Guard)) == "########"; }
};

TEST(CopyStringBounded, NameThatFitsIsCopiedWhole) {
    GuardedField f;
    const std::string name(39, 'a');
    char* end = CopyStringBounded(f.Field, name.c_str(), sizeof(f.Field));
    EXPECT_EQ(name, f.Field);
    EXPECT_EQ(f.Field + 39, end);
    EXPECT_EQ('\0', *end);
    EXPECT_TRUE(f.GuardIntact());
}

TEST(CopyStringBounded, LongerNameIsCutTo39Characters) {
    GuardedField f;
    std::string name;
    for (int i = 0; i < 45; ++i)
        name += static_cast<char>('A' + i % 26);
    char* end = CopyStringBounded(f.Field, name.c_str(), sizeof(f.Field));
    EXPECT_EQ(name.substr(0, 39), f.Field);
    EXPECT_EQ(f.Field + 39, end);
    EXPECT_TRUE(f.GuardIntact());
}

TEST(CopyStringBounded, EmptyNameGivesEmptyField) {
    GuardedField f;
    char* end = CopyStringBounded(f.Field, "", sizeof(f.Field));
    EXPECT_EQ(f.Field, end);
    EXPECT_EQ('\0', f.Field[0]);
    EXPECT_EQ('#', f.Field[1]);
}

TEST(CopyStringBounded, CopyStopsAtTheSourceTerminator) {
    GuardedField f;
    char* end = CopyStringBounded(f.Field, "Quadra", sizeof(f.Field));
    EXPECT_STREQ("Quadra", f.Field);
    EXPECT_EQ(f.Field + 6, end);
    EXPECT_EQ('#', f.Field[7]);
}

TEST(CopyStringBounded, ZeroSizeWritesNothing) {
    GuardedField f;
    char* end = CopyStringBounded(f.Field, "Quadra", 0);
    EXPECT_EQ(f.Field, end);
    EXPECT_EQ('#', f.Field[0]);
}

// In Shift-JIS (code page 932) "\x82\xa0" is one character of two bytes: a
// cut at 39 bytes leaves out a character that would not fit whole, and so
// does a lead byte whose trail byte is missing.
TEST(CopyStringBounded, DoubleByteCharactersAreNeverCutInTwo) {
    const std::string wide = "\x82\xa0";
    std::string twenty;
    for (int i = 0; i < 20; ++i)
        twenty += wide;
    const struct {
        std::string name;
        std::string kept;
    } cases[] = {
        {twenty, twenty.substr(0, 38)},
        {"a" + twenty, "a" + twenty.substr(0, 38)},
        {"ab" + twenty, "ab" + twenty.substr(0, 36)},
        {"name\x82", "name"},
        {"\x82", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name.size());
        GuardedField f;
        char* end = CopyStringBounded(f.Field, c.name.c_str(), sizeof(f.Field), 932);
        EXPECT_EQ(c.kept, f.Field);
        EXPECT_EQ(f.Field + c.kept.size(), end);
        EXPECT_TRUE(f.GuardIntact());
    }
    // The same bytes in a single-byte code page are two characters each.
    GuardedField f;
    CopyStringBounded(f.Field, twenty.c_str(), sizeof(f.Field), 1252);
    EXPECT_EQ(twenty.substr(0, 39), f.Field);
}

TEST(CopyStringBounded, SizeOneOnlyTerminates) {
    GuardedField f;
    char* end = CopyStringBounded(f.Field, "Quadra", 1);
    EXPECT_EQ(f.Field, end);
    EXPECT_EQ('\0', f.Field[0]);
    EXPECT_EQ('#', f.Field[1]);
}

} // namespace
