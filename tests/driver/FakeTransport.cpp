#include "FakeTransport.h"

#include "DriverCodes.h"
#include "DriverRecords.h"
#include "DriverTransport.h"

#include <algorithm>

namespace {

struct FakeState {
    DWORD OpenError = 0;
    DriverVersion Version{2, 10, {}};
    uint32_t VersionStatus = 0;
    FakeResponder Responder;
    std::function<void(HANDLE)> OnRegister;
    std::vector<FakeRequest> Log;
    std::vector<std::string> OpenedNames;
    std::vector<HANDLE> OpenHandles;
    uintptr_t NextHandle = 0x4000;
    int Misuses = 0;
    HANDLE RegisteredEvent = nullptr;
};

FakeState& State() {
    static FakeState state;
    return state;
}

bool IsOpen(HANDLE device) {
    const std::vector<HANDLE>& open = State().OpenHandles;
    return std::find(open.begin(), open.end(), device) != open.end();
}

uint32_t Answer(const FakeRequest& request, uint8_t* out) {
    FakeState& state = State();
    if (request.Code == DriverRequest::GetInterfaceVersion) {
        if (state.VersionStatus == 0 && request.OutSize >= sizeof state.Version)
            WriteReply(out, state.Version);
        return state.VersionStatus;
    }
    if (request.Code == DriverRequest::RegisterNotificationEvent && request.Input.size() == 4) {
        state.RegisteredEvent = reinterpret_cast<HANDLE>(static_cast<UINT_PTR>(InputId(request)));
        if (state.OnRegister)
            state.OnRegister(state.RegisteredEvent);
    }
    return state.Responder ? state.Responder(request, out) : 0;
}

} // namespace

namespace DriverTransport {

HANDLE Open(const char* deviceName) {
    FakeState& state = State();
    state.OpenedNames.push_back(deviceName);
    if (state.OpenError) {
        SetLastError(state.OpenError);
        return INVALID_HANDLE_VALUE;
    }
    HANDLE device = reinterpret_cast<HANDLE>(state.NextHandle);
    state.NextHandle += 4;
    state.OpenHandles.push_back(device);
    return device;
}

// Every request ends at once, as a driver that answers promptly.
DWORD Start(HANDLE device, DWORD code, const void* in, DWORD inSize, void* out, DWORD outSize,
            OVERLAPPED* pending) {
    FakeState& state = State();
    if (!IsOpen(device)) {
        ++state.Misuses;
        return ERROR_INVALID_HANDLE;
    }
    const uint8_t* input = static_cast<const uint8_t*>(in);
    FakeRequest request{device, code, std::vector<uint8_t>(input, input + (in ? inSize : 0)),
                        outSize};
    state.Log.push_back(request);
    const uint32_t status = Answer(request, static_cast<uint8_t*>(out));
    pending->Internal = status;
    pending->InternalHigh = status == 0 ? outSize : 0;
    return status;
}

DWORD Finish(HANDLE, OVERLAPPED* pending, DWORD* bytesReturned) {
    *bytesReturned = static_cast<DWORD>(pending->InternalHigh);
    return static_cast<DWORD>(pending->Internal);
}

void Cancel(HANDLE, OVERLAPPED*) {}

BOOL Close(HANDLE device) {
    std::vector<HANDLE>& open = State().OpenHandles;
    auto found = std::find(open.begin(), open.end(), device);
    if (found == open.end()) {
        ++State().Misuses;
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    open.erase(found);
    return TRUE;
}

DWORD LastError() {
    return GetLastError();
}

} // namespace DriverTransport

namespace FakeDriver {

void Reset() {
    State() = FakeState();
}

void SetOpenError(DWORD error) {
    State().OpenError = error;
}

void SetVersion(uint8_t major, uint8_t minor) {
    State().Version.Major = major;
    State().Version.Minor = minor;
}

void SetVersionStatus(uint32_t status) {
    State().VersionStatus = status;
}

void SetResponder(FakeResponder responder) {
    State().Responder = std::move(responder);
}

void SetOnRegister(std::function<void(HANDLE)> onRegister) {
    State().OnRegister = std::move(onRegister);
}

std::vector<FakeRequest> Log() {
    return State().Log;
}

std::vector<FakeRequest> Requests(uint32_t code) {
    std::vector<FakeRequest> matching;
    for (const FakeRequest& request : State().Log)
        if (request.Code == code)
            matching.push_back(request);
    return matching;
}

void ClearLog() {
    State().Log.clear();
}

std::vector<std::string> OpenedNames() {
    return State().OpenedNames;
}

int OpenHandleCount() {
    return static_cast<int>(State().OpenHandles.size());
}

int Misuses() {
    return State().Misuses;
}

HANDLE RegisteredEvent() {
    return State().RegisteredEvent;
}

void SignalRegisteredEvent() {
    SetEvent(State().RegisteredEvent);
}

} // namespace FakeDriver

uint32_t InputId(const FakeRequest& request) {
    uint32_t id = 0;
    if (request.Input.size() == sizeof id)
        std::memcpy(&id, request.Input.data(), sizeof id);
    return id;
}
