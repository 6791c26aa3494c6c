// Every control request of the driver interface, described once: its name,
// its function number, and the record it takes and the record it gives back.
// The control codes, the buffer sizes the connection sends, and the simulated
// driver's handlers, size checks and request names all come from this list,
// so that a request is added or changed in one line.
#pragma once

#include "DriverRecords.h"

#include <cstdint>

// No buffer in this direction.
struct NoRecord {};

// A buffer's size in bytes; a request without one sends a null pointer and 0.
template <typename Record> constexpr uint32_t RecordSize = sizeof(Record);
template <> constexpr uint32_t RecordSize<NoRecord> = 0;

// Device type 0x8088, any access, buffered transfer (the CTL_CODE layout).
constexpr uint32_t DriverControlCode(uint32_t function) {
    return (0x8088u << 16) | (function << 2);
}

// X(name, function, input record, output record). A device id, a channel id
// and an event handle's value travel as a bare u32.
#define DEMTREL_DRIVER_REQUESTS(X)                                                                 \
    X(GetInterfaceVersion, 0xA01, NoRecord, DriverVersion)                                         \
    X(GetIncludeDeviceName, 0xA04, NoRecord, IncludeDeviceName)                                    \
    X(SetIncludeDeviceName, 0xA05, IncludeDeviceName, NoRecord)                                    \
    X(RegisterNotificationEvent, 0xA08, uint32_t, NoRecord)                                        \
    X(GetNotification, 0xA0A, NoRecord, Notification)                                              \
    X(GetDeviceList, 0xA18, NoRecord, DeviceList)                                                  \
    X(GetChannelList, 0xA19, NoRecord, ChannelList)                                                \
    X(GetSynchSource, 0xA20, NoRecord, SynchSource)                                                \
    X(SetSynchSource, 0xA21, SynchSource, NoRecord)                                                \
    X(GetSampleRateMode, 0xA22, NoRecord, ParamValue)                                              \
    X(SetSampleRateMode, 0xA23, ParamValue, NoRecord)                                              \
    X(GetSampleRates, 0xA30, NoRecord, SampleRates)                                                \
    X(SetSampleRate, 0xA31, ParamValue, NoRecord)                                                  \
    X(GetDeviceSynchMode, 0xA40, uint32_t, DeviceSynchModes)                                       \
    X(SetDeviceSynchMode, 0xA41, SynchModeSelection, NoRecord)                                     \
    X(GetDeviceProperties, 0xA48, uint32_t, DeviceProperties)                                      \
    X(SetDeviceProperties, 0xA49, DeviceProperties, NoRecord)                                      \
    X(GetStreamStatus, 0xA4A, uint32_t, StreamStatus)                                              \
    X(GetChannelProperties, 0xA60, uint32_t, ChannelProperties)                                    \
    X(SetChannelProperties, 0xA61, ChannelProperties, NoRecord)                                    \
    X(StartStreaming, 0xA80, NoRecord, NoRecord)                                                   \
    X(StopStreaming, 0xA81, NoRecord, NoRecord)                                                    \
    X(GetStreamBufferDepth, 0xAA0, NoRecord, StreamBufferDepth)                                    \
    X(SetStreamBufferDepth, 0xAA1, StreamBufferDepth, NoRecord)                                    \
    X(GetAsioBufferDepth, 0xAA2, NoRecord, AudioBufferDepth)                                       \
    X(SetAsioBufferDepth, 0xAA3, AudioBufferDepth, NoRecord)                                       \
    X(GetWdmBufferDepth, 0xAA4, NoRecord, AudioBufferDepth)                                        \
    X(SetWdmBufferDepth, 0xAA5, AudioBufferDepth, NoRecord)                                        \
    X(GetAsioStatistics, 0xAB2, NoRecord, AsioStatistics)

// One request with its records as types, so that a call with the wrong record
// does not compile. It stands for its control code wherever a code is wanted.
template <typename In, typename Out> struct DriverRequestType {
    using Input = In;
    using Output = Out;
    uint32_t Code;
    constexpr operator uint32_t() const { return Code; }
};

namespace DriverRequest {
#define DEMTREL_DECLARE_REQUEST(name, function, in, out)                                           \
    inline constexpr DriverRequestType<in, out> name{DriverControlCode(function)};
DEMTREL_DRIVER_REQUESTS(DEMTREL_DECLARE_REQUEST)
#undef DEMTREL_DECLARE_REQUEST
} // namespace DriverRequest

// The same list as plain data, for code that meets a request by its code.
struct DriverRequestInfo {
    const char* Name;
    uint32_t Code;
    uint32_t InSize;
    uint32_t OutSize;
};

inline constexpr DriverRequestInfo kDriverRequests[] = {
#define DEMTREL_DESCRIBE_REQUEST(name, function, in, out)                                          \
    {#name, DriverControlCode(function), RecordSize<in>, RecordSize<out>},
    DEMTREL_DRIVER_REQUESTS(DEMTREL_DESCRIBE_REQUEST)
#undef DEMTREL_DESCRIBE_REQUEST
};

// The request of a code, or null for a code that is none of the driver's.
// Inline: the transports below the driver library look requests up too.
inline const DriverRequestInfo* FindDriverRequest(uint32_t code) {
    for (const DriverRequestInfo& request : kDriverRequests)
        if (request.Code == code)
            return &request;
    return nullptr;
}
