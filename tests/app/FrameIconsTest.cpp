// The frame's icons at each DPI, and that a new set leaves no icon of the old one.
#include "FrameIcons.h"

#include "Dpi.h"

#include <gtest/gtest.h>

namespace {

// The width and height of an icon's image, or 0 for an icon that is gone.
SIZE IconSize(HICON icon) {
    ICONINFO info{};
    if (!icon || !::GetIconInfo(icon, &info))
        return {0, 0};
    BITMAP colour{};
    ::GetObjectA(info.hbmColor ? info.hbmColor : info.hbmMask, sizeof colour, &colour);
    ::DeleteObject(info.hbmColor);
    ::DeleteObject(info.hbmMask);
    return {colour.bmWidth, colour.bmHeight};
}

// Small 16 and large 32 pixels at 96 DPI, scaled by the DPI: the sizes the
// icons are drawn at, so none of them is scaled.
TEST(FrameIcons, AreLoadedAtTheSizesOfEachDpi) {
    for (UINT dpi : {96u, 120u, 144u, 192u}) {
        SCOPED_TRACE("DPI " + std::to_string(dpi));
        FrameIcons icons;
        icons.Load(::GetModuleHandleA(nullptr), dpi);
        const LONG smallSize = ScaleForDpi(16, dpi);
        const LONG bigSize = ScaleForDpi(32, dpi);
        EXPECT_EQ(smallSize, IconSize(icons.Small()).cx);
        EXPECT_EQ(smallSize, IconSize(icons.Small()).cy);
        EXPECT_EQ(smallSize, IconSize(icons.Warning()).cx);
        EXPECT_EQ(bigSize, IconSize(icons.Big()).cx);
        EXPECT_EQ(bigSize, IconSize(icons.Big()).cy);
        EXPECT_NE(icons.Small(), icons.Warning());
    }
}

TEST(FrameIcons, GiveUpTheOldIconsOnEveryChange) {
    const HINSTANCE resources = ::GetModuleHandleA(nullptr);
    FrameIcons shown;
    shown.Load(resources, 96);
    const HICON first[] = {shown.Small(), shown.Big(), shown.Warning()};
    // Loaded again: the first set is destroyed.
    shown.Load(resources, 144);
    for (HICON icon : first)
        EXPECT_EQ(0, IconSize(icon).cx);
    {
        // Swapped: the new set is shown, and the old one goes with the other object.
        FrameIcons next;
        next.Load(resources, 192);
        const HICON old = shown.Small();
        const HICON fresh = next.Small();
        shown.Swap(next);
        EXPECT_EQ(fresh, shown.Small());
        EXPECT_EQ(old, next.Small());
        EXPECT_EQ(24, IconSize(old).cx);
    }
    EXPECT_EQ(32, IconSize(shown.Small()).cx);
    const HICON last = shown.Small();
    shown.Destroy();
    EXPECT_EQ(nullptr, shown.Small());
    EXPECT_EQ(0, IconSize(last).cx);
}

} // namespace
