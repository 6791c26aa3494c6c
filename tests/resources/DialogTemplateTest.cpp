// Every dialog template, created as the program creates it: controls with their
// ids, classes, texts, positions and sizes, and a layout where nothing overlaps
// and no text is cut off.
#include "resource.h"

#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

struct ControlLayout {
    int id;
    const char* className;
    const char* text; // nullptr: not checked
    RECT units;       // left, top, width, height in dialog units
};

struct DialogLayout {
    UINT id;
    const char* caption;
    bool page;
    LONG width;
    LONG height;
    size_t controlCount; // including the controls without an id
    std::vector<ControlLayout> controls;
};

const char kButton[] = "Button";
const char kStatic[] = "Static";
const char kEdit[] = "Edit";
const char kList[] = "SysListView32";
const char kSlider[] = "msctls_trackbar32";

const std::vector<DialogLayout>& Dialogs() {
    static const std::vector<DialogLayout> dialogs = {
        {IDD_ABOUTBOX,
         "About Orlaso_CPL",
         false,
         233,
         58,
         3,
         {{IDC_ABOUT_TEXT, kStatic, "", {40, 15, 128, 31}},
          {IDOK, kButton, "OK", {176, 7, 50, 14}}}},
        {IDD_MAIN_FORM,
         "",
         true,
         450,
         239,
         4,
         {{IDC_PAGE_TREE, "SysTreeView32", "", {7, 7, 80, 225}}}},
        {IDD_PAGE_BUFFERS,
         "",
         true,
         350,
         238,
         17,
         {{IDC_STREAMING_GROUP, kButton, "Isochronous Streaming", {7, 7, 336, 64}},
          {IDC_STREAM_BUFFER_LABEL, kStatic, "&Stream buffer depth:", {24, 26, 206, 8}},
          {IDC_STREAM_BUFFER_SLIDER, kSlider, "", {24, 35, 206, 25}},
          {IDC_STREAM_BUFFER_VALUE, kStatic, "0 ms", {238, 43, 48, 17}},
          {IDC_APPLY_STREAM_BUFFER, kButton, "Apply", {296, 39, 38, 15}},
          {IDC_ASIO_BUFFER_LABEL, kStatic, "&ASIO buffer depth:", {24, 95, 206, 8}},
          {IDC_ASIO_BUFFER_SLIDER, kSlider, "", {24, 104, 206, 24}},
          {IDC_ASIO_BUFFER_VALUE, kStatic, "0 ms\n0 samples", {238, 108, 48, 17}},
          {IDC_APPLY_ASIO_BUFFER, kButton, "Apply", {296, 106, 38, 14}},
          {IDC_WDM_BUFFER_LABEL, kStatic, "&WDM sound buffer depth:", {24, 143, 206, 8}},
          {IDC_WDM_BUFFER_SLIDER, kSlider, "", {24, 152, 206, 22}},
          {IDC_WDM_BUFFER_VALUE, kStatic, "0 ms\n0 samples", {238, 156, 48, 18}},
          {IDC_APPLY_WDM_BUFFER, kButton, "Apply", {296, 151, 38, 16}},
          {IDC_DROPOUTS, kStatic, "", {105, 212, 51, 8}}}},
        {IDD_PAGE_DEVICES,
         "",
         true,
         350,
         238,
         7,
         {{IDC_DEVICE_LIST, kList, "", {7, 7, 306, 135}},
          {IDC_EDIT_DEVICE_NAME, kButton, "&Edit Device Name", {7, 148, 100, 14}},
          {IDC_DEVICE_UP, kButton, "&Up", {319, 54, 24, 14}},
          {IDC_DEVICE_DOWN, kButton, "&Down", {319, 75, 24, 14}},
          {IDC_RANKING_HINT, kStatic, "Static", {19, 182, 294, 21}},
          {IDC_APPLY_RANKING, kButton, "&Apply", {283, 216, 60, 15}}}},
        {IDD_PAGE_CHANNELS,
         "",
         true,
         350,
         238,
         6,
         {{IDC_CHANNEL_LIST_LABEL, kStatic, "Channels", {7, 7, 336, 8}},
          {IDC_CHANNEL_LIST, kList, "", {7, 7, 336, 184}},
          {IDC_EDIT_CHANNEL_NAME, kButton, "&Edit Channel Name", {127, 194, 82, 14}},
          {IDC_INCLUDE_DEVICE_NAME,
           kButton,
           "I&nclude device name in\nASIO display name",
           {233, 193, 110, 17}},
          {IDC_HARDWARE_NAME_LABEL,
           kStatic,
           "&Hardware name of selected channel:",
           {7, 218, 120, 8}},
          {IDC_HARDWARE_NAME, kEdit, "", {127, 216, 144, 12}}}},
        {IDD_EDIT_DEVICE_NAME,
         "Edit Device Name",
         false,
         152,
         61,
         4,
         {{IDOK, kButton, "OK", {7, 40, 50, 14}},
          {IDCANCEL, kButton, "Cancel", {95, 40, 50, 14}},
          {IDC_DEVICE_NAME_LABEL, kStatic, "Device name", {7, 6, 138, 8}},
          {IDC_DEVICE_NAME_EDIT, kEdit, "", {7, 18, 138, 12}}}},
        {IDD_EDIT_CHANNEL_NAME,
         "Edit Channel Name",
         false,
         152,
         61,
         4,
         {{IDOK, kButton, "OK", {7, 40, 50, 14}},
          {IDCANCEL, kButton, "Cancel", {95, 40, 50, 14}},
          {IDC_CHANNEL_NAME_LABEL, kStatic, "Channel name", {7, 7, 138, 8}},
          {IDC_CHANNEL_NAME_EDIT, kEdit, "", {7, 18, 138, 12}}}},
        {IDD_PAGE_STREAMS,
         "",
         true,
         350,
         239,
         3,
         {{IDC_STREAM_LIST, kList, "", {7, 7, 336, 85}},
          {IDC_STREAM_DETAILS, kStatic, "", {7, 121, 336, 111}}}},
        {IDD_PAGE_SAMPLING_RATE,
         "",
         true,
         350,
         238,
         9,
         {{IDC_SYNCH_LIST, kList, "", {13, 21, 324, 74}},
          {IDC_CHANGE_SYNCH_MODE, kButton, "Change Synchronisation &Mode", {14, 101, 115, 14}},
          {IDC_APPLY_SYNCH, kButton, "&Apply", {277, 141, 60, 15}},
          {IDC_RATE_MANUAL, kButton, "Sampling rate is set ma&nually", {21, 129, 106, 10}},
          {IDC_RATE_AUTOMATIC,
           kButton,
           "Sampling rate is set au&tomatically as defined by the clock master",
           {21, 143, 222, 10}},
          {IDC_SAMPLING_RATE_COMBO, "ComboBox", nullptr, {29, 196, 134, 0}},
          {IDC_APPLY_SAMPLING_RATE, kButton, "A&pply", {277, 198, 60, 15}}}},
        {IDD_SYNCH_MODE,
         "Device Synchronisation Mode",
         false,
         224,
         122,
         3,
         {{IDOK, kButton, "OK", {25, 101, 50, 14}},
          {IDCANCEL, kButton, "Cancel", {112, 101, 50, 14}},
          {IDC_SYNCH_LIST, kList, "", {7, 7, 210, 85}}}},
    };
    return dialogs;
}

