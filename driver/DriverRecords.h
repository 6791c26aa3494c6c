// The records exchanged with the kernel driver, byte for byte.
// Every record is packed; its size and every field offset are checked below.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#pragma pack(push, 1)

struct DriverVersion {
    uint8_t Major;
    uint8_t Minor;
    uint8_t Reserved[10];
};

struct Notification {
    uint32_t Type;
    uint8_t Reserved[8];
};

struct DeviceList {
    uint32_t Count;
    uint32_t DeviceIds[64];
};

struct DeviceProperties {
    uint32_t DeviceId;
    uint32_t Rank;
    char DeviceName[40];
    char SerialNumber[384]; // serial number text, then driver data behind its terminator
};

struct ChannelIdList {
    uint32_t Count;
    uint32_t ChannelIds[256];
};

struct ChannelList {
    ChannelIdList Inputs;
    ChannelIdList Outputs;
};

struct ChannelProperties {
    uint32_t Reserved0;
    uint32_t DeviceId;
    uint32_t Reserved8;
    char HardwareName[40];
    char ChannelName[40];
};

struct PlugStatus {
    uint32_t State;
    uint32_t ErrorCode;
    uint32_t StreamNumber;
    uint32_t SampleRate;
    uint32_t RateCount;
    uint32_t SupportedRates[8];
};

struct StreamStatus {
    uint32_t Reserved0;
    PlugStatus AudioOut;
    PlugStatus AudioIn;
    PlugStatus SynchOut;
    PlugStatus SynchIn;
};

struct SynchMode {
    uint32_t Kind;
    uint32_t ModeId;
    char Name[40];
};

struct DeviceSynchModes {
    uint32_t DeviceId;
    SynchMode Current;
    uint32_t ModeCount;
    SynchMode Modes[16];
};

struct SynchModeSelection {
    uint32_t DeviceId;
    uint32_t Kind;
    uint32_t ModeId;
};

struct SynchSource {
    uint32_t Reserved0;
    uint32_t SourceKind;
    uint32_t MasterDeviceId;
};

struct ParamValue {
    uint32_t Reserved0;
    uint32_t Value;
};

struct SampleRates {
    uint32_t Reserved0;
    uint32_t CurrentRate;
    uint32_t RateCount;
    uint32_t Rates[8];
};

struct StreamBufferDepth {
    uint32_t MinDepth;
    uint32_t Reserved4; // the driver's maximum; the buffer page uses its own
    uint32_t Step;
    uint32_t Depth;
};

struct AudioBufferDepth {
    uint32_t Depth;
    uint32_t MinDepth;
    uint32_t Step;
    uint32_t Samples;
};

struct AsioStatistics {
    uint8_t Reserved0[52];
    uint32_t DropOuts;
    uint32_t Reserved56;
};

struct IncludeDeviceName {
    uint32_t Value;
};

#pragma pack(pop)

static_assert(sizeof(DriverVersion) == 12);
static_assert(offsetof(DriverVersion, Major) == 0 && offsetof(DriverVersion, Minor) == 1);
static_assert(offsetof(DriverVersion, Reserved) == 2);

static_assert(sizeof(Notification) == 12);
static_assert(offsetof(Notification, Type) == 0 && offsetof(Notification, Reserved) == 4);

static_assert(sizeof(DeviceList) == 260);
static_assert(offsetof(DeviceList, Count) == 0 && offsetof(DeviceList, DeviceIds) == 4);

static_assert(sizeof(DeviceProperties) == 432);
static_assert(offsetof(DeviceProperties, DeviceId) == 0 && offsetof(DeviceProperties, Rank) == 4);
static_assert(offsetof(DeviceProperties, DeviceName) == 8);
static_assert(offsetof(DeviceProperties, SerialNumber) == 48);

static_assert(sizeof(ChannelIdList) == 1028);
static_assert(offsetof(ChannelIdList, Count) == 0 && offsetof(ChannelIdList, ChannelIds) == 4);
static_assert(sizeof(ChannelList) == 2056);
static_assert(offsetof(ChannelList, Inputs) == 0 && offsetof(ChannelList, Outputs) == 1028);

