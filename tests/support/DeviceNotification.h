// The system's device-interface notifications, as a window receives them.
#pragma once

#include <windows.h>

#include <string>

// Sends WM_DEVICECHANGE with this event and a device-interface record of the
// driver's interface class naming this interface, as the system builds it.
LRESULT SendDeviceInterfaceChange(HWND window, WPARAM event, const GUID& interfaceClass,
                                  const std::string& interfaceName);
