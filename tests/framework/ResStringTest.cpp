// String-table access.
#include "ResString.h"

#include "TestResourceIds.h"

#include <gtest/gtest.h>

namespace {

TEST(LoadResString, ReturnsPresentEntriesWhole) {
    EXPECT_EQ(LoadResString(IDS_PRESENT), "Present text");
    EXPECT_EQ(LoadResString(IDS_OTHER_BLOCK), "Other block");
    EXPECT_EQ(LoadResString(ID_TEST_THING), "Do the thing.\nThing");
    const std::string longText = LoadResString(IDS_LONG);
    ASSERT_EQ(longText.size(), 1501u);
    EXPECT_EQ(longText.front(), 'L');
    EXPECT_EQ(longText.substr(1491), "0123456789");
}

TEST(LoadResString, MissingEntriesAreEmpty) {
    // Missing in a block that exists, in a block that does not, and the
    // neighbours of present entries.
    EXPECT_EQ(LoadResString(IDS_EMPTY_NEIGHBOUR), "");
    EXPECT_EQ(LoadResString(IDS_PRESENT - 1), "");
    EXPECT_EQ(LoadResString(5000), "");
    EXPECT_EQ(LoadResString(0), "");
    EXPECT_EQ(LoadResString(0xFFFF), "");
}

} // namespace
