// The program's own window messages. Their numbers are fixed: a second
// instance and the notification area reach a running instance with them.
#pragma once

#include <windows.h>

// A second start with "-asio" asks the running instance for the "Settings" page.
constexpr UINT WM_APP_SHOW_ASIO_PAGE = WM_APP + 1;
// The driver event listener wakes the view to drain the driver's queue.
constexpr UINT WM_APP_DRIVER_EVENT = WM_APP + 2;
// Mouse events on the notification-area icon.
constexpr UINT WM_APP_TRAY_NOTIFY = WM_APP + 3;
// A driver connection stalled: a request took longer than its time limit.
constexpr UINT WM_APP_DRIVER_STALLED = WM_APP + 7;
// A setup file handed over by a second start waits to be loaded.
constexpr UINT WM_APP_SETUP_HANDED_OVER = WM_APP + 12;
