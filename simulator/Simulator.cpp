#include "Simulator.h"

#include "DriverCodes.h"
#include "SimDefaultSetup.h"

#include <process.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <utility>

// A request that a delay holds: the answer the driver had when it arrived,
// and where it goes when its time comes.
class CSimulator::PendingRequest {
public:
    HANDLE Device;
    OVERLAPPED* Request;
    void* Out;
    uint32_t Status;
    std::vector<uint8_t> Answer;
    ULONGLONG Due; // ULLONG_MAX: until released
    bool IgnoresCancel;
    bool Cancelled = false;
    bool Released = false;
    HANDLE Wake = CreateEventA(nullptr, FALSE, FALSE, nullptr);

    ~PendingRequest() {
        if (Wake)
            CloseHandle(Wake);
    }
    // Whether it may end now; otherwise how long it still waits.
    bool ReadyToEnd(DWORD& wait) const {
        if (Released || (Cancelled && !IgnoresCancel))
            return true;
        const ULONGLONG now = GetTickCount64();
        if (now >= Due)
            return true;
        wait = Due == ULLONG_MAX ? INFINITE
                                 : static_cast<DWORD>(std::min<ULONGLONG>(Due - now, INFINITE - 1));
        return false;
    }
};

namespace {

// Request names are matched without regard to case: people type them.
const DriverRequestInfo* FindDriverRequestByName(const char* name) {
    for (const DriverRequestInfo& request : kDriverRequests)
        if (lstrcmpiA(request.Name, name) == 0)
            return &request;
    return nullptr;
}

} // namespace

CSimulator& CSimulator::Instance() {
    static CSimulator simulator;
    return simulator;
}

CSimulator::CSimulator() {
    CSimDefaultSetup::Apply(m_Model);
    ReadDelaysFromEnvironment();
    ReadDriverFromEnvironment();
}

CSimulator::~CSimulator() {
    ReleaseAll();
}

HANDLE CSimulator::Open(const char* deviceName) {
    CSimLock::Guard guard(m_Lock);
    const std::string expected = std::string("\\\\.\\") + DRIVER_INTERFACE_ID;
    // Device names are not case-sensitive.
    if (!m_Present || !deviceName || lstrcmpiA(expected.c_str(), deviceName) != 0) {
        SetLastError(ERROR_FILE_NOT_FOUND);
        return INVALID_HANDLE_VALUE;
    }
    return m_Connections.Open();
}

DWORD CSimulator::Start(HANDLE device, DWORD code, const void* in, DWORD inSize, void* out,
                        DWORD outSize, OVERLAPPED* request) {
    CSimLock::Guard guard(m_Lock);
    const Delay* delay = DelayFor(code);
    std::vector<uint8_t> held(delay ? outSize : 0);
    void* answer = delay ? static_cast<void*>(held.data()) : out;
    DWORD returned = 0;
    const uint32_t status =
        Dispatch(device, code, in, inSize, outSize ? answer : nullptr, outSize, returned);
    const uint8_t* input = static_cast<const uint8_t*>(in);
    m_Log.push_back(SimLogEntry{
        device, code, input ? std::vector<uint8_t>(input, input + inSize) : std::vector<uint8_t>(),
        outSize, status});
    if (delay) {
        held.resize(returned);
        return Hold(device, *delay, status, std::move(held), out, request);
    }
    request->Internal = status;
    request->InternalHigh = returned;
    return status;
}

DWORD CSimulator::Hold(HANDLE device, const Delay& delay, uint32_t status,
                       std::vector<uint8_t> answer, void* out, OVERLAPPED* request) {
    const ULONGLONG due =
        delay.Milliseconds == INFINITE ? ULLONG_MAX : GetTickCount64() + delay.Milliseconds;
    auto* pending = new PendingRequest{
        device, request, out, status, std::move(answer), due, delay.IgnoresCancel};
    request->Internal = STATUS_PENDING;
    request->InternalHigh = 0;
    ResetEvent(request->hEvent);
    m_Pending.push_back(pending);
    CloseEndedThreads();
    const uintptr_t thread = _beginthreadex(nullptr, 0, Complete, pending, 0, nullptr);
    if (!thread) {
        pending->Released = true;
        Finish(*pending);
        return static_cast<DWORD>(request->Internal);
    }
    m_CompletionThreads.push_back(reinterpret_cast<HANDLE>(thread));
    return ERROR_IO_PENDING;
}

