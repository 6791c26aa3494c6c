// One connection to the driver's device and every control request it knows.
// Statuses are 0 for success, otherwise what the system or the driver
// reported, passed on unchanged.
#pragma once

#include "DriverRecords.h"

#include <windows.h>

#include <cstdint>

class CDriver {
public:
    CDriver();
    virtual ~CDriver();
    CDriver(const CDriver&) = delete;
    CDriver& operator=(const CDriver&) = delete;

    // Opens the device and checks its interface version; an open connection
    // is kept as it is.
    uint32_t Open();
    void Close();
    uint32_t SendRequest(uint32_t code, const void* in, DWORD inSize, void* out, DWORD outSize,
                         DWORD* returned = nullptr);

    uint32_t GetInterfaceVersion(DriverVersion* version);
    uint32_t GetIncludeDeviceName(uint32_t* include);
    uint32_t SetIncludeDeviceName(uint32_t include);
    uint32_t RegisterNotificationEvent(HANDLE event);
    uint32_t GetNotification(Notification* notification);
    uint32_t GetDeviceList(DeviceList* list);
    uint32_t GetChannelList(ChannelList* list);
    uint32_t GetSynchSource(SynchSource* source);
    uint32_t SetSynchSource(const SynchSource* source);
    // Stores the mode only when the request succeeds.
    uint32_t GetSampleRateMode(uint32_t* mode);
    uint32_t SetSampleRateMode(uint32_t mode);
    uint32_t GetSampleRates(SampleRates* rates);
    uint32_t SetSampleRate(uint32_t rate);
    uint32_t GetDeviceSynchMode(uint32_t deviceId, DeviceSynchModes* modes);
    uint32_t SetDeviceSynchMode(const SynchModeSelection* selection);
    uint32_t GetDeviceProperties(uint32_t deviceId, DeviceProperties* properties);
    uint32_t SetDeviceProperties(const DeviceProperties* properties);
    uint32_t GetStreamStatus(uint32_t deviceId, StreamStatus* status);
    uint32_t GetChannelProperties(uint32_t channelId, ChannelProperties* properties);
    uint32_t SetChannelProperties(const ChannelProperties* properties);
    uint32_t StartStreaming();
    uint32_t StopStreaming();
    uint32_t GetStreamBufferDepth(StreamBufferDepth* depth);
    uint32_t SetStreamBufferDepth(const StreamBufferDepth* depth);
    uint32_t GetAsioBufferDepth(AudioBufferDepth* depth);
    uint32_t SetAsioBufferDepth(const AudioBufferDepth* depth);
    uint32_t GetWdmBufferDepth(AudioBufferDepth* depth);
    uint32_t SetWdmBufferDepth(const AudioBufferDepth* depth);
    uint32_t GetAsioStatistics(AsioStatistics* statistics);

    // Recursive: Open sends the version request with it already held.
    CRITICAL_SECTION m_Lock;
    // Null while closed, never INVALID_HANDLE_VALUE.
    HANDLE m_hDevice;

private:
    template <typename Record> uint32_t Read(uint32_t code, Record* record);
    template <typename Record> uint32_t Write(uint32_t code, const Record* record);
    template <typename Record> uint32_t ReadById(uint32_t code, uint32_t id, Record* record);
    uint32_t SendValue(uint32_t code, uint32_t value);
};
