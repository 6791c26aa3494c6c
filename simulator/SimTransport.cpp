// DriverTransport for the simulated build: every call goes to the one
// simulated driver of the process.
#include "DriverTransport.h"

#include "Simulator.h"

namespace DriverTransport {

HANDLE Open(const char* deviceName) {
    return CSimulator::Instance().Open(deviceName);
}

BOOL Control(HANDLE device, DWORD code, void* in, DWORD inSize, void* out, DWORD outSize,
             DWORD* bytesReturned) {
    return CSimulator::Instance().Control(device, code, in, inSize, out, outSize, bytesReturned);
}

BOOL Close(HANDLE device) {
    return CSimulator::Instance().Close(device);
}

DWORD LastError() {
    return GetLastError();
}

} // namespace DriverTransport