// One thread per held request: it sleeps until the request is due,
// released or cancelled, then ends it.
unsigned __stdcall CSimulator::Complete(void* argument) {
    auto* pending = static_cast<PendingRequest*>(argument);
    CSimulator& sim = Instance();
    for (;;) {
        DWORD wait = 0;
        {
            CSimLock::Guard guard(sim.m_Lock);
            if (pending->ReadyToEnd(wait))
                break;
        }
        WaitForSingleObject(pending->Wake, wait);
    }
    CSimLock::Guard guard(sim.m_Lock);
    sim.Finish(*pending);
    return 0;
}

// As the system ends a request: the answer, then the status, then the event.
void CSimulator::Finish(PendingRequest& pending) {
    const bool aborted = pending.Cancelled && !pending.IgnoresCancel;
    OVERLAPPED* request = pending.Request;
    if (!aborted && !pending.Answer.empty())
        memcpy(pending.Out, pending.Answer.data(), pending.Answer.size());
    request->InternalHigh = aborted ? 0 : pending.Answer.size();
    request->Internal = aborted ? ERROR_OPERATION_ABORTED : pending.Status;
    const HANDLE event = request->hEvent;
    m_Pending.erase(std::remove(m_Pending.begin(), m_Pending.end(), &pending), m_Pending.end());
    delete &pending;
    SetEvent(event);
}

void CSimulator::Cancel(HANDLE device, OVERLAPPED* request) {
    CSimLock::Guard guard(m_Lock);
    CancelHeld(device, request);
}

// The held requests of a handle, or only the one given, end as cancelled
// (unless their delay ignores that).
void CSimulator::CancelHeld(HANDLE device, const OVERLAPPED* request) {
    for (PendingRequest* pending : m_Pending) {
        if (pending->Device != device || (request && pending->Request != request))
            continue;
        pending->Cancelled = true;
        SetEvent(pending->Wake);
    }
}

// A program held for long keeps no handle of a thread that has done its work.
void CSimulator::CloseEndedThreads() {
    const auto ended =
        std::remove_if(m_CompletionThreads.begin(), m_CompletionThreads.end(), [](HANDLE thread) {
            return WaitForSingleObject(thread, 0) == WAIT_OBJECT_0 && CloseHandle(thread);
        });
    m_CompletionThreads.erase(ended, m_CompletionThreads.end());
}

// Everything held is answered now, and ended before this returns.
void CSimulator::ReleaseAll() {
    std::vector<HANDLE> threads;
    {
        CSimLock::Guard guard(m_Lock);
        for (PendingRequest* pending : m_Pending) {
            pending->Released = true;
            SetEvent(pending->Wake);
        }
        threads.swap(m_CompletionThreads);
    }
    for (HANDLE thread : threads) {
        WaitForSingleObject(thread, INFINITE);
        CloseHandle(thread);
    }
}

const CSimulator::Delay* CSimulator::DelayFor(uint32_t code) const {
    auto found = m_Delays.find(code);
    if (found == m_Delays.end())
        found = m_Delays.find(0);
    if (found == m_Delays.end() || GetTickCount64() < found->second.From)
        return nullptr;
    return &found->second;
}

// As a driver cleans up a closed handle: what it still holds of it ends.
BOOL CSimulator::Close(HANDLE device) {
    CSimLock::Guard guard(m_Lock);
    CancelHeld(device, nullptr);
    if (!m_Connections.Close(device)) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    return TRUE;
}

uint32_t CSimulator::Dispatch(HANDLE device, uint32_t code, const void* in, DWORD inSize, void* out,
                              DWORD outSize, DWORD& returned) {
    if (!m_Connections.IsOpen(device))
        return ERROR_INVALID_HANDLE;
    if (const uint32_t lost = m_Connections.LostStatus(device))
        return lost;
    if (!m_Present)
        return ERROR_DEVICE_NOT_CONNECTED;
    if ((!in && inSize) || (!out && outSize))
        return ERROR_NOACCESS;
    return m_Filter ? Filtered(device, code, in, inSize, out, outSize, returned)
                    : Answer(device, code, in, inSize, out, outSize, returned);
}

