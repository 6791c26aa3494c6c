// Redraw switched off and on again: changes made meanwhile collect no paint,
// and turning it on repaints the window with its children once.
#include "ListCtrl.h"
#include "WindowHandle.h"

#include <commctrl.h>

#include <gtest/gtest.h>

namespace {

class Redraw : public ::testing::Test {
protected:
    void SetUp() override {
        INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_LISTVIEW_CLASSES};
        ::InitCommonControlsEx(&controls);
        // Clipping children: a change of the parent alone never reaches them.
        parent = ::CreateWindowExA(0, "STATIC", "", WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN, 10, 10,
                                   400, 300, nullptr, nullptr, nullptr, nullptr);
        ASSERT_NE(nullptr, parent);
        list = MakeChild(WC_LISTVIEWA, LVS_REPORT | WS_VISIBLE, 0);
        label = MakeChild("STATIC", WS_VISIBLE, 200);
        hidden = MakeChild("STATIC", 0, 250);
        CListCtrl(list).InsertColumn(0, "Name", LVCFMT_LEFT, 150);
        PaintEverything();
    }

    void TearDown() override { ::DestroyWindow(parent); }

    HWND MakeChild(const char* className, DWORD style, int top) {
        return ::CreateWindowExA(0, className, "label", WS_CHILD | style, 0, top, 300,
                                 top ? 40 : 180, parent, nullptr, nullptr, nullptr);
    }

    void PaintEverything() {
        ::RedrawWindow(parent, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
    }

    static bool NeedsPaint(HWND window) { return ::GetUpdateRect(window, nullptr, FALSE) != FALSE; }

    HWND parent = nullptr;
    HWND list = nullptr;
    HWND label = nullptr;
    HWND hidden = nullptr;
};

TEST_F(Redraw, AListFilledWithRedrawOffPaintsOnlyWhenItIsOnAgain) {
    CListCtrl rows(list);
    ASSERT_FALSE(NeedsPaint(list));
    rows.SetRedraw(FALSE);
    for (int row = 0; row < 20; ++row)
        ASSERT_EQ(row, rows.InsertItem(row, "row"));
    EXPECT_FALSE(NeedsPaint(list));
    rows.SetRedraw(TRUE);
    EXPECT_TRUE(NeedsPaint(list));
    EXPECT_TRUE(::IsWindowVisible(list));
    EXPECT_EQ(20, rows.GetItemCount());
}

TEST_F(Redraw, AParentTurnedOnAgainRepaintsItselfAndEveryShownChild) {
    CWindowHandle window(parent);
    window.SetRedraw(FALSE);
    ::SetWindowTextA(label, "changed while off");
    CListCtrl(list).InsertItem(0, "row");
    EXPECT_FALSE(NeedsPaint(label));
    EXPECT_FALSE(NeedsPaint(list));

    window.SetRedraw(TRUE);
    EXPECT_TRUE(::IsWindowVisible(parent));
    EXPECT_TRUE(NeedsPaint(parent));
    EXPECT_TRUE(NeedsPaint(label));
    EXPECT_TRUE(NeedsPaint(list));
    // Nothing that was hidden comes to light.
    EXPECT_FALSE(::IsWindowVisible(hidden));
    PaintEverything();
    EXPECT_FALSE(NeedsPaint(parent));
    EXPECT_FALSE(NeedsPaint(label));
}

TEST_F(Redraw, AListIsRefilledUnseenAndKeepsItsOwnVisibility) {
    CListCtrl rows(list);
    {
        CListCtrl::Refill refill(rows);
        EXPECT_FALSE(::IsWindowVisible(list));
        for (int row = 0; row < 40; ++row)
            rows.InsertItem(row, "row");
    }
    EXPECT_TRUE(::IsWindowVisible(list));
    EXPECT_TRUE(NeedsPaint(list));
    EXPECT_FALSE(NeedsPaint(label));

    // On a hidden parent the list keeps its own style, and shows with it.
    PaintEverything();
    ::ShowWindow(parent, SW_HIDE);
    { CListCtrl::Refill refill(rows); }
    ::ShowWindow(parent, SW_SHOWNA);
    EXPECT_TRUE(::IsWindowVisible(list));
    // A list hidden on its own stays hidden.
    ::ShowWindow(list, SW_HIDE);
    { CListCtrl::Refill refill(rows); }
    EXPECT_FALSE(::IsWindowVisible(list));
}

TEST_F(Redraw, WithoutAWindowNothingElseIsRepainted) {
    ASSERT_FALSE(NeedsPaint(parent));
    CWindowHandle().SetRedraw(FALSE);
    CWindowHandle().SetRedraw(TRUE);
    EXPECT_FALSE(NeedsPaint(parent));
    EXPECT_TRUE(::IsWindowVisible(parent));
}

} // namespace
