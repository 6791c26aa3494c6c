// Icons, manifest and version block of the program's resources.
#include "IconImage.h"
#include "VersionInfo.h"
#include "resource.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <iterator>
#include <string>
#include <vector>

namespace {

const BYTE* ResourceBits(LPCSTR name, LPCSTR type, DWORD* size = nullptr) {
    HMODULE module = GetModuleHandleA(nullptr);
    HRSRC found = FindResourceA(module, name, type);
    if (!found)
        return nullptr;
    if (size)
        *size = SizeofResource(module, found);
    return static_cast<const BYTE*>(LockResource(LoadResource(module, found)));
}

WORD ImageCount(const BYTE* group) {
    WORD count = 0;
    std::memcpy(&count, group + 4, sizeof count);
    return count;
}

// The image of a group that the system picks for the given size.
const BITMAPINFOHEADER* ImageFor(const BYTE* group, int size, DWORD* bytes = nullptr) {
    const int id =
        LookupIconIdFromDirectoryEx(const_cast<BYTE*>(group), TRUE, size, size, LR_DEFAULTCOLOR);
    if (id == 0)
        return nullptr;
    return reinterpret_cast<const BITMAPINFOHEADER*>(
        ResourceBits(MAKEINTRESOURCEA(id), MAKEINTRESOURCEA(3), bytes)); // RT_ICON
}

// A 32-bit image by its alpha channel, a 16-colour one by its mask, whose
// rows of bits are padded to four bytes.
bool FullyOpaque(const BITMAPINFOHEADER* image) {
    const LONG size = image->biWidth;
    const BYTE* pixels = reinterpret_cast<const BYTE*>(image) + image->biSize;
    if (image->biBitCount == 32) {
        for (LONG i = 0; i < size * size; ++i)
            if (pixels[4 * i + 3] != 255)
                return false;
        return true;
    }
    const LONG colourRow = (size * image->biBitCount / 8 + 3) / 4 * 4;
    const LONG maskRow = (size / 8 + 3) / 4 * 4;
    const BYTE* mask = pixels + 16 * 4 + colourRow * size; // after a 16-entry palette
    for (LONG row = 0; row < size; ++row)
        for (LONG byte = 0; byte < size / 8; ++byte)
            if (mask[row * maskRow + byte] != 0)
                return false;
    return true;
}

struct IconKind {
    UINT id;
    WORD bits; // the page tree keeps 16 colours; the others go on task bars
};

const IconKind kIcons[] = {
    {IDR_MAINFRAME, 32},   {IDI_TRAY_WARNING, 32}, {IDI_PAGE_GENERAL, 4},
    {IDI_PAGE_DEVICES, 4}, {IDI_PAGE_SETTINGS, 4}, {IDI_PAGE_CHANNELS, 4},
    {IDI_PAGE_STREAMS, 4}, {IDI_PAGE_SYNCH, 4},    {IDI_PAGE_DROPOUTS, 4},
};

// Small icons at 100, 125, 150 and 200 per cent, large ones at 100, 125 and 150:
// each DPI finds its own image rather than one the system scales.
constexpr int kSizes[] = {16, 20, 24, 32, 40, 48};

// Images of 40 and 48 pixels are PNG, of the icon's colours; the smaller ones
// are bitmaps, readable by every part of the system.
TEST(Icons, EachHoldsAnImageForEverySizeADpiAsksFor) {
    for (const auto& [id, bits] : kIcons) {
        const BYTE* group = ResourceBits(MAKEINTRESOURCEA(id), MAKEINTRESOURCEA(14)); // group
        ASSERT_NE(group, nullptr) << "icon " << id;
        EXPECT_EQ(ImageCount(group), std::size(kSizes)) << "icon " << id;
        for (int size : kSizes) {
            DWORD bytes = 0;
            const BITMAPINFOHEADER* image = ImageFor(group, size, &bytes);
            ASSERT_NE(image, nullptr) << "icon " << id << " size " << size;
            const IconImageShape shape = ShapeOfIconImage(image, bytes);
            EXPECT_EQ(shape.width, size) << "icon " << id;
            EXPECT_EQ(shape.height, size) << "icon " << id;
            EXPECT_EQ(shape.bits, bits) << "icon " << id << " size " << size;
            EXPECT_EQ(shape.png, size >= 40) << "icon " << id << " size " << size;
        }
    }
}

// What the system makes of each image: an icon of the size asked for, with
// the transparent corners of the program's icons kept (PNG images included).
TEST(Icons, LoadAtEverySizeWithTheirTransparency) {
    for (const auto& [id, bits] : kIcons) {
        for (int size : kSizes) {
            SCOPED_TRACE("icon " + std::to_string(id) + " size " + std::to_string(size));
            HICON icon =
                static_cast<HICON>(::LoadImageA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(id),
                                                IMAGE_ICON, size, size, LR_DEFAULTCOLOR));
            ASSERT_NE(icon, nullptr);
            ICONINFO info{};
            ASSERT_TRUE(::GetIconInfo(icon, &info));
            BITMAP colour{};
            ASSERT_TRUE(::GetObjectA(info.hbmColor, sizeof colour, &colour));
            EXPECT_EQ(colour.bmWidth, size);
            EXPECT_EQ(colour.bmHeight, size);
            // The mask's top left bit: set where the icon lets the background through.
            HDC dc = ::CreateCompatibleDC(nullptr);
            HGDIOBJ old = ::SelectObject(dc, info.hbmMask);
            const bool cornerShowsThrough = ::GetPixel(dc, 0, 0) != RGB(0, 0, 0);
            ::SelectObject(dc, old);
            ::DeleteDC(dc);
            EXPECT_EQ(cornerShowsThrough, bits == 32);
            ::DeleteObject(info.hbmColor);
            ::DeleteObject(info.hbmMask);
            ::DestroyIcon(icon);
        }
    }
}

