#include "StatusBar.h"

#include "ResString.h"
#include "Wnd.h"

#include <algorithm>
#include <numeric>
#include <vector>

namespace {

constexpr int kDefaultPaneWidth = 100;
constexpr int kMaxPanes = 255; // the pane index travels in one byte

// The control's user data holds the stretch pane: (minimum width << 8) |
// (index + 1), 0 when no pane stretches.
LONG_PTR Stretch(int index, int minWidth) {
    return (static_cast<LONG_PTR>(minWidth) << 8) | (index + 1);
}

std::vector<int> PaneWidths(HWND bar) {
    std::vector<int> edges(static_cast<size_t>(::SendMessageA(bar, SB_GETPARTS, 0, 0)));
    ::SendMessageA(bar, SB_GETPARTS, edges.size(), reinterpret_cast<LPARAM>(edges.data()));
    std::adjacent_difference(edges.begin(), edges.end(), edges.begin());
    return edges;
}

BOOL SetPaneWidths(HWND bar, std::vector<int> widths) {
    std::partial_sum(widths.begin(), widths.end(), widths.begin());
    return static_cast<BOOL>(
        ::SendMessageA(bar, SB_SETPARTS, widths.size(), reinterpret_cast<LPARAM>(widths.data())));
}

} // namespace

BOOL CStatusBar::Create(CWnd* parent, DWORD style, UINT id) {
    HWND parentWindow = parent != nullptr ? parent->m_hWnd : nullptr;
    if ((::GetWindowLongPtrA(parentWindow, GWL_STYLE) & WS_THICKFRAME) != 0)
        style |= SBARS_SIZEGRIP;
    m_hWnd = ::CreateWindowExA(0, STATUSCLASSNAMEA, "", style, 0, 0, 0, 0, parentWindow,
                               reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id)),
                               ::GetModuleHandleA(nullptr), nullptr);
    return m_hWnd != nullptr;
}

BOOL CStatusBar::SetIndicators(const UINT* ids, int count) {
    if (count <= 0 || count > kMaxPanes || ids == nullptr)
        return FALSE;
    ::SetWindowLongPtrA(m_hWnd, GWLP_USERDATA, 0);
    if (!SetPaneWidths(m_hWnd, std::vector<int>(static_cast<size_t>(count), kDefaultPaneWidth)))
        return FALSE;
    for (int i = 0; i < count; ++i)
        SetPaneText(i, ids[i] != 0 ? LoadResString(ids[i]) : std::string(), FALSE);
    return TRUE;
}

void CStatusBar::SetPaneInfo(int index, UINT, UINT style, int width) {
    std::vector<int> widths = PaneWidths(m_hWnd);
    if (index < 0 || index >= static_cast<int>(widths.size()))
        return;
    widths[static_cast<size_t>(index)] = width;
    SetPaneWidths(m_hWnd, widths);
    const bool wasStretch = (::GetWindowLongPtrA(m_hWnd, GWLP_USERDATA) & 0xFF) == index + 1;
    if ((style & SBPS_STRETCH) != 0 || wasStretch)
        ::SetWindowLongPtrA(m_hWnd, GWLP_USERDATA,
                            style & SBPS_STRETCH ? Stretch(index, width) : 0);
    RecalcPanes();
}

BOOL CStatusBar::SetPaneText(int index, const std::string& text, BOOL update) {
    if (index < 0 || index >= GetPaneCount())
        return FALSE;
    const BOOL set = static_cast<BOOL>(SendMessage(SB_SETTEXTA, static_cast<WPARAM>(index),
                                                   reinterpret_cast<LPARAM>(text.c_str())));
    if (update)
        UpdateWindow();
    return set;
}

std::string CStatusBar::GetPaneText(int index) const {
    if (index < 0 || index >= GetPaneCount())
        return std::string();
    const int length = LOWORD(SendMessage(SB_GETTEXTLENGTHA, static_cast<WPARAM>(index)));
    std::vector<char> buffer(static_cast<size_t>(length) + 1, '\0');
    SendMessage(SB_GETTEXTA, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(buffer.data()));
    return std::string(buffer.data());
}

void CStatusBar::RecalcPanes() {
    SendMessage(WM_SIZE);
    const LONG_PTR stretch = ::GetWindowLongPtrA(m_hWnd, GWLP_USERDATA);
    const size_t index = static_cast<size_t>(stretch & 0xFF) - 1; // none: beyond every pane
    std::vector<int> widths = PaneWidths(m_hWnd);
    if (index >= widths.size())
        return;
    widths[index] = 0;
    RECT client{};
    GetClientRect(&client);
    const int available =
        static_cast<int>(client.right) - std::accumulate(widths.begin(), widths.end(), 0);
    widths[index] = std::max(available, static_cast<int>(stretch >> 8));
    SetPaneWidths(m_hWnd, widths);
}
