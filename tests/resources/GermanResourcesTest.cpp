// The German resources beside the English ones, read as Windows finds them by
// language: a German string block, dialog or menu replaces the English one as
// a whole, so each must hold everything the English one does.
#include "resource.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>
#include <vector>

namespace {

const WORD kEnglish = MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US);
const WORD kGerman = MAKELANGID(LANG_GERMAN, SUBLANG_GERMAN);

std::string Utf8(const std::wstring& text) {
    char buffer[2048] = {};
    WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), buffer,
                        sizeof buffer - 1, nullptr, nullptr);
    return buffer;
}

BOOL CALLBACK AddLanguage(HMODULE, LPCSTR, LPCSTR, WORD language, LONG_PTR found) {
    reinterpret_cast<std::set<WORD>*>(found)->insert(language);
    return TRUE;
}

BOOL CALLBACK AddName(HMODULE module, LPCSTR type, LPSTR name, LONG_PTR found) {
    // Every resource of the program has a number for a name.
    if (IS_INTRESOURCE(name)) {
        std::set<WORD> languages;
        EnumResourceLanguagesA(module, type, name, AddLanguage,
                               reinterpret_cast<LONG_PTR>(&languages));
        (*reinterpret_cast<std::map<UINT, std::set<WORD>>*>(found))[LOWORD(name)] = languages;
    }
    return TRUE;
}

// Each resource of a type, by number, with the languages it has.
std::map<UINT, std::set<WORD>> Resources(LPCSTR type) {
    std::map<UINT, std::set<WORD>> found;
    EnumResourceNamesA(GetModuleHandleA(nullptr), type, AddName,
                       reinterpret_cast<LONG_PTR>(&found));
    return found;
}

struct Bytes {
    const BYTE* data = nullptr;
    DWORD size = 0;
};

Bytes Resource(LPCSTR type, UINT name, WORD language) {
    HMODULE module = GetModuleHandleA(nullptr);
    HRSRC info = FindResourceExA(module, type, MAKEINTRESOURCEA(name), language);
    if (!info)
        return {};
    return {static_cast<const BYTE*>(LockResource(LoadResource(module, info))),
            SizeofResource(module, info)};
}

// The sixteen strings of a block; all empty when the language has none.
std::vector<std::wstring> Block(UINT block, WORD language) {
    std::vector<std::wstring> strings(16);
    const Bytes bytes = Resource(MAKEINTRESOURCEA(6), block, language);
    const WCHAR* entry = reinterpret_cast<const WCHAR*>(bytes.data);
    const WCHAR* end = entry + bytes.size / sizeof(WCHAR);
    for (int i = 0; entry && i < 16 && entry < end; ++i) {
        strings[i].assign(entry + 1, *entry);
        entry += 1 + *entry;
    }
    return strings;
}

// The conversions of a printf-style format in order ("%s", "%d", "%.2f"...);
// "%%" is a plain percent sign and not one of them.
std::vector<std::wstring> Placeholders(const std::wstring& text) {
    std::vector<std::wstring> found;
    for (size_t at = text.find(L'%'); at != std::wstring::npos; at = text.find(L'%', at)) {
        size_t end = at + 1;
        if (end < text.size() && text[end] == L'%') {
            at = end + 1;
            continue;
        }
        while (end < text.size() && wcschr(L"-+ #0123456789.*hlLzjtI", text[end]))
            ++end;
        found.push_back(text.substr(at, end + 1 - at));
        at = end + 1;
    }
    return found;
}

TEST(GermanStrings, EveryEnglishStringHasAGermanOne) {
    const auto blocks = Resources(MAKEINTRESOURCEA(6));
    ASSERT_GT(blocks.size(), 10u);
    for (const auto& block : blocks) {
        ASSERT_TRUE(block.second.count(kEnglish)) << "block " << block.first;
        ASSERT_TRUE(block.second.count(kGerman)) << "block " << block.first;
        const auto english = Block(block.first, kEnglish);
        const auto german = Block(block.first, kGerman);
        for (UINT i = 0; i < 16; ++i) {
            const UINT id = (block.first - 1) * 16 + i;
            EXPECT_EQ(english[i].empty(), german[i].empty())
                << "string " << id << ": \"" << Utf8(english[i]) << "\" / \"" << Utf8(german[i])
                << "\"";
        }
    }
}

