// The main window's layout at the DPI the run was started with. The run
// scripts start this program once per DPI, each in a prefix whose LogPixels
// is that DPI, and name it in DEMTREL_EXPECTED_DPI.
#include "ShellFixture.h"

#include "CDlgAbout.h"
#include "CDlgEditChannelName.h"
#include "CDlgEditDeviceName.h"
#include "CDlgSynchMode.h"
#include "Dpi.h"
#include "ModalDriver.h"
#include "UiActions.h"
#include "WindowPlacement.h"

#include <commctrl.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <tuple>
#include <vector>

namespace {

// A control's edge and the gap a push button or check box keeps around its
// text, in pixels at 96 DPI.
constexpr int kButtonTextMargin = 4;
constexpr int kCheckBoxWidth = 13 + 4;

UINT ExpectedDpi() {
    const char* value = std::getenv("DEMTREL_EXPECTED_DPI");
    return value ? static_cast<UINT>(std::atoi(value)) : 0;
}

RECT RectIn(HWND window, HWND parent) {
    RECT rect{};
    ::GetWindowRect(window, &rect);
    ::MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

bool Inside(const RECT& inner, const RECT& outer) {
    return inner.left >= outer.left && inner.top >= outer.top && inner.right <= outer.right &&
           inner.bottom <= outer.bottom;
}

bool Overlap(const RECT& a, const RECT& b) {
    RECT both{};
    return ::IntersectRect(&both, &a, &b) != FALSE;
}

std::string ClassOf(HWND window) {
    char name[64] = {};
    ::GetClassNameA(window, name, sizeof(name));
    return name;
}

std::string TextOf(HWND window) {
    char text[512] = {};
    ::GetWindowTextA(window, text, sizeof(text));
    return text;
}

std::string Describe(HWND window) {
    return ClassOf(window) + " " + std::to_string(::GetDlgCtrlID(window)) + " \"" + TextOf(window) +
           "\"";
}

std::vector<HWND> VisibleChildren(HWND parent) {
    std::vector<HWND> children;
    for (HWND child = ::GetWindow(parent, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT))
        if (::GetWindowLongA(child, GWL_STYLE) & WS_VISIBLE)
            children.push_back(child);
    return children;
}

LONG ButtonType(HWND window) {
    return ClassOf(window) == "Button" ? (::GetWindowLongA(window, GWL_STYLE) & BS_TYPEMASK) : -1;
}

bool IsGroupBox(HWND window) {
    return ButtonType(window) == BS_GROUPBOX;
}

// Statics that draw lines and frames carry no text.
bool IsTextStatic(HWND window) {
    if (ClassOf(window) != "Static")
        return false;
    const LONG type = ::GetWindowLongA(window, GWL_STYLE) & SS_TYPEMASK;
    return type == SS_LEFT || type == SS_CENTER || type == SS_RIGHT || type == SS_LEFTNOWORDWRAP;
}

// The size the control's text takes in the control's own font, wrapped at
// wrapWidth when it is not 0.
SIZE TextExtent(HWND window, const std::string& text, int wrapWidth) {
    HDC dc = ::GetDC(window);
    HGDIOBJ old =
        ::SelectObject(dc, reinterpret_cast<HFONT>(::SendMessageA(window, WM_GETFONT, 0, 0)));
    RECT rect{0, 0, wrapWidth, 0};
    const UINT flags = DT_CALCRECT | (wrapWidth ? DT_WORDBREAK : 0);
    ::DrawTextA(dc, text.c_str(), -1, &rect, flags);
    ::SelectObject(dc, old);
    ::ReleaseDC(window, dc);
    return {rect.right - rect.left, rect.bottom - rect.top};
}

class DpiLayout : public ShellFixture {
protected:
    UINT dpi = kDesignDpi;

    void SetUp() override {
        ShellFixture::SetUp();
        OpenShell();
        dpi = DpiForWindow(frame->m_hWnd);
    }

    int Scaled(int value) const { return ScaleForDpi(value, dpi); }

    void ShowPage(size_t index) {
        view->m_Tree.SelectItem(Items()[index]);
        PumpMessages(20);
    }

    // A text control's text must fit its client area, as drawn.
    void ExpectTextFits(HWND control) {
        const std::string text = TextOf(control);
        if (text.empty())
            return;
        RECT client{};
        ::GetClientRect(control, &client);
        const int width = client.right;
        const int height = client.bottom;
        SCOPED_TRACE(Describe(control));
        const LONG type = ButtonType(control);
        if (IsTextStatic(control)) {
            const LONG style = ::GetWindowLongA(control, GWL_STYLE) & SS_TYPEMASK;
            const SIZE size = TextExtent(control, text, style == SS_LEFTNOWORDWRAP ? 0 : width);
            EXPECT_LE(size.cx, width);
            EXPECT_LE(size.cy, height);
        } else if (type == BS_PUSHBUTTON || type == BS_DEFPUSHBUTTON) {
            const SIZE size = TextExtent(control, text, 0);
            EXPECT_LE(size.cx + 2 * Scaled(kButtonTextMargin), width);
            EXPECT_LE(size.cy, height);
        } else if (type == BS_AUTOCHECKBOX || type == BS_CHECKBOX || type == BS_AUTORADIOBUTTON ||
                   type == BS_RADIOBUTTON) {
            const SIZE size = TextExtent(control, text, 0);
            EXPECT_LE(size.cx + Scaled(kCheckBoxWidth), width);
            EXPECT_LE(size.cy, height);
        } else if (type == BS_GROUPBOX) {
            const SIZE size = TextExtent(control, text, 0);
            EXPECT_LE(size.cx + 2 * Scaled(kButtonTextMargin), width);
        }
    }

    // Each control inside the window, no two on top of each other (a group
    // box holds whole controls or none), every text and column heading whole.
    void ExpectLaidOutWhole(HWND window) {
        RECT client{};
        ::GetClientRect(window, &client);
        const std::vector<HWND> controls = VisibleChildren(window);
        for (size_t a = 0; a < controls.size(); ++a) {
            const RECT ra = RectIn(controls[a], window);
            EXPECT_TRUE(Inside(ra, client)) << Describe(controls[a]);
            ExpectTextFits(controls[a]);
            if (ClassOf(controls[a]) == WC_LISTVIEWA)
                ExpectHeadersFit(controls[a]);
            for (size_t b = a + 1; b < controls.size(); ++b) {
                const RECT rb = RectIn(controls[b], window);
                if (IsGroupBox(controls[a]) || IsGroupBox(controls[b])) {
                    EXPECT_TRUE(!Overlap(ra, rb) || Inside(ra, rb) || Inside(rb, ra))
                        << Describe(controls[a]) << " / " << Describe(controls[b]);
                } else {
                    EXPECT_FALSE(Overlap(ra, rb))
                        << Describe(controls[a]) << " / " << Describe(controls[b]);
                }
            }
        }
    }

    void ExpectHeadersFit(HWND list) {
        HWND header = reinterpret_cast<HWND>(::SendMessageA(list, LVM_GETHEADER, 0, 0));
        const int count = static_cast<int>(::SendMessageA(header, HDM_GETITEMCOUNT, 0, 0));
        for (int column = 0; column < count; ++column) {
            char text[128] = {};
            HDITEMA item{};
            item.mask = HDI_TEXT | HDI_WIDTH;
            item.pszText = text;
            item.cchTextMax = sizeof(text);
            ::SendMessageA(header, HDM_GETITEMA, column, reinterpret_cast<LPARAM>(&item));
            SCOPED_TRACE(std::string("column \"") + text + "\"");
            EXPECT_LE(TextExtent(header, text, 0).cx + 2 * Scaled(kButtonTextMargin), item.cxy);
        }
    }
};

// Each run is what it says: the DPI of its prefix, and German when started
// in a German locale.
TEST_F(DpiLayout, RunsAtTheDpiAndInTheLanguageOfItsRun) {
    const UINT expected = ExpectedDpi();
    if (expected == 0)
        GTEST_SKIP() << "started without DEMTREL_EXPECTED_DPI";
    EXPECT_EQ(expected, dpi);
    EXPECT_EQ(expected, DpiForWindow(view->m_PgDevices.m_hWnd));
    const char* locale = std::getenv("LC_ALL");
    const bool german = locale != nullptr && std::strncmp(locale, "de", 2) == 0;
    EXPECT_EQ(german ? LANG_GERMAN : LANG_ENGLISH, PRIMARYLANGID(::GetUserDefaultUILanguage()));
}

// The form's size as its template gives it, in the view's pixels.
SIZE TemplateFormSize(HWND view) {
    HRSRC found = ::FindResourceA(nullptr, MAKEINTRESOURCEA(IDD_MAIN_FORM), MAKEINTRESOURCEA(5));
    const auto* words = static_cast<const WORD*>(::LockResource(::LoadResource(nullptr, found)));
    if (words == nullptr)
        return {};
    // An extended template: version, signature, help id, styles (four
    // words), the item count and x, y, cx, cy.
    RECT rect{0, 0, words[11], words[12]};
    ::MapDialogRect(view, &rect);
    return {rect.right, rect.bottom};
}

// At start-up the frame takes exactly the form's size, larger or smaller than
// the system's default, inside the work area of its monitor; where the work
// area cannot hold it, the view scrolls over the whole form.
TEST_F(DpiLayout, FrameTakesTheFormsSizeOrScrollsInsideTheWorkArea) {
    const SIZE form = TemplateFormSize(view->m_hWnd);
    ASSERT_GT(form.cx, 0);
    const RECT workArea = WorkAreaOf(frame->m_hWnd);
    RECT window{};
    frame->GetWindowRect(&window);
    EXPECT_TRUE(Inside(window, workArea));
    RECT client{};
    view->GetClientRect(&client);
    RECT viewWindow{};
    view->GetWindowRect(&viewWindow);
    // The frame's borders, menu and status bar around the view.
    const LONG aroundWidth = (window.right - window.left) - (viewWindow.right - viewWindow.left);
    const LONG aroundHeight = (window.bottom - window.top) - (viewWindow.bottom - viewWindow.top);
    const bool fitsAcross = aroundWidth + form.cx <= workArea.right - workArea.left;
    const bool fitsDown = aroundHeight + form.cy <= workArea.bottom - workArea.top;
    SCOPED_TRACE("form " + std::to_string(form.cx) + "x" + std::to_string(form.cy) + ", view " +
                 std::to_string(client.right) + "x" + std::to_string(client.bottom));
    if (fitsAcross && fitsDown) {
        EXPECT_EQ(form.cx, client.right);
        EXPECT_EQ(form.cy, client.bottom);
        EXPECT_EQ(0, view->GetStyle() & (WS_HSCROLL | WS_VSCROLL));
        return;
    }
    for (auto [bar, style, length, shown] :
         {std::tuple{SB_HORZ, WS_HSCROLL, form.cx, client.right},
          std::tuple{SB_VERT, WS_VSCROLL, form.cy, client.bottom}}) {
        SCOPED_TRACE(bar == SB_HORZ ? "across" : "down");
        EXPECT_EQ(length > shown, (view->GetStyle() & style) != 0);
        if (length <= shown)
            continue;
        SCROLLINFO info{};
        info.cbSize = sizeof(info);
        info.fMask = SIF_RANGE | SIF_PAGE;
        ASSERT_TRUE(::GetScrollInfo(view->m_hWnd, bar, &info));
        EXPECT_GE(info.nMax + 1, length);
        EXPECT_EQ(static_cast<UINT>(shown), info.nPage);
    }
    EXPECT_EQ(fitsAcross ? aroundWidth + form.cx : workArea.right - workArea.left,
              window.right - window.left);
    EXPECT_EQ(fitsDown ? aroundHeight + form.cy : workArea.bottom - workArea.top,
              window.bottom - window.top);
}

// Whatever the screen, every control of every page can be reached: the one
// that takes the focus lies whole inside the view.
TEST_F(DpiLayout, EveryControlScrollsIntoViewWhenItTakesTheFocus) {
    RECT client{};
    view->GetClientRect(&client);
    for (size_t i = 0; i < Pages().size(); ++i) {
        ShowPage(i);
        SCOPED_TRACE("page " + std::to_string(i));
        for (HWND control : VisibleChildren(Pages()[i]->m_hWnd)) {
            const LONG style = ::GetWindowLongA(control, GWL_STYLE);
            if (!(style & WS_TABSTOP) || (style & WS_DISABLED))
                continue;
            // At once: the form scrolls as the focus moves.
            ::SetFocus(control);
            ASSERT_EQ(control, ::GetFocus()) << Describe(control);
            const RECT rect = RectIn(control, view->m_hWnd);
            EXPECT_TRUE(Inside(rect, client))
                << Describe(control) << " at " << rect.left << "," << rect.top << " in "
                << client.right << "x" << client.bottom;
        }
    }
}

// The rectangle around a window's visible children, in another window's
// client area.
RECT ChildrenExtent(HWND window, HWND parent) {
    RECT extent{};
    for (HWND child : VisibleChildren(window)) {
        const RECT rect = RectIn(child, parent);
        if (::IsRectEmpty(&extent))
            extent = rect;
        else
            ::UnionRect(&extent, &extent, &rect);
    }
    return extent;
}

// Every page sits at the same place, clear of the tree and the line beside
// it, with all its controls inside the form.
TEST_F(DpiLayout, PagesLieRightOfTheTreeInsideTheForm) {
    const SIZE size = TemplateFormSize(view->m_hWnd);
    const RECT form{0, 0, size.cx, size.cy};
    const RECT first = RectIn(Pages()[0]->m_hWnd, view->m_hWnd);
    EXPECT_GE(first.left, Scaled(CIXO_CPLView::PageLeft));
    EXPECT_EQ(Scaled(CIXO_CPLView::PageTop), first.top);
    for (size_t i = 0; i < Pages().size(); ++i) {
        ShowPage(i);
        SCOPED_TRACE("page " + std::to_string(i));
        const RECT page = RectIn(Pages()[i]->m_hWnd, view->m_hWnd);
        EXPECT_EQ(first.left, page.left);
        EXPECT_EQ(first.top, page.top);
        const RECT controls = ChildrenExtent(Pages()[i]->m_hWnd, view->m_hWnd);
        EXPECT_TRUE(Inside(controls, form)) << controls.right << "x" << controls.bottom << " in "
                                            << form.right << "x" << form.bottom;
        for (HWND child : VisibleChildren(view->m_hWnd)) {
            const bool beside = child == view->m_Tree.m_hWnd || ClassOf(child) == "Static";
            EXPECT_FALSE(beside && Overlap(page, RectIn(child, view->m_hWnd))) << Describe(child);
        }
    }
}

// On every page: each control inside the page, no two controls on top of
// each other (a group box holds whole controls or none), every text whole.
TEST_F(DpiLayout, ControlsStayInsideTheirPageApartAndUncut) {
    for (size_t i = 0; i < Pages().size(); ++i) {
        ShowPage(i);
        SCOPED_TRACE("page " + std::to_string(i));
        ExpectLaidOutWhole(Pages()[i]->m_hWnd);
    }
}

// The dialogs' templates scale with their font; their texts and list columns
// must still fit.
TEST_F(DpiLayout, ModalDialogsHoldTheirControlsWhole) {
    DeviceSynchModes modes{};
    for (uint32_t kind : {1u, 2u, 4u})
        modes.Modes[modes.ModeCount++].Kind = kind;
    modes.Current = modes.Modes[1];
    DeviceProperties device{};
    std::strcpy(device.DeviceName, "Tarnet Quadra 1818");
    ChannelProperties channel{};
    std::strcpy(channel.ChannelName, "Analog In 1");
    ModalDriver driver;
    for (int endId : {IDCANCEL, IDCANCEL, IDCANCEL, IDOK}) {
        driver.Then([this, endId](HWND dialog) {
            SCOPED_TRACE(TextOf(dialog));
            ExpectLaidOutWhole(dialog);
            ClickButton(dialog, endId);
        });
    }
    CDlgSynchMode(&modes, frame).DoModal();
    CDlgEditDeviceName(&device, frame).DoModal();
    CDlgEditChannelName(&channel, frame).DoModal();
    CDlgAbout().DoModal();
    EXPECT_EQ(4, driver.Handled());
}

TEST_F(DpiLayout, TreeShowsEveryLabelWholeWithIconsOfItsDpi) {
    int cx = 0;
    int cy = 0;
    ASSERT_TRUE(ImageList_GetIconSize(view->m_ImageList.GetSafeHandle(), &cx, &cy));
    EXPECT_EQ(Scaled(16), cx);
    EXPECT_EQ(Scaled(16), cy);
    RECT client{};
    view->m_Tree.GetClientRect(&client);
    for (HTREEITEM item : Items()) {
        RECT text{};
        std::memcpy(&text, &item, sizeof(item)); // the message's way of naming the item
        ASSERT_TRUE(
            view->m_Tree.SendMessage(TVM_GETITEMRECT, TRUE, reinterpret_cast<LPARAM>(&text)));
        SCOPED_TRACE(view->m_Tree.GetItemText(item));
        EXPECT_TRUE(Inside(text, client));
    }
    EXPECT_GE(view->m_Tree.SendMessage(TVM_GETITEMHEIGHT), Scaled(16));
}

TEST_F(DpiLayout, StatusPanesScaleAndHoldTheirText) {
    int edges[2] = {};
    ASSERT_EQ(2, frame->m_StatusBar.SendMessage(SB_GETPARTS, 2, reinterpret_cast<LPARAM>(edges)));
    RECT bar{};
    frame->m_StatusBar.GetClientRect(&bar);
    EXPECT_EQ(Scaled(150), edges[1] - edges[0]);
    EXPECT_GE(edges[0], Scaled(200));
    const std::string devices = DevicePane();
    ASSERT_FALSE(devices.empty());
    EXPECT_LE(TextExtent(frame->m_StatusBar.m_hWnd, devices, 0).cx + 2 * Scaled(kButtonTextMargin),
              edges[1] - edges[0]);
}

// The width of an icon's image, or 0 for none.
int IconWidth(HICON icon) {
    ICONINFO info{};
    if (!icon || !::GetIconInfo(icon, &info))
        return 0;
    BITMAP colour{};
    ::GetObjectA(info.hbmColor, sizeof colour, &colour);
    ::DeleteObject(info.hbmColor);
    ::DeleteObject(info.hbmMask);
    return colour.bmWidth;
}

int CaptionIconWidth(HWND window, WPARAM which) {
    return IconWidth(reinterpret_cast<HICON>(::SendMessageA(window, WM_GETICON, which, 0)));
}

// The caption and the tray show icons drawn for the DPI, small 16 and large 32
// pixels scaled, not ones the system scales; so does the tray's warning form.
TEST_F(DpiLayout, CaptionAndTrayIconsHaveTheSizesOfTheDpi) {
    EXPECT_EQ(Scaled(16), CaptionIconWidth(frame->m_hWnd, ICON_SMALL));
    EXPECT_EQ(Scaled(32), CaptionIconWidth(frame->m_hWnd, ICON_BIG));
    ASSERT_NE(nullptr, frame->Tray().icon);
    EXPECT_EQ(Scaled(16), IconWidth(frame->Tray().icon));
    EXPECT_EQ(Scaled(16), IconWidth(frame->m_Icons.Warning()));
}

// A move to a monitor of another DPI lays the pixel values out anew; moving
// back gives the first layout exactly.
TEST_F(DpiLayout, FollowsAMoveToAMonitorOfAnotherDpi) {
    const UINT other = dpi * 3 / 2;
    HWND list = ::GetDlgItem(view->m_PgDevices.m_hWnd, IDC_DEVICE_LIST);
    ASSERT_NE(nullptr, list);
    const int firstColumn = static_cast<int>(::SendMessageA(list, LVM_GETCOLUMNWIDTH, 0, 0));
    const LONG pageLeft = RectIn(view->m_PgDevices.m_hWnd, view->m_hWnd).left;
    RECT window{};
    frame->GetWindowRect(&window);
    auto moveTo = [&](UINT newDpi, UINT oldDpi) {
        RECT suggested = window;
        suggested.right = window.left + ::MulDiv(window.right - window.left, newDpi, oldDpi);
        suggested.bottom = window.top + ::MulDiv(window.bottom - window.top, newDpi, oldDpi);
        frame->SendMessage(WM_DPICHANGED, MAKEWPARAM(newDpi, newDpi),
                           reinterpret_cast<LPARAM>(&suggested));
        PumpMessages(20);
    };
    auto devicePaneWidth = [&] {
        int edges[2] = {};
        frame->m_StatusBar.SendMessage(SB_GETPARTS, 2, reinterpret_cast<LPARAM>(edges));
        return edges[1] - edges[0];
    };

    moveTo(other, dpi);
    EXPECT_GE(RectIn(view->m_PgDevices.m_hWnd, view->m_hWnd).left,
              ScaleForDpi(CIXO_CPLView::PageLeft, other));
    EXPECT_EQ(::MulDiv(firstColumn, other, dpi), ::SendMessageA(list, LVM_GETCOLUMNWIDTH, 0, 0));
    EXPECT_EQ(ScaleForDpi(150, other), devicePaneWidth());
    int cx = 0;
    int cy = 0;
    ImageList_GetIconSize(view->m_ImageList.GetSafeHandle(), &cx, &cy);
    EXPECT_EQ(ScaleForDpi(16, other), cx);
    const HICON trayBefore = frame->Tray().icon;
    EXPECT_EQ(ScaleForDpi(16, other), CaptionIconWidth(frame->m_hWnd, ICON_SMALL));
    EXPECT_EQ(ScaleForDpi(32, other), CaptionIconWidth(frame->m_hWnd, ICON_BIG));
    EXPECT_EQ(ScaleForDpi(16, other), IconWidth(frame->Tray().icon));

    moveTo(dpi, other);
    EXPECT_EQ(pageLeft, RectIn(view->m_PgDevices.m_hWnd, view->m_hWnd).left);
    EXPECT_EQ(firstColumn, ::SendMessageA(list, LVM_GETCOLUMNWIDTH, 0, 0));
    EXPECT_EQ(Scaled(150), devicePaneWidth());
    ImageList_GetIconSize(view->m_ImageList.GetSafeHandle(), &cx, &cy);
    EXPECT_EQ(Scaled(16), cx);
    EXPECT_EQ(Scaled(16), CaptionIconWidth(frame->m_hWnd, ICON_SMALL));
    EXPECT_EQ(Scaled(32), CaptionIconWidth(frame->m_hWnd, ICON_BIG));
    EXPECT_EQ(Scaled(16), IconWidth(frame->Tray().icon));
    // The icons of the other DPI are gone, not kept beside the new ones.
    EXPECT_EQ(0, IconWidth(trayBefore));
}

} // namespace
