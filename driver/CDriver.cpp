#include "CDriver.h"

#include "DriverCodes.h"
#include "DriverTransport.h"
#include "LockGuard.h"
#include "Trace.h"
#include "UiWait.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace {

// Interface 2.10 introduced the requests this program relies on; a new major
// version may have changed any record, so it is refused like an old one.
bool IsAcceptedVersion(const DriverVersion& version) {
    return version.Major == CDriver::AcceptedMajor && version.Minor >= CDriver::LeastAcceptedMinor;
}

// The registration record has room for 32 bits only. Handle values are
// indexes into the process's handle table and fit into 32 bits in 64-bit
// processes as well, so nothing is lost; this is the one place that narrows.
uint32_t EventHandleRecordValue(HANDLE event) {
    return static_cast<uint32_t>(reinterpret_cast<UINT_PTR>(event));
}

} // namespace

// One request as the driver sees it: the OVERLAPPED with its event and the
// request's own copies of both buffers. The driver owns all of it until the
// event is set; a request that is given up on keeps it until then.
class CDriver::Request {
public:
    Request() : m_Overlapped{} {
        m_Overlapped.hEvent = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    }
    ~Request() {
        if (m_Overlapped.hEvent)
            CloseHandle(m_Overlapped.hEvent);
    }
    Request(const Request&) = delete;
    Request& operator=(const Request&) = delete;

    bool Usable() const { return m_Overlapped.hEvent != nullptr; }
    bool Ended() const { return WaitForSingleObject(m_Overlapped.hEvent, 0) == WAIT_OBJECT_0; }
    HANDLE Event() const { return m_Overlapped.hEvent; }
    OVERLAPPED* Overlapped() { return &m_Overlapped; }

    // Hands the request to the driver, on buffers of its own that start as
    // the caller's: what the driver leaves unwritten reads as the caller had
    // it. The status of DriverTransport::Start.
    DWORD Start(HANDLE device, uint32_t code, const void* in, DWORD inSize, const void* out,
                DWORD outSize) {
        const BYTE* input = static_cast<const BYTE*>(in);
        const BYTE* output = static_cast<const BYTE*>(out);
        m_In.assign(input, input + (in ? inSize : 0));
        if (out)
            m_Out.assign(output, output + outSize);
        else
            m_Out.assign(outSize, 0);
        HANDLE event = m_Overlapped.hEvent;
        m_Overlapped = OVERLAPPED{};
        m_Overlapped.hEvent = event;
        return DriverTransport::Start(device, code, m_In.empty() ? nullptr : m_In.data(), inSize,
                                      Out(), outSize, &m_Overlapped);
    }
    void* Out() { return m_Out.empty() ? nullptr : m_Out.data(); }

private:
    OVERLAPPED m_Overlapped;
    std::vector<BYTE> m_In;
    std::vector<BYTE> m_Out;
};

CDriver::CDriver() : m_hDevice(nullptr), m_nOpenStatus(DRVSTATUS_NOT_OPEN) {
    InitializeCriticalSection(&m_Lock);
}

// A request the driver still holds may still be written to: its block is
// let go of, never freed.
CDriver::~CDriver() {
    Close();
    for (std::unique_ptr<Request>& request : m_Abandoned)
        if (!request->Ended())
            request.release();
    DeleteCriticalSection(&m_Lock);
}

uint32_t CDriver::Open() {
    LockGuard lock(m_Lock);
    if (m_hDevice)
        return DRVSTATUS_SUCCESS;
    m_nOpenStatus = OpenDevice();
    return m_nOpenStatus;
}

uint32_t CDriver::OpenDevice() {
    m_FoundVersion = DriverVersion{};
    const std::string name = std::string("\\\\.\\") + DRIVER_INTERFACE_ID;
    HANDLE device = DriverTransport::Open(name.c_str());
    if (device == INVALID_HANDLE_VALUE)
        return DriverTransport::LastError();
    m_hDevice = device;
    DriverVersion version{};
    uint32_t status = GetInterfaceVersion(&version);
    // A driver too slow to say its version is stalled, not refused: the
    // probe that finds it answering again finishes the check.
    if (status == DRVSTATUS_TIMEOUT) {
        m_bVersionUnchecked = true;
        return status;
    }
    if (status == DRVSTATUS_SUCCESS) {
        m_FoundVersion = version;
        if (!IsAcceptedVersion(version))
            status = DRVSTATUS_VERSION_MISMATCH;
    }
    if (status != DRVSTATUS_SUCCESS)
        Close();
    return status;
}

// Closing the handle asks the driver to end what it still holds of it.
void CDriver::Close() {
    LockGuard lock(m_Lock);
    if (m_bInRequest)
        m_bStopRequest = true;
    if (m_pProbe)
        Abandon(std::move(m_pProbe));
    m_bStalled = false;
    m_bVersionUnchecked = false;
    if (!m_hDevice)
        return;
    DriverTransport::Close(m_hDevice);
    m_hDevice = nullptr;
}

