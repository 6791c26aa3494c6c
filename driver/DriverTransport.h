// The one road from the program to the driver's device. The release build
// links the Win32 implementation, the simulated build the simulator; both
// behave like the Win32 calls of the same names, reporting failures through
// the thread's last-error value.
#pragma once

#include <windows.h>

namespace DriverTransport {
// Opens the device; INVALID_HANDLE_VALUE on failure.
HANDLE Open(const char* deviceName);
// One synchronous control request; FALSE on failure.
BOOL Control(HANDLE device, DWORD code, void* in, DWORD inSize, void* out, DWORD outSize,
             DWORD* bytesReturned);
BOOL Close(HANDLE device);
DWORD LastError();
} // namespace DriverTransport
