// What a page tells the window that holds it. A page knows its parent only
// as a window: what other pages or the status bar have to show in answer is
// the parent's business, and a page alone in another window tells nobody.
#pragma once

#include <windows.h>

// The devices page stored a new device order or a new device name: the
// lists that show device names follow it.
constexpr UINT WM_APP_DEVICES_CHANGED = WM_APP + 4;
// The devices page read the devices; wParam is how many the driver reported.
constexpr UINT WM_APP_DEVICE_COUNT = WM_APP + 5;
// A channel page stored whether ASIO names include the device name; wParam
// is the check box's new state (BST_CHECKED or BST_UNCHECKED). The setting
// is one for both directions.
constexpr UINT WM_APP_INCLUDE_DEVICE_NAME = WM_APP + 6;
// The buffer page read the driver's drop-out statistics: wParam is the
// request's status, lParam the driver's total when it succeeded.
constexpr UINT WM_APP_ASIO_STATISTICS = WM_APP + 8;
// The drop-out page: the user reset the count.
constexpr UINT WM_APP_DROPOUTS_RESET = WM_APP + 9;
// The drop-out page: the user turned the warning while hidden on or off;
// wParam is the check box's new state.
constexpr UINT WM_APP_DROPOUT_WARNING = WM_APP + 10;
// The drop-out page asks for the "Settings" page, where the buffers are set.
constexpr UINT WM_APP_SHOW_SETTINGS = WM_APP + 11;
