#include "ListCtrl.h"

#include "Dpi.h"
#include "ResString.h"

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
