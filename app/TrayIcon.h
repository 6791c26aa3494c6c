// One icon in the notification area of the task bar, owned by a window.
#pragma once

#include <windows.h>

class TrayIcon {
public:
    TrayIcon() = default;
    // Leaves the icon alone: Delete removes it before the window goes.
    ~TrayIcon() = default;
    TrayIcon(const TrayIcon&) = delete;
    TrayIcon& operator=(const TrayIcon&) = delete;

    // A null window is accepted; Add and Delete then do nothing.
    void Init(HWND window, UINT id);
    // The shell's result; the tip is cut to 63 characters.
    BOOL Add(HICON icon, const char* tip);
    BOOL Delete();

    HWND AssociatedWnd = nullptr;
    UINT IconID = 0;

private:
    // The record in its first form, which every shell version accepts.
    NOTIFYICONDATAA Record() const;
};
