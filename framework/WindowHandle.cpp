#include "WindowHandle.h"

#include <vector>

BOOL CWindowHandle::ShowWindow(int show) const {
    return ::ShowWindow(m_hWnd, show);
}

BOOL CWindowHandle::EnableWindow(BOOL enable) const {
    return ::EnableWindow(m_hWnd, enable);
}

BOOL CWindowHandle::IsWindowEnabled() const {
    return ::IsWindowEnabled(m_hWnd);
}

BOOL CWindowHandle::IsWindowVisible() const {
    return ::IsWindowVisible(m_hWnd);
}

void CWindowHandle::SetWindowText(const std::string& text) const {
    ::SetWindowTextA(m_hWnd, text.c_str());
}

std::string CWindowHandle::GetWindowText() const {
    const int length = ::GetWindowTextLengthA(m_hWnd);
    if (length <= 0)
        return std::string();
    std::vector<char> buffer(static_cast<size_t>(length) + 1);
    const int copied = ::GetWindowTextA(m_hWnd, buffer.data(), length + 1);
    return std::string(buffer.data(), static_cast<size_t>(copied > 0 ? copied : 0));
}

HWND CWindowHandle::GetDlgItem(int id) const {
    return ::GetDlgItem(m_hWnd, id);
}

int CWindowHandle::GetDlgCtrlID() const {
    return ::GetDlgCtrlID(m_hWnd);
}

HWND CWindowHandle::GetParent() const {
    return ::GetParent(m_hWnd);
}

BOOL CWindowHandle::SetWindowPos(HWND insertAfter, int x, int y, int cx, int cy, UINT flags) const {
    return ::SetWindowPos(m_hWnd, insertAfter, x, y, cx, cy, flags);
}

BOOL CWindowHandle::MoveWindow(int x, int y, int width, int height, BOOL repaint) const {
    return ::MoveWindow(m_hWnd, x, y, width, height, repaint);
}

void CWindowHandle::GetClientRect(RECT* rect) const {
    if (!::GetClientRect(m_hWnd, rect))
        ::SetRectEmpty(rect);
}

void CWindowHandle::GetWindowRect(RECT* rect) const {
    if (!::GetWindowRect(m_hWnd, rect))
        ::SetRectEmpty(rect);
}

DWORD CWindowHandle::GetStyle() const {
    return static_cast<DWORD>(::GetWindowLongPtrA(m_hWnd, GWL_STYLE));
}

HWND CWindowHandle::SetFocus() const {
    return ::SetFocus(m_hWnd);
}

void CWindowHandle::Invalidate(BOOL erase) const {
    ::InvalidateRect(m_hWnd, nullptr, erase);
}

void CWindowHandle::UpdateWindow() const {
    ::UpdateWindow(m_hWnd);
}

void CWindowHandle::SetRedraw(BOOL redraw) const {
    // Without a window, the redraw would reach the whole desktop.
    if (!m_hWnd)
        return;
    ::SendMessageA(m_hWnd, WM_SETREDRAW, redraw, 0);
    if (redraw)
        ::RedrawWindow(m_hWnd, nullptr, nullptr,
                       RDW_ERASE | RDW_FRAME | RDW_INVALIDATE | RDW_ALLCHILDREN);
}

UINT_PTR CWindowHandle::SetTimer(UINT_PTR id, UINT elapse) const {
    return ::SetTimer(m_hWnd, id, elapse, nullptr);
}

BOOL CWindowHandle::KillTimer(UINT_PTR id) const {
    return ::KillTimer(m_hWnd, id);
}

LRESULT CWindowHandle::SendMessage(UINT message, WPARAM wParam, LPARAM lParam) const {
    return ::SendMessageA(m_hWnd, message, wParam, lParam);
}

BOOL CWindowHandle::PostMessage(UINT message, WPARAM wParam, LPARAM lParam) const {
    return ::PostMessageA(m_hWnd, message, wParam, lParam);
}
