// One icon in the notification area of the task bar, owned by a window.
#pragma once

#include <windows.h>

#include <string>

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
    // A new icon and tip for the icon that is there; the tip may have two
    // lines and is cut to 127 characters.
    BOOL Modify(HICON icon, const std::string& tip);
    // A notification balloon from the icon, with the sign of NIIF_WARNING
    // or NIIF_INFO.
    BOOL ShowBalloon(const std::string& title, const std::string& text, DWORD sign);

    HWND AssociatedWnd = nullptr;
    UINT IconID = 0;

private:
    // The record in its first form, which every shell version accepts, or
    // in the second, which has room for a longer tip and a balloon.
    NOTIFYICONDATAA Record(DWORD size = NOTIFYICONDATAA_V1_SIZE) const;
};
