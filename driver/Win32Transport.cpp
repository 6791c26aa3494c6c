#include "DriverTransport.h"

namespace DriverTransport {

HANDLE Open(const char* deviceName) {
    return CreateFileA(deviceName, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                       nullptr, OPEN_EXISTING, 0, nullptr);
}

BOOL Control(HANDLE device, DWORD code, void* in, DWORD inSize, void* out, DWORD outSize,
             DWORD* bytesReturned) {
    return DeviceIoControl(device, code, in, inSize, out, outSize, bytesReturned, nullptr);
}

BOOL Close(HANDLE device) {
    return CloseHandle(device);
}

DWORD LastError() {
    return GetLastError();
}

} // namespace DriverTransport