INT_PTR CALLBACK PlainDialogProc(HWND, UINT message, WPARAM, LPARAM) {
    return message == WM_INITDIALOG;
}

std::string Text(HWND window) {
    char text[512] = {};
    GetWindowTextA(window, text, sizeof text);
    return text;
}

std::string ClassOf(HWND window) {
    char name[64] = {};
    GetClassNameA(window, name, sizeof name);
    return name;
}

LONG_PTR Style(HWND window) {
    return GetWindowLongPtrA(window, GWL_STYLE);
}

// The dialog manager may turn a control's WS_BORDER into a sunken client edge.
LONG_PTR StyleWithBorder(HWND window) {
    const bool edge = (GetWindowLongPtrA(window, GWL_EXSTYLE) & WS_EX_CLIENTEDGE) != 0;
    return Style(window) | (edge ? WS_BORDER : 0);
}

RECT RectIn(HWND dialog, HWND control) {
    RECT rect;
    GetWindowRect(control, &rect);
    MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

std::vector<HWND> Children(HWND dialog) {
    std::vector<HWND> children;
    for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        children.push_back(child);
    return children;
}

// A hidden label only names the control after it for screen readers: it
// takes no room on screen.
std::vector<HWND> ShownChildren(HWND dialog) {
    std::vector<HWND> shown;
    for (HWND child : Children(dialog))
        if (Style(child) & WS_VISIBLE)
            shown.push_back(child);
    return shown;
}

bool IsGroupBox(HWND control) {
    return ClassOf(control) == kButton && (Style(control) & BS_TYPEMASK) == BS_GROUPBOX;
}

bool Contains(const RECT& outer, const RECT& inner) {
    return inner.left >= outer.left && inner.right <= outer.right && inner.top >= outer.top &&
           inner.bottom <= outer.bottom;
}

// The size a control's text needs, drawn in the control's font within the given width.
SIZE TextNeeds(HWND control, LONG width, UINT format) {
    HDC dc = GetDC(control);
    HGDIOBJ old =
        SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageA(control, WM_GETFONT, 0, 0)));
    const std::string text = Text(control);
    RECT rect = {0, 0, width, 0};
    DrawTextA(dc, text.c_str(), -1, &rect, format | DT_CALCRECT);
    SelectObject(dc, old);
    ReleaseDC(control, dc);
    return {rect.right, rect.bottom};
}