uint32_t CSimulator::Answer(HANDLE device, uint32_t code, const void* in, DWORD inSize, void* out,
                            DWORD outSize, DWORD& returned) {
    uint32_t status = DRVSTATUS_SUCCESS;
    if (TakeFault(code, status))
        return status;
    const auto reply = m_Replies.find(code);
    if (reply == m_Replies.end())
        return m_Requests.Run(device, code, in, inSize, out, outSize, returned);
    const std::vector<uint8_t>& bytes = reply->second.Bytes;
    returned = static_cast<DWORD>(bytes.size() < outSize ? bytes.size() : outSize);
    if (returned)
        memcpy(out, bytes.data(), returned);
    if (reply->second.Times != SIZE_MAX && --reply->second.Times == 0)
        m_Replies.erase(reply);
    return DRVSTATUS_SUCCESS;
}

// The reply is built in a copy of the caller's buffer, so that a shortened
// reply leaves the rest of the caller's buffer as it was, as buffered I/O does.
uint32_t CSimulator::Filtered(HANDLE device, uint32_t code, const void* in, DWORD inSize, void* out,
                              DWORD outSize, DWORD& returned) {
    uint8_t* caller = static_cast<uint8_t*>(out);
    std::vector<uint8_t> reply(caller, caller + outSize);
    uint32_t status = Answer(device, code, in, inSize, reply.data(), outSize, returned);
    m_Filter(code, status, reply, returned);
    if (returned > outSize)
        returned = outSize;
    if (status != DRVSTATUS_SUCCESS)
        returned = 0;
    if (returned)
        memcpy(out, reply.data(), returned);
    return status;
}

bool CSimulator::TakeFault(uint32_t code, uint32_t& status) {
    const auto fault = m_Faults.find(code);
    if (fault == m_Faults.end())
        return false;
    status = fault->second.Status;
    if (!fault->second.Always)
        m_Faults.erase(fault);
    return true;
}

void CSimulator::Reset() {
    ReleaseAll();
    CSimLock::Guard guard(m_Lock);
    m_Delays.clear();
    m_Connections.CloseAll();
    CSimDefaultSetup::Apply(m_Model);
    m_Log.clear();
    m_Faults.clear();
    m_Replies.clear();
    m_Present = true;
    m_Filter = nullptr;
}

std::vector<SimLogEntry> CSimulator::Log() const {
    CSimLock::Guard guard(m_Lock);
    return m_Log;
}

size_t CSimulator::CountRequests(uint32_t code) const {
    CSimLock::Guard guard(m_Lock);
    size_t count = 0;
    for (const SimLogEntry& entry : m_Log)
        if (entry.Code == code)
            ++count;
    return count;
}

void CSimulator::ClearLog() {
    CSimLock::Guard guard(m_Lock);
    m_Log.clear();
}

void CSimulator::FailRequest(uint32_t code, uint32_t status, bool always) {
    CSimLock::Guard guard(m_Lock);
    m_Faults[code] = Fault{status, always};
}

void CSimulator::ClearFaults() {
    CSimLock::Guard guard(m_Lock);
    m_Faults.clear();
}

void CSimulator::DelayRequests(uint32_t code, DWORD milliseconds, bool ignoresCancel) {
    CSimLock::Guard guard(m_Lock);
    m_Delays[code] = Delay{milliseconds, ignoresCancel, 0};
}

void CSimulator::ClearDelays() {
    {
        CSimLock::Guard guard(m_Lock);
        m_Delays.clear();
    }
    ReleaseAll();
}

size_t CSimulator::PendingRequests() const {
    CSimLock::Guard guard(m_Lock);
    return m_Pending.size();
}

// For the simulated program started from outside (the benchmarks, tests of
// whole processes); a token that does not parse is left out.
void CSimulator::ReadDelaysFromEnvironment() {
    char text[1024] = "";
    const DWORD length = GetEnvironmentVariableA("DEMTREL_SIM_DELAY", text, sizeof text);
    if (length == 0 || length >= sizeof text)
        return;
    for (char* token = strtok(text, ","); token; token = strtok(nullptr, ",")) {
        char* value = strchr(token, '=');
        if (!value)
            continue;
        *value++ = '\0';
        const DriverRequestInfo* request = FindDriverRequestByName(token);
        if (!request && strcmp(token, "*") != 0)
            continue;
        char* rest = nullptr;
        const unsigned long milliseconds = strtoul(value, &rest, 10);
        if (rest == value)
            continue;
        Delay delay{static_cast<DWORD>(milliseconds), *rest == '!', 0};
        if (*rest == '!')
            ++rest;
        if (*rest == '@')
            delay.From = GetTickCount64() + strtoul(rest + 1, nullptr, 10);
        m_Delays[request ? request->Code : 0] = delay;
    }
}

