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

NOTIFYICONDATAA TrayIcon::Record() const {
    NOTIFYICONDATAA data{};
    data.cbSize = NOTIFYICONDATAA_V1_SIZE;
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