TEST(GermanStrings, KeepThePlaceholdersOfTheEnglishOnesInOrder) {
    int formats = 0;
    for (const auto& block : Resources(MAKEINTRESOURCEA(6))) {
        const auto english = Block(block.first, kEnglish);
        const auto german = Block(block.first, kGerman);
        for (UINT i = 0; i < 16; ++i) {
            const auto wanted = Placeholders(english[i]);
            formats += !wanted.empty();
            EXPECT_EQ(Placeholders(german[i]), wanted)
                << "string " << (block.first - 1) * 16 + i << ": \"" << Utf8(german[i]) << "\"";
        }
    }
    EXPECT_GT(formats, 20) << "the formats with placeholders were found";
}

TEST(GermanStrings, PlaceholdersAreToldByKindAndOrder) {
    EXPECT_EQ(Placeholders(L"%s of %d"), (std::vector<std::wstring>{L"%s", L"%d"}));
    EXPECT_NE(Placeholders(L"%d of %s"), Placeholders(L"%s of %d"));
    EXPECT_EQ(Placeholders(L"100%% at %-5.2f %lu"), (std::vector<std::wstring>{L"%-5.2f", L"%lu"}));
    EXPECT_NE(Placeholders(L"%s"), Placeholders(L"%s %s"));
}

TEST(GermanStrings, KeepTheWindowTitleAndReadAsWritten) {
    const UINT block = IDS_MAIN_TITLE / 16 + 1;
    EXPECT_EQ(Block(block, kGerman)[IDS_MAIN_TITLE % 16], L"Tarnet Control Panel")
        << "a second start finds the running window by its title";
    // The script's octal escapes are code page 1252: \344 is "ä".
    EXPECT_EQ(Block(IDS_PAGE_DEVICES / 16 + 1, kGerman)[IDS_PAGE_DEVICES % 16], L"Ger\u00e4te");
}

// A dialog template (DLGTEMPLATEEX) read as far as the tests need it.
struct Control {
    DWORD id;
    DWORD style;
    DWORD exStyle;
    std::wstring className;
    std::wstring text;
};

struct Dialog {
    DWORD style = 0;
    std::wstring caption;
    WORD pointSize = 0;
    std::wstring face;
    std::vector<Control> controls;
};

// A name or number in a template: a string, or 0xFFFF and a number ("#n").
std::wstring NameOrNumber(const WORD*& at) {
    if (*at == 0xFFFF) {
        const std::wstring number = L"#" + std::to_wstring(at[1]);
        at += 2;
        return number;
    }
    std::wstring text(reinterpret_cast<const WCHAR*>(at));
    at += text.size() + 1;
    return text;
}

const WORD* DwordAligned(const WORD* at, const BYTE* start) {
    const size_t offset = reinterpret_cast<const BYTE*>(at) - start;
    return reinterpret_cast<const WORD*>(start + ((offset + 3) & ~size_t(3)));
}

Dialog ReadDialog(UINT id, WORD language) {
    Dialog dialog;
    const Bytes bytes = Resource(MAKEINTRESOURCEA(5), id, language);
    if (!bytes.data)
        return dialog;
    const WORD* at = reinterpret_cast<const WORD*>(bytes.data);
    EXPECT_EQ(at[1], 0xFFFF) << "dialog " << id << " is a DIALOGEX";
    const DWORD* header = reinterpret_cast<const DWORD*>(at + 2);
    dialog.style = header[2];
    const WORD count = *reinterpret_cast<const WORD*>(header + 3);
    at = reinterpret_cast<const WORD*>(header + 3) + 5; // count, x, y, cx, cy
    NameOrNumber(at);                                   // menu
    NameOrNumber(at);                                   // class
    dialog.caption = NameOrNumber(at);
    if (dialog.style & DS_SETFONT) {
        dialog.pointSize = at[0];
        at += 3; // point size, weight, italic and character set
        dialog.face = NameOrNumber(at);
    }
    for (WORD i = 0; i < count; ++i) {
        at = DwordAligned(at, bytes.data);
        const DWORD* item = reinterpret_cast<const DWORD*>(at);
        Control control{item[5], item[2], item[1], L"", L""};
        at = reinterpret_cast<const WORD*>(item + 6);
        control.className = NameOrNumber(at);
        control.text = NameOrNumber(at);
        at += 1 + *at / sizeof(WORD); // creation data
        dialog.controls.push_back(control);
    }
    return dialog;
}

