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

TEST(CopyStringBounded, SizeOneOnlyTerminates) {
    GuardedField f;
    char* end = CopyStringBounded(f.Field, "Quadra", 1);
    EXPECT_EQ(f.Field, end);
    EXPECT_EQ('\0', f.Field[0]);
    EXPECT_EQ('#', f.Field[1]);
}

} // namespace
