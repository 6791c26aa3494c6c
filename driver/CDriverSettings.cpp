#include "CDriverSettings.h"

#include "DriverCodes.h"
#include "Trace.h"

CDriverSettings gDrv;

namespace {

void KeepFirstFailure(uint32_t& kept, uint32_t status) {
    if (kept == DRVSTATUS_SUCCESS)
        kept = status;
}

// Fetches one record per id into records; an id whose request fails is
// traced and left out. The count has been limited to the ids' capacity.
template <typename Record>
uint32_t FetchEach(CDriver& driver, uint32_t (CDriver::*request)(uint32_t, Record*),
                   const uint32_t* ids, uint32_t count, CRecordArray<Record>& records,
                   const char* failureTrace) {
    uint32_t kept = DRVSTATUS_SUCCESS;
    for (uint32_t i = 0; i < count; ++i) {
        Record* record = new Record();
        uint32_t status = (driver.*request)(ids[i], record);
        if (status == DRVSTATUS_SUCCESS) {
            records.Add(record);
            continue;
        }
        Trace(failureTrace, status);
        delete record;
        KeepFirstFailure(kept, status);
    }
    return kept;
}

// Sends one request per held record; a failing one is traced and the rest
// are still sent.
template <typename Record, typename Send>
uint32_t SendEach(const CRecordArray<Record>& records, Send send, const char* failureTrace) {
    uint32_t kept = DRVSTATUS_SUCCESS;
    for (int i = 0; i < records.GetSize(); ++i) {
        uint32_t status = send(*records.GetAt(i));
        if (status == DRVSTATUS_SUCCESS)
            continue;
        Trace(failureTrace, status);
        KeepFirstFailure(kept, status);
    }
    return kept;
}

} // namespace

CDriverSettings::CDriverSettings()
    : m_IncludeDeviceName(0), m_SynchSource{}, m_SampleRateMode(0), m_SampleRates{} {}

CDriverSettings::~CDriverSettings() {
    m_InChannels.RemoveAll();
    m_OutChannels.RemoveAll();
    m_Devices.RemoveAll();
    m_DevSynchModes.RemoveAll();
}

uint32_t CDriverSettings::GetDevProp() {
    m_Devices.RemoveAll();
    DeviceList list{};
    uint32_t status = GetDeviceList(&list);
    if (status != DRVSTATUS_SUCCESS) {
        Trace("GetDevProp(): GetDeviceList failed, 0x%08x\n", status);
        return status;
    }
    return FetchEach(*this, &CDriver::GetDeviceProperties, list.DeviceIds,
                     ClampedCount(list.Count, list.DeviceIds), m_Devices,
                     "GetDevProp(): GetDeviceProperties failed. Status: 0x%08X\n");
}

uint32_t CDriverSettings::GetDevSynchModes() {
    m_DevSynchModes.RemoveAll();
    DeviceList list{};
    uint32_t status = GetDeviceList(&list);
    if (status != DRVSTATUS_SUCCESS) {
        Trace("GetDevSynchModes(): GetDeviceList failed, 0x%08x\n", status);
        return status;
    }
    return FetchEach(*this, &CDriver::GetDeviceSynchMode, list.DeviceIds,
                     ClampedCount(list.Count, list.DeviceIds), m_DevSynchModes,
                     "GetDevSynchModes(): GetDeviceSynchMode failed. Status: 0x%08X\n");
}

uint32_t CDriverSettings::GetChanProp(CRecordArray<ChannelProperties>& channels, int output) {
    channels.RemoveAll();
    ChannelList list{};
    uint32_t status = GetChannelList(&list);
    if (status != DRVSTATUS_SUCCESS) {
        Trace("GetChanProp(): GetChannelList failed 0x%08X\n", status);
        return status;
    }
    const ChannelIdList& half = output ? list.Outputs : list.Inputs;
    return FetchEach(*this, &CDriver::GetChannelProperties, half.ChannelIds,
                     ClampedCount(half.Count, half.ChannelIds), channels,
                     "GetChanProp(): GetChannelProperties failed. Status: 0x%08X\n");
}

uint32_t CDriverSettings::SetDevProp() {
    return SendEach(
        m_Devices, [this](const DeviceProperties& device) { return SetDeviceProperties(&device); },
        "SetDevProp(): SetDeviceProperties failed, 0x%08X\n");
}

uint32_t CDriverSettings::SetDevSynchModes() {
    return SendEach(
        m_DevSynchModes,
        [this](const DeviceSynchModes& modes) {
            SynchModeSelection selection{modes.DeviceId, modes.Current.Kind, modes.Current.ModeId};
            return SetDeviceSynchMode(&selection);
        },
        "SetDevSynchModes(): SetDeviceSynchMode failed, 0x%08X\n");
}