TEST(GermanDialogs, EveryEnglishDialogHasAGermanOneWithTheSameControls) {
    const auto dialogs = Resources(MAKEINTRESOURCEA(5));
    ASSERT_GE(dialogs.size(), 12u);
    for (const auto& entry : dialogs) {
        SCOPED_TRACE("dialog " + std::to_string(entry.first));
        ASSERT_TRUE(entry.second.count(kEnglish));
        ASSERT_TRUE(entry.second.count(kGerman));
        const Dialog english = ReadDialog(entry.first, kEnglish);
        const Dialog german = ReadDialog(entry.first, kGerman);
        EXPECT_EQ(german.style, english.style);
        EXPECT_EQ(german.caption.empty(), english.caption.empty());
        ASSERT_EQ(german.controls.size(), english.controls.size());
        for (size_t i = 0; i < english.controls.size(); ++i) {
            const Control& wanted = english.controls[i];
            const Control& control = german.controls[i];
            EXPECT_EQ(control.id, wanted.id) << "control " << i;
            EXPECT_EQ(control.className, wanted.className) << "control " << i;
            EXPECT_EQ(control.style, wanted.style) << "control " << i;
            EXPECT_EQ(control.exStyle, wanted.exStyle) << "control " << i;
            EXPECT_EQ(control.text.empty(), wanted.text.empty()) << "control " << i;
        }
    }
}

// Only a template that asks for the shell font is drawn with the system's
// scalable dialog font at every DPI: "MS Sans Serif" is a bitmap font with
// no sizes for 144 DPI and up.
TEST(DialogFonts, EveryTemplateInEveryLanguageAsksForTheShellFontAtEightPoints) {
    for (const auto& entry : Resources(MAKEINTRESOURCEA(5))) {
        for (WORD language : entry.second) {
            SCOPED_TRACE("dialog " + std::to_string(entry.first) + ", language " +
                         std::to_string(language));
            const Dialog dialog = ReadDialog(entry.first, language);
            EXPECT_EQ(static_cast<DWORD>(DS_SHELLFONT), dialog.style & DS_SHELLFONT);
            EXPECT_EQ(8, dialog.pointSize);
            EXPECT_EQ(L"MS Shell Dlg", dialog.face);
        }
    }
}

// The letter after a single "&", upper case; 0 when there is none.
WCHAR Mnemonic(const std::wstring& text) {
    for (size_t at = 0; at + 1 < text.size(); ++at) {
        if (text[at] != L'&')
            continue;
        if (text[at + 1] != L'&')
            return static_cast<WCHAR>(reinterpret_cast<UINT_PTR>(
                CharUpperW(reinterpret_cast<LPWSTR>(static_cast<UINT_PTR>(text[at + 1])))));
        ++at;
    }
    return 0;
}

TEST(GermanDialogs, MnemonicsAreUniqueWithinEachDialog) {
    for (const auto& entry : Resources(MAKEINTRESOURCEA(5))) {
        for (WORD language : entry.second) {
            std::map<WCHAR, std::wstring> taken;
            for (const Control& control : ReadDialog(entry.first, language).controls) {
                const WCHAR letter = Mnemonic(control.text);
                if (letter && !taken.emplace(letter, control.text).second)
                    ADD_FAILURE() << "dialog " << entry.first << ", language " << language << ": \""
                                  << Utf8(control.text) << "\" and \"" << Utf8(taken[letter])
                                  << "\"";
            }
        }
    }
}

TEST(GermanDialogs, MnemonicIsTheLetterAfterASingleAmpersand) {
    EXPECT_EQ(Mnemonic(L"\u00dc&bernehmen"), L'B');
    EXPECT_EQ(Mnemonic(L"&\u00d6ffnen"), L'\u00d6');
    EXPECT_EQ(Mnemonic(L"Drum && &Bass"), L'B');
    EXPECT_EQ(Mnemonic(L"Drum && Bass"), 0);
}

