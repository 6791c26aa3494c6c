#include "SimModel.h"

#include "DriverCodes.h"

#include <algorithm>
#include <cstring>

void CSimModel::Clear() {
    VersionMajor = 2;
    VersionMinor = 12;
    Devices.clear();
    Channels.clear();
    Source = SynchSource{};
    SampleRateMode = 0;
    CurrentRate = 48000;
    StreamBuffer = AsioBuffer = WdmBuffer = SimBuffer{};
    IncludeDeviceName = 0;
    Streaming = true;
    WdmDeviceInUse = false;
    DropOuts = 0;
    StatisticsReads = 0;
}

SimDevice* CSimModel::FindDevice(uint32_t id) {
    for (SimDevice& device : Devices)
        if (device.Id == id)
            return &device;
    return nullptr;
}

SimChannel* CSimModel::FindChannel(uint32_t id) {
    for (SimChannel& channel : Channels)
        if (channel.Id == id)
            return &channel;
    return nullptr;
}

uint32_t CSimModel::RankOf(uint32_t deviceId) const {
    for (size_t i = 0; i < Devices.size(); ++i)
        if (Devices[i].Id == deviceId)
            return static_cast<uint32_t>(i);
    return static_cast<uint32_t>(Devices.size());
}

bool CSimModel::IsSupportedRate(uint32_t rate) {
    return std::find(std::begin(Rates), std::end(Rates), rate) != std::end(Rates);
}

uint32_t CSimModel::AddDevice(const std::string& name, const std::string& serialNumber) {
    if (Devices.size() >= MaxDevices)
        return 0;
    SimDevice device{};
    device.Id = m_NextDeviceId++;
    device.Name = name;
    device.SerialNumber = serialNumber;
    // Behind every other device, also behind one that was given the highest rank.
    device.Rank = Devices.empty() ? 0 : std::max(Devices.back().Rank, Devices.back().Rank + 1);
    Devices.push_back(device);
    return device.Id;
}

uint32_t CSimModel::AddChannel(uint32_t deviceId, bool input, const std::string& hardwareName,
                               const std::string& name) {
    if (!FindDevice(deviceId) || ChannelCount(input) >= MaxChannels)
        return 0;
    SimChannel channel{m_NextChannelId++, deviceId, input, hardwareName, name};
    Channels.push_back(channel);
    return channel.Id;
}

bool CSimModel::RemoveDevice(uint32_t id) {
    const auto device = std::find_if(Devices.begin(), Devices.end(),
                                     [id](const SimDevice& d) { return d.Id == id; });
    if (device == Devices.end())
        return false;
    Devices.erase(device);
    Channels.erase(std::remove_if(Channels.begin(), Channels.end(),
                                  [id](const SimChannel& c) { return c.DeviceId == id; }),
                   Channels.end());
    return true;
}

void CSimModel::MoveDevice(uint32_t id, uint32_t position) {
    const uint32_t from = RankOf(id);
    if (from >= Devices.size())
        return;
    SimDevice device = Devices[from];
    Devices.erase(Devices.begin() + from);
    const size_t to = std::min<size_t>(position, Devices.size());
    Devices.insert(Devices.begin() + to, device);
    for (size_t index = 0; index < Devices.size(); ++index)
        Devices[index].Rank = static_cast<uint32_t>(index);
}

void CSimModel::SetRank(uint32_t id, uint32_t rank) {
    SimDevice* device = FindDevice(id);
    if (!device)
        return;
    device->Rank = rank;
    std::stable_sort(Devices.begin(), Devices.end(),
                     [](const SimDevice& a, const SimDevice& b) { return a.Rank < b.Rank; });
}

void CSimModel::SetRate(uint32_t rate) {
    CurrentRate = rate;
    for (SimDevice& device : Devices)
        for (PlugStatus* plug : {&device.Stream.AudioOut, &device.Stream.AudioIn,
                                 &device.Stream.SynchOut, &device.Stream.SynchIn})
            if (plug->State == PLUG_STATE_CONNECTED)
                plug->SampleRate = rate;
}

ChannelIdList CSimModel::ChannelIds(bool input) const {
    ChannelIdList list{};
    for (const SimDevice& device : Devices)
        for (const SimChannel& channel : Channels)
            if (channel.DeviceId == device.Id && channel.Input == input && list.Count < MaxChannels)
                list.ChannelIds[list.Count++] = channel.Id;
    return list;
}

uint32_t CSimModel::Samples(uint32_t depthMicroseconds) const {
    return static_cast<uint32_t>(static_cast<uint64_t>(depthMicroseconds) * CurrentRate / 1000000u);
}

size_t CSimModel::ChannelCount(bool input) const {
    return static_cast<size_t>(std::count_if(
        Channels.begin(), Channels.end(),
        [input](const SimChannel& c) { return c.Input == input; }));
}
