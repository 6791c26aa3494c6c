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

const char kName[] = "Orlaso Tarnet Audio";
const char kEnglishInfo[] = "Orlaso Tarnet Control Panel";
const char kGermanInfo[] = "Systemsteuerung f\xC3\xBCr Orlaso-Tarnet-Audioger\xC3\xA4te";

std::string Utf8(const WCHAR* text, int length) {
    char converted[512] = {};
    WideCharToMultiByte(CP_UTF8, 0, text, length, converted, sizeof converted - 1, nullptr,
                        nullptr);
    return converted;
}

// A string the way the Control Panel loads it: by id, in the user's language (UTF-8).
std::string LoadedString(HMODULE module, UINT id) {
    WCHAR text[256] = {};
    const int length = LoadStringW(module, id, text, 256);
    return Utf8(text, length > 0 ? length : 0);
}

// A string as the table of one language holds it (UTF-8), or empty when that language has
// no version of the string's block of sixteen.
std::string TableString(HMODULE module, WORD language, UINT id) {
    HRSRC block =
        FindResourceExA(module, MAKEINTRESOURCEA(6), MAKEINTRESOURCEA(id / 16 + 1), language);
    const WCHAR* entry =
        block ? static_cast<const WCHAR*>(LockResource(LoadResource(module, block))) : nullptr;
    if (!entry)
        return "";
    for (UINT skipped = 0; skipped < id % 16; ++skipped)
        entry += *entry + 1;
    return Utf8(entry + 1, *entry);
}

TEST_F(Applet, EntryTextsHaveAnEnglishAndAGermanTable) {
    const WORD english = MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US);
    const WORD german = MAKELANGID(LANG_GERMAN, SUBLANG_GERMAN);
    EXPECT_EQ(TableString(applet_.Module(), english, 1), kName);
    EXPECT_EQ(TableString(applet_.Module(), english, 2), kEnglishInfo);
    EXPECT_EQ(TableString(applet_.Module(), german, 1), kName) << "the product keeps its name";
    EXPECT_EQ(TableString(applet_.Module(), german, 2), kGermanInfo);
}

// The interface language this run is made under: ctest runs the entry's tests once more
// under a German and a French one and names it in DEMTREL_TEST_UI_LANGUAGE; English
// when it names none.
WORD LanguageOfThisRun() {
    char name[8] = {};
    GetEnvironmentVariableA("DEMTREL_TEST_UI_LANGUAGE", name, sizeof name);
    if (std::strcmp(name, "de") == 0)
        return LANG_GERMAN;
    if (std::strcmp(name, "fr") == 0)
        return LANG_FRENCH;
    return LANG_ENGLISH;
}

// What the Control Panel lists: the texts of the ids CPL_INQUIRE gives, in the user's
// language, and in English for a language the applet has no table of.
TEST_F(Applet, EntryTextsFollowTheInterfaceLanguage) {
    const WORD language = LanguageOfThisRun();
    ASSERT_EQ(PRIMARYLANGID(GetUserDefaultUILanguage()), language)
        << "the run is not made under the interface language it names";
    CPLINFO info = {};
    EXPECT_EQ(Send(CPL_INQUIRE, 0, reinterpret_cast<LPARAM>(&info)), 0);
    EXPECT_EQ(LoadedString(applet_.Module(), info.idName), kName);
    EXPECT_EQ(LoadedString(applet_.Module(), info.idInfo),
              language == LANG_GERMAN ? kGermanInfo : kEnglishInfo);
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
