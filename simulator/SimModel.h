// What the simulated driver holds: devices, channels and every setting.
// Tests reach it through CSimulator::Model() to set up edge cases.
#pragma once

#include "DriverRecords.h"

#include <string>
#include <vector>

struct SimChannel {
    uint32_t Id;
    uint32_t DeviceId;
    bool Input;
    std::string HardwareName;
    std::string Name;
};

struct SimDevice {
    uint32_t Id;
    std::string Name;
    std::string SerialNumber;
    std::string DriverData; // stored behind the serial number's terminator
    uint32_t Rank;          // as last written; the order follows it
    SynchMode Current;
    std::vector<SynchMode> Modes;
    StreamStatus Stream;
};

// A buffer as the driver keeps it; the records are built from it on request.
struct SimBuffer {
    uint32_t Depth;
    uint32_t MinDepth;
    uint32_t MaxDepth;
    uint32_t Step;
};

class CSimModel {
public:
    static constexpr size_t MaxDevices = 64;
    static constexpr size_t MaxChannels = 256; // per direction
    static constexpr uint32_t Rates[] = {32000, 44100, 48000, 88200, 96000, 176400, 192000};

    uint8_t VersionMajor = 2;
    uint8_t VersionMinor = 12;
    // In rank order: sorted by the ranks written, a tie keeping the older
    // order; the rank reported is the position.
    std::vector<SimDevice> Devices;
    std::vector<SimChannel> Channels; // each device's channels in their own order
    SynchSource Source{};
    uint32_t SampleRateMode = 0;
    uint32_t CurrentRate = 48000;
    SimBuffer StreamBuffer{};
    SimBuffer AsioBuffer{};
    SimBuffer WdmBuffer{};
    uint32_t IncludeDeviceName = 0;
    bool Streaming = true;
    bool WdmDeviceInUse = false;
    uint32_t DropOuts = 0;
    uint32_t StatisticsReads = 0;
    // Whether the count grows now and then by itself, as a busy driver's does.
    bool DropOutsGrow = true;

    // Back to no devices and neutral settings; ids are not handed out twice.
    void Clear();

    SimDevice* FindDevice(uint32_t id);
    SimChannel* FindChannel(uint32_t id);
    uint32_t RankOf(uint32_t deviceId) const;
    static bool IsSupportedRate(uint32_t rate);

    // Returns the new id, or 0 when the driver's capacity is reached.
    uint32_t AddDevice(const std::string& name, const std::string& serialNumber);
    uint32_t AddChannel(uint32_t deviceId, bool input, const std::string& hardwareName,
                        const std::string& name);
    // Takes the device's channels with it.
    bool RemoveDevice(uint32_t id);
    // Puts the device at the given place (the last place at most), as if
    // the whole ranking had been written so.
    void MoveDevice(uint32_t id, uint32_t position);
    // Stores a rank written for the device and orders the devices by their
    // ranks. Only the whole set of ranks decides the order, so a ranking
    // written device by device ends the same in any sending order.
    void SetRank(uint32_t id, uint32_t rank);
    // The new rate reaches every connected plug.
    void SetRate(uint32_t rate);
    // The channels of one direction, grouped by device in rank order.
    ChannelIdList ChannelIds(bool input) const;
    // The depth in samples at the current rate.
    uint32_t Samples(uint32_t depthMicroseconds) const;

private:
    uint32_t m_NextDeviceId = 0x2A4D0001;
    uint32_t m_NextChannelId = 0x00C10001;

    size_t ChannelCount(bool input) const;
};
