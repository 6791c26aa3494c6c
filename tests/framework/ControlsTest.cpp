// Control wrappers on real controls, and the notifications they send to
// their parent's message map.
#include "ComboBox.h"
#include "DataExchange.h"
#include "Dialog.h"
#include "ImageList.h"
#include "ListCtrl.h"
#include "SliderCtrl.h"
#include "StatusBar.h"
#include "TreeCtrl.h"

#include "TestResourceIds.h"
#include "UiActions.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

class ControlsDialog : public CDialog {
public:
    ControlsDialog() : CDialog(IDD_TEST_CONTROLS) {}

    CTreeCtrl m_Tree;
    CListCtrl m_List;
    CComboBox m_Combo;
    CSliderCtrl m_Slider;

    std::vector<int> changedRows;
    int doubleClickedRow = -2;
    int comboChanges = 0;
    UINT scrollCode = 0;
    UINT scrollPos = 0;
    HWND scrollBar = nullptr;
    HTREEITEM treeSelection = nullptr;

    void DoDataExchange(CDataExchange* pDX) override {
        DDX_Control(pDX, IDC_TREE, m_Tree);
        DDX_Control(pDX, IDC_LIST, m_List);
        DDX_Control(pDX, IDC_COMBO, m_Combo);
        DDX_Control(pDX, IDC_SLIDER, m_Slider);
    }

protected:
    static const MessageMap messageMap;
    const MessageMap* GetMessageMap() const override { return &messageMap; }

private:
    void OnItemChanged(NMHDR* header, LRESULT* result) {
        changedRows.push_back(reinterpret_cast<NMLISTVIEW*>(header)->iItem);
        *result = 0;
    }
    void OnDoubleClick(NMHDR* header, LRESULT*) {
        doubleClickedRow = reinterpret_cast<NMITEMACTIVATE*>(header)->iItem;
    }
    void OnTreeSelChanged(NMHDR* header, LRESULT*) {
        treeSelection = reinterpret_cast<NMTREEVIEWA*>(header)->itemNew.hItem;
    }
    void OnComboChange() { ++comboChanges; }
    void OnHScroll(UINT code, UINT pos, HWND bar) {
        scrollCode = code;
        scrollPos = pos;
        scrollBar = bar;
    }
};

constexpr MessageMap ControlsDialog::messageMap{
    &CDialog::messageMap,
    {
        {WM_NOTIFY, static_cast<UINT>(LVN_ITEMCHANGED), IDC_LIST,
         On<&ControlsDialog::OnItemChanged>},
        {WM_NOTIFY, static_cast<UINT>(NM_DBLCLK), IDC_LIST, On<&ControlsDialog::OnDoubleClick>},
        {WM_NOTIFY, static_cast<UINT>(TVN_SELCHANGEDA), IDC_TREE,
         On<&ControlsDialog::OnTreeSelChanged>},
        {WM_COMMAND, CBN_SELCHANGE, IDC_COMBO, On<&ControlsDialog::OnComboChange>},
        {WM_HSCROLL, 0, 0, On<&ControlsDialog::OnHScroll>},
    }};

class Controls : public ::testing::Test {
protected:
    void SetUp() override {
        INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_TREEVIEW_CLASSES |
                                                            ICC_LISTVIEW_CLASSES | ICC_BAR_CLASSES};
        ::InitCommonControlsEx(&controls);
        ASSERT_TRUE(dialog.Create(IDD_TEST_CONTROLS));
    }

    ControlsDialog dialog;
};

TEST_F(Controls, WrappersAreOneHandleAndOwnNothing) {
    EXPECT_EQ(sizeof(CListCtrl), sizeof(HWND));
    EXPECT_EQ(sizeof(CTreeCtrl), sizeof(HWND));
    EXPECT_EQ(sizeof(CSliderCtrl), sizeof(HWND));
    EXPECT_EQ(sizeof(CStatusBar), sizeof(HWND));
    HWND list = dialog.m_List.m_hWnd;
    { CListCtrl copy(list); }
    EXPECT_TRUE(::IsWindow(list));
}

