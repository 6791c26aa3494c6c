#include "CBareLists.h"

#include <commctrl.h>

#include <cstring>

namespace {

// Beside the program's frame, so that both are painted in full.
constexpr int kLeft = 0;
constexpr int kTop = 520;

// A page with nothing of the program's: the system's dialog manager gets the
// list's notifications, as a page's does, and no handler follows.
INT_PTR CALLBACK BarePage(HWND, UINT, WPARAM, LPARAM) {
    return FALSE;
}

HWND CreateBarePage(HWND parent, bool shown, int width, int height) {
    struct alignas(DWORD) {
        DLGTEMPLATE dialog;
        WORD menu, windowClass, title;
    } empty{};
    empty.dialog.style = WS_CHILD | (shown ? WS_VISIBLE : 0);
    HWND page = ::CreateDialogIndirectParamA(nullptr, &empty.dialog, parent, &BarePage, 0);
    ::SetWindowPos(page, nullptr, 0, 0, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
    return page;
}

} // namespace

CBareLists::CBareLists(HWND source) {
    RECT frame{};
    ::GetWindowRect(::GetAncestor(source, GA_ROOT), &frame);
    m_hWnd = ::CreateWindowExA(0, "STATIC", "", WS_POPUP | WS_BORDER | WS_VISIBLE, kLeft, kTop,
                               frame.right - frame.left, frame.bottom - frame.top, nullptr, nullptr,
                               nullptr, nullptr);
    ::EnumChildWindows(source, CollectList, reinterpret_cast<LPARAM>(this));
}

CBareLists::~CBareLists() {
    ::DestroyWindow(m_hWnd);
}

BOOL CALLBACK CBareLists::CollectList(HWND child, LPARAM self) {
    char className[64] = {};
    ::GetClassNameA(child, className, sizeof(className));
    if (std::strcmp(className, WC_LISTVIEWA) == 0)
        reinterpret_cast<CBareLists*>(self)->Copy(child);
    return TRUE;
}

// Each list sits on a bare page that is shown as the list's own page is,
// while the list itself keeps its own style and font.
void CBareLists::Copy(HWND original) {
    CListCtrl model(original);
    RECT box{};
    ::GetWindowRect(original, &box);
    const int width = box.right - box.left;
    const int height = box.bottom - box.top;
    HWND page = CreateBarePage(m_hWnd, ::IsWindowVisible(original) != FALSE, width, height);
    HWND copy = ::CreateWindowExA(static_cast<DWORD>(::GetWindowLongPtrA(original, GWL_EXSTYLE)),
                                  WC_LISTVIEWA, "",
                                  static_cast<DWORD>(::GetWindowLongPtrA(original, GWL_STYLE)), 0,
                                  0, width, height, page, nullptr, nullptr, nullptr);
    ::SendMessageA(copy, WM_SETFONT, ::SendMessageA(original, WM_GETFONT, 0, 0), FALSE);
    List list{CListCtrl(copy),
              ::GetParent(original),
              (model.GetExtendedStyle() & LVS_EX_CHECKBOXES) != 0,
              {}};
    list.Control.SetExtendedStyle(model.GetExtendedStyle());

    HWND header = reinterpret_cast<HWND>(::SendMessageA(original, LVM_GETHEADER, 0, 0));
    const int columns = static_cast<int>(::SendMessageA(header, HDM_GETITEMCOUNT, 0, 0));
    for (int column = 0; column < columns; ++column) {
        char heading[128] = {};
        LVCOLUMNA info{};
        info.mask = LVCF_TEXT | LVCF_WIDTH;
        info.pszText = heading;
        info.cchTextMax = sizeof(heading);
        ::SendMessageA(original, LVM_GETCOLUMNA, column, reinterpret_cast<LPARAM>(&info));
        list.Control.InsertColumn(column, heading, LVCFMT_LEFT, info.cx);
    }
    for (int row = 0; row < model.GetItemCount(); ++row) {
        Row copied{{}, model.GetItemData(row), list.CheckBoxes && model.GetCheck(row)};
        for (int column = 0; column < columns; ++column)
            copied.Texts.push_back(model.GetItemText(row, column));
        list.Rows.push_back(copied);
    }
    m_Lists.push_back(list);
}

void CBareLists::Fill() {
    for (const List& list : m_Lists)
        FillOne(list);
}

// In a refill of the list, as the pages fill theirs: the floor fills the
// rows the same way, so that only the program's work around them is left.
void CBareLists::FillOne(const List& list) {
    const CListCtrl& control = list.Control;
    CListCtrl::Refill refill(control, CListCtrl::Refill::Selection::Drop);
    for (int row = 0; row < static_cast<int>(list.Rows.size()); ++row) {
        const Row& cells = list.Rows[row];
        const int inserted =
            control.InsertItem(row, cells.Texts.empty() ? "" : cells.Texts[0], cells.Data);
        for (size_t column = 1; column < cells.Texts.size(); ++column)
            control.SetItemText(inserted, static_cast<int>(column), cells.Texts[column]);
        if (list.CheckBoxes)
            control.SetCheck(inserted, cells.Checked);
    }
}

void CBareLists::Paint() const {
    ::RedrawWindow(m_hWnd, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
}

void CBareLists::InvalidateAll() const {
    for (const List& list : m_Lists)
        list.Control.InvalidateAll();
}

size_t CBareLists::RowCount() const {
    size_t rows = 0;
    for (const List& list : m_Lists)
        rows += list.Rows.size();
    return rows;
}
