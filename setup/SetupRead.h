// What the driver holds of every setting a setup keeps, read afresh from it,
// with every request that failed: a setting whose request failed is absent,
// and the failure is named so that the user can be told.
#pragma once

#include "CDriver.h"
#include "DriverRecords.h"
#include "Setup.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

struct SetupReadFailure {
    const char* Request; // the request's name
    uint32_t Status;
};

struct DriverDevice {
    DeviceProperties Properties;
    std::optional<DeviceSynchModes> Modes;
};

struct DriverChannel {
    ChannelProperties Properties;
    bool Output;
    uint32_t Position; // 1 for its device's first channel of its direction
    size_t Device;     // index into DriverState::Devices
};

// The driver's own records, sent back whole with one field changed.
struct DriverState {
    std::vector<DriverDevice> Devices;
    std::vector<DriverChannel> Channels;
    std::optional<SynchSource> Source;
    std::optional<uint32_t> RateMode;
    std::optional<SampleRates> Rates;
    std::optional<StreamBufferDepth> StreamBuffer;
    std::optional<AudioBufferDepth> AsioBuffer;
    std::optional<AudioBufferDepth> WdmBuffer;
    std::optional<uint32_t> IncludeDeviceName;
    std::vector<SetupReadFailure> Failures;

    // The connected device of this serial number, or null.
    const DriverDevice* DeviceOf(const std::string& serial) const;
};

DriverState ReadDriverState(CDriver& driver);

struct SetupRead {
    Setup setup;
    std::vector<SetupReadFailure> failures;
};

// A device whose properties cannot be read has no serial number to be known
// by, and stays out with its channels.
SetupRead ReadSetup(CDriver& driver);
