// The string table, menus and accelerators as the program loads them.
#include "resource.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::string Loaded(UINT id) {
    char buffer[1024] = {};
    const int length = LoadStringA(GetModuleHandleA(nullptr), id, buffer, sizeof buffer);
    return std::string(buffer, length > 0 ? length : 0);
}

struct StringEntry {
    UINT id;
    const char* text;
};

const StringEntry kStrings[] = {
    {IDR_MAINFRAME, "IXO_CPL\n\nIXO_CPL\n\n\nIXOCPL.Document\nIXO_CPL Document"},
    {57344, "Orlaso_CPL"}, // the framework's application title
    {57345, "Ready"},      // the framework's idle status text
    {ID_HIDE, "Hide the control panel.\nHide"},
    {61205, "Devices"},
    {61206, "Settings"},
    {61207, "Input Channels"},
    {61208, "Output Channels"},
    {61210, "Streams"},
    {61212, "Device name"},
    {61213, "Serial number"},
    {61215, "Device(s) connected."},
    {61218, "Channel name"},
    {61219, "ASIO display name"},
    {61220, "Audio Out Plug"},
    {61221, "Audio In Plug"},
    {61222, "Synch Out Plug"},
    {61223, "Synch In Plug"},
    {61224, "samples"},
    {61225, "ms"},
    {61226, "AudioOutPlug"},
    {61227, "AudioInPlug"},
    {61228, "SynchOutPlug"},
    {61229, "SynchInPlug"},
    {61230, "connect failed"},
    {61231, "successfully connected"},
    {61232, "Isochronous stream number"},
    {61233, "connected"},
    {61234, "Tarnet Control Panel"},
    {61235, "Error code"},
    {61236, "Negative response for an FCP request."},
    {61237, "Bandwidth allocation failed."},
    {61238, "Channel allocation failed."},
    {61239, "ISO resource allocation failed."},
    {61240, "Start streaming failed."},
    {61241, "Channel number has changed because of bus reset."},
    {61242, "Selected sampling rate not supported."},
    {61243, "Synchronisation"},
    {61244, "Devices"},
    {61245, "Current Synchronisation Source"},
    {61246, "Clk Master"},
    {61247, "PC Driver"},
    {61248, "Internal"},
    {61249, "External"},
    {61251, "CSP"},
    {61252, "SYT"},
    {61253, "SYT"},
    {61254, "External Clock"},
    {61255, "Digital Input"},
    {61256, "Unspecified"},
    {61257, "Mode"},
    {61258, "A WDM sound device is currently in use.\nSampling rate cannot be changed."},
    {61259, "Use Up and Down buttons to change device ranking and press Apply to store "
            "settings.\nDevice ranking defines the order of channels shown in ASIO hosts."},
    {61260, "Supported sampling rates (Hz): "},
    {61300, "(C) Orlaso. All rights reserved."}, // the about box's notice
};

TEST(StringTable, EveryEntryHasItsText) {
    for (const StringEntry& entry : kStrings)
        EXPECT_EQ(Loaded(entry.id), entry.text) << "string " << entry.id;
}

TEST(StringTable, NamedIdsMatchTheirNumbers) {
    EXPECT_EQ(Loaded(IDS_PAGE_SYNCHRONISATION), "Synchronisation");
    EXPECT_EQ(Loaded(IDS_ERR_BANDWIDTH_ALLOCATION), "Bandwidth allocation failed.");
    EXPECT_EQ(Loaded(IDS_ERR_CHANNEL_ALLOCATION), "Channel allocation failed.");
    EXPECT_EQ(Loaded(IDS_MODE_EXTERNAL_CLOCK), "External Clock");
    EXPECT_EQ(Loaded(IDS_MODE_DIGITAL_INPUT), "Digital Input");
    EXPECT_EQ(Loaded(IDS_COL_CLOCK_MASTER), "Clk Master");
}

TEST(StringTable, EveryMenuCommandHasAPromptAndATip) {
    for (UINT command : {ID_TRAY_OPEN, ID_TRAY_QUIT, ID_HIDE, ID_COPY_DIAGNOSTICS, 57664, 57665}) {
        const std::string prompt = Loaded(command);
        const size_t newline = prompt.find('\n');
        ASSERT_NE(newline, std::string::npos) << "command " << command;
        EXPECT_GT(newline, 0u) << "command " << command;
        EXPECT_LT(newline + 1, prompt.size()) << "command " << command;
    }
}

// A string as the block of one language holds it (UTF-8), or empty.
std::string LoadedIn(WORD language, UINT id) {
    HRSRC block =
        FindResourceExA(nullptr, MAKEINTRESOURCEA(6), MAKEINTRESOURCEA(id / 16 + 1), language);
    const WCHAR* entry =
        block ? static_cast<const WCHAR*>(LockResource(LoadResource(nullptr, block))) : nullptr;
    if (!entry)
        return "";
    for (UINT skipped = 0; skipped < id % 16; ++skipped)
        entry += *entry + 1;
    char text[1024] = {};
    WideCharToMultiByte(CP_UTF8, 0, entry + 1, *entry, text, sizeof text - 1, nullptr, nullptr);
    return text;
}

