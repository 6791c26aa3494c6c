#include "TrayIcon.h"

#include "AppMessages.h"
#include "Trace.h"

#include <shellapi.h>

// The shell tells the record's form from its size; the first form is the
// fields up to and including the 64-character tip.
#ifdef _WIN64
static_assert(NOTIFYICONDATAA_V1_SIZE == 104, "first-form tray record on x64");
#else
static_assert(NOTIFYICONDATAA_V1_SIZE == 88, "first-form tray record on x86");
#endif

void TrayIcon::Init(HWND window, UINT id) {
    AssociatedWnd = window;
    IconID = id;
    if (!window)
        Trace("TrayIcon::Init: WARNING: AssociatedWnd==NULL\n");
}

NOTIFYICONDATAA TrayIcon::Record(DWORD size) const {
    NOTIFYICONDATAA data{};
    data.cbSize = size;
    data.hWnd = AssociatedWnd;
    data.uID = IconID;
    return data;
}

BOOL TrayIcon::Add(HICON icon, const char* tip) {
    if (!AssociatedWnd)
        return FALSE;
    NOTIFYICONDATAA data = Record();
    data.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    data.uCallbackMessage = WM_APP_TRAY_NOTIFY;
    data.hIcon = icon;
    if (tip)
        lstrcpynA(data.szTip, tip, 64);
    const BOOL added = Shell_NotifyIconA(NIM_ADD, &data);
    if (!added)
        Trace("TrayIcon::Add: Shell_NotifyIcon(NIM_ADD) failed\n");
    return added;
}

BOOL TrayIcon::Delete() {
    if (!AssociatedWnd)
        return FALSE;
    NOTIFYICONDATAA data = Record();
    const BOOL deleted = Shell_NotifyIconA(NIM_DELETE, &data);
    if (!deleted)
        Trace("TrayIcon::Delete: Shell_NotifyIcon(NIM_DELETE) failed\n");
    return deleted;
}

BOOL TrayIcon::Modify(HICON icon, const std::string& tip) {
    if (!AssociatedWnd)
        return FALSE;
    NOTIFYICONDATAA data = Record(NOTIFYICONDATAA_V2_SIZE);
    data.uFlags = NIF_ICON | NIF_TIP;
    data.hIcon = icon;
    lstrcpynA(data.szTip, tip.c_str(), sizeof data.szTip);
    return Shell_NotifyIconA(NIM_MODIFY, &data);
}

BOOL TrayIcon::ShowBalloon(const std::string& title, const std::string& text, DWORD sign) {
    if (!AssociatedWnd)
        return FALSE;
    NOTIFYICONDATAA data = Record(NOTIFYICONDATAA_V2_SIZE);
    data.uFlags = NIF_INFO;
    data.dwInfoFlags = sign;
    lstrcpynA(data.szInfoTitle, title.c_str(), sizeof data.szInfoTitle);
    lstrcpynA(data.szInfo, text.c_str(), sizeof data.szInfo);
    return Shell_NotifyIconA(NIM_MODIFY, &data);
}
