// Holds a critical section for the lifetime of a scope, so that no return
// path can leave it entered.
#pragma once

#include <windows.h>

class LockGuard {
public:
    explicit LockGuard(CRITICAL_SECTION& lock) : m_Lock(lock) { EnterCriticalSection(&m_Lock); }
    ~LockGuard() { LeaveCriticalSection(&m_Lock); }
    LockGuard(const LockGuard&) = delete;
    LockGuard& operator=(const LockGuard&) = delete;

private:
    CRITICAL_SECTION& m_Lock;
};
