// List view in report mode. Rows and columns count from 0.
#pragma once

#include "WindowHandle.h"

#include <commctrl.h>

// A column of a list: its heading's string id (0: none) and its width in
// pixels at 96 DPI.
struct ListColumn {
    UINT heading;
    int width;
};

class CListCtrl : public CWindowHandle {
public:
    using CWindowHandle::CWindowHandle;

    // A refill of the whole list: while it lasts the list is empty and
    // unseen, its scroll bars included; at its end the row that was selected
    // by number is selected again (unless the refill starts the list afresh)
    // and the list paints once, at the next WM_PAINT.
    class Refill {
    public:
        enum class Selection { Keep, Drop };
        explicit Refill(const CListCtrl& list, Selection selection = Selection::Keep);
        ~Refill();
        Refill(const Refill&) = delete;
        Refill& operator=(const Refill&) = delete;

    private:
        const CListCtrl& m_list;
        int m_selected;
        // Shown by its own style: a list that is not stays as it is.
        bool m_shown;
    };

    // Whether an LVN_ITEMCHANGED is about the selection or a check box. A
    // refill reports every row's new item data as a change too; only these
    // are changes that a page has to follow.
    static bool SelectionOrCheckChanged(const NMHDR* header);

    // Left-aligned columns from a table, headings from the string table.
    template <size_t N> void InsertColumns(const ListColumn (&columns)[N]) const {
        for (size_t column = 0; column < N; ++column)
            InsertColumn(static_cast<int>(column), columns[column]);
    }
    int InsertColumn(int column, const ListColumn& definition) const;

    // The new column's index, or -1. The width is in pixels at 96 DPI and
    // becomes the list's own DPI's.
    int InsertColumn(int column, const std::string& heading, int format = LVCFMT_LEFT,
                     int width = -1) const;
    // Every column's width from one DPI to another, as a window that moved
    // to a monitor of another DPI needs.
    void RescaleColumns(UINT fromDpi, UINT toDpi) const;
    // The new row's index, or -1; the item data goes in with the row.
    int InsertItem(int row, const std::string& text, DWORD_PTR data = 0) const;
    BOOL SetItemText(int row, int column, const std::string& text) const;
    // At most 1023 characters; empty for an invalid row or column.
    std::string GetItemText(int row, int column) const;
    BOOL SetItemData(int row, DWORD_PTR data) const;
    DWORD_PTR GetItemData(int row) const;
    BOOL DeleteItem(int row) const { return Send<BOOL>(LVM_DELETEITEM, row); }
    BOOL DeleteAllItems() const { return Send<BOOL>(LVM_DELETEALLITEMS); }
    int GetItemCount() const { return Send<int>(LVM_GETITEMCOUNT); }
    // The next row after start (-1: from the top) with the LVNI_ flags, or -1.
    int GetNextItem(int start, int flags) const {
        return Send<int>(LVM_GETNEXTITEM, start, MAKELPARAM(flags, 0));
    }
    // The first selected row, or -1: what every list of the program means by
    // its selected row.
    int GetSelectedRow() const { return GetNextItem(-1, LVNI_SELECTED); }
    // Selects and focuses the row, as a refill does to restore a selection.
    BOOL SelectRow(int row) const {
        return SetItemState(row, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    }
    BOOL SetItemState(int row, UINT state, UINT mask) const;
    UINT GetItemState(int row, UINT mask) const { return Send<UINT>(LVM_GETITEMSTATE, row, mask); }
    // The check box of a list with LVS_EX_CHECKBOXES: state image 1 is
    // unchecked, 2 checked.
    BOOL GetCheck(int row) const { return (GetItemState(row, LVIS_STATEIMAGEMASK) >> 12) == 2; }
    BOOL SetCheck(int row, BOOL check = TRUE) const {
        return SetItemState(row, INDEXTOSTATEIMAGEMASK(check ? 2 : 1), LVIS_STATEIMAGEMASK);
    }
    // A short text shown in the list's empty area, below its header, while
    // it has no rows; an empty text shows nothing. It is a static window of
    // its own, a child of the list with the id IDW_LIST_EMPTY_TEXT, so that
    // screen readers and other programs read it as they read any text.
    // Whatever adds or takes out rows, a Refill included, shows or hides it.
    void SetEmptyText(const std::string& text) const;

    DWORD GetExtendedStyle() const { return Send<DWORD>(LVM_GETEXTENDEDLISTVIEWSTYLE); }
    DWORD SetExtendedStyle(DWORD style) const {
        return Send<DWORD>(LVM_SETEXTENDEDLISTVIEWSTYLE, 0, style);
    }
};
