// The simulated driver's one lock: the listener thread and the user-interface
// thread reach the simulator at the same time.
#pragma once

#include <windows.h>

class CSimLock {
public:
    CSimLock() { InitializeCriticalSection(&m_Section); }
    ~CSimLock() { DeleteCriticalSection(&m_Section); }
    CSimLock(const CSimLock&) = delete;
    CSimLock& operator=(const CSimLock&) = delete;

    // Holds the lock for the life of a scope.
    class Guard {
    public:
        explicit Guard(CSimLock& lock) : m_Lock(lock) { EnterCriticalSection(&m_Lock.m_Section); }
        ~Guard() { LeaveCriticalSection(&m_Lock.m_Section); }
        Guard(const Guard&) = delete;
        Guard& operator=(const Guard&) = delete;

    private:
        CSimLock& m_Lock;
    };

private:
    CRITICAL_SECTION m_Section;
};
