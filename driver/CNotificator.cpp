#include "CNotificator.h"

#include "DriverCodes.h"
#include "LockGuard.h"

#include <process.h>

namespace {

const DWORD kStopTimeoutMs = 10000;
const DWORD kWaitRetryMs = 20;

HANDLE DuplicateEvent(HANDLE event) {
    HANDLE copy = nullptr;
    if (!DuplicateHandle(GetCurrentProcess(), event, GetCurrentProcess(), &copy, 0, FALSE,
                         DUPLICATE_SAME_ACCESS))
        return nullptr;
    return copy;
}

void CloseIfOpen(HANDLE handle) {
    if (handle)
        CloseHandle(handle);
}

} // namespace

// The listener thread's state, shared with the object through a reference
// count. It holds its own handles to the two events and its own copy of the
// target, so a thread abandoned by a timed-out Stop never reaches into an
// object that may be gone; whichever side lets go last frees it.
class CNotificator::Listener {
public:
    static Listener* Create(HANDLE stopEvent, HANDLE driverEvent, const SystemCalls& system) {
        HANDLE stop = DuplicateEvent(stopEvent);
        HANDLE driver = DuplicateEvent(driverEvent);
        if (!stop || !driver) {
            CloseIfOpen(stop);
            CloseIfOpen(driver);
            return nullptr;
        }
        return new Listener(stop, driver, system);
    }

    Listener(const Listener&) = delete;
    Listener& operator=(const Listener&) = delete;

    void AddRef() { InterlockedIncrement(&m_References); }

    void Release() {
        if (InterlockedDecrement(&m_References) == 0)
            delete this;
    }

    void SetTarget(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) {
        LockGuard lock(m_Lock);
        m_Wnd = wnd;
        m_Msg = msg;
        m_WParam = wParam;
        m_LParam = lParam;
    }

    void Post() {
        LockGuard lock(m_Lock);
        if (m_Wnd)
            m_System.PostMessageA(m_Wnd, m_Msg, m_WParam, m_LParam);
    }

    HANDLE StopEvent() const { return m_StopEvent; }
    HANDLE DriverEvent() const { return m_DriverEvent; }
    const SystemCalls& System() const { return m_System; }

private:
    Listener(HANDLE stopEvent, HANDLE driverEvent, const SystemCalls& system)
        : m_References(1), m_StopEvent(stopEvent), m_DriverEvent(driverEvent), m_System(system),
          m_Wnd(nullptr), m_Msg(0), m_WParam(0), m_LParam(0) {
        InitializeCriticalSection(&m_Lock);
    }

    ~Listener() {
        DeleteCriticalSection(&m_Lock);
        CloseHandle(m_DriverEvent);
        CloseHandle(m_StopEvent);
    }

    LONG m_References;
    HANDLE m_StopEvent;
    HANDLE m_DriverEvent;
    const SystemCalls m_System;
    CRITICAL_SECTION m_Lock;
    HWND m_Wnd;
    UINT m_Msg;
    WPARAM m_WParam;
    LPARAM m_LParam;
};

const CNotificator::SystemCalls CNotificator::Win32Calls = {
    ::WaitForSingleObject, ::WaitForMultipleObjects, ::Sleep, ::PostMessageA, ::_beginthreadex};

CNotificator::CNotificator()
    : m_hNotifyWnd(nullptr), m_nNotifyMsg(0), m_wNotifyParam(0), m_lNotifyParam(0),
      m_hThread(nullptr), m_hStopEvent(CreateEventA(nullptr, FALSE, FALSE, nullptr)),
      m_hDriverEvent(CreateEventA(nullptr, FALSE, FALSE, nullptr)), m_System(Win32Calls),
      m_pListener(nullptr) {}

CNotificator::~CNotificator() {
    // The owner stops the thread first. If it did not, the thread is told to
    // end but not waited for; it lives on its own handles.
    if (m_hThread) {
        SetEvent(m_hStopEvent);
        CloseHandle(m_hThread);
        m_hThread = nullptr;
        ReleaseListener();
    }
    CloseIfOpen(m_hDriverEvent);
    CloseIfOpen(m_hStopEvent);
}