TEST_F(Controls, ListKeepsRowsTextsDataAndChecks) {
    CListCtrl& list = dialog.m_List;
    list.SetExtendedStyle(list.GetExtendedStyle() | LVS_EX_CHECKBOXES | LVS_EX_FULLROWSELECT);
    EXPECT_NE(list.GetExtendedStyle() & LVS_EX_CHECKBOXES, 0u);
    EXPECT_EQ(list.InsertColumn(0, "Name", LVCFMT_LEFT, 80), 0);
    EXPECT_EQ(list.InsertColumn(1, "Value", LVCFMT_RIGHT, 60), 1);
    EXPECT_EQ(list.InsertItem(0, "first"), 0);
    EXPECT_EQ(list.InsertItem(1, "second"), 1);
    EXPECT_EQ(list.InsertItem(0, "new top"), 0);
    EXPECT_TRUE(list.SetItemText(2, 1, "two"));
    EXPECT_TRUE(list.SetItemData(2, static_cast<DWORD_PTR>(0xFEEDFACE)));

    EXPECT_EQ(list.GetItemCount(), 3);
    EXPECT_EQ(list.GetItemText(0, 0), "new top");
    EXPECT_EQ(list.GetItemText(2, 0), "second");
    EXPECT_EQ(list.GetItemText(2, 1), "two");
    EXPECT_EQ(list.GetItemText(7, 0), "");
    EXPECT_EQ(list.GetItemData(2), static_cast<DWORD_PTR>(0xFEEDFACE));

    EXPECT_TRUE(list.SetCheck(1, TRUE));
    EXPECT_TRUE(list.GetCheck(1));
    EXPECT_FALSE(list.GetCheck(0));
    EXPECT_TRUE(list.SetCheck(1, FALSE));
    EXPECT_FALSE(list.GetCheck(1));

    EXPECT_TRUE(list.DeleteItem(0));
    EXPECT_EQ(list.GetItemText(0, 0), "first");
    EXPECT_TRUE(list.DeleteAllItems());
    EXPECT_EQ(list.GetItemCount(), 0);
}

// A refill empties the list, keeps it from painting while it is filled, and
// selects again the row that was selected by its number, if there is one.
TEST_F(Controls, ListRefillKeepsTheSelectedRowNumberOrDropsIt) {
    CListCtrl& list = dialog.m_List;
    const ListColumn columns[] = {{0, 80}, {0, 40}};
    list.InsertColumns(columns);
    EXPECT_EQ(::SendMessageA(list.m_hWnd, LVM_GETCOLUMNWIDTH, 1, 0), 40);
    for (int row = 0; row < 3; ++row)
        list.InsertItem(row, "old");
    list.SelectRow(2);
    {
        CListCtrl::Refill refill(list);
        EXPECT_EQ(list.GetItemCount(), 0);
        for (int row = 0; row < 4; ++row)
            list.InsertItem(row, "new");
        EXPECT_EQ(list.GetSelectedRow(), -1);
    }
    EXPECT_EQ(list.GetSelectedRow(), 2);
    {
        CListCtrl::Refill refill(list);
        list.InsertItem(0, "only");
    }
    EXPECT_EQ(list.GetSelectedRow(), -1);
    list.SelectRow(0);
    {
        CListCtrl::Refill refill(list, CListCtrl::Refill::Selection::Drop);
        list.InsertItem(0, "again");
    }
    EXPECT_EQ(list.GetSelectedRow(), -1);
}

TEST_F(Controls, ListTextIsCutAt1023Characters) {
    CListCtrl& list = dialog.m_List;
    list.InsertColumn(0, "Name", LVCFMT_LEFT, 80);
    list.InsertItem(0, std::string(3000, 'x'));
    EXPECT_EQ(list.GetItemText(0, 0), std::string(1023, 'x'));
}

TEST_F(Controls, ListSelectionReachesTheParent) {
    CListCtrl& list = dialog.m_List;
    list.InsertColumn(0, "Name", LVCFMT_LEFT, 80);
    for (int row = 0; row < 3; ++row)
        list.InsertItem(row, "row");
    EXPECT_EQ(list.GetNextItem(-1, LVNI_SELECTED), -1);
    dialog.changedRows.clear();
    SelectListRow(list.m_hWnd, 2);
    EXPECT_EQ(list.GetNextItem(-1, LVNI_SELECTED), 2);
    EXPECT_NE(list.GetItemState(2, LVIS_SELECTED), 0u);
    ASSERT_FALSE(dialog.changedRows.empty());
    EXPECT_EQ(dialog.changedRows.back(), 2);

    list.SetItemState(2, 0, LVIS_SELECTED);
    EXPECT_EQ(list.GetSelectedRow(), -1);

    // Restoring a selection selects and focuses the row.
    EXPECT_TRUE(list.SelectRow(1));
    EXPECT_EQ(list.GetSelectedRow(), 1);
    EXPECT_EQ(list.GetItemState(1, LVIS_SELECTED | LVIS_FOCUSED),
              UINT(LVIS_SELECTED | LVIS_FOCUSED));
    list.SetItemState(1, 0, LVIS_SELECTED);

    DoubleClickListRow(list.m_hWnd, 1);
    EXPECT_EQ(dialog.doubleClickedRow, 1);
}

TEST_F(Controls, TreeItemsCarryDataAndSelectionNotifiesTheParent) {
    CTreeCtrl& tree = dialog.m_Tree;
    CImageList images;
    ASSERT_TRUE(images.Create(16, 16, ILC_COLOR, 6, 1));
    HICON icon = ::LoadIconA(nullptr, MAKEINTRESOURCEA(32512));
    EXPECT_EQ(images.Add(icon), 0);
    EXPECT_EQ(images.Add(icon), 1);
    EXPECT_EQ(images.GetImageCount(), 2);
    tree.SetImageList(&images);
    EXPECT_EQ(reinterpret_cast<HIMAGELIST>(tree.SendMessage(TVM_GETIMAGELIST, TVSIL_NORMAL)),
              images.GetSafeHandle());

    HTREEITEM first = tree.InsertItem("Devices", 1, 1);
    HTREEITEM second = tree.InsertItem("Settings", 0, 0);
    ASSERT_NE(first, nullptr);
    ASSERT_NE(second, nullptr);
    EXPECT_TRUE(tree.SetItemData(second, 0x11000000));
    EXPECT_EQ(tree.GetItemData(second), 0x11000000u);
    EXPECT_EQ(tree.GetItemText(first), "Devices");
    EXPECT_EQ(tree.GetCount(), 2u);

    EXPECT_TRUE(tree.SelectItem(second));
    EXPECT_EQ(tree.GetSelectedItem(), second);
    EXPECT_EQ(dialog.treeSelection, second);
    tree.SetImageList(nullptr);
}