uint32_t CDriver::SendRequest(uint32_t code, const void* in, DWORD inSize, void* out, DWORD outSize,
                              DWORD* returned) {
    LockGuard lock(m_Lock);
    if (!m_hDevice)
        return DRVSTATUS_NOT_OPEN;
    if (m_bStalled)
        return DRVSTATUS_TIMEOUT;
    // Handlers do not run while a request waits; one that still starts a
    // request of the same connection is refused rather than let in between.
    if (m_bInRequest) {
        Trace("SendRequest(%08X) while a request waits\n", code);
        return DRVSTATUS_FAILED;
    }
    ReleaseEnded();
    if (!m_pSpare && !(m_pSpare = NewRequest()))
        return DRVSTATUS_FAILED;
    DWORD count = 0;
    const uint32_t status = Run(*m_pSpare, code, in, inSize, out, outSize, count);
    if (returned)
        *returned = count;
    return status;
}

std::unique_ptr<CDriver::Request> CDriver::NewRequest() {
    auto request = std::make_unique<Request>();
    return request->Usable() ? std::move(request) : nullptr;
}

uint32_t CDriver::Run(Request& request, uint32_t code, const void* in, DWORD inSize, void* out,
                      DWORD outSize, DWORD& count) {
    uint32_t status = request.Start(m_hDevice, code, in, inSize, out, outSize);
    if (status == ERROR_IO_PENDING) {
        status = AwaitEnd(request);
        if (status != DRVSTATUS_SUCCESS)
            return status; // given up on: nothing of it reaches the caller
    }
    if (status == DRVSTATUS_SUCCESS)
        status = DriverTransport::Finish(m_hDevice, request.Overlapped(), &count);
    // As with buffered I/O, only what the driver wrote reaches the caller.
    if (count > outSize)
        count = outSize;
    if (count)
        memcpy(out, request.Out(), count);
    return status;
}

// 0 when the driver ended the request; otherwise the request is given up on.
uint32_t CDriver::AwaitEnd(Request& request) {
    m_bInRequest = true;
    m_bStopRequest = false;
    const UiWait::Outcome outcome =
        UiWait::Wait(request.Event(), RequestTimeLimitMs, &m_bStopRequest);
    m_bInRequest = false;
    if (outcome == UiWait::Outcome::Ended)
        return DRVSTATUS_SUCCESS;
    Abandon(std::move(m_pSpare));
    if (outcome == UiWait::Outcome::Stopped)
        return DRVSTATUS_NOT_OPEN;
    Trace("Request timed out after %lu ms; the connection is stalled\n", RequestTimeLimitMs);
    m_bStalled = true;
    if (m_hStallWnd)
        PostMessageA(m_hStallWnd, m_nStallMsg, 0, 0);
    return DRVSTATUS_TIMEOUT;
}

void CDriver::Abandon(std::unique_ptr<Request> request) {
    if (m_hDevice)
        DriverTransport::Cancel(m_hDevice, request->Overlapped());
    m_Abandoned.push_back(std::move(request));
}

// Only a request the driver has ended may be freed.
void CDriver::ReleaseEnded() {
    m_Abandoned.erase(std::remove_if(
                          m_Abandoned.begin(), m_Abandoned.end(),
                          [](const std::unique_ptr<Request>& request) { return request->Ended(); }),
                      m_Abandoned.end());
}

void CDriver::SetStallNotify(HWND wnd, UINT msg) {
    LockGuard lock(m_Lock);
    m_hStallWnd = wnd;
    m_nStallMsg = msg;
}

bool CDriver::ProbeStalled() {
    LockGuard lock(m_Lock);
    ReleaseEnded();
    if (!m_bStalled)
        return true;
    DWORD started = ERROR_IO_PENDING; // the probe sent before has ended
    if (!m_pProbe) {
        if (!(m_pProbe = NewRequest()))
            return false;
        started = m_pProbe->Start(m_hDevice, DriverRequest::GetInterfaceVersion, nullptr, 0,
                                  nullptr, sizeof(DriverVersion));
        if (started == ERROR_IO_PENDING)
            return false;
    } else if (!m_pProbe->Ended()) {
        return false;
    }
    Trace("The driver answers again\n");
    m_bStalled = false;
    const bool refused = m_bVersionUnchecked && !ProbeAcceptsVersion(started);
    m_bVersionUnchecked = false;
    m_pProbe.reset();
    if (refused) {
        m_nOpenStatus = DRVSTATUS_VERSION_MISMATCH;
        Close();
    }
    return true;
}

// The version the probe brought back, for a connection opened while the
// driver was too slow to tell it.
bool CDriver::ProbeAcceptsVersion(DWORD started) {
    DWORD count = 0;
    if ((started != ERROR_IO_PENDING && started != DRVSTATUS_SUCCESS) ||
        DriverTransport::Finish(m_hDevice, m_pProbe->Overlapped(), &count) != DRVSTATUS_SUCCESS)
        return false;
    DriverVersion version{};
    memcpy(&version, m_pProbe->Out(), count < sizeof version ? count : sizeof version);
    m_FoundVersion = version;
    return IsAcceptedVersion(version);
}

