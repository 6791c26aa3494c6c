// The one road from the program to the driver's device. The release build
// links the Win32 implementation, the simulated build the simulator.
//
// Requests are overlapped, as on a device opened with FILE_FLAG_OVERLAPPED: a
// request may still go on in the driver when Start returns, and until the
// event of its OVERLAPPED is set its buffers and the OVERLAPPED itself belong
// to the driver, which may write the answer into them at any time.
#pragma once

#include <windows.h>

namespace DriverTransport {
// Opens the device for overlapped requests; INVALID_HANDLE_VALUE on failure,
// with the reason in LastError.
HANDLE Open(const char* deviceName);
// Starts one request: 0 when it ended at once with success, ERROR_IO_PENDING
// when it goes on (the event of the OVERLAPPED is set when it ends), any
// other value is the status it failed with at once.
DWORD Start(HANDLE device, DWORD code, const void* in, DWORD inSize, void* out, DWORD outSize,
            OVERLAPPED* request);
// The status of a request that has ended, and the bytes it wrote.
DWORD Finish(HANDLE device, OVERLAPPED* request, DWORD* bytesReturned);
// Asks the driver to end a request early; it still ends through its event,
// and the driver may ignore the request.
void Cancel(HANDLE device, OVERLAPPED* request);
BOOL Close(HANDLE device);
DWORD LastError();
} // namespace DriverTransport
