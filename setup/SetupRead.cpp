#include "SetupRead.h"

#include "DriverRecords.h"

#include <utility>

namespace {

// Reads into a setup, keeping each failure beside it.
class SetupReader {
public:
    explicit SetupReader(CDriver& driver) : m_Driver(driver) {}
    SetupRead Read();

private:
    bool Ok(const char* request, uint32_t status);
    void ReadDevices();
    void ReadClock();
    void ReadRateAndBuffers();
    void ReadChannels();
    SetupDevice* DeviceOf(uint32_t deviceId);

    CDriver& m_Driver;
    SetupRead m_Read;
    std::vector<uint32_t> m_DeviceIds; // beside m_Read.setup.Devices
};

bool SetupReader::Ok(const char* request, uint32_t status) {
    if (status != 0)
        m_Read.failures.push_back({request, status});
    return status == 0;
}

SetupRead SetupReader::Read() {
    ReadDevices();
    ReadClock();
    ReadRateAndBuffers();
    ReadChannels();
    return std::move(m_Read);
}

// A device whose properties cannot be read has no serial number to be known
// by, and stays out with its channels.
void SetupReader::ReadDevices() {
    DeviceList list{};
    if (!Ok("GetDeviceList", m_Driver.GetDeviceList(&list)))
        return;
    for (uint32_t i = 0; i < ClampedCount(list.Count, list.DeviceIds); ++i) {
        const uint32_t id = list.DeviceIds[i];
        DeviceProperties properties{};
        if (!Ok("GetDeviceProperties", m_Driver.GetDeviceProperties(id, &properties)))
            continue;
        SetupDevice device;
        device.Serial = FieldText(properties.SerialNumber);
        device.Name = FieldText(properties.DeviceName);
        device.Rank = properties.Rank;
        DeviceSynchModes modes{};
        if (Ok("GetDeviceSynchMode", m_Driver.GetDeviceSynchMode(id, &modes)))
            device.Mode = SetupSynchMode{modes.Current.ModeId, FieldText(modes.Current.Name)};
        m_Read.setup.Devices.push_back(std::move(device));
        m_DeviceIds.push_back(id);
    }
}

SetupDevice* SetupReader::DeviceOf(uint32_t deviceId) {
    for (size_t i = 0; i < m_DeviceIds.size(); ++i)
        if (m_DeviceIds[i] == deviceId)
            return &m_Read.setup.Devices[i];
    return nullptr;
}

// The master is named by its serial number; a master the list does not hold
// has none, and the setup names no master.
void SetupReader::ReadClock() {
    SynchSource source{};
    if (!Ok("GetSynchSource", m_Driver.GetSynchSource(&source)))
        return;
    m_Read.setup.ClockSource = source.SourceKind;
    if (const SetupDevice* master = DeviceOf(source.MasterDeviceId))
        m_Read.setup.ClockMaster = master->Serial;
}

void SetupReader::ReadRateAndBuffers() {
    Setup& setup = m_Read.setup;
    uint32_t mode = 0;
    if (Ok("GetSampleRateMode", m_Driver.GetSampleRateMode(&mode)))
        setup.SampleRateMode = mode != 0 ? 1 : 0;
    SampleRates rates{};
    if (Ok("GetSampleRates", m_Driver.GetSampleRates(&rates)))
        setup.SampleRate = rates.CurrentRate;
    StreamBufferDepth stream{};
    if (Ok("GetStreamBufferDepth", m_Driver.GetStreamBufferDepth(&stream)))
        setup.StreamBufferUs = stream.Depth;
    AudioBufferDepth audio{};
    if (Ok("GetAsioBufferDepth", m_Driver.GetAsioBufferDepth(&audio)))
        setup.AsioBufferUs = audio.Depth;
    if (Ok("GetWdmBufferDepth", m_Driver.GetWdmBufferDepth(&audio)))
        setup.WdmBufferUs = audio.Depth;
    uint32_t include = 0;
    if (Ok("GetIncludeDeviceName", m_Driver.GetIncludeDeviceName(&include)))
        setup.IncludeDeviceName = include != 0;
}

// A channel's place is its place among its device's channels of its
// direction, in the driver's list order. A channel that cannot be read
// leaves every later place of its direction in doubt: they stay out.
void SetupReader::ReadChannels() {
    ChannelList list{};
    if (!Ok("GetChannelList", m_Driver.GetChannelList(&list)))
        return;
    for (const ChannelIdList* ids : {&list.Inputs, &list.Outputs}) {
        std::vector<uint32_t> seen(m_DeviceIds.size(), 0);
        for (uint32_t i = 0; i < ClampedCount(ids->Count, ids->ChannelIds); ++i) {
            ChannelProperties properties{};
            if (!Ok("GetChannelProperties",
                    m_Driver.GetChannelProperties(ids->ChannelIds[i], &properties)))
                break;
            SetupDevice* device = DeviceOf(properties.DeviceId);
            if (!device)
                continue;
            const size_t index = static_cast<size_t>(device - m_Read.setup.Devices.data());
            device->Channels.push_back(
                {ids == &list.Outputs, ++seen[index], FieldText(properties.ChannelName)});
        }
    }
}

} // namespace

SetupRead ReadSetup(CDriver& driver) {
    return SetupReader(driver).Read();
}
