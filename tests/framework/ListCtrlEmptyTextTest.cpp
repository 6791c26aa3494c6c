// A list's empty text: a window of its own inside the list, shown exactly
// while the list has no rows, whatever takes the rows in or out, sized to
// its text below the header.
#include "FrameworkIds.h"
#include "ListCtrl.h"

#include <commctrl.h>

#include <gtest/gtest.h>

namespace {

class ListEmptyText : public ::testing::Test {
protected:
    void SetUp() override {
        INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_LISTVIEW_CLASSES};
        ::InitCommonControlsEx(&controls);
        parent = ::CreateWindowExA(0, "STATIC", "", WS_POPUP | WS_VISIBLE, 10, 10, 400, 300,
                                   nullptr, nullptr, nullptr, nullptr);
        ASSERT_NE(nullptr, parent);
        list.Attach(::CreateWindowExA(0, WC_LISTVIEWA, "", WS_CHILD | WS_VISIBLE | LVS_REPORT, 0, 0,
                                      300, 180, parent, nullptr, nullptr, nullptr));
        ASSERT_NE(nullptr, list.m_hWnd);
        list.InsertColumn(0, "Name", LVCFMT_LEFT, 150);
    }

    void TearDown() override { ::DestroyWindow(parent); }

    HWND TextWindow() const { return ::GetDlgItem(list.m_hWnd, IDW_LIST_EMPTY_TEXT); }
    bool TextShown() const {
        HWND text = TextWindow();
        return text && ::IsWindowVisible(text);
    }
    // What a reader of the list finds: the text while it shows, else nothing.
    std::string ShownText() const {
        return TextShown() ? CWindowHandle(TextWindow()).GetWindowText() : std::string();
    }

    HWND parent = nullptr;
    CListCtrl list;
};

TEST_F(ListEmptyText, ShowsWhileTheListHasNoRowsAndFollowsEveryChangeOfThem) {
    list.SetEmptyText("Nothing here.");
    ASSERT_NE(nullptr, TextWindow());
    EXPECT_TRUE(TextShown());
    EXPECT_EQ("Nothing here.", ShownText());

    list.InsertItem(0, "one");
    EXPECT_FALSE(TextShown());
    EXPECT_EQ("", ShownText());
    list.InsertItem(1, "two");
    list.DeleteItem(0);
    EXPECT_FALSE(TextShown());
    list.DeleteItem(0);
    EXPECT_TRUE(TextShown());

    // Another program's messages, wide ones included, are followed as well.
    LVITEMW item{};
    item.mask = LVIF_TEXT;
    wchar_t name[] = L"wide";
    item.pszText = name;
    ::SendMessageW(list.m_hWnd, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));
    EXPECT_FALSE(TextShown());
    list.DeleteAllItems();
    EXPECT_TRUE(TextShown());
}

TEST_F(ListEmptyText, ARefillShowsItOnlyWhenItEndsEmpty) {
    list.SetEmptyText("Nothing here.");
    {
        CListCtrl::Refill refill(list);
        list.InsertItem(0, "one");
    }
    EXPECT_FALSE(TextShown());
    { CListCtrl::Refill refill(list); }
    EXPECT_TRUE(TextShown());
    EXPECT_TRUE(list.IsWindowVisible());
}

TEST_F(ListEmptyText, AnEmptyTextShowsNothingAndANewTextReplacesTheOld) {
    list.SetEmptyText("");
    EXPECT_EQ(nullptr, TextWindow());
    list.SetEmptyText("First.");
    list.SetEmptyText("Second.");
    EXPECT_EQ("Second.", ShownText());
    list.SetEmptyText("");
    EXPECT_FALSE(TextShown());
    EXPECT_EQ("", ShownText());
}

TEST_F(ListEmptyText, SitsBelowTheHeaderWithinTheListAndWrapsToIt) {
    list.SetEmptyText("A sentence long enough to need more than one line in a list this narrow.");
    RECT client{};
    ::GetClientRect(list.m_hWnd, &client);
    RECT header{};
    ::GetWindowRect(reinterpret_cast<HWND>(list.SendMessage(LVM_GETHEADER)), &header);
    RECT text{};
    ::GetWindowRect(TextWindow(), &text);
    ::MapWindowPoints(nullptr, list.m_hWnd, reinterpret_cast<POINT*>(&text), 2);
    EXPECT_GE(text.top, header.bottom - header.top);
    EXPECT_GE(text.left, 0);
    EXPECT_LE(text.right, client.right);
    EXPECT_LE(text.bottom, client.bottom);
    // Wrapped: more than one line high, yet no higher than its lines.
    TEXTMETRICA metrics{};
    HDC dc = ::GetDC(TextWindow());
    HGDIOBJ old =
        ::SelectObject(dc, reinterpret_cast<HFONT>(::SendMessageA(TextWindow(), WM_GETFONT, 0, 0)));
    ::GetTextMetricsA(dc, &metrics);
    ::SelectObject(dc, old);
    ::ReleaseDC(TextWindow(), dc);
    EXPECT_GT(text.bottom - text.top, metrics.tmHeight);
    EXPECT_LT(text.bottom - text.top, client.bottom / 2);

    // A list that grows takes its text along.
    ::MoveWindow(list.m_hWnd, 0, 0, 380, 280, FALSE);
    RECT moved{};
    ::GetWindowRect(TextWindow(), &moved);
    ::MapWindowPoints(nullptr, list.m_hWnd, reinterpret_cast<POINT*>(&moved), 2);
    EXPECT_GT(moved.right, text.right);
}

TEST_F(ListEmptyText, TakesTheListsFont) {
    list.SetEmptyText("Nothing here.");
    HFONT font = static_cast<HFONT>(::GetStockObject(ANSI_FIXED_FONT));
    list.SendMessage(WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    EXPECT_EQ(reinterpret_cast<LRESULT>(font), ::SendMessageA(TextWindow(), WM_GETFONT, 0, 0));
}

} // namespace