TEST_F(Controls, ImageListCanBeMadeAgain) {
    CImageList images;
    ASSERT_TRUE(images.Create(16, 16, 0, 6, 1));
    images.Add(::LoadIconA(nullptr, MAKEINTRESOURCEA(32512)));
    ASSERT_TRUE(images.Create(16, 16, 0, 6, 1));
    EXPECT_EQ(images.GetImageCount(), 0);
    images.DeleteImageList();
    EXPECT_EQ(images.GetSafeHandle(), nullptr);
    EXPECT_EQ(images.Add(nullptr), -1);
}

TEST_F(Controls, ComboKeepsItemsAndReportsSelection) {
    CComboBox& combo = dialog.m_Combo;
    EXPECT_EQ(combo.AddString("44100"), 0);
    EXPECT_EQ(combo.AddString("48000"), 1);
    EXPECT_NE(combo.SetItemData(1, 48000), CB_ERR);
    EXPECT_EQ(combo.GetItemData(1), 48000u);
    EXPECT_EQ(combo.GetCount(), 2);
    EXPECT_EQ(combo.GetLBText(1), "48000");
    EXPECT_EQ(combo.GetLBText(5), "");
    EXPECT_EQ(combo.GetCurSel(), CB_ERR);
    EXPECT_EQ(combo.SetCurSel(5), CB_ERR);

    SelectComboItem(combo.m_hWnd, 1);
    EXPECT_EQ(combo.GetCurSel(), 1);
    EXPECT_EQ(dialog.comboChanges, 1);

    combo.ResetContent();
    EXPECT_EQ(combo.GetCount(), 0);
}

TEST_F(Controls, SliderRangeAndPositionAndScrollReachTheParent) {
    CSliderCtrl& slider = dialog.m_Slider;
    slider.SetRangeMin(2, FALSE);
    slider.SetRangeMax(10, TRUE);
    slider.SetTicFreq(2);
    slider.SetPageSize(2);
    EXPECT_EQ(slider.SetLineSize(3), 1); // the previous line size
    EXPECT_EQ(slider.GetRangeMin(), 2);
    EXPECT_EQ(slider.GetRangeMax(), 10);
    slider.SetPos(20);
    EXPECT_EQ(slider.GetPos(), 10); // clamped to the range
    slider.SetPos(4);
    EXPECT_EQ(slider.GetPos(), 4);

    MoveTrackbar(slider.m_hWnd, 6);
    EXPECT_EQ(slider.GetPos(), 6);
    EXPECT_EQ(dialog.scrollCode, static_cast<UINT>(TB_THUMBPOSITION));
    EXPECT_EQ(dialog.scrollPos, 6u);
    EXPECT_EQ(dialog.scrollBar, slider.m_hWnd);
}

TEST_F(Controls, StatusBarPanesTakeTheirWidthsAndKeepTheirTexts) {
    CWnd frame;
    ASSERT_TRUE(
        frame.CreateEx(0, nullptr, "frame", WS_OVERLAPPEDWINDOW, 0, 0, 600, 300, nullptr, nullptr));
    CStatusBar bar;
    ASSERT_TRUE(bar.Create(&frame));
    EXPECT_EQ(bar.GetDlgCtrlID(), static_cast<int>(AFX_IDW_STATUS_BAR));
    ASSERT_TRUE(bar.SetPaneWidths({200, 150}));
    EXPECT_EQ(bar.GetPaneCount(), 2);
    EXPECT_EQ(bar.GetPaneText(0), "");
    int edges[2] = {};
    bar.SendMessage(SB_GETPARTS, 2, reinterpret_cast<LPARAM>(edges));
    EXPECT_EQ(edges[0], 200);
    EXPECT_EQ(edges[1], 350);

    EXPECT_TRUE(bar.SetPaneText(1, "3 devices"));
    bar.SetWindowText("Output Channels");
    // New widths keep the texts of the panes.
    ASSERT_TRUE(bar.SetPaneWidths({300, 150}));
    EXPECT_EQ(bar.GetPaneText(0), "Output Channels");
    EXPECT_EQ(bar.GetPaneText(1), "3 devices");
    EXPECT_FALSE(bar.SetPaneText(2, "no such pane"));
    EXPECT_EQ(bar.GetPaneText(5), "");
}

} // namespace