void CNotificator::SetNotifyTarget(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    LockGuard lock(m_Lock);
    m_hNotifyWnd = wnd;
    m_nNotifyMsg = msg;
    m_wNotifyParam = wParam;
    m_lNotifyParam = lParam;
    if (m_pListener)
        m_pListener->SetTarget(wnd, msg, wParam, lParam);
}

uint32_t CNotificator::Start() {
    LockGuard lock(m_Lock);
    // A second thread would leak the first one's handle and state.
    if (m_hThread)
        return DRVSTATUS_SUCCESS;
    ResetEvent(m_hStopEvent);
    ResetEvent(m_hDriverEvent);
    uint32_t status = Open();
    if (status != DRVSTATUS_SUCCESS)
        return status;
    status = RegisterNotificationEvent(m_hDriverEvent);
    if (status != DRVSTATUS_SUCCESS) {
        Close();
        return status;
    }
    Listener* listener = Listener::Create(m_hStopEvent, m_hDriverEvent, m_System);
    if (!listener) {
        Close();
        return DRVSTATUS_FAILED;
    }
    listener->SetTarget(m_hNotifyWnd, m_nNotifyMsg, m_wNotifyParam, m_lNotifyParam);
    listener->AddRef(); // the thread's reference
    uintptr_t thread = m_System.BeginThread(nullptr, 0, NotifyThread, listener, 0, nullptr);
    if (!thread) {
        listener->Release();
        listener->Release();
        Close();
        return DRVSTATUS_FAILED;
    }
    m_hThread = reinterpret_cast<HANDLE>(thread);
    m_pListener = listener;
    return DRVSTATUS_SUCCESS;
}

uint32_t CNotificator::Stop() {
    HANDLE thread;
    {
        LockGuard lock(m_Lock);
        thread = m_hThread;
        m_hThread = nullptr;
    }
    if (!thread) {
        Close();
        return DRVSTATUS_SUCCESS;
    }
    SetEvent(m_hStopEvent);
    uint32_t status = m_System.WaitForSingleObject(thread, kStopTimeoutMs) == WAIT_OBJECT_0
                          ? DRVSTATUS_SUCCESS
                          : DRVSTATUS_FAILED;
    CloseHandle(thread);
    ReleaseListener();
    if (status != DRVSTATUS_SUCCESS)
        RenewEvents();
    Close();
    return status;
}

// The abandoned thread keeps its own handles to the old events, and the old
// stop event stays signalled until it sees it. A later Start must not reset
// that event, nor share the driver event with it: the two threads would
// compete for every driver signal.
void CNotificator::RenewEvents() {
    LockGuard lock(m_Lock);
    CloseIfOpen(m_hDriverEvent);
    CloseIfOpen(m_hStopEvent);
    m_hStopEvent = CreateEventA(nullptr, FALSE, FALSE, nullptr);
    m_hDriverEvent = CreateEventA(nullptr, FALSE, FALSE, nullptr);
}

// A thread that is let go of posts nothing more: its window may be gone.
void CNotificator::ReleaseListener() {
    LockGuard lock(m_Lock);
    if (!m_pListener)
        return;
    m_pListener->SetTarget(nullptr, 0, 0, 0);
    m_pListener->Release();
    m_pListener = nullptr;
}

unsigned __stdcall CNotificator::NotifyThread(void* argument) {
    Listener* listener = static_cast<Listener*>(argument);
    const SystemCalls& system = listener->System();
    HANDLE events[2] = {listener->StopEvent(), listener->DriverEvent()};
    for (;;) {
        DWORD woken = system.WaitForMultipleObjects(2, events, FALSE, INFINITE);
        if (woken == WAIT_OBJECT_0)
            break;
        if (woken == WAIT_OBJECT_0 + 1)
            listener->Post();
        else
            system.Sleep(kWaitRetryMs);
    }
    listener->Release();
    return 0;
}
