// Asks the notification area whether it holds a window's icon: the shell
// accepts a change only for an icon that it has.
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
