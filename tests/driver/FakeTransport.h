// A scripted stand-in for the driver's device behind the DriverTransport
// functions: it logs every request, answers through a responder the test
// sets, and can signal the event that was registered with it.
#pragma once

#include <windows.h>

#include <cstdint>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

struct FakeRequest {
    HANDLE Device;
    uint32_t Code;
    std::vector<uint8_t> Input;
    DWORD OutSize;
};

// Writes the reply into out (OutSize bytes) and returns the status; a
// non-zero status fails the request with that last-error value.
using FakeResponder = std::function<uint32_t(const FakeRequest& request, uint8_t* out)>;

namespace FakeDriver {
// Back to a present driver of version 2.10 that answers every other request
// with success and writes nothing.
void Reset();
// Opening fails with this last-error value; 0 lets it succeed again.
void SetOpenError(DWORD error);
void SetVersion(uint8_t major, uint8_t minor);
// The version request fails with this status.
void SetVersionStatus(uint32_t status);
// Answers every request except the version request.
void SetResponder(FakeResponder responder);
// Called when an event is registered, with the handle the driver received.
void SetOnRegister(std::function<void(HANDLE event)> onRegister);

std::vector<FakeRequest> Log();
std::vector<FakeRequest> Requests(uint32_t code);
void ClearLog();
std::vector<std::string> OpenedNames();
int OpenHandleCount();
// Closes of handles that were not open, and requests on them.
int Misuses();
HANDLE RegisteredEvent();
void SignalRegisteredEvent();
} // namespace FakeDriver

template <typename Record> void WriteReply(uint8_t* out, const Record& record) {
    std::memcpy(out, &record, sizeof record);
}

template <typename Record> std::vector<uint8_t> BytesOf(const Record& record) {
    const uint8_t* bytes = reinterpret_cast<const uint8_t*>(&record);
    return std::vector<uint8_t>(bytes, bytes + sizeof record);
}

// The 4-byte id that a request by id carries.
uint32_t InputId(const FakeRequest& request);
