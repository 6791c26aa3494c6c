// A window that is used, not owned: the size of one HWND, never destroys it.
// Control wrappers derive from it; CWnd adds ownership and a message map.
#pragma once

#include <windows.h>

#include <string>

class CWindowHandle {
public:
    HWND m_hWnd = nullptr;

    CWindowHandle() = default;
    explicit CWindowHandle(HWND hWnd) : m_hWnd(hWnd) {}

    HWND GetSafeHwnd() const { return m_hWnd; }
    void Attach(HWND hWnd) { m_hWnd = hWnd; }

    BOOL ShowWindow(int show) const;
    BOOL EnableWindow(BOOL enable = TRUE) const;
    BOOL IsWindowEnabled() const;
    BOOL IsWindowVisible() const;
    void SetWindowText(const std::string& text) const;
    std::string GetWindowText() const;
    HWND GetDlgItem(int id) const;
    int GetDlgCtrlID() const;
    HWND GetParent() const;
    BOOL SetWindowPos(HWND insertAfter, int x, int y, int cx, int cy, UINT flags) const;
    BOOL MoveWindow(int x, int y, int width, int height, BOOL repaint = TRUE) const;
    void GetClientRect(RECT* rect) const;
    void GetWindowRect(RECT* rect) const;
    DWORD GetStyle() const;
    HWND SetFocus() const;
    void Invalidate(BOOL erase = TRUE) const;
    void UpdateWindow() const;
    // Off: the window stops repainting while it changes (for a parent, with
    // all its children). On again: it is invalidated once, children included,
    // and paints at the next WM_PAINT. Use only on a window that is shown
    // within its parent: turning redraw on shows it.
    void SetRedraw(BOOL redraw) const;
    UINT_PTR SetTimer(UINT_PTR id, UINT elapse) const;
    BOOL KillTimer(UINT_PTR id) const;
    LRESULT SendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const;
    BOOL PostMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const;
};
