#include "UiActions.h"

#include "MessagePump.h"

#include <commctrl.h>

#include <cstring>
#include <vector>

namespace {

HWND ParentOf(HWND control) {
    return ::GetParent(control);
}

LPARAM AsLParam(HWND hWnd) {
    return reinterpret_cast<LPARAM>(hWnd);
}

} // namespace

void ClickButton(HWND parent, int id) {
    ::SendMessageA(parent, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                   AsLParam(::GetDlgItem(parent, id)));
}

void SetButtonCheck(HWND parent, int id, int state) {
    ::SendDlgItemMessageA(parent, id, BM_SETCHECK, static_cast<WPARAM>(state), 0);
    ClickButton(parent, id);
}

std::string ChildText(HWND parent, int id) {
    HWND child = ::GetDlgItem(parent, id);
    const int length = ::GetWindowTextLengthA(child);
    std::vector<char> buffer(static_cast<size_t>(length > 0 ? length : 0) + 1, '\0');
    ::GetWindowTextA(child, buffer.data(), static_cast<int>(buffer.size()));
    return std::string(buffer.data());
}

void SetChildText(HWND parent, int id, const std::string& text) {
    ::SetDlgItemTextA(parent, id, text.c_str());
}

std::string ListHeading(HWND list, int column) {
    char text[256] = "";
    LVCOLUMNA heading{};
    heading.mask = LVCF_TEXT | LVCF_WIDTH;
    heading.pszText = text;
    heading.cchTextMax = sizeof text;
    if (!::SendMessageA(list, LVM_GETCOLUMNA, static_cast<WPARAM>(column),
                        reinterpret_cast<LPARAM>(&heading)))
        return "(none)";
    return std::string(text) + "/" + std::to_string(heading.cx);
}

std::vector<std::string> ListHeadings(HWND list) {
    HWND header = reinterpret_cast<HWND>(::SendMessageA(list, LVM_GETHEADER, 0, 0));
    const int count = static_cast<int>(::SendMessageA(header, HDM_GETITEMCOUNT, 0, 0));
    std::vector<std::string> columns;
    for (int column = 0; column < count; ++column)
        columns.push_back(ListHeading(list, column));
    return columns;
}

DWORD ListExtendedStyle(HWND list) {
    return static_cast<DWORD>(::SendMessageA(list, LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0));
}

int ListRowCount(HWND list) {
    return static_cast<int>(::SendMessageA(list, LVM_GETITEMCOUNT, 0, 0));
}

std::string ListCellText(HWND list, int row, int column) {
    // As long as a serial number field, the longest text a cell shows.
    char text[1024] = "";
    LVITEMA item{};
    item.iSubItem = column;
    item.pszText = text;
    item.cchTextMax = sizeof text;
    ::SendMessageA(list, LVM_GETITEMTEXTA, static_cast<WPARAM>(row),
                   reinterpret_cast<LPARAM>(&item));
    return text;
}

