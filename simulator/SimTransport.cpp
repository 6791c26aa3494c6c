// DriverTransport for the simulated build: every call goes to the one
// simulated driver of the process. A request that ends keeps its status and
// byte count in the OVERLAPPED, as the system keeps them.
#include "DriverTransport.h"

#include "Simulator.h"

namespace DriverTransport {

HANDLE Open(const char* deviceName) {
    return CSimulator::Instance().Open(deviceName);
}

DWORD Start(HANDLE device, DWORD code, const void* in, DWORD inSize, void* out, DWORD outSize,
            OVERLAPPED* request) {
    return CSimulator::Instance().Start(device, code, in, inSize, out, outSize, request);
}

DWORD Finish(HANDLE, OVERLAPPED* request, DWORD* bytesReturned) {
    *bytesReturned = static_cast<DWORD>(request->InternalHigh);
    return static_cast<DWORD>(request->Internal);
}

void Cancel(HANDLE device, OVERLAPPED* request) {
    CSimulator::Instance().Cancel(device, request);
}

BOOL Close(HANDLE device) {
    return CSimulator::Instance().Close(device);
}

DWORD LastError() {
    return GetLastError();
}

} // namespace DriverTransport