// The application object loads the program's icon at the icon's own size, the
// first image of the group, and hands it to code that expects 32 pixels.
TEST(Icons, LoadAtTheirOwnSize) {
    HICON icon =
        static_cast<HICON>(LoadImageA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDR_MAINFRAME),
                                      IMAGE_ICON, 0, 0, LR_DEFAULTCOLOR));
    ASSERT_NE(icon, nullptr);
    ICONINFO info{};
    ASSERT_TRUE(::GetIconInfo(icon, &info));
    BITMAP colour{};
    ::GetObjectA(info.hbmColor, sizeof colour, &colour);
    EXPECT_EQ(colour.bmWidth, 32);
    ::DeleteObject(info.hbmColor);
    ::DeleteObject(info.hbmMask);
    DestroyIcon(icon);
}

// The page tree's image list has no mask, so its icons must not rely on transparency;
// the application's icons sit on task bars and caption bars and must.
TEST(Icons, TreeIconsAreOpaqueAndTheAppIconsAreNot) {
    for (const auto& [id, bits] : kIcons) {
        const BYTE* group = ResourceBits(MAKEINTRESOURCEA(id), MAKEINTRESOURCEA(14));
        ASSERT_NE(group, nullptr);
        const BITMAPINFOHEADER* image = ImageFor(group, 16);
        ASSERT_NE(image, nullptr);
        EXPECT_EQ(FullyOpaque(image), bits == 4) << "icon " << id;
    }
}

TEST(Manifest, AsksForCommonControlsSixAndPerMonitorDpiAwareness) {
    DWORD size = 0;
    const BYTE* bits = ResourceBits(MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(24), &size);
    ASSERT_NE(bits, nullptr);
    const std::string manifest(reinterpret_cast<const char*>(bits), size);
    EXPECT_NE(manifest.find("Microsoft.Windows.Common-Controls"), std::string::npos);
    EXPECT_NE(manifest.find("version=\"6.0.0.0\""), std::string::npos);
    EXPECT_NE(manifest.find(">true</dpiAware>"), std::string::npos);
    EXPECT_NE(manifest.find(">PerMonitorV2, System</dpiAwareness>"), std::string::npos);
}

std::vector<char> OwnVersionInfo() {
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    return FileVersionInfo(path);
}

std::string VersionString(std::vector<char>& info, const char* name) {
    char* value = nullptr;
    UINT length = 0;
    const std::string path = std::string("\\StringFileInfo\\040904E4\\") + name;
    if (!VerQueryValueA(info.data(), path.c_str(), reinterpret_cast<void**>(&value), &length))
        return "";
    return value;
}

TEST(Version, FileAndProductAre2_14_0_0) {
    std::vector<char> info = OwnVersionInfo();
    ASSERT_FALSE(info.empty());
    const VS_FIXEDFILEINFO* fixed = FixedVersion(info);
    ASSERT_NE(nullptr, fixed);
    ExpectFixedVersion(*fixed, 2, 14, VFT_APP);
    EXPECT_EQ(VersionString(info, "FileVersion"), "2.14.0.0");
    EXPECT_EQ(VersionString(info, "ProductVersion"), "2.14.0.0");
    EXPECT_EQ(VersionString(info, "OriginalFilename"), "Demtrel.exe");
    EXPECT_EQ(VersionString(info, "CompanyName"), "Orlaso");
}

} // namespace
