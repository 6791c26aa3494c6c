#include "CCapacityDriver.h"

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

// Four of each per device fills both directions with the devices.
constexpr uint32_t kChannelsPerDevice = CSimModel::MaxChannels / CSimModel::MaxDevices;

} // namespace

void CCapacityDriver::Fill(CSimulator& sim) {
    sim.Reset();
    std::vector<uint32_t> defaults;
    for (const SimDevice& device : sim.Model().Devices)
        defaults.push_back(device.Id);
    for (uint32_t id : defaults)
        sim.RemoveDevice(id);
    for (size_t device = 1; device <= CSimModel::MaxDevices; ++device) {
        char name[40];
        char serial[40];
        std::snprintf(name, sizeof name, "Tarnet Quadra 1818 #%02u", static_cast<unsigned>(device));
        std::snprintf(serial, sizeof serial, "TQ18-2207-%04u", static_cast<unsigned>(device));
        sim.AddDevice(name, serial, kChannelsPerDevice, kChannelsPerDevice);
    }
    sim.Model().Source.SourceKind = 1;
    sim.Model().Source.MasterDeviceId = sim.Model().Devices.front().Id;
}

size_t CCapacityDriver::ChannelCount(CSimulator& sim, bool input) {
    return static_cast<size_t>(std::count_if(
        sim.Model().Channels.begin(), sim.Model().Channels.end(),
        [input](const SimChannel& channel) { return channel.Input == input; }));
}
