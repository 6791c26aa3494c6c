// One connection to the driver's device and every control request it knows.
// Statuses are 0 for success, otherwise what the system or the driver
// reported, passed on unchanged.
//
// A request never holds the window: while the driver works on it, the
// thread waits in UiWait, so the program's windows paint and answer sent
// messages, and input waits until the request is over. A request that takes
// longer than RequestTimeLimitMs is abandoned: it fails with
// DRVSTATUS_TIMEOUT, and from then on the connection counts as stalled, every
// request fails at once, until ProbeStalled finds the driver answering again.
// An abandoned request keeps its own buffers until the driver has ended it,
// so the driver never writes into a record that is gone.
#pragma once

#include "DriverRequests.h"

#include <windows.h>

#include <cstdint>
#include <memory>
#include <vector>

class CDriver {
public:
    CDriver();
    virtual ~CDriver();
    CDriver(const CDriver&) = delete;
    CDriver& operator=(const CDriver&) = delete;

    // Five seconds: above the slowest answer of a healthy driver (after a bus
    // reset a device may take a few seconds over one transaction), and the
    // time after which Windows itself calls a window not responding.
    static constexpr DWORD RequestTimeLimitMs = 5000;

    // The interface versions Open accepts: this major, from this minor on.
    static constexpr uint8_t AcceptedMajor = 2;
    static constexpr uint8_t LeastAcceptedMinor = 10;

    // Opens the device and checks its interface version; an open connection
    // is kept as it is.
    uint32_t Open();
    // What the last Open returned (a refusal found by a probe included), so
    // that the program can say why it has no driver; DRVSTATUS_NOT_OPEN
    // before the first.
    uint32_t OpenStatus() const { return m_nOpenStatus; }
    // The version the driver told at the last check; zeros when it told none.
    DriverVersion FoundVersion() const { return m_FoundVersion; }
    // Also during a request of this connection (from a handler that runs
    // while it waits, such as Quit): that request is abandoned and fails with
    // DRVSTATUS_NOT_OPEN.
    void Close();
    uint32_t SendRequest(uint32_t code, const void* in, DWORD inSize, void* out, DWORD outSize,
                         DWORD* returned = nullptr);

    // The window that is posted msg when the connection stalls; null for none.
    void SetStallNotify(HWND wnd, UINT msg);
    bool IsStalled() const { return m_bStalled; }
    // Never waits: while stalled, sends the version request and looks at
    // its answer on a later call. True once the driver answered (with any
    // status) or the connection is not stalled; the stalled state is then over.
    bool ProbeStalled();

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
    class Request;

    // A fresh request block; null when the system has no event to give.
    static std::unique_ptr<Request> NewRequest();
    // The request's status; out receives what the driver wrote.
    uint32_t Run(Request& request, uint32_t code, const void* in, DWORD inSize, void* out,
                 DWORD outSize, DWORD& count);
    uint32_t AwaitEnd(Request& request);
    void Abandon(std::unique_ptr<Request> request);
    void ReleaseEnded();
    bool ProbeAcceptsVersion(DWORD started);
    // Open's work on a closed connection, with the lock held.
    uint32_t OpenDevice();

    // A request of the catalogue: its code and both sizes come from the
    // entry, and the records must be the entry's (the entry alone decides
    // them, so a null pointer stands for NoRecord).
    template <typename Entry>
    uint32_t Send(const Entry& entry, const typename Entry::Input* in,
                  typename Entry::Output* out) {
        return SendRequest(entry.Code, in, RecordSize<typename Entry::Input>, out,
                           RecordSize<typename Entry::Output>);
    }
    template <typename Entry> uint32_t Read(const Entry& entry, typename Entry::Output* out) {
        static_assert(RecordSize<typename Entry::Input> == 0, "the request takes a record");
        return Send(entry, nullptr, out);
    }
    template <typename Entry> uint32_t Write(const Entry& entry, const typename Entry::Input* in) {
        static_assert(RecordSize<typename Entry::Output> == 0, "the request gives a record");
        return Send(entry, in, nullptr);
    }

    // The request block reused for the next request while no driver holds it.
    std::unique_ptr<Request> m_pSpare;
    // The probe of a stalled connection while the driver has not ended it.
    std::unique_ptr<Request> m_pProbe;
    // Requests given up on that the driver has not ended yet.
    std::vector<std::unique_ptr<Request>> m_Abandoned;
    bool m_bInRequest = false;
    // Set by Close during a request: its wait stops.
    bool m_bStopRequest = false;
    bool m_bStalled = false;
    // Opened while the driver was stalled: its version is yet to be checked.
    bool m_bVersionUnchecked = false;
    HWND m_hStallWnd = nullptr;
    UINT m_nStallMsg = 0;
    uint32_t m_nOpenStatus;
    DriverVersion m_FoundVersion{};
};
