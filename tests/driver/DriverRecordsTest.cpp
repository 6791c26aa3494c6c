#include "DriverRecords.h"

#include <gtest/gtest.h>

#include <cstring>

TEST(FieldText, StopsAtTerminatorOrFieldEnd) {
    char field[4] = {'a', 'b', '\0', 'x'};
    EXPECT_EQ(FieldText(field), "ab");
    std::memset(field, 'z', sizeof field);
    EXPECT_EQ(FieldText(field), "zzzz");
}

TEST(ClampedCount, NeverExceedsCapacity) {
    DeviceList list{};
    EXPECT_EQ(ClampedCount(3, list.DeviceIds), 3u);
    EXPECT_EQ(ClampedCount(64, list.DeviceIds), 64u);
    EXPECT_EQ(ClampedCount(0xFFFFFFFFu, list.DeviceIds), 64u);
}
