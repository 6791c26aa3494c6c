// Listens for the driver's notifications on a connection of its own and
// turns each wake-up into one posted window message. It never fetches the
// notifications: the target window drains them with GetNotification.
#pragma once

#include "CDriver.h"

class CNotificator : public CDriver {
public:
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

private:
    class Listener;

    static unsigned __stdcall NotifyThread(void* listener);
    void ReleaseListener();
    void RenewEvents();

    // What the running thread shares with this object; it may outlive the
    // object when a Stop timed out.
    Listener* m_pListener;
};
