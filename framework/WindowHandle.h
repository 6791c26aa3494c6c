// A window that is used, not owned: the size of one HWND, never destroys it.
// Control wrappers derive from it; CWnd adds ownership and a message map.
#pragma once

#include <windows.h>

#include <string>
#include <type_traits>

class CWindowHandle {
public:
    HWND m_hWnd = nullptr;

    CWindowHandle() = default;
    explicit CWindowHandle(HWND hWnd) : m_hWnd(hWnd) {}

    HWND GetSafeHwnd() const { return m_hWnd; }
    void Attach(HWND hWnd) { m_hWnd = hWnd; }

    BOOL ShowWindow(int show) const { return ::ShowWindow(m_hWnd, show); }
    BOOL EnableWindow(BOOL enable = TRUE) const { return ::EnableWindow(m_hWnd, enable); }
    BOOL IsWindowEnabled() const { return ::IsWindowEnabled(m_hWnd); }
    BOOL IsWindowVisible() const { return ::IsWindowVisible(m_hWnd); }
    void SetWindowText(const std::string& text) const { ::SetWindowTextA(m_hWnd, text.c_str()); }
    std::string GetWindowText() const;
    HWND GetDlgItem(int id) const { return ::GetDlgItem(m_hWnd, id); }
    int GetDlgCtrlID() const { return ::GetDlgCtrlID(m_hWnd); }
    HWND GetParent() const { return ::GetParent(m_hWnd); }
    BOOL SetWindowPos(HWND insertAfter, int x, int y, int cx, int cy, UINT flags) const {
        return ::SetWindowPos(m_hWnd, insertAfter, x, y, cx, cy, flags);
    }
    BOOL MoveWindow(int x, int y, int width, int height, BOOL repaint = TRUE) const {
        return ::MoveWindow(m_hWnd, x, y, width, height, repaint);
    }
    // An empty rectangle when there is no window.
    void GetClientRect(RECT* rect) const {
        if (!::GetClientRect(m_hWnd, rect))
            ::SetRectEmpty(rect);
    }
    void GetWindowRect(RECT* rect) const {
        if (!::GetWindowRect(m_hWnd, rect))
            ::SetRectEmpty(rect);
    }
    DWORD GetStyle() const { return static_cast<DWORD>(::GetWindowLongPtrA(m_hWnd, GWL_STYLE)); }
    // Of the system's dialog class, "#32770" (atom 0x8002).
    bool IsDialog() const { return ::GetClassLongPtrA(m_hWnd, GCW_ATOM) == 0x8002; }
    HWND SetFocus() const { return ::SetFocus(m_hWnd); }
    void UpdateWindow() const { ::UpdateWindow(m_hWnd); }
    // Off: the window stops repainting while it changes (for a parent, with
    // all its children). On again: it is invalidated once, children included,
    // and paints at the next WM_PAINT. Use only on a window that is shown
    // within its parent: turning redraw on shows it.
    void SetRedraw(BOOL redraw) const;
    // All of the window, its frame and its children, paints at the next
    // WM_PAINT; nothing when it is not shown.
    void InvalidateAll() const;
    UINT_PTR SetTimer(UINT_PTR id, UINT elapse) const {
        return ::SetTimer(m_hWnd, id, elapse, nullptr);
    }
    BOOL KillTimer(UINT_PTR id) const { return ::KillTimer(m_hWnd, id); }
    LRESULT SendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const {
        return ::SendMessageA(m_hWnd, message, wParam, lParam);
    }
    // A message whose result is of the type the message defines; a pointer
    // goes as lParam.
    template <class Result> Result Send(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const {
        const LRESULT result = SendMessage(message, wParam, lParam);
        if constexpr (std::is_pointer_v<Result>)
            return reinterpret_cast<Result>(result);
        else
            return static_cast<Result>(result);
    }
    template <class Result, class T> Result Send(UINT message, WPARAM wParam, T* lParam) const {
        return Send<Result>(message, wParam, reinterpret_cast<LPARAM>(lParam));
    }
    BOOL PostMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const {
        return ::PostMessageA(m_hWnd, message, wParam, lParam);
    }
};
