#include "Simulator.h"

#include "DriverCodes.h"
#include "SimDefaultSetup.h"

#include <cstring>
#include <utility>

CSimulator& CSimulator::Instance() {
    static CSimulator simulator;
    return simulator;
}

CSimulator::CSimulator() {
    CSimDefaultSetup::Apply(m_Model);
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

BOOL CSimulator::Control(HANDLE device, DWORD code, void* in, DWORD inSize, void* out,
                         DWORD outSize, DWORD* bytesReturned) {
    CSimLock::Guard guard(m_Lock);
    DWORD returned = 0;
    const uint32_t status = Dispatch(device, code, in, inSize, out, outSize, returned);
    const uint8_t* input = static_cast<const uint8_t*>(in);
    m_Log.push_back(SimLogEntry{
        device, code, input ? std::vector<uint8_t>(input, input + inSize) : std::vector<uint8_t>(),
        outSize, status});
    if (bytesReturned)
        *bytesReturned = returned;
    if (status != DRVSTATUS_SUCCESS) {
        SetLastError(status);
        return FALSE;
    }
    return TRUE;
}

BOOL CSimulator::Close(HANDLE device) {
    CSimLock::Guard guard(m_Lock);
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
    CSimLock::Guard guard(m_Lock);
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