// Room for the text beside a check box or radio button of the given width.
LONG TextRoomBesideMark(LONG width) {
    return width - GetSystemMetrics(SM_CXMENUCHECK) - 4;
}

void ExpectTextFits(HWND control) {
    RECT client;
    GetClientRect(control, &client);
    const std::string name = ClassOf(control);
    const LONG_PTR style = Style(control);
    const std::string label =
        "control " + std::to_string(GetDlgCtrlID(control)) + " \"" + Text(control) + "\"";
    if (Text(control).empty())
        return;
    if (name == kStatic) {
        const UINT wrap = (style & SS_TYPEMASK) == SS_LEFTNOWORDWRAP ? 0 : DT_WORDBREAK;
        // A label draws "&" as the underline of the next letter unless told not to.
        const UINT prefix = (style & SS_NOPREFIX) ? DT_NOPREFIX : 0;
        const SIZE needs = TextNeeds(control, client.right, wrap | prefix);
        EXPECT_LE(needs.cx, client.right) << label;
        EXPECT_LE(needs.cy, client.bottom) << label;
        return;
    }
    if (name != kButton)
        return;
    const LONG_PTR type = style & BS_TYPEMASK;
    if (type == BS_GROUPBOX) {
        EXPECT_LE(TextNeeds(control, client.right, DT_SINGLELINE).cx + 16, client.right) << label;
    } else if (type == BS_AUTOCHECKBOX || type == BS_AUTORADIOBUTTON) {
        const LONG room = TextRoomBesideMark(client.right);
        const UINT wrap = (style & BS_MULTILINE) ? DT_WORDBREAK : DT_SINGLELINE;
        const SIZE needs = TextNeeds(control, room, wrap);
        EXPECT_LE(needs.cx, room) << label;
        EXPECT_LE(needs.cy, client.bottom) << label;
    } else {
        EXPECT_LE(TextNeeds(control, client.right, DT_SINGLELINE).cx + 6, client.right) << label;
    }
}

class DialogTemplates : public testing::Test {
protected:
    static void SetUpTestSuite() {
        INITCOMMONCONTROLSEX classes = {sizeof classes, ICC_LISTVIEW_CLASSES |
                                                            ICC_TREEVIEW_CLASSES | ICC_BAR_CLASSES |
                                                            ICC_STANDARD_CLASSES};
        InitCommonControlsEx(&classes);
    }

    void SetUp() override {
        host_ = CreateWindowExA(0, "Static", "host", WS_OVERLAPPEDWINDOW, 0, 0, 800, 600, nullptr,
                                nullptr, nullptr, nullptr);
        ASSERT_NE(host_, nullptr);
    }

    void TearDown() override { DestroyWindow(host_); }

    HWND Create(const DialogLayout& layout) {
        return CreateDialogParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(layout.id),
                                  layout.page ? host_ : nullptr, PlainDialogProc, 0);
    }

    HWND host_ = nullptr;
};

// Dialog units to pixels, each of left, top, width and height on its own, as the
// dialog manager converts them.
RECT Pixels(HWND dialog, const RECT& units) {
    RECT pixels = units;
    MapDialogRect(dialog, &pixels);
    return pixels;
}

