#include "ListCtrl.h"

#include "Dpi.h"
#include "FrameworkIds.h"
#include "ResString.h"

#include <algorithm>

int CListCtrl::InsertColumn(int column, const std::string& heading, int format, int width) const {
    LVCOLUMNA col{};
    col.mask = LVCF_TEXT | LVCF_FMT | LVCF_SUBITEM;
    col.fmt = format;
    col.pszText = const_cast<char*>(heading.c_str());
    col.iSubItem = column;
    if (width >= 0) {
        col.mask |= LVCF_WIDTH;
        col.cx = ScaleForDpi(width, DpiForWindow(m_hWnd));
    }
    return Send<int>(LVM_INSERTCOLUMNA, column, &col);
}

int CListCtrl::InsertColumn(int column, const ListColumn& definition) const {
    const std::string heading = definition.heading ? LoadResString(definition.heading) : "";
    return InsertColumn(column, heading, LVCFMT_LEFT, definition.width);
}

namespace {

// A list view answers WM_SETREDRAW itself: it stops drawing its rows but stays
// shown to the system, so that turning its redraw on again draws its scroll
// bars at once; for a shown list under Wine that costs several times the
// filling of its rows. The system's own answer takes the visible bit away and
// gives it back, without a WM_SHOWWINDOW, a change of focus or a repaint.
void SetShown(HWND list, BOOL shown) {
    ::DefWindowProcA(list, WM_SETREDRAW, shown, 0);
}

} // namespace

CListCtrl::Refill::Refill(const CListCtrl& list, Selection selection)
    : m_list(list), m_selected(selection == Selection::Keep ? list.GetSelectedRow() : -1),
      m_shown((list.GetStyle() & WS_VISIBLE) != 0) {
    m_list.SetRedraw(FALSE);
    if (m_shown)
        SetShown(m_list.m_hWnd, FALSE);
    m_list.DeleteAllItems();
}

// The list takes its new scroll ranges while it is still unseen; shown
// again, it paints once, frame and rows together.
CListCtrl::Refill::~Refill() {
    if (m_selected >= 0)
        m_list.SelectRow(m_selected);
    m_list.SendMessage(WM_SETREDRAW, TRUE);
    if (m_shown)
        SetShown(m_list.m_hWnd, TRUE);
    m_list.InvalidateAll();
}

bool CListCtrl::SelectionOrCheckChanged(const NMHDR* header) {
    const auto* change = reinterpret_cast<const NMLISTVIEW*>(header);
    const UINT changedState = change->uNewState ^ change->uOldState;
    return (change->uChanged & LVIF_STATE) != 0 &&
           (changedState & (LVIS_SELECTED | LVIS_STATEIMAGEMASK)) != 0;
}

void CListCtrl::RescaleColumns(UINT fromDpi, UINT toDpi) const {
    const int count = CWindowHandle(Send<HWND>(LVM_GETHEADER)).Send<int>(HDM_GETITEMCOUNT);
    for (int column = 0; column < count; ++column) {
        const int width = ::MulDiv(Send<int>(LVM_GETCOLUMNWIDTH, column), toDpi, fromDpi);
        SendMessage(LVM_SETCOLUMNWIDTH, column, MAKELPARAM(width, 0));
    }
}

// The data goes in with the row: set afterwards, it is one more message and
// a change of the row that the parent is told of twice.
int CListCtrl::InsertItem(int row, const std::string& text, DWORD_PTR data) const {
    LVITEMA item{};
    item.mask = LVIF_TEXT | LVIF_PARAM;
    item.iItem = row;
    item.pszText = const_cast<char*>(text.c_str());
    item.lParam = static_cast<LPARAM>(data);
    return Send<int>(LVM_INSERTITEMA, 0, &item);
}

BOOL CListCtrl::SetItemText(int row, int column, const std::string& text) const {
    LVITEMA item{};
    item.iSubItem = column;
    item.pszText = const_cast<char*>(text.c_str());
    return Send<BOOL>(LVM_SETITEMTEXTA, row, &item);
}

std::string CListCtrl::GetItemText(int row, int column) const {
    constexpr int kItemTextCapacity = 1024;
    char buffer[kItemTextCapacity] = {};
    LVITEMA item{};
    item.iSubItem = column;
    item.pszText = buffer;
    item.cchTextMax = kItemTextCapacity;
    const LRESULT length = Send<LRESULT>(LVM_GETITEMTEXTA, row, &item);
    if (length <= 0)
        return std::string();
    buffer[kItemTextCapacity - 1] = '\0';
    return std::string(buffer);
}

BOOL CListCtrl::SetItemData(int row, DWORD_PTR data) const {
    LVITEMA item{};
    item.mask = LVIF_PARAM;
    item.iItem = row;
    item.lParam = static_cast<LPARAM>(data);
    return Send<BOOL>(LVM_SETITEMA, 0, &item);
}

DWORD_PTR CListCtrl::GetItemData(int row) const {
    LVITEMA item{};
    item.mask = LVIF_PARAM;
    item.iItem = row;
    if (!Send<LRESULT>(LVM_GETITEMA, 0, &item))
        return 0;
    return static_cast<DWORD_PTR>(item.lParam);
}

BOOL CListCtrl::SetItemState(int row, UINT state, UINT mask) const {
    LVITEMA item{};
    item.state = state;
    item.stateMask = mask;
    return Send<BOOL>(LVM_SETITEMSTATE, row, &item);
}

