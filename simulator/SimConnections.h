// The open handles of the simulated device. Each has its own registered
// event and its own queue of notifications, as the driver keeps them.
#pragma once

#include "DriverRecords.h"

#include <windows.h>

#include <deque>
#include <vector>

class CSimConnections {
public:
    // A listener that stops reading must not make the driver grow without end.
    static constexpr size_t QueueCapacity = 64;

    CSimConnections() = default;
    ~CSimConnections();
    CSimConnections(const CSimConnections&) = delete;
    CSimConnections& operator=(const CSimConnections&) = delete;

    HANDLE Open();
    bool Close(HANDLE handle);
    void CloseAll();
    bool IsOpen(HANDLE handle) const;
    size_t OpenCount() const { return m_Connections.size(); }

    // Keeps its own duplicate of the event, so the caller may close its handle
    // at any time; false when the value is no handle of this process.
    bool Register(HANDLE handle, uint32_t eventValue);
    // Queues for every handle that registered an event and signals it.
    void Queue(uint32_t type);
    bool Pop(HANDLE handle, Notification& notification);
    size_t Pending(HANDLE handle) const;

    // The driver behind every open handle went away: their events and
    // queues are dropped, and every request on them fails with the status
    // until they are closed.
    void LoseAll(uint32_t status);
    // 0 for a working handle.
    uint32_t LostStatus(HANDLE handle) const;

private:
    struct Connection {
        HANDLE Handle;
        HANDLE Event;
        std::deque<Notification> Queue;
        uint32_t Lost;
    };

    std::vector<Connection> m_Connections;
    // Handle values are never reused, so a stale handle stays invalid.
    UINT_PTR m_NextHandle = 0x5D100;
    uint32_t m_Sequence = 0;

    Connection* Find(HANDLE handle);
    const Connection* Find(HANDLE handle) const;
};