int ListSelectedRow(HWND list) {
    return static_cast<int>(
        ::SendMessageA(list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
}

bool ListRowChecked(HWND list, int row) {
    return ListView_GetCheckState(list, row) != 0;
}

std::vector<std::string> ComboItemTexts(HWND combo) {
    std::vector<std::string> items;
    const int count = static_cast<int>(::SendMessageA(combo, CB_GETCOUNT, 0, 0));
    for (int index = 0; index < count; ++index) {
        char text[64] = "";
        ::SendMessageA(combo, CB_GETLBTEXT, static_cast<WPARAM>(index),
                       reinterpret_cast<LPARAM>(text));
        items.push_back(text);
    }
    return items;
}

int ComboSelection(HWND combo) {
    return static_cast<int>(::SendMessageA(combo, CB_GETCURSEL, 0, 0));
}

void SelectListRow(HWND list, int row) {
    LVITEMA item{};
    item.state = LVIS_SELECTED | LVIS_FOCUSED;
    item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    ::SendMessageA(list, LVM_SETITEMSTATE, static_cast<WPARAM>(row),
                   reinterpret_cast<LPARAM>(&item));
}

void CheckListRow(HWND list, int row, bool checked) {
    LVITEMA item{};
    item.state = INDEXTOSTATEIMAGEMASK(checked ? 2 : 1);
    item.stateMask = LVIS_STATEIMAGEMASK;
    ::SendMessageA(list, LVM_SETITEMSTATE, static_cast<WPARAM>(row),
                   reinterpret_cast<LPARAM>(&item));
}

LRESULT DoubleClickListRow(HWND list, int row) {
    NMITEMACTIVATE activate{};
    activate.hdr.hwndFrom = list;
    activate.hdr.idFrom = static_cast<UINT_PTR>(::GetDlgCtrlID(list));
    activate.hdr.code = NM_DBLCLK;
    activate.iItem = row;
    return ::SendMessageA(ParentOf(list), WM_NOTIFY, activate.hdr.idFrom,
                          reinterpret_cast<LPARAM>(&activate));
}

void SelectComboItem(HWND combo, int index) {
    ::SendMessageA(combo, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
    ::SendMessageA(ParentOf(combo), WM_COMMAND, MAKEWPARAM(::GetDlgCtrlID(combo), CBN_SELCHANGE),
                   AsLParam(combo));
}

void MoveTrackbar(HWND trackbar, int position, UINT code) {
    ::SendMessageA(trackbar, TBM_SETPOS, TRUE, position);
    ::SendMessageA(ParentOf(trackbar), WM_HSCROLL, MAKEWPARAM(code, static_cast<WORD>(position)),
                   AsLParam(trackbar));
}

void PressKey(HWND target, UINT virtualKey) {
    ::SetFocus(target);
    const LPARAM scanCode = static_cast<LPARAM>(::MapVirtualKeyA(virtualKey, 0)) << 16;
    ::PostMessageA(target, WM_KEYDOWN, virtualKey, scanCode | 1);
    ::PostMessageA(target, WM_KEYUP, virtualKey, scanCode | static_cast<LPARAM>(0xC0000001UL));
    PumpMessages();
}

namespace {

void HoldModifiers(unsigned modifiers) {
    BYTE state[256] = {};
    ::GetKeyboardState(state);
    const struct {
        unsigned flag;
        BYTE keys[3];
    } modifierKeys[] = {
        {kShift, {VK_SHIFT, VK_LSHIFT, VK_RSHIFT}},
        {kControl, {VK_CONTROL, VK_LCONTROL, VK_RCONTROL}},
        {kAlt, {VK_MENU, VK_LMENU, VK_RMENU}},
    };
    for (const auto& entry : modifierKeys) {
        for (BYTE key : entry.keys)
            state[key] = 0;
        if (modifiers & entry.flag) {
            state[entry.keys[0]] = 0x80;
            state[entry.keys[1]] = 0x80;
        }
    }
    ::SetKeyboardState(state);
}

} // namespace

void TypeKey(UINT virtualKey, unsigned modifiers) {
    HWND target = ::GetFocus();
    if (target == nullptr)
        target = ::GetActiveWindow();
    // With Alt held the keyboard sends system keys, with the context bit set.
    const bool alt = (modifiers & kAlt) != 0;
    const LPARAM scanCode = static_cast<LPARAM>(::MapVirtualKeyA(virtualKey, 0)) << 16;
    const LPARAM context = alt ? static_cast<LPARAM>(1) << 29 : 0;
    HoldModifiers(modifiers);
    ::PostMessageA(target, alt ? WM_SYSKEYDOWN : WM_KEYDOWN, virtualKey, scanCode | context | 1);
    PumpMessages();
    // The key comes up where the focus is now: a Tab has moved it on.
    target = ::GetFocus() != nullptr ? ::GetFocus() : ::GetActiveWindow();
    ::PostMessageA(target, alt ? WM_SYSKEYUP : WM_KEYUP, virtualKey,
                   scanCode | context | static_cast<LPARAM>(0xC0000001UL));
    PumpMessages();
    HoldModifiers(kNoModifier);
}

namespace {

struct OwnWindowSearch {
    const char* title;
    HWND found;
};

BOOL CALLBACK MatchOwnWindow(HWND window, LPARAM param) {
    auto* search = reinterpret_cast<OwnWindowSearch*>(param);
    DWORD process = 0;
    ::GetWindowThreadProcessId(window, &process);
    char text[256] = {};
    ::GetWindowTextA(window, text, sizeof text);
    if (process != ::GetCurrentProcessId() || std::strcmp(text, search->title) != 0)
        return TRUE;
    search->found = window;
    return FALSE;
}

} // namespace

HWND FindOwnWindow(const char* title) {
    OwnWindowSearch search{title, nullptr};
    ::EnumWindows(MatchOwnWindow, reinterpret_cast<LPARAM>(&search));
    return search.found;
}
