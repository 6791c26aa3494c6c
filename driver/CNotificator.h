// Listens for the driver's notifications on a connection of its own and
// turns each wake-up into one posted window message. It never fetches the
// notifications: the target window drains them with GetNotification.
#pragma once

#include "CDriver.h"

class CNotificator : public CDriver {
public:
    // The system calls that the listener's time limits, retries, thread and
    // posting go through. Tests put their own in before Start to see the
    // time-outs passed and to make a call fail; a started thread keeps the
    // calls it was started with.
    struct SystemCalls {
        using WaitOne = DWORD(WINAPI*)(HANDLE handle, DWORD milliseconds);
        using WaitAny = DWORD(WINAPI*)(DWORD count, const HANDLE* handles, BOOL all,
                                       DWORD milliseconds);
        using Pause = void(WINAPI*)(DWORD milliseconds);
        using Post = BOOL(WINAPI*)(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam);
        using ThreadStart = unsigned(__stdcall*)(void* argument);
        using Begin = uintptr_t(__cdecl*)(void* security, unsigned stackSize, ThreadStart start,
                                          void* argument, unsigned flags, unsigned* threadId);

        WaitOne WaitForSingleObject;
        WaitAny WaitForMultipleObjects;
        Pause Sleep;
        Post PostMessageA;
        Begin BeginThread;
    };
    // The Win32 calls themselves.
    static const SystemCalls Win32Calls;

    CNotificator();
    ~CNotificator() override;

    // Takes effect for the next wake-up, also while the thread runs; a null
    // window swallows events.
    void SetNotifyTarget(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam);
    // Opens the connection, registers the driver event and starts the thread.
    uint32_t Start();
    // Ends the thread (waiting at most 10 s) and closes the connection. A
    // thread that missed the time is let go with the old events; the object
    // goes on with fresh ones.
    uint32_t Stop();

    HWND m_hNotifyWnd;
    UINT m_nNotifyMsg;
    WPARAM m_wNotifyParam;
    LPARAM m_lNotifyParam;
    HANDLE m_hThread;
    HANDLE m_hStopEvent;
    HANDLE m_hDriverEvent;
    SystemCalls m_System;

private:
    class Listener;

    static unsigned __stdcall NotifyThread(void* listener);
    void ReleaseListener();
    void RenewEvents();

    // What the running thread shares with this object; it may outlive the
    // object when a Stop timed out.
    Listener* m_pListener;
};