// For the demonstration and screenshots of a machine without a usable
// driver; anything else leaves the driver as it is.
void CSimulator::ReadDriverFromEnvironment() {
    char text[32] = "";
    const DWORD length = GetEnvironmentVariableA("DEMTREL_SIM_DRIVER", text, sizeof text);
    if (length == 0 || length >= sizeof text)
        return;
    if (lstrcmpiA(text, "absent") == 0) {
        m_Present = false;
        return;
    }
    char* rest = nullptr;
    const unsigned long major = strtoul(text, &rest, 10);
    if (rest == text || *rest != '.' || major > 255)
        return;
    const char* minorText = rest + 1;
    const unsigned long minor = strtoul(minorText, &rest, 10);
    if (rest == minorText || *rest != '\0' || minor > 255)
        return;
    m_Model.VersionMajor = static_cast<uint8_t>(major);
    m_Model.VersionMinor = static_cast<uint8_t>(minor);
}

void CSimulator::SetReply(uint32_t code, const std::vector<uint8_t>& bytes, size_t times) {
    CSimLock::Guard guard(m_Lock);
    if (times == 0)
        m_Replies.erase(code);
    else
        m_Replies[code] = Reply{bytes, times};
}

void CSimulator::ClearReply(uint32_t code) {
    CSimLock::Guard guard(m_Lock);
    m_Replies.erase(code);
}

void CSimulator::SetReplyFilter(ReplyFilter filter) {
    CSimLock::Guard guard(m_Lock);
    m_Filter = std::move(filter);
}

void CSimulator::SetInterfaceVersion(uint8_t major, uint8_t minor) {
    CSimLock::Guard guard(m_Lock);
    m_Model.VersionMajor = major;
    m_Model.VersionMinor = minor;
}

void CSimulator::SetDriverPresent(bool present) {
    CSimLock::Guard guard(m_Lock);
    m_Present = present;
}

void CSimulator::RestartDriver(uint32_t staleStatus) {
    CSimLock::Guard guard(m_Lock);
    m_Connections.LoseAll(staleStatus);
}

uint32_t CSimulator::AddDevice(const std::string& name, const std::string& serialNumber,
                               uint32_t inputs, uint32_t outputs) {
    CSimLock::Guard guard(m_Lock);
    const uint32_t id =
        CSimDefaultSetup::AddPlainInterface(m_Model, name, serialNumber, inputs, outputs);
    if (id)
        QueueReconfiguration();
    return id;
}

bool CSimulator::RemoveDevice(uint32_t deviceId) {
    CSimLock::Guard guard(m_Lock);
    if (!m_Model.RemoveDevice(deviceId))
        return false;
    // Losing the clock master hands the clock back to the PC.
    if (m_Model.Source.SourceKind == 1 && m_Model.Source.MasterDeviceId == deviceId) {
        m_Model.Source.SourceKind = 0;
        m_Model.Source.MasterDeviceId = 0;
    }
    QueueReconfiguration();
    return true;
}

// After the bus reset the driver has the new set of devices in its domain,
// and says so.
void CSimulator::QueueReconfiguration() {
    m_Connections.Queue(EvtType_BusReset);
    m_Connections.Queue(EvtType_DomainConfigurationChanged);
}

void CSimulator::QueueNotification(uint32_t type) {
    CSimLock::Guard guard(m_Lock);
    m_Connections.Queue(type);
}

void CSimulator::SetWdmDeviceInUse(bool inUse) {
    CSimLock::Guard guard(m_Lock);
    m_Model.WdmDeviceInUse = inUse;
}

void CSimulator::SetDropOuts(uint32_t dropOuts) {
    CSimLock::Guard guard(m_Lock);
    m_Model.DropOuts = dropOuts;
}

size_t CSimulator::OpenHandleCount() const {
    CSimLock::Guard guard(m_Lock);
    return m_Connections.OpenCount();
}

size_t CSimulator::PendingNotifications(HANDLE device) const {
    CSimLock::Guard guard(m_Lock);
    return m_Connections.Pending(device);
}
