// The clipboard as the diagnostics command uses it.
#include "Clipboard.h"
#include "ClipboardProbe.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(Clipboard, TextIsPutThereAndAShortHoldByAnotherProgramIsWaitedFor) {
    ASSERT_TRUE(SetClipboardText(nullptr, "first"));
    EXPECT_EQ("first", ClipboardText());
    {
        ClipboardHolder holder(kClipboardWaitMs / 4);
        EXPECT_TRUE(SetClipboardText(nullptr, "after a moment"));
    }
    EXPECT_EQ("after a moment", ClipboardText());
    {
        ClipboardHolder holder(kClipboardWaitMs * 3);
        EXPECT_FALSE(SetClipboardText(nullptr, "never"));
    }
    EXPECT_EQ("after a moment", ClipboardText());
}

} // namespace