// A menu as a tree: each item's id (0 for a popup or separator), whether it
// opens a popup, and its text.
struct MenuItem {
    UINT id;
    bool popup;
    std::wstring text;
    std::vector<MenuItem> items;
};

std::vector<MenuItem> Items(HMENU menu) {
    std::vector<MenuItem> items;
    for (int i = 0; i < GetMenuItemCount(menu); ++i) {
        WCHAR text[256] = {};
        MENUITEMINFOW info{};
        info.cbSize = sizeof info;
        info.fMask = MIIM_ID | MIIM_SUBMENU | MIIM_STRING | MIIM_FTYPE;
        info.dwTypeData = text;
        info.cch = 255;
        GetMenuItemInfoW(menu, i, TRUE, &info);
        items.push_back({info.hSubMenu ? 0 : info.wID, info.hSubMenu != nullptr, text,
                         info.hSubMenu ? Items(info.hSubMenu) : std::vector<MenuItem>()});
    }
    return items;
}

std::vector<MenuItem> ReadMenu(UINT id, WORD language) {
    const Bytes bytes = Resource(MAKEINTRESOURCEA(4), id, language);
    HMENU menu = bytes.data ? LoadMenuIndirectW(bytes.data) : nullptr;
    if (!menu)
        return {};
    std::vector<MenuItem> items = Items(menu);
    DestroyMenu(menu);
    return items;
}

void ExpectSameStructure(const std::vector<MenuItem>& german,
                         const std::vector<MenuItem>& english) {
    ASSERT_EQ(german.size(), english.size());
    for (size_t i = 0; i < english.size(); ++i) {
        SCOPED_TRACE("item " + std::to_string(i) + " \"" + Utf8(english[i].text) + "\"");
        EXPECT_EQ(german[i].id, english[i].id);
        EXPECT_EQ(german[i].popup, english[i].popup);
        EXPECT_EQ(german[i].text.empty(), english[i].text.empty());
        ExpectSameStructure(german[i].items, english[i].items);
    }
}

void ExpectUniqueMnemonics(const std::vector<MenuItem>& items) {
    std::map<WCHAR, std::wstring> taken;
    for (const MenuItem& item : items) {
        const WCHAR letter = Mnemonic(item.text);
        if (letter && !taken.emplace(letter, item.text).second)
            ADD_FAILURE() << "\"" << Utf8(item.text) << "\" and \"" << Utf8(taken[letter]) << "\"";
        ExpectUniqueMnemonics(item.items);
    }
}

TEST(GermanMenus, EveryEnglishMenuHasAGermanOneWithTheSameCommands) {
    const auto menus = Resources(MAKEINTRESOURCEA(4));
    ASSERT_GE(menus.size(), 2u);
    for (const auto& entry : menus) {
        SCOPED_TRACE("menu " + std::to_string(entry.first));
        ASSERT_TRUE(entry.second.count(kEnglish));
        ASSERT_TRUE(entry.second.count(kGerman));
        const auto english = ReadMenu(entry.first, kEnglish);
        ASSERT_FALSE(english.empty());
        ExpectSameStructure(ReadMenu(entry.first, kGerman), english);
    }
}

TEST(GermanMenus, MnemonicsAreUniqueWithinEachMenu) {
    for (const auto& entry : Resources(MAKEINTRESOURCEA(4)))
        for (WORD language : entry.second) {
            SCOPED_TRACE("menu " + std::to_string(entry.first) + ", language " +
                         std::to_string(language));
            ExpectUniqueMnemonics(ReadMenu(entry.first, language));
        }
}

TEST(GermanMenus, MainMenuReadsGerman) {
    const auto menu = ReadMenu(IDR_MAINFRAME, kGerman);
    ASSERT_EQ(menu.size(), 2u);
    EXPECT_EQ(menu[0].text, L"&Datei");
    ASSERT_EQ(menu[0].items.size(), 5u);
    EXPECT_EQ(menu[0].items[0].text, L"Konfiguration &speichern...");
    EXPECT_EQ(menu[0].items[4].text, L"&Beenden");
    ASSERT_EQ(menu[1].items.size(), 2u);
    EXPECT_EQ(menu[1].items[1].text, L"&Info \u00fcber Orlaso_CPL...");
}

} // namespace