uint32_t CDriver::GetInterfaceVersion(DriverVersion* version) {
    return Read(DriverRequest::GetInterfaceVersion, version);
}

uint32_t CDriver::GetIncludeDeviceName(uint32_t* include) {
    IncludeDeviceName record{*include};
    uint32_t status = Read(DriverRequest::GetIncludeDeviceName, &record);
    *include = record.Value;
    return status;
}

uint32_t CDriver::SetIncludeDeviceName(uint32_t include) {
    IncludeDeviceName record{include};
    return Write(DriverRequest::SetIncludeDeviceName, &record);
}

uint32_t CDriver::RegisterNotificationEvent(HANDLE event) {
    uint32_t value = EventHandleRecordValue(event);
    return Write(DriverRequest::RegisterNotificationEvent, &value);
}

uint32_t CDriver::GetNotification(Notification* notification) {
    return Read(DriverRequest::GetNotification, notification);
}

uint32_t CDriver::GetDeviceList(DeviceList* list) {
    return Read(DriverRequest::GetDeviceList, list);
}

uint32_t CDriver::GetChannelList(ChannelList* list) {
    return Read(DriverRequest::GetChannelList, list);
}

uint32_t CDriver::GetSynchSource(SynchSource* source) {
    return Read(DriverRequest::GetSynchSource, source);
}

uint32_t CDriver::SetSynchSource(const SynchSource* source) {
    return Write(DriverRequest::SetSynchSource, source);
}

uint32_t CDriver::GetSampleRateMode(uint32_t* mode) {
    ParamValue param{};
    uint32_t status = Read(DriverRequest::GetSampleRateMode, &param);
    if (status == DRVSTATUS_SUCCESS)
        *mode = param.Value;
    return status;
}

uint32_t CDriver::SetSampleRateMode(uint32_t mode) {
    ParamValue param{0, mode};
    return Write(DriverRequest::SetSampleRateMode, &param);
}

uint32_t CDriver::GetSampleRates(SampleRates* rates) {
    return Read(DriverRequest::GetSampleRates, rates);
}

uint32_t CDriver::SetSampleRate(uint32_t rate) {
    ParamValue param{0, rate};
    return Write(DriverRequest::SetSampleRate, &param);
}

uint32_t CDriver::GetDeviceSynchMode(uint32_t deviceId, DeviceSynchModes* modes) {
    return Send(DriverRequest::GetDeviceSynchMode, &deviceId, modes);
}

uint32_t CDriver::SetDeviceSynchMode(const SynchModeSelection* selection) {
    return Write(DriverRequest::SetDeviceSynchMode, selection);
}

uint32_t CDriver::GetDeviceProperties(uint32_t deviceId, DeviceProperties* properties) {
    return Send(DriverRequest::GetDeviceProperties, &deviceId, properties);
}

uint32_t CDriver::SetDeviceProperties(const DeviceProperties* properties) {
    return Write(DriverRequest::SetDeviceProperties, properties);
}

uint32_t CDriver::GetStreamStatus(uint32_t deviceId, StreamStatus* status) {
    return Send(DriverRequest::GetStreamStatus, &deviceId, status);
}

uint32_t CDriver::GetChannelProperties(uint32_t channelId, ChannelProperties* properties) {
    return Send(DriverRequest::GetChannelProperties, &channelId, properties);
}

uint32_t CDriver::SetChannelProperties(const ChannelProperties* properties) {
    return Write(DriverRequest::SetChannelProperties, properties);
}

uint32_t CDriver::StartStreaming() {
    return Send(DriverRequest::StartStreaming, nullptr, nullptr);
}

uint32_t CDriver::StopStreaming() {
    return Send(DriverRequest::StopStreaming, nullptr, nullptr);
}

uint32_t CDriver::GetStreamBufferDepth(StreamBufferDepth* depth) {
    return Read(DriverRequest::GetStreamBufferDepth, depth);
}

uint32_t CDriver::SetStreamBufferDepth(const StreamBufferDepth* depth) {
    return Write(DriverRequest::SetStreamBufferDepth, depth);
}

uint32_t CDriver::GetAsioBufferDepth(AudioBufferDepth* depth) {
    return Read(DriverRequest::GetAsioBufferDepth, depth);
}

uint32_t CDriver::SetAsioBufferDepth(const AudioBufferDepth* depth) {
    return Write(DriverRequest::SetAsioBufferDepth, depth);
}

uint32_t CDriver::GetWdmBufferDepth(AudioBufferDepth* depth) {
    return Read(DriverRequest::GetWdmBufferDepth, depth);
}

uint32_t CDriver::SetWdmBufferDepth(const AudioBufferDepth* depth) {
    return Write(DriverRequest::SetWdmBufferDepth, depth);
}

uint32_t CDriver::GetAsioStatistics(AsioStatistics* statistics) {
    return Read(DriverRequest::GetAsioStatistics, statistics);
}
