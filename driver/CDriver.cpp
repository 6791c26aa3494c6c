#include "CDriver.h"

#include "DriverCodes.h"
#include "DriverTransport.h"
#include "LockGuard.h"

#include <cstdio>

namespace {

// Interface 2.10 introduced the requests this program relies on; a new major
// version may have changed any record, so it is refused like an old one.
bool IsAcceptedVersion(const DriverVersion& version) {
    return version.Major == 2 && version.Minor >= 10;
}

// The registration record has room for 32 bits only. Handle values are
// indexes into the process's handle table and fit into 32 bits in 64-bit
// processes as well, so nothing is lost; this is the one place that narrows.
uint32_t EventHandleRecordValue(HANDLE event) {
    return static_cast<uint32_t>(reinterpret_cast<UINT_PTR>(event));
}

} // namespace

CDriver::CDriver() : m_hDevice(nullptr) {
    InitializeCriticalSection(&m_Lock);
}

CDriver::~CDriver() {
    Close();
    DeleteCriticalSection(&m_Lock);
}

uint32_t CDriver::Open() {
    LockGuard lock(m_Lock);
    if (m_hDevice)
        return DRVSTATUS_SUCCESS;
    char name[64];
    snprintf(name, sizeof name, "\\\\.\\%s", DRIVER_INTERFACE_ID);
    HANDLE device = DriverTransport::Open(name);
    if (device == INVALID_HANDLE_VALUE)
        return DriverTransport::LastError();
    m_hDevice = device;
    DriverVersion version{};
    uint32_t status = GetInterfaceVersion(&version);
    if (status == DRVSTATUS_SUCCESS && !IsAcceptedVersion(version))
        status = DRVSTATUS_VERSION_MISMATCH;
    if (status != DRVSTATUS_SUCCESS)
        Close();
    return status;
}

void CDriver::Close() {
    LockGuard lock(m_Lock);
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
    DWORD count = 0;
    // The driver only reads the input; the transport keeps the Win32
    // signature, which does not say so.
    BOOL done = DriverTransport::Control(m_hDevice, code, const_cast<void*>(in), inSize, out,
                                         outSize, &count);
    uint32_t status = done ? DRVSTATUS_SUCCESS : DriverTransport::LastError();
    if (returned)
        *returned = count;
    return status;
}

template <typename Record> uint32_t CDriver::Read(uint32_t code, Record* record) {
    return SendRequest(code, nullptr, 0, record, sizeof *record);
}

template <typename Record> uint32_t CDriver::Write(uint32_t code, const Record* record) {
    return SendRequest(code, record, sizeof *record, nullptr, 0);
}

template <typename Record> uint32_t CDriver::ReadById(uint32_t code, uint32_t id, Record* record) {
    return SendRequest(code, &id, sizeof id, record, sizeof *record);
}

uint32_t CDriver::SendValue(uint32_t code, uint32_t value) {
    ParamValue param{0, value};
    return Write(code, &param);
}

uint32_t CDriver::GetInterfaceVersion(DriverVersion* version) {
    return Read(DriverRequest::GetInterfaceVersion, version);
}

uint32_t CDriver::GetIncludeDeviceName(uint32_t* include) {
    static_assert(sizeof *include == sizeof(IncludeDeviceName));
    return Read(DriverRequest::GetIncludeDeviceName, include);
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
    return SendValue(DriverRequest::SetSampleRateMode, mode);
}

uint32_t CDriver::GetSampleRates(SampleRates* rates) {
    return Read(DriverRequest::GetSampleRates, rates);
}

uint32_t CDriver::SetSampleRate(uint32_t rate) {
    return SendValue(DriverRequest::SetSampleRate, rate);
}

uint32_t CDriver::GetDeviceSynchMode(uint32_t deviceId, DeviceSynchModes* modes) {
    return ReadById(DriverRequest::GetDeviceSynchMode, deviceId, modes);
}

uint32_t CDriver::SetDeviceSynchMode(const SynchModeSelection* selection) {
    return Write(DriverRequest::SetDeviceSynchMode, selection);
}

uint32_t CDriver::GetDeviceProperties(uint32_t deviceId, DeviceProperties* properties) {
    return ReadById(DriverRequest::GetDeviceProperties, deviceId, properties);
}

uint32_t CDriver::SetDeviceProperties(const DeviceProperties* properties) {
    return Write(DriverRequest::SetDeviceProperties, properties);
}

uint32_t CDriver::GetStreamStatus(uint32_t deviceId, StreamStatus* status) {
    return ReadById(DriverRequest::GetStreamStatus, deviceId, status);
}

uint32_t CDriver::GetChannelProperties(uint32_t channelId, ChannelProperties* properties) {
    return ReadById(DriverRequest::GetChannelProperties, channelId, properties);
}

uint32_t CDriver::SetChannelProperties(const ChannelProperties* properties) {
    return Write(DriverRequest::SetChannelProperties, properties);
}

uint32_t CDriver::StartStreaming() {
    return SendRequest(DriverRequest::StartStreaming, nullptr, 0, nullptr, 0);
}

uint32_t CDriver::StopStreaming() {
    return SendRequest(DriverRequest::StopStreaming, nullptr, 0, nullptr, 0);
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
