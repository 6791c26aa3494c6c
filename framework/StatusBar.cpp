#include "StatusBar.h"

#include "ResString.h"
#include "Wnd.h"

#include <commctrl.h>

#include <algorithm>
#include <vector>

namespace {

constexpr int kDefaultPaneWidth = 100;
constexpr int kMaxPanes = 255; // the pane index travels in one byte

// The control's user data holds the stretch pane: (minimum width << 8) |
// (index + 1), 0 when no pane stretches.
struct StretchPane {
    int index;
    int minWidth;
};

StretchPane ReadStretch(HWND bar) {
    const LONG_PTR value = ::GetWindowLongPtrA(bar, GWLP_USERDATA);
    return {static_cast<int>(value & 0xFF) - 1, static_cast<int>(value >> 8)};
}

void WriteStretch(HWND bar, int index, int minWidth) {
    const LONG_PTR value = index < 0 ? 0 : (static_cast<LONG_PTR>(minWidth) << 8) | (index + 1);
    ::SetWindowLongPtrA(bar, GWLP_USERDATA, value);
}

std::vector<int> PaneWidths(HWND bar) {
    const int count = static_cast<int>(::SendMessageA(bar, SB_GETPARTS, 0, 0));
    std::vector<int> edges(static_cast<size_t>(count > 0 ? count : 0));
    ::SendMessageA(bar, SB_GETPARTS, edges.size(), reinterpret_cast<LPARAM>(edges.data()));
    std::vector<int> widths(edges.size());
    for (size_t i = 0; i < edges.size(); ++i)
        widths[i] = edges[i] - (i == 0 ? 0 : edges[i - 1]);
    return widths;
}

BOOL ApplyPaneWidths(HWND bar, const std::vector<int>& widths) {
    std::vector<int> edges(widths.size());
    int right = 0;
    for (size_t i = 0; i < widths.size(); ++i) {
        right += widths[i];
        edges[i] = right;
    }
    return static_cast<BOOL>(
        ::SendMessageA(bar, SB_SETPARTS, edges.size(), reinterpret_cast<LPARAM>(edges.data())));
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
    WriteStretch(m_hWnd, -1, 0);
    if (!ApplyPaneWidths(m_hWnd, std::vector<int>(static_cast<size_t>(count), kDefaultPaneWidth)))
        return FALSE;
    for (int i = 0; i < count; ++i)
        SetPaneText(i, ids[i] != 0 ? LoadResString(ids[i]) : std::string(), FALSE);
    return TRUE;
}

void CStatusBar::SetPaneInfo(int index, UINT, UINT style, int width) {
    std::vector<int> widths = PaneWidths(m_hWnd);
    if (index < 0 || static_cast<size_t>(index) >= widths.size())
        return;
    widths[static_cast<size_t>(index)] = width;
    ApplyPaneWidths(m_hWnd, widths);
    const StretchPane stretch = ReadStretch(m_hWnd);
    if (style & SBPS_STRETCH)
        WriteStretch(m_hWnd, index, width);
    else if (stretch.index == index)
        WriteStretch(m_hWnd, -1, 0);
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

int CStatusBar::GetPaneCount() const {
    return m_hWnd != nullptr ? static_cast<int>(SendMessage(SB_GETPARTS, 0, 0)) : 0;
}

void CStatusBar::RecalcPanes() {
    SendMessage(WM_SIZE);
    const StretchPane stretch = ReadStretch(m_hWnd);
    std::vector<int> widths = PaneWidths(m_hWnd);
    if (stretch.index < 0 || static_cast<size_t>(stretch.index) >= widths.size())
        return;
    int others = 0;
    for (size_t i = 0; i < widths.size(); ++i)
        others += static_cast<int>(i) == stretch.index ? 0 : widths[i];
    RECT client{};
    GetClientRect(&client);
    const int available = static_cast<int>(client.right - client.left) - others;
    widths[static_cast<size_t>(stretch.index)] = std::max(available, stretch.minWidth);
    ApplyPaneWidths(m_hWnd, widths);
}
