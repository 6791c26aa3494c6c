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
