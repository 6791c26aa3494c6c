// Sarvent as the Control Panel sees it: loaded as a library and driven through its
// one export with the applet messages.
#include <windows.h>
#include <cpl.h>

#include "IconImage.h"
#include "LoadedApplet.h"
#include "VersionInfo.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

class Applet : public testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(applet_.Load(BesideThisProgram("Sarvent.cpl"))); }

    LONG Send(UINT message, LPARAM first = 0, LPARAM second = 0) {
        return applet_.Send(message, first, second);
    }

    LoadedApplet applet_;
};

TEST_F(Applet, InitSucceedsAndThereIsOneEntry) {
    EXPECT_EQ(Send(CPL_INIT), 1);
    EXPECT_EQ(Send(CPL_GETCOUNT), 1);
}

TEST_F(Applet, CountStaysOneWhateverCameBefore) {
    CPLINFO info = {};
    const UINT before[] = {CPL_GETCOUNT, CPL_INQUIRE, CPL_SELECT, CPL_STOP,
                           CPL_EXIT,     CPL_INIT,    0x7FFF};
    for (UINT message : before) {
        Send(message, 0, reinterpret_cast<LPARAM>(&info));
        EXPECT_EQ(Send(CPL_GETCOUNT), 1) << "after message " << message;
    }
}

TEST_F(Applet, InquireFillsEveryField) {
    CPLINFO info;
    std::memset(&info, 0xCC, sizeof info);
    EXPECT_EQ(Send(CPL_INQUIRE, 0, reinterpret_cast<LPARAM>(&info)), 0);
    EXPECT_EQ(info.idIcon, 101);
    EXPECT_EQ(info.idName, 1);
    EXPECT_EQ(info.idInfo, 2);
    EXPECT_EQ(info.lData, 0);
}

TEST_F(Applet, InquireWithoutARecordDoesNothing) {
    EXPECT_EQ(Send(CPL_INQUIRE, 0, 0), 0);
}

TEST_F(Applet, OtherMessagesAreIgnored) {
    NEWCPLINFOA info;
    std::memset(&info, 0xCC, sizeof info);
    const NEWCPLINFOA untouched = info;
    const UINT ignored[] = {CPL_SELECT, CPL_STOP, CPL_EXIT, CPL_NEWINQUIRE, 0, 9, 0xFFFF};
    for (UINT message : ignored)
        EXPECT_EQ(Send(message, 0, reinterpret_cast<LPARAM>(&info)), 0) << "message " << message;
    EXPECT_EQ(std::memcmp(&info, &untouched, sizeof info), 0);
}

// The names a library exports, read from its own export directory.
std::vector<std::string> ExportedNames(HMODULE module) {
    const BYTE* base = reinterpret_cast<const BYTE*>(module);
    const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
    const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
    const IMAGE_DATA_DIRECTORY& directory =
        nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_EXPORT];
    std::vector<std::string> names;
    if (directory.Size == 0)
        return names;
    const auto* exports =
        reinterpret_cast<const IMAGE_EXPORT_DIRECTORY*>(base + directory.VirtualAddress);
    const auto* nameOffsets = reinterpret_cast<const DWORD*>(base + exports->AddressOfNames);
    for (DWORD i = 0; i < exports->NumberOfNames; ++i)
        names.push_back(reinterpret_cast<const char*>(base + nameOffsets[i]));
    EXPECT_EQ(exports->NumberOfFunctions, exports->NumberOfNames) << "no export by number only";
    return names;
}

TEST_F(Applet, ExportsTheEntryPointOnly) {
    EXPECT_EQ(ExportedNames(applet_.Module()), std::vector<std::string>{"CPlApplet"});
}

std::string LoadedString(HMODULE module, UINT id) {
    char text[256] = {};
    const int length = LoadStringA(module, id, text, sizeof text);
    return std::string(text, length > 0 ? length : 0);
}

TEST_F(Applet, EntryTextsLiveInAGermanTable) {
    EXPECT_EQ(LoadedString(applet_.Module(), 1), "Orlaso Tarnet Audio");
    EXPECT_EQ(LoadedString(applet_.Module(), 2), "Orlaso Tarnet Control Panel");
    // Strings 1 and 2 share the first block of the table.
    const LPCSTR block = MAKEINTRESOURCEA(1);
    EXPECT_NE(FindResourceExA(applet_.Module(), MAKEINTRESOURCEA(6), block, MAKELANGID(0x07, 0x01)),
              nullptr);
    EXPECT_EQ(FindResourceExA(applet_.Module(), MAKEINTRESOURCEA(6), block, MAKELANGID(0x09, 0x01)),
              nullptr);
}

// The Control Panel shows the applet small (up to 200 per cent) or large (up to 150).
TEST_F(Applet, IconHasAnImageForEverySizeADpiAsksForIn16Colours) {
    HRSRC found = FindResourceExA(applet_.Module(), MAKEINTRESOURCEA(14), MAKEINTRESOURCEA(101),
                                  MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US));
    ASSERT_NE(found, nullptr);
    BYTE* group = static_cast<BYTE*>(LockResource(LoadResource(applet_.Module(), found)));
    WORD count = 0;
    std::memcpy(&count, group + 4, sizeof count);
    EXPECT_EQ(count, 6);
    for (int size : {16, 20, 24, 32, 40, 48}) {
        const int id = LookupIconIdFromDirectoryEx(group, TRUE, size, size, LR_DEFAULTCOLOR);
        HRSRC image = FindResourceA(applet_.Module(), MAKEINTRESOURCEA(id), MAKEINTRESOURCEA(3));
        ASSERT_NE(image, nullptr) << "size " << size;
        const IconImageShape shape =
            ShapeOfIconImage(LockResource(LoadResource(applet_.Module(), image)),
                             SizeofResource(applet_.Module(), image));
        EXPECT_EQ(shape.width, size);
        EXPECT_EQ(shape.bits, 4) << "size " << size;
    }
    // A bitmap and a PNG image.
    for (int size : {32, 48}) {
        HICON icon = static_cast<HICON>(LoadImageA(applet_.Module(), MAKEINTRESOURCEA(101),
                                                   IMAGE_ICON, size, size, LR_DEFAULTCOLOR));
        EXPECT_NE(icon, nullptr) << "size " << size;
        DestroyIcon(icon);
    }
}

TEST_F(Applet, VersionIs2_14_0_0) {
    std::vector<char> data = FileVersionInfo(BesideThisProgram("Sarvent.cpl"));
    ASSERT_FALSE(data.empty());
    const VS_FIXEDFILEINFO* fixed = FixedVersion(data);
    ASSERT_NE(nullptr, fixed);
    ExpectFixedVersion(*fixed, 2, 14, VFT_DLL);
    EXPECT_NE(FindResourceExA(applet_.Module(), MAKEINTRESOURCEA(16), MAKEINTRESOURCEA(1),
                              MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US)),
              nullptr);
}

} // namespace
