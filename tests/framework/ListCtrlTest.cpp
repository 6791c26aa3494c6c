// Which list changes a page follows: the selection and the check boxes, never
// the item data that a refill sets on every row.
#include "ListCtrl.h"

#include <gtest/gtest.h>

namespace {

NMLISTVIEW Change(UINT changed, UINT oldState, UINT newState) {
    NMLISTVIEW change{};
    change.hdr.code = LVN_ITEMCHANGED;
    change.iItem = 3;
    change.uChanged = changed;
    change.uOldState = oldState;
    change.uNewState = newState;
    return change;
}

constexpr UINT kChecked = INDEXTOSTATEIMAGEMASK(2);
constexpr UINT kUnchecked = INDEXTOSTATEIMAGEMASK(1);

TEST(SelectionOrCheckChanged, SelectionAndCheckBoxesCountInBothDirections) {
    NMLISTVIEW selected = Change(LVIF_STATE, 0, LVIS_SELECTED | LVIS_FOCUSED);
    NMLISTVIEW deselected = Change(LVIF_STATE, LVIS_SELECTED, 0);
    NMLISTVIEW checked = Change(LVIF_STATE, kUnchecked, kChecked);
    NMLISTVIEW unchecked = Change(LVIF_STATE, kChecked | LVIS_SELECTED, kUnchecked | LVIS_SELECTED);
    EXPECT_TRUE(CListCtrl::SelectionOrCheckChanged(&selected.hdr));
    EXPECT_TRUE(CListCtrl::SelectionOrCheckChanged(&deselected.hdr));
    EXPECT_TRUE(CListCtrl::SelectionOrCheckChanged(&checked.hdr));
    EXPECT_TRUE(CListCtrl::SelectionOrCheckChanged(&unchecked.hdr));
}

TEST(SelectionOrCheckChanged, ItemDataFocusAndUnchangedStatesDoNotCount) {
    // A refill sets each row's data; the states that come with it are the row's own.
    NMLISTVIEW data = Change(LVIF_PARAM, 0, LVIS_SELECTED);
    NMLISTVIEW focus = Change(LVIF_STATE, LVIS_SELECTED, LVIS_SELECTED | LVIS_FOCUSED);
    NMLISTVIEW same = Change(LVIF_STATE, kChecked | LVIS_SELECTED, kChecked | LVIS_SELECTED);
    EXPECT_FALSE(CListCtrl::SelectionOrCheckChanged(&data.hdr));
    EXPECT_FALSE(CListCtrl::SelectionOrCheckChanged(&focus.hdr));
    EXPECT_FALSE(CListCtrl::SelectionOrCheckChanged(&same.hdr));
}

} // namespace
