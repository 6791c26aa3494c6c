#include "DriverTransport.h"

namespace DriverTransport {

HANDLE Open(const char* deviceName) {
    return CreateFileA(deviceName, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                       nullptr, OPEN_EXISTING, FILE_FLAG_OVERLAPPED, nullptr);
}

// The driver only reads the input; DeviceIoControl does not say so.
DWORD Start(HANDLE device, DWORD code, const void* in, DWORD inSize, void* out, DWORD outSize,
            OVERLAPPED* request) {
    if (DeviceIoControl(device, code, const_cast<void*>(in), inSize, out, outSize, nullptr,
                        request))
        return ERROR_SUCCESS;
    return GetLastError();
}

DWORD Finish(HANDLE device, OVERLAPPED* request, DWORD* bytesReturned) {
    *bytesReturned = 0;
    return GetOverlappedResult(device, request, bytesReturned, FALSE) ? ERROR_SUCCESS
                                                                      : GetLastError();
}

void Cancel(HANDLE device, OVERLAPPED* request) {
    CancelIoEx(device, request);
}

BOOL Close(HANDLE device) {
    return CloseHandle(device);
}

DWORD LastError() {
    return GetLastError();
}

} // namespace DriverTransport