// Windows looks a block of sixteen strings up by language as a whole: a
// block with a German version holds nothing without one.
TEST(StringTable, TextsOfTheWaitHaveAGermanVersionInABlockOfTheirOwn) {
    const WORD english = MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US);
    const WORD german = MAKELANGID(LANG_GERMAN, SUBLANG_GERMAN);
    EXPECT_EQ("Waiting for the driver...", Loaded(IDS_WAITING_FOR_DRIVER));
    EXPECT_EQ("The driver is not responding.", Loaded(IDS_DRIVER_NOT_RESPONDING));
    EXPECT_EQ("Warten auf den Treiber...", LoadedIn(german, IDS_WAITING_FOR_DRIVER));
    EXPECT_EQ("Der Treiber antwortet nicht.", LoadedIn(german, IDS_DRIVER_NOT_RESPONDING));
    const UINT first = IDS_WAITING_FOR_DRIVER / 16 * 16;
    for (UINT id = first; id < first + 16; ++id)
        EXPECT_EQ(LoadedIn(english, id).empty(), LoadedIn(german, id).empty()) << "string " << id;
    EXPECT_EQ("not responding", Loaded(IDS_DIAG_NOT_RESPONDING)) << "the report stays English";
    // The report's texts have German versions too: it asks for English by language.
    EXPECT_EQ("antwortet nicht", LoadedIn(german, IDS_DIAG_NOT_RESPONDING));
}

TEST(StringTable, UnusedIdsStayEmpty) {
    EXPECT_EQ(Loaded(61250), "");
    EXPECT_EQ(Loaded(61211), "");
}

struct MenuItem {
    UINT id;
    std::string text;
};

std::string MenuText(HMENU menu, UINT position) {
    char text[128] = {};
    GetMenuStringA(menu, position, text, sizeof text, MF_BYPOSITION);
    return text;
}

std::vector<MenuItem> Items(HMENU popup) {
    std::vector<MenuItem> items;
    for (int i = 0; i < GetMenuItemCount(popup); ++i)
        items.push_back({GetMenuItemID(popup, i), MenuText(popup, i)});
    return items;
}

void ExpectItems(HMENU popup, const std::vector<MenuItem>& expected) {
    const std::vector<MenuItem> items = Items(popup);
    ASSERT_EQ(items.size(), expected.size());
    for (size_t i = 0; i < items.size(); ++i) {
        EXPECT_EQ(items[i].id, expected[i].id) << "item " << i;
        EXPECT_EQ(items[i].text, expected[i].text) << "item " << i;
    }
}

TEST(Menus, MainMenuHasFileAndInfo) {
    HMENU menu = LoadMenuA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDR_MAINFRAME));
    ASSERT_NE(menu, nullptr);
    ASSERT_EQ(GetMenuItemCount(menu), 2);
    EXPECT_EQ(MenuText(menu, 0), "&File");
    EXPECT_EQ(MenuText(menu, 1), "&Info");
    ExpectItems(GetSubMenu(menu, 0), {{ID_SAVE_SETUP, "&Save Setup..."},
                                      {ID_LOAD_SETUP, "&Load Setup..."},
                                      {0, ""},
                                      {32773, "&Close"},
                                      {57665, "&Quit"}});
    ExpectItems(GetSubMenu(menu, 1),
                {{ID_COPY_DIAGNOSTICS, "Copy &Diagnostics"}, {57664, "&About Orlaso_CPL..."}});
    DestroyMenu(menu);
}

TEST(Menus, TrayMenuOpensThenQuits) {
    HMENU menu = LoadMenuA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDR_TRAY_MENU));
    ASSERT_NE(menu, nullptr);
    ASSERT_EQ(GetMenuItemCount(menu), 1);
    EXPECT_EQ(MenuText(menu, 0), "0");
    ExpectItems(GetSubMenu(menu, 0), {{32771, "&Open"}, {32772, "&Quit"}});
    DestroyMenu(menu);
}

TEST(Accelerators, StockTableOfTheFrameworkThenThePageKeys) {
    HACCEL table = LoadAcceleratorsA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDR_MAINFRAME));
    ASSERT_NE(table, nullptr);
    ACCEL entries[32] = {};
    const int count = CopyAcceleratorTableA(table, entries, 32);
    const ACCEL expected[] = {
        {FVIRTKEY | FCONTROL, 'N', 57600},
        {FVIRTKEY | FCONTROL, 'O', 57601},
        {FVIRTKEY | FCONTROL, 'S', 57603},
        {FVIRTKEY | FCONTROL, 'Z', 57643},
        {FVIRTKEY | FCONTROL, 'X', 57635},
        {FVIRTKEY | FCONTROL, 'C', 57634},
        {FVIRTKEY | FCONTROL, 'V', 57637},
        {FVIRTKEY | FALT, VK_BACK, 57643},
        {FVIRTKEY | FSHIFT, VK_DELETE, 57635},
        {FVIRTKEY | FCONTROL, VK_INSERT, 57634},
        {FVIRTKEY | FSHIFT, VK_INSERT, 57637},
        {FVIRTKEY, VK_F6, 57680},
        {FVIRTKEY | FSHIFT, VK_F6, 57681},
        {FVIRTKEY | FCONTROL, VK_TAB, ID_NEXT_PAGE},
        {FVIRTKEY | FCONTROL | FSHIFT, VK_TAB, ID_PREV_PAGE},
        {FVIRTKEY | FCONTROL, VK_NEXT, ID_NEXT_PAGE},
        {FVIRTKEY | FCONTROL, VK_PRIOR, ID_PREV_PAGE},
    };
    ASSERT_EQ(count, static_cast<int>(sizeof expected / sizeof expected[0]));
    for (int i = 0; i < count; ++i) {
        // The last entry of a table carries an end marker in its flags.
        EXPECT_EQ(entries[i].fVirt & ~0x80, expected[i].fVirt) << "entry " << i;
        EXPECT_EQ(entries[i].key, expected[i].key) << "entry " << i;
        EXPECT_EQ(entries[i].cmd, expected[i].cmd) << "entry " << i;
    }
    DestroyAcceleratorTable(table);
}

} // namespace
