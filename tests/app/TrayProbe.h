// Asks the notification area whether it holds a window's icon (the shell
// accepts a change only for an icon that it has), and plays the shell that
// loses every icon and then announces its new task bar.
#pragma once

#include <windows.h>
#include <shellapi.h>

inline bool TrayIconExists(HWND window, UINT id) {
    NOTIFYICONDATAA data{};
    data.cbSize = NOTIFYICONDATAA_V1_SIZE;
    data.hWnd = window;
    data.uID = id;
    data.uFlags = NIF_TIP;
    lstrcpynA(data.szTip, "Tarnet Control Panel", sizeof(data.szTip));
    return Shell_NotifyIconA(NIM_MODIFY, &data) != FALSE;
}

// What a task bar made anew is like: it holds none of the old icons.
inline bool RemoveTrayIcon(HWND window, UINT id) {
    NOTIFYICONDATAA data{};
    data.cbSize = NOTIFYICONDATAA_V1_SIZE;
    data.hWnd = window;
    data.uID = id;
    return Shell_NotifyIconA(NIM_DELETE, &data) != FALSE;
}

// What the shell does once it has made a task bar, at log-on or after
// Explorer restarted: it tells every top-level window.
inline void BroadcastTaskbarCreated() {
    ::SendNotifyMessageA(HWND_BROADCAST, ::RegisterWindowMessageA("TaskbarCreated"), 0, 0);
}
