// A setup: every setting the panel can change, as a file keeps it. What the
// driver refused to tell when the setup was saved is absent. Devices are
// known by serial number, channels by their device, direction and place on
// it, synchronisation modes by id and name: the driver's own ids may change
// between sessions. Names are in the system's code page, as the driver keeps
// them.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

struct SetupSynchMode {
    uint32_t ModeId = 0;
    std::string Name;
};

struct SetupChannel {
    bool Output = false;
    uint32_t Position = 0; // 1 for the device's first channel of its direction
    std::string Name;
};

struct SetupDevice {
    std::string Serial;
    std::optional<std::string> Name;
    std::optional<uint32_t> Rank;
    std::optional<SetupSynchMode> Mode;
    std::vector<SetupChannel> Channels;
};

struct Setup {
    std::optional<uint32_t> ClockSource;    // 0 internal, 1 external
    std::optional<std::string> ClockMaster; // the master device's serial number
    std::optional<uint32_t> SampleRateMode; // 0 set by hand, 1 by the clock master
    std::optional<uint32_t> SampleRate;     // hertz
    std::optional<uint32_t> StreamBufferUs;
    std::optional<uint32_t> AsioBufferUs;
    std::optional<uint32_t> WdmBufferUs;
    std::optional<bool> IncludeDeviceName;
    std::vector<SetupDevice> Devices;
};

// A setting as the user is told of it.
enum class SetupSetting {
    ClockSource,
    ClockMaster,
    SampleRateMode,
    SynchMode,
    StreamBuffer,
    WdmBuffer,
    SampleRate,
    AsioBuffer,
    DeviceRank,
    DeviceName,
    IncludeDeviceName,
    ChannelName,
};

// Where a setting belongs: the driver's, a device's or a channel's.
struct SetupPlace {
    SetupSetting Setting;
    std::string Serial; // empty for the driver's own settings
    std::string DeviceName;
    bool Output = false; // channels
    uint32_t Position = 0;
};
