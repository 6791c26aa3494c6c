#include "StatusBar.h"

#include "Wnd.h"

#include <numeric>
#include <vector>

BOOL CStatusBar::Create(CWnd* parent) {
    m_hWnd = ::CreateWindowExA(0, STATUSCLASSNAMEA, "", WS_CHILD | WS_VISIBLE, 0, 0, 0, 0,
                               parent->m_hWnd, reinterpret_cast<HMENU>(AFX_IDW_STATUS_BAR),
                               ::GetModuleHandleA(nullptr), nullptr);
    return m_hWnd != nullptr;
}

// The control takes each pane's right edge.
BOOL CStatusBar::SetPaneWidths(std::initializer_list<int> widths) const {
    std::vector<int> edges(widths.size());
    std::partial_sum(widths.begin(), widths.end(), edges.begin());
    return Send<BOOL>(SB_SETPARTS, edges.size(), edges.data());
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
