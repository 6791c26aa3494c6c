#include "SimConnections.h"

#include <algorithm>

CSimConnections::~CSimConnections() {
    CloseAll();
}

HANDLE CSimConnections::Open() {
    const HANDLE handle = reinterpret_cast<HANDLE>(m_NextHandle);
    m_NextHandle += 4;
    m_Connections.push_back(Connection{handle, nullptr, {}, 0});
    return handle;
}

bool CSimConnections::Close(HANDLE handle) {
    const auto found = std::find_if(m_Connections.begin(), m_Connections.end(),
                                    [handle](const Connection& c) { return c.Handle == handle; });
    if (found == m_Connections.end())
        return false;
    if (found->Event)
        CloseHandle(found->Event);
    m_Connections.erase(found);
    return true;
}

void CSimConnections::CloseAll() {
    for (const Connection& connection : m_Connections)
        if (connection.Event)
            CloseHandle(connection.Event);
    m_Connections.clear();
}

bool CSimConnections::IsOpen(HANDLE handle) const {
    return Find(handle) != nullptr;
}

bool CSimConnections::Register(HANDLE handle, uint32_t eventValue) {
    Connection* connection = Find(handle);
    // Handle values are sign-extended on 64-bit Windows.
    const HANDLE event =
        reinterpret_cast<HANDLE>(static_cast<LONG_PTR>(static_cast<LONG>(eventValue)));
    HANDLE duplicate = nullptr;
    if (!connection || !DuplicateHandle(GetCurrentProcess(), event, GetCurrentProcess(), &duplicate,
                                        0, FALSE, DUPLICATE_SAME_ACCESS))
        return false;
    if (connection->Event)
        CloseHandle(connection->Event);
    connection->Event = duplicate;
    return true;
}

void CSimConnections::Queue(uint32_t type) {
    ++m_Sequence;
    for (Connection& connection : m_Connections) {
        if (!connection.Event)
            continue;
        if (connection.Queue.size() < QueueCapacity) {
            Notification notification{};
            notification.Type = type;
            memcpy(notification.Reserved, &m_Sequence, sizeof(m_Sequence));
            connection.Queue.push_back(notification);
        }
        SetEvent(connection.Event);
    }
}

bool CSimConnections::Pop(HANDLE handle, Notification& notification) {
    Connection* connection = Find(handle);
    if (!connection || connection->Queue.empty())
        return false;
    notification = connection->Queue.front();
    connection->Queue.pop_front();
    return true;
}

size_t CSimConnections::Pending(HANDLE handle) const {
    const Connection* connection = Find(handle);
    return connection ? connection->Queue.size() : 0;
}

void CSimConnections::LoseAll(uint32_t status) {
    for (Connection& connection : m_Connections) {
        if (connection.Event)
            CloseHandle(connection.Event);
        connection.Event = nullptr;
        connection.Queue.clear();
        connection.Lost = status;
    }
}

uint32_t CSimConnections::LostStatus(HANDLE handle) const {
    const Connection* connection = Find(handle);
    return connection ? connection->Lost : 0;
}

CSimConnections::Connection* CSimConnections::Find(HANDLE handle) {
    for (Connection& connection : m_Connections)
        if (connection.Handle == handle)
            return &connection;
    return nullptr;
}

const CSimConnections::Connection* CSimConnections::Find(HANDLE handle) const {
    return const_cast<CSimConnections*>(this)->Find(handle);
}
