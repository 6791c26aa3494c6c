#include "SetupRead.h"

#include <utility>

namespace {

// Reads the driver's records, keeping each failure beside them.
class StateReader {
public:
    explicit StateReader(CDriver& driver) : m_Driver(driver) {}
    DriverState Read();

private:
    bool Ok(const char* request, uint32_t status);
    template <typename Record>
    void Keep(std::optional<Record>& kept, const char* request, uint32_t status,
              const Record& record);
    void ReadDevices();
    void ReadChannels();
    size_t DeviceIndex(uint32_t deviceId) const;

    CDriver& m_Driver;
    DriverState m_State;
};

bool StateReader::Ok(const char* request, uint32_t status) {
    if (status != 0)
        m_State.Failures.push_back({request, status});
    return status == 0;
}

template <typename Record>
void StateReader::Keep(std::optional<Record>& kept, const char* request, uint32_t status,
                       const Record& record) {
    if (Ok(request, status))
        kept = record;
}

DriverState StateReader::Read() {
    ReadDevices();
    SynchSource source{};
    Keep(m_State.Source, "GetSynchSource", m_Driver.GetSynchSource(&source), source);
    // The record is read before it is kept: arguments have no order.
    uint32_t mode = 0;
    const uint32_t modeStatus = m_Driver.GetSampleRateMode(&mode);
    Keep(m_State.RateMode, "GetSampleRateMode", modeStatus, mode != 0 ? 1u : 0u);
    SampleRates rates{};
    Keep(m_State.Rates, "GetSampleRates", m_Driver.GetSampleRates(&rates), rates);
    StreamBufferDepth stream{};
    Keep(m_State.StreamBuffer, "GetStreamBufferDepth", m_Driver.GetStreamBufferDepth(&stream),
         stream);
    AudioBufferDepth audio{};
    Keep(m_State.AsioBuffer, "GetAsioBufferDepth", m_Driver.GetAsioBufferDepth(&audio), audio);
    Keep(m_State.WdmBuffer, "GetWdmBufferDepth", m_Driver.GetWdmBufferDepth(&audio), audio);
    uint32_t include = 0;
    const uint32_t includeStatus = m_Driver.GetIncludeDeviceName(&include);
    Keep(m_State.IncludeDeviceName, "GetIncludeDeviceName", includeStatus, include != 0 ? 1u : 0u);
    ReadChannels();
    return std::move(m_State);
}

void StateReader::ReadDevices() {
    DeviceList list{};
    if (!Ok("GetDeviceList", m_Driver.GetDeviceList(&list)))
        return;
    for (uint32_t i = 0; i < ClampedCount(list.Count, list.DeviceIds); ++i) {
        DriverDevice device{};
        if (!Ok("GetDeviceProperties",
                m_Driver.GetDeviceProperties(list.DeviceIds[i], &device.Properties)))
            continue;
        // The record names its device by the id it was asked with, whatever
        // the driver wrote there.
        device.Properties.DeviceId = list.DeviceIds[i];
        DeviceSynchModes modes{};
        Keep(device.Modes, "GetDeviceSynchMode",
             m_Driver.GetDeviceSynchMode(list.DeviceIds[i], &modes), modes);
        m_State.Devices.push_back(device);
    }
}

size_t StateReader::DeviceIndex(uint32_t deviceId) const {
    size_t index = 0;
    while (index < m_State.Devices.size() && m_State.Devices[index].Properties.DeviceId != deviceId)
        ++index;
    return index;
}

// A channel's place is its place among its device's channels of its
// direction, in the driver's list order. A channel that cannot be read
// leaves every later place of its direction in doubt: they stay out.
void StateReader::ReadChannels() {
    ChannelList list{};
    if (!Ok("GetChannelList", m_Driver.GetChannelList(&list)))
        return;
    for (const ChannelIdList* ids : {&list.Inputs, &list.Outputs}) {
        std::vector<uint32_t> seen(m_State.Devices.size(), 0);
        for (uint32_t i = 0; i < ClampedCount(ids->Count, ids->ChannelIds); ++i) {
            DriverChannel channel{};
            if (!Ok("GetChannelProperties",
                    m_Driver.GetChannelProperties(ids->ChannelIds[i], &channel.Properties)))
                break;
            channel.Device = DeviceIndex(channel.Properties.DeviceId);
            if (channel.Device == m_State.Devices.size())
                continue;
            channel.Output = ids == &list.Outputs;
            channel.Position = ++seen[channel.Device];
            m_State.Channels.push_back(channel);
        }
    }
}

Setup SetupOf(const DriverState& state) {
    Setup setup;
    for (const DriverDevice& driverDevice : state.Devices) {
        SetupDevice device;
        device.Serial = FieldText(driverDevice.Properties.SerialNumber);
        device.Name = FieldText(driverDevice.Properties.DeviceName);
        device.Rank = driverDevice.Properties.Rank;
        if (driverDevice.Modes)
            device.Mode = SetupSynchMode{driverDevice.Modes->Current.ModeId,
                                         FieldText(driverDevice.Modes->Current.Name)};
        setup.Devices.push_back(std::move(device));
    }
    for (const DriverChannel& channel : state.Channels)
        setup.Devices[channel.Device].Channels.push_back(
            {channel.Output, channel.Position, FieldText(channel.Properties.ChannelName)});
    // The master is named by its serial number; a master the list does not
    // hold has none, and the setup names no master.
    if (state.Source) {
        setup.ClockSource = state.Source->SourceKind != 0 ? 1 : 0;
        for (const DriverDevice& device : state.Devices)
            if (device.Properties.DeviceId == state.Source->MasterDeviceId) {
                setup.ClockMaster = FieldText(device.Properties.SerialNumber);
                break;
            }
    }
    setup.SampleRateMode = state.RateMode;
    if (state.Rates)
        setup.SampleRate = state.Rates->CurrentRate;
    if (state.StreamBuffer)
        setup.StreamBufferUs = state.StreamBuffer->Depth;
    if (state.AsioBuffer)
        setup.AsioBufferUs = state.AsioBuffer->Depth;
    if (state.WdmBuffer)
        setup.WdmBufferUs = state.WdmBuffer->Depth;
    if (state.IncludeDeviceName)
        setup.IncludeDeviceName = *state.IncludeDeviceName != 0;
    return setup;
}

} // namespace

const DriverDevice* DriverState::DeviceOf(const std::string& serial) const {
    for (const DriverDevice& device : Devices)
        if (FieldText(device.Properties.SerialNumber) == serial)
            return &device;
    return nullptr;
}

DriverState ReadDriverState(CDriver& driver) {
    return StateReader(driver).Read();
}

SetupRead ReadSetup(CDriver& driver) {
    DriverState state = ReadDriverState(driver);
    return {SetupOf(state), std::move(state.Failures)};
}