namespace {

constexpr UINT_PTR kEmptyTextSubclass = IDW_LIST_EMPTY_TEXT;
// Around the text, in pixels at 96 DPI.
constexpr int kEmptyTextMargin = 8;

HWND EmptyTextOf(HWND list) {
    return ::GetDlgItem(list, static_cast<int>(IDW_LIST_EMPTY_TEXT));
}

// Sized to its text, wrapped to the list's width and centred in the area
// below the header: it covers no more of the list than it says.
void PlaceEmptyText(HWND list, HWND text) {
    RECT client{};
    ::GetClientRect(list, &client);
    int top = 0;
    HWND header = reinterpret_cast<HWND>(::SendMessageA(list, LVM_GETHEADER, 0, 0));
    if (header && (::GetWindowLongPtrA(header, GWL_STYLE) & WS_VISIBLE)) {
        RECT headerRect{};
        ::GetWindowRect(header, &headerRect);
        top = headerRect.bottom - headerRect.top;
    }
    const int margin = ScaleForDpi(kEmptyTextMargin, DpiForWindow(list));
    const int width = std::max(0, static_cast<int>(client.right) - 2 * margin);
    const int room = std::max(0, static_cast<int>(client.bottom) - top - 2 * margin);
    const int length = ::GetWindowTextLengthA(text);
    std::string words(static_cast<size_t>(std::max(length, 0)) + 1, '\0');
    ::GetWindowTextA(text, &words[0], length + 1);
    HDC dc = ::GetDC(text);
    HGDIOBJ old =
        ::SelectObject(dc, reinterpret_cast<HFONT>(::SendMessageA(text, WM_GETFONT, 0, 0)));
    RECT extent{0, 0, width, 0};
    ::DrawTextA(dc, words.c_str(), length, &extent,
                DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX | DT_CENTER);
    ::SelectObject(dc, old);
    ::ReleaseDC(text, dc);
    const int height = std::min(static_cast<int>(extent.bottom), room);
    ::SetWindowPos(text, nullptr, margin, top + margin + (room - height) / 2, width, height,
                   SWP_NOZORDER | SWP_NOACTIVATE);
}

void ShowEmptyTextIfEmpty(HWND list, HWND text) {
    const bool show =
        ::SendMessageA(list, LVM_GETITEMCOUNT, 0, 0) == 0 && ::GetWindowTextLengthA(text) > 0;
    const bool shown = (::GetWindowLongPtrA(text, GWL_STYLE) & WS_VISIBLE) != 0;
    if (show != shown)
        ::ShowWindow(text, show ? SW_SHOWNA : SW_HIDE);
}

// On the list itself, so that every road to its rows is seen: the page's
// inserts, a Refill, a delete key, a test sending the messages.
LRESULT CALLBACK EmptyTextProcedure(HWND list, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                    DWORD_PTR) {
    switch (message) {
    case WM_CTLCOLORSTATIC:
        // On the list's own colour, in the grey of text that is no content.
        if (reinterpret_cast<HWND>(lParam) == EmptyTextOf(list)) {
            HDC dc = reinterpret_cast<HDC>(wParam);
            COLORREF background = static_cast<COLORREF>(::SendMessageA(list, LVM_GETBKCOLOR, 0, 0));
            if (background == CLR_NONE)
                background = ::GetSysColor(COLOR_WINDOW);
            ::SetTextColor(dc, ::GetSysColor(COLOR_GRAYTEXT));
            ::SetBkColor(dc, background);
            ::SetDCBrushColor(dc, background);
            return reinterpret_cast<LRESULT>(::GetStockObject(DC_BRUSH));
        }
        break;
    case WM_NCDESTROY:
        ::RemoveWindowSubclass(list, EmptyTextProcedure, kEmptyTextSubclass);
        break;
    default:
        break;
    }
    const LRESULT result = ::DefSubclassProc(list, message, wParam, lParam);
    HWND text = EmptyTextOf(list);
    if (!text)
        return result;
    switch (message) {
    case LVM_INSERTITEMA:
    case LVM_INSERTITEMW:
    case LVM_DELETEITEM:
    case LVM_DELETEALLITEMS:
    case LVM_SETITEMCOUNT:
        ShowEmptyTextIfEmpty(list, text);
        break;
    case WM_SETFONT:
        ::SendMessageA(text, WM_SETFONT, wParam, lParam);
        PlaceEmptyText(list, text);
        break;
    case WM_SIZE:
        PlaceEmptyText(list, text);
        break;
    default:
        break;
    }
    return result;
}

} // namespace

void CListCtrl::SetEmptyText(const std::string& text) const {
    HWND window = EmptyTextOf(m_hWnd);
    if (!window) {
        if (text.empty())
            return;
        window = ::CreateWindowExA(
            0, "STATIC", "", WS_CHILD | SS_CENTER | SS_NOPREFIX, 0, 0, 0, 0, m_hWnd,
            reinterpret_cast<HMENU>(static_cast<UINT_PTR>(IDW_LIST_EMPTY_TEXT)),
            ::GetModuleHandleA(nullptr), nullptr);
        if (!window)
            return;
        // The list paints around its child, not over it.
        ::SetWindowLongPtrA(m_hWnd, GWL_STYLE, static_cast<LONG_PTR>(GetStyle() | WS_CLIPCHILDREN));
        ::SendMessageA(window, WM_SETFONT, static_cast<WPARAM>(SendMessage(WM_GETFONT)), FALSE);
        ::SetWindowSubclass(m_hWnd, EmptyTextProcedure, kEmptyTextSubclass, 0);
    }
    if (CWindowHandle(window).GetWindowText() != text) {
        ::SetWindowTextA(window, text.c_str());
        PlaceEmptyText(m_hWnd, window);
    }
    ShowEmptyTextIfEmpty(m_hWnd, window);
}
