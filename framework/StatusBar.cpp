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

std::vector<int> PaneWidths(const CWindowHandle& bar) {
    std::vector<int> edges(bar.Send<size_t>(SB_GETPARTS));
    bar.Send<int>(SB_GETPARTS, edges.size(), edges.data());
    std::adjacent_difference(edges.begin(), edges.end(), edges.begin());
    return edges;
}

BOOL SetPaneWidths(const CWindowHandle& bar, std::vector<int> widths) {
    std::partial_sum(widths.begin(), widths.end(), widths.begin());
    return bar.Send<BOOL>(SB_SETPARTS, widths.size(), widths.data());
}

} // namespace

BOOL CStatusBar::Create(CWnd* parent) {
    m_hWnd = ::CreateWindowExA(0, STATUSCLASSNAMEA, "", WS_CHILD | WS_VISIBLE, 0, 0, 0, 0,
                               parent->m_hWnd, reinterpret_cast<HMENU>(AFX_IDW_STATUS_BAR),
                               ::GetModuleHandleA(nullptr), nullptr);
    return m_hWnd != nullptr;
}

BOOL CStatusBar::SetIndicators(const UINT* ids, int count) {
    if (count <= 0 || count > kMaxPanes || ids == nullptr)
        return FALSE;
    ::SetWindowLongPtrA(m_hWnd, GWLP_USERDATA, 0);
    if (!SetPaneWidths(*this, std::vector<int>(static_cast<size_t>(count), kDefaultPaneWidth)))
        return FALSE;
    for (int i = 0; i < count; ++i)
        SetPaneText(i, ids[i] != 0 ? LoadResString(ids[i]) : std::string(), FALSE);
    return TRUE;
}

void CStatusBar::SetPaneInfo(int index, UINT, UINT style, int width) {
    std::vector<int> widths = PaneWidths(*this);
    if (index < 0 || index >= static_cast<int>(widths.size()))
        return;
    widths[static_cast<size_t>(index)] = width;
    SetPaneWidths(*this, widths);
    const bool wasStretch = (::GetWindowLongPtrA(m_hWnd, GWLP_USERDATA) & 0xFF) == index + 1;
    if ((style & SBPS_STRETCH) != 0 || wasStretch)
        ::SetWindowLongPtrA(m_hWnd, GWLP_USERDATA,
                            style & SBPS_STRETCH ? Stretch(index, width) : 0);
    RecalcPanes();
}

BOOL CStatusBar::SetPaneText(int index, const std::string& text, BOOL update) {
    if (index < 0 || index >= GetPaneCount())
        return FALSE;
    const BOOL set = Send<BOOL>(SB_SETTEXTA, index, text.c_str());
    if (update)
        UpdateWindow();
    return set;
}

std::string CStatusBar::GetPaneText(int index) const {
    if (index < 0 || index >= GetPaneCount())
        return std::string();
    std::vector<char> buffer(LOWORD(Send<DWORD>(SB_GETTEXTLENGTHA, index)) + 1u, '\0');
    Send<LRESULT>(SB_GETTEXTA, index, buffer.data());
    return std::string(buffer.data());
}

void CStatusBar::RecalcPanes() {
    SendMessage(WM_SIZE);
    const LONG_PTR stretch = ::GetWindowLongPtrA(m_hWnd, GWLP_USERDATA);
    const size_t index = static_cast<size_t>(stretch & 0xFF) - 1; // none: beyond every pane
    std::vector<int> widths = PaneWidths(*this);
    if (index >= widths.size())
        return;
    widths[index] = 0;
    RECT client{};
    GetClientRect(&client);
    const int available =
        static_cast<int>(client.right) - std::accumulate(widths.begin(), widths.end(), 0);
    widths[index] = std::max(available, static_cast<int>(stretch >> 8));
    SetPaneWidths(*this, widths);
}