TEST_F(DialogTemplates, HaveTheirCaptionsSizesAndFrames) {
    for (const DialogLayout& layout : Dialogs()) {
        HWND dialog = Create(layout);
        ASSERT_NE(dialog, nullptr) << "dialog " << layout.id;
        EXPECT_EQ(Text(dialog), layout.caption) << "dialog " << layout.id;
        const LONG_PTR style = Style(dialog);
        EXPECT_EQ((style & WS_CHILD) != 0, layout.page) << "dialog " << layout.id;
        EXPECT_EQ((style & WS_CAPTION) == WS_CAPTION, !layout.page) << "dialog " << layout.id;
        EXPECT_EQ(style & (WS_BORDER | WS_THICKFRAME), layout.page ? 0 : WS_BORDER)
            << "dialog " << layout.id;
        const bool systemMenu = layout.id != IDD_EDIT_DEVICE_NAME && !layout.page;
        EXPECT_EQ((style & WS_SYSMENU) != 0, systemMenu) << "dialog " << layout.id;
        RECT client;
        GetClientRect(dialog, &client);
        const RECT expected = Pixels(dialog, {0, 0, layout.width, layout.height});
        EXPECT_EQ(client.right, expected.right) << "dialog " << layout.id;
        EXPECT_EQ(client.bottom, expected.bottom) << "dialog " << layout.id;
        DestroyWindow(dialog);
    }
}

TEST_F(DialogTemplates, ControlsHaveTheirIdsClassesTextsAndPlaces) {
    for (const DialogLayout& layout : Dialogs()) {
        HWND dialog = Create(layout);
        ASSERT_NE(dialog, nullptr) << "dialog " << layout.id;
        EXPECT_EQ(Children(dialog).size(), layout.controlCount) << "dialog " << layout.id;
        for (const ControlLayout& control : layout.controls) {
            const std::string where =
                "dialog " + std::to_string(layout.id) + " control " + std::to_string(control.id);
            HWND window = GetDlgItem(dialog, control.id);
            ASSERT_NE(window, nullptr) << where;
            EXPECT_STRCASEEQ(ClassOf(window).c_str(), control.className) << where;
            const std::string text = Text(window);
            EXPECT_EQ(text, control.text ? control.text : text) << where;
            const RECT actual = RectIn(dialog, window);
            const RECT expected = Pixels(dialog, control.units);
            EXPECT_EQ(actual.left, expected.left) << where;
            EXPECT_EQ(actual.top, expected.top) << where;
            EXPECT_EQ(actual.right - actual.left, expected.right) << where;
            // A drop-down list shows its closed height.
            const LONG height = actual.bottom - actual.top;
            EXPECT_EQ(height, control.units.bottom != 0 ? expected.bottom : height) << where;
        }
        DestroyWindow(dialog);
    }
}

TEST_F(DialogTemplates, ControlsDoNotOverlapOutsideTheirGroups) {
    for (const DialogLayout& layout : Dialogs()) {
        HWND dialog = Create(layout);
        ASSERT_NE(dialog, nullptr);
        const std::vector<HWND> children = ShownChildren(dialog);
        for (size_t i = 0; i < children.size(); ++i) {
            for (size_t j = i + 1; j < children.size(); ++j) {
                const RECT a = RectIn(dialog, children[i]);
                const RECT b = RectIn(dialog, children[j]);
                RECT common;
                if (!IntersectRect(&common, &a, &b))
                    continue;
                const bool grouped = (IsGroupBox(children[i]) && Contains(a, b)) ||
                                     (IsGroupBox(children[j]) && Contains(b, a));
                EXPECT_TRUE(grouped)
                    << "dialog " << layout.id << ": controls " << GetDlgCtrlID(children[i])
                    << " and " << GetDlgCtrlID(children[j]) << " overlap";
            }
        }
        DestroyWindow(dialog);
    }
}

TEST_F(DialogTemplates, NoTextIsCutOff) {
    for (const DialogLayout& layout : Dialogs()) {
        HWND dialog = Create(layout);
        ASSERT_NE(dialog, nullptr);
        for (HWND child : ShownChildren(dialog))
            ExpectTextFits(child);
        DestroyWindow(dialog);
    }
}