static_assert(sizeof(ChannelProperties) == 92);
static_assert(offsetof(ChannelProperties, Reserved0) == 0);
static_assert(offsetof(ChannelProperties, DeviceId) == 4);
static_assert(offsetof(ChannelProperties, Reserved8) == 8);
static_assert(offsetof(ChannelProperties, HardwareName) == 12);
static_assert(offsetof(ChannelProperties, ChannelName) == 52);

static_assert(sizeof(PlugStatus) == 52);
static_assert(offsetof(PlugStatus, State) == 0 && offsetof(PlugStatus, ErrorCode) == 4);
static_assert(offsetof(PlugStatus, StreamNumber) == 8 && offsetof(PlugStatus, SampleRate) == 12);
static_assert(offsetof(PlugStatus, RateCount) == 16 && offsetof(PlugStatus, SupportedRates) == 20);

static_assert(sizeof(StreamStatus) == 212);
static_assert(offsetof(StreamStatus, Reserved0) == 0 && offsetof(StreamStatus, AudioOut) == 4);
static_assert(offsetof(StreamStatus, AudioIn) == 56 && offsetof(StreamStatus, SynchOut) == 108);
static_assert(offsetof(StreamStatus, SynchIn) == 160);

static_assert(sizeof(SynchMode) == 48);
static_assert(offsetof(SynchMode, Kind) == 0 && offsetof(SynchMode, ModeId) == 4);
static_assert(offsetof(SynchMode, Name) == 8);

static_assert(sizeof(DeviceSynchModes) == 824);
static_assert(offsetof(DeviceSynchModes, DeviceId) == 0);
static_assert(offsetof(DeviceSynchModes, Current) == 4);
static_assert(offsetof(DeviceSynchModes, ModeCount) == 52);
static_assert(offsetof(DeviceSynchModes, Modes) == 56);

static_assert(sizeof(SynchModeSelection) == 12);
static_assert(offsetof(SynchModeSelection, DeviceId) == 0);
static_assert(offsetof(SynchModeSelection, Kind) == 4);
static_assert(offsetof(SynchModeSelection, ModeId) == 8);

static_assert(sizeof(SynchSource) == 12);
static_assert(offsetof(SynchSource, Reserved0) == 0 && offsetof(SynchSource, SourceKind) == 4);
static_assert(offsetof(SynchSource, MasterDeviceId) == 8);

static_assert(sizeof(ParamValue) == 8);
static_assert(offsetof(ParamValue, Reserved0) == 0 && offsetof(ParamValue, Value) == 4);

static_assert(sizeof(SampleRates) == 44);
static_assert(offsetof(SampleRates, Reserved0) == 0 && offsetof(SampleRates, CurrentRate) == 4);
static_assert(offsetof(SampleRates, RateCount) == 8 && offsetof(SampleRates, Rates) == 12);

static_assert(sizeof(StreamBufferDepth) == 16);
static_assert(offsetof(StreamBufferDepth, MinDepth) == 0);
static_assert(offsetof(StreamBufferDepth, Reserved4) == 4);
static_assert(offsetof(StreamBufferDepth, Step) == 8 && offsetof(StreamBufferDepth, Depth) == 12);

static_assert(sizeof(AudioBufferDepth) == 16);
static_assert(offsetof(AudioBufferDepth, Depth) == 0 && offsetof(AudioBufferDepth, MinDepth) == 4);
static_assert(offsetof(AudioBufferDepth, Step) == 8 && offsetof(AudioBufferDepth, Samples) == 12);

static_assert(sizeof(AsioStatistics) == 60);
static_assert(offsetof(AsioStatistics, Reserved0) == 0);
static_assert(offsetof(AsioStatistics, DropOuts) == 52);
static_assert(offsetof(AsioStatistics, Reserved56) == 56);

static_assert(sizeof(IncludeDeviceName) == 4);
static_assert(offsetof(IncludeDeviceName, Value) == 0);

// A count reported by the driver, limited to the capacity of the array it
// counts: a reader never indexes past a record, whatever the driver says.
template <typename T, size_t N> constexpr uint32_t ClampedCount(uint32_t count, const T (&)[N]) {
    return count < N ? count : static_cast<uint32_t>(N);
}

// The text of a fixed-width field, read up to its terminator and never past
// the field, even when the driver sent no terminator.
template <size_t N> std::string FieldText(const char (&field)[N]) {
    size_t length = 0;
    while (length < N && field[length] != '\0')
        ++length;
    return std::string(field, length);
}
