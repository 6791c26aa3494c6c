#include "WindowHandle.h"

#include <vector>

std::string CWindowHandle::GetWindowText() const {
    const int length = ::GetWindowTextLengthA(m_hWnd);
    if (length <= 0)
        return std::string();
    std::vector<char> buffer(static_cast<size_t>(length) + 1);
    const int copied = ::GetWindowTextA(m_hWnd, buffer.data(), length + 1);
    return std::string(buffer.data(), static_cast<size_t>(copied > 0 ? copied : 0));
}

void CWindowHandle::SetRedraw(BOOL redraw) const {
    if (!m_hWnd)
        return;
    ::SendMessageA(m_hWnd, WM_SETREDRAW, redraw, 0);
    if (redraw)
        InvalidateAll();
}

void CWindowHandle::InvalidateAll() const {
    // Without a window, the redraw would reach the whole desktop.
    if (m_hWnd)
        ::RedrawWindow(m_hWnd, nullptr, nullptr,
                       RDW_ERASE | RDW_FRAME | RDW_INVALIDATE | RDW_ALLCHILDREN);
}