TEST_F(DialogTemplates, ListsTreeAndSlidersHaveTheirStyles) {
    struct ExpectedStyle {
        UINT dialog;
        int control;
        LONG_PTR required;
        LONG_PTR absent;
    };
    const ExpectedStyle styles[] = {
        {IDD_MAIN_FORM, IDC_PAGE_TREE, TVS_SHOWSELALWAYS | WS_BORDER | WS_TABSTOP,
         TVS_HASLINES | TVS_HASBUTTONS | TVS_LINESATROOT},
        {IDD_PAGE_DEVICES, IDC_DEVICE_LIST,
         LVS_REPORT | LVS_SINGLESEL | LVS_SHOWSELALWAYS | WS_BORDER | WS_TABSTOP, 0},
        {IDD_PAGE_CHANNELS, IDC_CHANNEL_LIST,
         LVS_REPORT | LVS_SINGLESEL | LVS_SHOWSELALWAYS | WS_BORDER | WS_TABSTOP, 0},
        {IDD_PAGE_STREAMS, IDC_STREAM_LIST, LVS_REPORT | LVS_SINGLESEL | WS_BORDER | WS_TABSTOP, 0},
        {IDD_PAGE_STREAMS, IDC_STREAM_DETAILS, SS_LEFTNOWORDWRAP | SS_SUNKEN | WS_GROUP, 0},
        {IDD_PAGE_SAMPLING_RATE, IDC_SYNCH_LIST,
         LVS_REPORT | LVS_SINGLESEL | LVS_SHOWSELALWAYS | LVS_NOSORTHEADER | WS_BORDER | WS_TABSTOP,
         0},
        {IDD_PAGE_SAMPLING_RATE, IDC_SAMPLING_RATE_COMBO, CBS_DROPDOWNLIST | WS_TABSTOP, CBS_SORT},
        {IDD_PAGE_SAMPLING_RATE, IDC_RATE_MANUAL, BS_AUTORADIOBUTTON | WS_GROUP | WS_TABSTOP, 0},
        {IDD_PAGE_SAMPLING_RATE, IDC_RATE_AUTOMATIC, BS_AUTORADIOBUTTON, WS_GROUP},
        {IDD_SYNCH_MODE, IDC_SYNCH_LIST, LVS_REPORT | LVS_NOSORTHEADER | WS_BORDER | WS_TABSTOP,
         LVS_SINGLESEL | LVS_SHOWSELALWAYS},
        {IDD_SYNCH_MODE, IDOK, BS_DEFPUSHBUTTON | WS_TABSTOP, 0},
        {IDD_PAGE_BUFFERS, IDC_STREAM_BUFFER_SLIDER, TBS_BOTH | TBS_AUTOTICKS | WS_TABSTOP,
         TBS_VERT},
        {IDD_PAGE_BUFFERS, IDC_ASIO_BUFFER_SLIDER, TBS_BOTH | TBS_AUTOTICKS | WS_TABSTOP, TBS_VERT},
        {IDD_PAGE_BUFFERS, IDC_WDM_BUFFER_SLIDER, TBS_BOTH | TBS_AUTOTICKS | WS_TABSTOP, TBS_VERT},
        {IDD_PAGE_CHANNELS, IDC_HARDWARE_NAME, ES_READONLY | ES_AUTOHSCROLL, 0},
        {IDD_PAGE_CHANNELS, IDC_INCLUDE_DEVICE_NAME, BS_AUTOCHECKBOX | BS_MULTILINE, 0},
        {IDD_EDIT_DEVICE_NAME, IDC_DEVICE_NAME_EDIT, ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP, 0},
        {IDD_EDIT_CHANNEL_NAME, IDC_CHANNEL_NAME_EDIT, ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP, 0},
        {IDD_ABOUTBOX, IDC_ABOUT_TEXT, SS_NOPREFIX, 0},
    };
    for (const ExpectedStyle& entry : styles) {
        const auto layout =
            std::find_if(Dialogs().begin(), Dialogs().end(),
                         [&](const DialogLayout& d) { return d.id == entry.dialog; });
        ASSERT_NE(layout, Dialogs().end());
        HWND dialog = Create(*layout);
        ASSERT_NE(dialog, nullptr);
        const LONG_PTR style = StyleWithBorder(GetDlgItem(dialog, entry.control));
        const std::string where =
            "dialog " + std::to_string(entry.dialog) + " control " + std::to_string(entry.control);
        EXPECT_EQ(style & entry.required, entry.required) << where;
        EXPECT_EQ(style & entry.absent, 0) << where;
        DestroyWindow(dialog);
    }
}

// A name dialog opens with the caret in its edit field, ready for typing.
TEST_F(DialogTemplates, NameDialogsStartInTheirEditFields) {
    for (UINT id : {IDD_EDIT_DEVICE_NAME, IDD_EDIT_CHANNEL_NAME}) {
        HWND dialog = CreateDialogParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(id), nullptr,
                                         PlainDialogProc, 0);
        ASSERT_NE(dialog, nullptr);
        HWND first = GetNextDlgTabItem(dialog, nullptr, FALSE);
        EXPECT_STRCASEEQ(ClassOf(first).c_str(), kEdit) << "dialog " << id;
        DestroyWindow(dialog);
    }
}

} // namespace
