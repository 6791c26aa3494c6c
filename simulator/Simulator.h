// The simulated driver behind DriverTransport: a device with two audio
// interfaces that adopts writes, queues notifications per handle, and lets
// tests and the demonstration log requests, inject faults and reshape its state.
#pragma once

#include "SimConnections.h"
#include "SimLock.h"
#include "SimModel.h"
#include "SimRequests.h"

#include <windows.h>

#include <cstdint>
#include <cstring>
#include <functional>
#include <climits>
#include <map>
#include <string>
#include <vector>

struct SimLogEntry {
    HANDLE Handle;
    uint32_t Code;
    std::vector<uint8_t> Input;
    DWORD OutSize;
    uint32_t Status;
};

class CSimulator {
public:
    static CSimulator& Instance();

    // The transport (DriverTransport.h): a request is answered at once
    // unless a delay holds it; then it stays pending until its time comes.
    HANDLE Open(const char* deviceName);
    DWORD Start(HANDLE device, DWORD code, const void* in, DWORD inSize, void* out, DWORD outSize,
                OVERLAPPED* request);
    void Cancel(HANDLE device, OVERLAPPED* request);
    BOOL Close(HANDLE device);

    ~CSimulator();

    // Back to the default set-up: every handle closed, log, faults, delays
    // and replies cleared, driver present.
    void Reset();
    // The driver's state, for setting up edge cases between requests.
    CSimModel& Model() { return m_Model; }

    std::vector<SimLogEntry> Log() const;
    size_t CountRequests(uint32_t code) const;
    void ClearLog();
    // The input records of the logged requests of this code, in order; a
    // request whose input has another size is left out.
    template <typename T> std::vector<T> SentRecords(uint32_t code) const {
        std::vector<T> records;
        for (const SimLogEntry& entry : Log()) {
            if (entry.Code != code || entry.Input.size() != sizeof(T))
                continue;
            T record;
            std::memcpy(&record, entry.Input.data(), sizeof(T));
            records.push_back(record);
        }
        return records;
    }
    // The last of them, or a zeroed record when there is none.
    template <typename T> T LastSentRecord(uint32_t code) const {
        const std::vector<T> records = SentRecords<T>(code);
        return records.empty() ? T{} : records.back();
    }

    // Fails the next request of this code (or every one) with the status.
    void FailRequest(uint32_t code, uint32_t status, bool always);
    void ClearFaults();
    // Every request of this code (0: of every code) is answered only after
    // milliseconds (INFINITE: when the delay is lifted), as by a driver busy
    // with its device: the request stays pending meanwhile. The answer is
    // the one the driver has when the request arrives. A request cancelled
    // by the program, or whose handle is closed, ends at once with
    // ERROR_OPERATION_ABORTED, unless the delay ignores cancelling: then it
    // ends only at its time and writes its answer all the same.
    void DelayRequests(uint32_t code, DWORD milliseconds, bool ignoresCancel = false);
    // Lifts every delay: the driver answers what it holds at once.
    void ClearDelays();
    // Requests that a delay holds now.
    size_t PendingRequests() const;
    // Answers every request of this code (or only the next times ones) with
    // these bytes, cut to the caller's buffer, instead of the model's record.
    void SetReply(uint32_t code, const std::vector<uint8_t>& bytes, size_t times = SIZE_MAX);
    template <typename T>
    void SetReplyRecord(uint32_t code, const T& record, size_t times = SIZE_MAX) {
        const uint8_t* bytes = reinterpret_cast<const uint8_t*>(&record);
        SetReply(code, std::vector<uint8_t>(bytes, bytes + sizeof(T)), times);
    }
    void ClearReply(uint32_t code);
    // Has the last word on every request that reaches the driver: it sees the
    // status and the reply bytes (the caller's buffer size of them) that the
    // driver gives, and may change the status, the bytes, and how many of
    // them reach the caller. Runs under the simulator's lock.
    using ReplyFilter = std::function<void(uint32_t code, uint32_t& status,
                                           std::vector<uint8_t>& reply, DWORD& returned)>;
    void SetReplyFilter(ReplyFilter filter);

    void SetInterfaceVersion(uint8_t major, uint8_t minor);
    // While absent, Open fails with ERROR_FILE_NOT_FOUND and requests on
    // handles opened before fail with ERROR_DEVICE_NOT_CONNECTED.
    void SetDriverPresent(bool present);
    // The driver unloaded and loaded again (an update, a reinstall): it keeps
    // its settings, but every handle opened before fails each request with
    // the status until it is closed; new handles work.
    void RestartDriver(uint32_t staleStatus);
    // A device plugged in: numbered analog channels, two modes, connected
    // plugs; 0 when the driver is full. Both queue a bus reset and then a
    // change of the domain configuration.
    uint32_t AddDevice(const std::string& name, const std::string& serialNumber, uint32_t inputs,
                       uint32_t outputs);
    bool RemoveDevice(uint32_t deviceId);
    void QueueNotification(uint32_t type);
    void SetWdmDeviceInUse(bool inUse);
    void SetDropOuts(uint32_t dropOuts);

    size_t OpenHandleCount() const;
    size_t PendingNotifications(HANDLE device) const;

private:
    struct Fault {
        uint32_t Status;
        bool Always;
    };
    struct Delay {
        DWORD Milliseconds;
        bool IgnoresCancel;
        ULONGLONG From; // the tick count from which it holds requests
    };
    class PendingRequest;
    struct Reply {
        std::vector<uint8_t> Bytes;
        size_t Times;
    };

    mutable CSimLock m_Lock;
    CSimModel m_Model;
    CSimConnections m_Connections;
    CSimRequests m_Requests{m_Model, m_Connections};
    std::vector<SimLogEntry> m_Log;
    std::map<uint32_t, Fault> m_Faults;
    std::map<uint32_t, Reply> m_Replies;
    bool m_Present = true;
    ReplyFilter m_Filter;
    std::map<uint32_t, Delay> m_Delays;
    std::vector<PendingRequest*> m_Pending;
    std::vector<HANDLE> m_CompletionThreads;

    CSimulator();
    // DEMTREL_SIM_DELAY: "Name=ms" or "*=ms", comma-separated, each with an
    // optional "!" when it ignores cancelling and an optional "@ms" after
    // which it starts holding (from the driver's start).
    void ReadDelaysFromEnvironment();
    // DEMTREL_SIM_DRIVER: "absent" starts with no driver installed, a
    // version such as "2.9" with a driver of that interface version.
    void ReadDriverFromEnvironment();
    const Delay* DelayFor(uint32_t code) const;
    DWORD Hold(HANDLE device, const Delay& delay, uint32_t status, std::vector<uint8_t> answer,
               void* out, OVERLAPPED* request);
    static unsigned __stdcall Complete(void* pending);
    void Finish(PendingRequest& pending);
    void CancelHeld(HANDLE device, const OVERLAPPED* request);
    void ReleaseAll();
    void CloseEndedThreads();
    uint32_t Dispatch(HANDLE device, uint32_t code, const void* in, DWORD inSize, void* out,
                      DWORD outSize, DWORD& returned);
    uint32_t Answer(HANDLE device, uint32_t code, const void* in, DWORD inSize, void* out,
                    DWORD outSize, DWORD& returned);
    uint32_t Filtered(HANDLE device, uint32_t code, const void* in, DWORD inSize, void* out,
                      DWORD outSize, DWORD& returned);
    bool TakeFault(uint32_t code, uint32_t& status);
    void QueueReconfiguration();
};
