#include "CNotificator.h"
#include "DriverCodes.h"
#include "FakeTransport.h"

#include <gtest/gtest.h>

#include <process.h>

#include <cstring>
#include <new>

namespace {

const UINT kDriverEventMsg = WM_APP + 2;

// A message-only window on the test thread that counts what the listener
// posts to it.
class PostCounter {
public:
    PostCounter()
        : m_Wnd(CreateWindowExA(0, "STATIC", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr,
                                nullptr)) {}
    ~PostCounter() { DestroyWindow(m_Wnd); }

    HWND Wnd() const { return m_Wnd; }

    // Takes every post that arrives within the time; stops early once more
    // than expected have come.
    int Collect(int expected, DWORD withinMs) {
        DWORD start = GetTickCount();
        while (GetTickCount() - start < withinMs && m_Count <= expected) {
            MSG msg;
            while (PeekMessageA(&msg, m_Wnd, 0, 0, PM_REMOVE)) {
                ++m_Count;
                m_Last = msg;
            }
            Sleep(5);
        }
        return m_Count;
    }

    // Waits for one more post, then makes sure no second one follows.
    int CollectOneMore() {
        int before = m_Count;
        DWORD start = GetTickCount();
        while (m_Count == before && GetTickCount() - start < 5000)
            Collect(before, 20);
        return Collect(before + 1, 300) - before;
    }

    const MSG& Last() const { return m_Last; }

private:
    HWND m_Wnd;
    int m_Count = 0;
    MSG m_Last{};
};

HANDLE DuplicateThread(HANDLE thread) {
    HANDLE copy = nullptr;
    DuplicateHandle(GetCurrentProcess(), thread, GetCurrentProcess(), &copy, 0, FALSE,
                    DUPLICATE_SAME_ACCESS);
    return copy;
}

// The handles open in this process, found by asking about every handle value
// in the range a process of this size uses (Wine reports no handle count).
int CountOpenHandles() {
    int count = 0;
    for (UINT_PTR value = 4; value < 0x10000; value += 4) {
        DWORD flags = 0;
        count += GetHandleInformation(reinterpret_cast<HANDLE>(value), &flags) != FALSE;
    }
    return count;
}

// Stands between the listener and the system: records the time-outs it
// passes, counts its waits and posts, and fails the calls a test asks to.
namespace Probe {

LONG g_waitEntries = 0;
LONG g_failWaits = 0;
LONG g_posts = 0;
DWORD g_stopTimeout = 0;
DWORD g_stopAnswer = WAIT_OBJECT_0;
DWORD g_slept = 0;
bool g_failThread = false;
HANDLE g_waitEntered = nullptr; // auto-reset, set on every entry into the wait

void Reset() {
    g_waitEntries = g_failWaits = g_posts = 0;
    g_stopTimeout = g_slept = 0;
    g_stopAnswer = WAIT_OBJECT_0;
    g_failThread = false;
    if (!g_waitEntered)
        g_waitEntered = CreateEventA(nullptr, FALSE, FALSE, nullptr);
    ResetEvent(g_waitEntered);
}

// The answer is the test's; the thread is still waited for, so that nothing
// runs on after the test.
DWORD WINAPI WaitForThread(HANDLE thread, DWORD milliseconds) {
    g_stopTimeout = milliseconds;
    WaitForSingleObject(thread, 5000);
    return g_stopAnswer;
}

DWORD WINAPI WaitForEvents(DWORD count, const HANDLE* handles, BOOL all, DWORD milliseconds) {
    InterlockedIncrement(&g_waitEntries);
    SetEvent(g_waitEntered);
    if (InterlockedCompareExchange(&g_failWaits, 0, 0) > 0) {
        InterlockedDecrement(&g_failWaits);
        return WAIT_FAILED;
    }
    return WaitForMultipleObjects(count, handles, all, milliseconds);
}

void WINAPI Pause(DWORD milliseconds) {
    g_slept = milliseconds;
    Sleep(milliseconds);
}

BOOL WINAPI Post(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    InterlockedIncrement(&g_posts);
    return PostMessageA(wnd, msg, wParam, lParam);
}

uintptr_t __cdecl BeginThread(void* security, unsigned stackSize, unsigned(__stdcall* start)(void*),
                              void* argument, unsigned flags, unsigned* threadId) {
    if (g_failThread)
        return 0;
    return _beginthreadex(security, stackSize, start, argument, flags, threadId);
}

const CNotificator::SystemCalls Calls = {WaitForThread, WaitForEvents, Pause, Post, BeginThread};

// Waits until the listener thread has entered its wait this many times in all.
bool WaitEntries(LONG entries) {
    while (InterlockedCompareExchange(&g_waitEntries, 0, 0) < entries)
        if (WaitForSingleObject(g_waitEntered, 5000) != WAIT_OBJECT_0)
            return false;
    return true;
}

} // namespace Probe

// Starts the listener and suspends its thread once it waits for the driver,
// where it holds no lock of the process: suspended while it still starts, it
// could hold the loader's, and the test's next thread would wait for it for
// ever. The copy of the thread handle is the caller's.
HANDLE StartAndSuspendInItsWait(CNotificator& listener) {
    listener.m_System.WaitForMultipleObjects = Probe::WaitForEvents;
    if (listener.Start() != 0 || !Probe::WaitEntries(1))
        return nullptr;
    HANDLE thread = DuplicateThread(listener.m_hThread);
    if (thread != nullptr && SuspendThread(thread) == static_cast<DWORD>(-1)) {
        CloseHandle(thread);
        return nullptr;
    }
    return thread;
}

class NotificatorTest : public ::testing::Test {
protected:
    void SetUp() override {
        FakeDriver::Reset();
        Probe::Reset();
        ASSERT_NE(posts.Wnd(), nullptr);
    }
    void TearDown() override { EXPECT_EQ(FakeDriver::Misuses(), 0); }

    PostCounter posts;
};

TEST_F(NotificatorTest, StopWhenIdleSucceeds) {
    CNotificator listener;
    EXPECT_EQ(listener.Stop(), 0u);
    EXPECT_EQ(listener.m_hThread, nullptr);
    EXPECT_TRUE(FakeDriver::OpenedNames().empty());
}

TEST_F(NotificatorTest, SignalsBeforeTheThreadRunsGiveOnePost) {
    CNotificator listener;
    listener.SetNotifyTarget(posts.Wnd(), kDriverEventMsg, 5, 6);
    // The driver queues three notifications before the thread exists.
    FakeDriver::SetOnRegister([](HANDLE event) {
        for (int i = 0; i < 3; ++i)
            SetEvent(event);
    });
    ASSERT_EQ(listener.Start(), 0u);
    ASSERT_NE(listener.m_hThread, nullptr);
    std::vector<FakeRequest> registrations =
        FakeDriver::Requests(DriverRequest::RegisterNotificationEvent);
    ASSERT_EQ(registrations.size(), 1u);
    EXPECT_EQ(FakeDriver::RegisteredEvent(), listener.m_hDriverEvent);

    EXPECT_EQ(posts.CollectOneMore(), 1);
    EXPECT_EQ(posts.Last().message, kDriverEventMsg);
    EXPECT_EQ(posts.Last().wParam, 5u);
    EXPECT_EQ(posts.Last().lParam, 6);

    // The thread goes on listening, with a target changed while it runs.
    listener.SetNotifyTarget(posts.Wnd(), kDriverEventMsg + 1, 7, 8);
    FakeDriver::SignalRegisteredEvent();
    EXPECT_EQ(posts.CollectOneMore(), 1);
    EXPECT_EQ(posts.Last().message, kDriverEventMsg + 1);
    EXPECT_EQ(posts.Last().wParam, 7u);

    EXPECT_EQ(listener.Stop(), 0u);
    EXPECT_EQ(listener.m_hThread, nullptr);
    EXPECT_EQ(listener.m_hDevice, nullptr);
    EXPECT_EQ(FakeDriver::OpenHandleCount(), 0);
}

TEST_F(NotificatorTest, StopSignalWinsOverADriverSignal) {
    CNotificator listener;
    listener.SetNotifyTarget(posts.Wnd(), kDriverEventMsg, 0, 0);
    FakeDriver::SetOnRegister([&listener](HANDLE event) {
        SetEvent(event);
        SetEvent(listener.m_hStopEvent);
    });
    ASSERT_EQ(listener.Start(), 0u);
    EXPECT_EQ(WaitForSingleObject(listener.m_hThread, 5000), WAIT_OBJECT_0);
    EXPECT_EQ(posts.Collect(0, 200), 0);
    // The driver signal was left untouched.
    EXPECT_EQ(WaitForSingleObject(listener.m_hDriverEvent, 0), WAIT_OBJECT_0);
    EXPECT_EQ(listener.Stop(), 0u);
}

TEST_F(NotificatorTest, StartsAgainAfterStop) {
    CNotificator listener;
    listener.SetNotifyTarget(posts.Wnd(), kDriverEventMsg, 0, 0);
    ASSERT_EQ(listener.Start(), 0u);
    ASSERT_EQ(listener.Stop(), 0u);
    SetEvent(listener.m_hStopEvent); // a stale stop signal
    ASSERT_EQ(listener.Start(), 0u);
    EXPECT_EQ(FakeDriver::OpenHandleCount(), 1);
    FakeDriver::SignalRegisteredEvent();
    EXPECT_EQ(posts.CollectOneMore(), 1);
    EXPECT_EQ(listener.Stop(), 0u);
    EXPECT_EQ(FakeDriver::Requests(DriverRequest::RegisterNotificationEvent).size(), 2u);
}

TEST_F(NotificatorTest, NullTargetSwallowsEventsAndKeepsListening) {
    CNotificator listener;
    ASSERT_EQ(listener.Start(), 0u);
    FakeDriver::SignalRegisteredEvent();
    EXPECT_EQ(posts.Collect(0, 300), 0);
    EXPECT_EQ(WaitForSingleObject(listener.m_hThread, 0), static_cast<DWORD>(WAIT_TIMEOUT));
    listener.SetNotifyTarget(posts.Wnd(), kDriverEventMsg, 0, 0);
    FakeDriver::SignalRegisteredEvent();
    EXPECT_EQ(posts.CollectOneMore(), 1);
    EXPECT_EQ(listener.Stop(), 0u);
}

TEST_F(NotificatorTest, FailedStartLeavesNoThreadAndNoConnection) {
    CNotificator listener;
    FakeDriver::SetOpenError(ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(listener.Start(), 2u);
    EXPECT_EQ(listener.m_hThread, nullptr);

    FakeDriver::SetOpenError(0);
    FakeDriver::SetResponder([](const FakeRequest& request, uint8_t*) -> uint32_t {
        return request.Code == DriverRequest::RegisterNotificationEvent ? 0xE0000044 : 0;
    });
    EXPECT_EQ(listener.Start(), 0xE0000044u);
    EXPECT_EQ(listener.m_hThread, nullptr);
    EXPECT_EQ(listener.m_hDevice, nullptr);
    EXPECT_EQ(FakeDriver::OpenHandleCount(), 0);
    EXPECT_EQ(listener.Stop(), 0u);
}

TEST_F(NotificatorTest, StartClearsADriverSignalLeftFromBefore) {
    CNotificator listener;
    listener.SetNotifyTarget(posts.Wnd(), kDriverEventMsg, 0, 0);
    SetEvent(listener.m_hDriverEvent); // a stale driver signal
    // Nothing has been done with the event by the time it is registered.
    DWORD staleAtRegistration = WAIT_FAILED;
    FakeDriver::SetOnRegister([&staleAtRegistration](HANDLE event) {
        staleAtRegistration = WaitForSingleObject(event, 0);
    });
    ASSERT_EQ(listener.Start(), 0u);
    EXPECT_EQ(staleAtRegistration, static_cast<DWORD>(WAIT_TIMEOUT));
    EXPECT_EQ(listener.Stop(), 0u);
}

TEST_F(NotificatorTest, StopWaitsTenSecondsForTheThreadAndFailsAfterThem) {
    CNotificator listener;
    listener.m_System = Probe::Calls;
    ASSERT_EQ(listener.Start(), 0u);
    EXPECT_EQ(listener.Stop(), 0u);
    EXPECT_EQ(Probe::g_stopTimeout, 10000u);

    ASSERT_EQ(listener.Start(), 0u);
    Probe::g_stopAnswer = WAIT_TIMEOUT;
    EXPECT_EQ(listener.Stop(), DRVSTATUS_FAILED);
    EXPECT_EQ(Probe::g_stopTimeout, 10000u);
    EXPECT_EQ(listener.m_hThread, nullptr);
    EXPECT_EQ(FakeDriver::OpenHandleCount(), 0);
}

TEST_F(NotificatorTest, AFailingWaitIsRetriedAfterTwentyMilliseconds) {
    CNotificator listener;
    listener.m_System = Probe::Calls;
    listener.SetNotifyTarget(posts.Wnd(), kDriverEventMsg, 0, 0);
    Probe::g_failWaits = 2;
    ASSERT_EQ(listener.Start(), 0u);
    // Two failed waits, each followed by a pause, then a wait that holds.
    ASSERT_TRUE(Probe::WaitEntries(3));
    EXPECT_EQ(Probe::g_slept, 20u);
    EXPECT_EQ(WaitForSingleObject(listener.m_hThread, 0), static_cast<DWORD>(WAIT_TIMEOUT));
    FakeDriver::SignalRegisteredEvent();
    EXPECT_EQ(posts.CollectOneMore(), 1);
    EXPECT_EQ(listener.Stop(), 0u);
}

TEST_F(NotificatorTest, AThreadThatCannotBeMadeFailsTheStartAndClosesTheConnection) {
    CNotificator listener;
    listener.m_System = Probe::Calls;
    Probe::g_failThread = true;
    EXPECT_EQ(listener.Start(), DRVSTATUS_FAILED);
    EXPECT_EQ(listener.m_hThread, nullptr);
    EXPECT_EQ(listener.m_hDevice, nullptr);
    EXPECT_EQ(FakeDriver::OpenHandleCount(), 0);
    Probe::g_failThread = false;
    EXPECT_EQ(listener.Start(), 0u);
    EXPECT_EQ(listener.Stop(), 0u);
}

TEST_F(NotificatorTest, WithoutATargetWindowAWakeUpPostsNothing) {
    CNotificator listener;
    listener.m_System = Probe::Calls;
    listener.SetNotifyTarget(nullptr, kDriverEventMsg, 0, 0);
    ASSERT_EQ(listener.Start(), 0u);
    ASSERT_TRUE(Probe::WaitEntries(1));
    FakeDriver::SignalRegisteredEvent();
    // Back in the wait: the wake-up has been dealt with.
    ASSERT_TRUE(Probe::WaitEntries(2));
    EXPECT_EQ(Probe::g_posts, 0);
    listener.SetNotifyTarget(posts.Wnd(), kDriverEventMsg, 0, 0);
    FakeDriver::SignalRegisteredEvent();
    ASSERT_TRUE(Probe::WaitEntries(3));
    EXPECT_EQ(Probe::g_posts, 1);
    EXPECT_EQ(listener.Stop(), 0u);
}

TEST_F(NotificatorTest, StartWhileListeningKeepsTheRunningThread) {
    CNotificator listener;
    ASSERT_EQ(listener.Start(), 0u);
    HANDLE thread = listener.m_hThread;
    EXPECT_EQ(listener.Start(), 0u);
    EXPECT_EQ(listener.m_hThread, thread);
    EXPECT_EQ(listener.Stop(), 0u);
}

TEST_F(NotificatorTest, HandleCountStaysFlatOverManyCycles) {
    CNotificator listener;
    listener.SetNotifyTarget(posts.Wnd(), kDriverEventMsg, 0, 0);
    ASSERT_EQ(listener.Start(), 0u);
    ASSERT_EQ(listener.Stop(), 0u);
    int before = CountOpenHandles();
    ASSERT_GT(before, 0);
    for (int i = 0; i < 1000; ++i) {
        ASSERT_EQ(listener.Start(), 0u);
        if (i % 100 == 0)
            FakeDriver::SignalRegisteredEvent();
        ASSERT_EQ(listener.Stop(), 0u);
    }
    EXPECT_EQ(CountOpenHandles(), before);
    EXPECT_EQ(FakeDriver::OpenHandleCount(), 0);
}

TEST_F(NotificatorTest, ThreadOutlivingATimedOutStopTouchesNothingFreed) {
    alignas(CNotificator) unsigned char storage[sizeof(CNotificator)];
    CNotificator* listener = new (storage) CNotificator();
    listener->SetNotifyTarget(posts.Wnd(), kDriverEventMsg, 0, 0);
    // A thread that gets no time to run misses the stop deadline.
    HANDLE thread = StartAndSuspendInItsWait(*listener);
    ASSERT_NE(thread, nullptr);
    FakeDriver::SignalRegisteredEvent();
    EXPECT_EQ(listener->Stop(), DRVSTATUS_FAILED);
    EXPECT_EQ(listener->m_hThread, nullptr);
    EXPECT_EQ(FakeDriver::OpenHandleCount(), 0);

    // The object is gone and its memory scribbled over before the thread
    // runs again.
    listener->~CNotificator();
    std::memset(storage, 0xCC, sizeof storage);
    ResumeThread(thread);
    EXPECT_EQ(WaitForSingleObject(thread, 5000), WAIT_OBJECT_0);
    DWORD exitCode = 1;
    GetExitCodeThread(thread, &exitCode);
    EXPECT_EQ(exitCode, 0u);
    CloseHandle(thread);
    EXPECT_EQ(posts.Collect(0, 100), 0);
}

TEST_F(NotificatorTest, AStartAfterATimedOutStopListensOnFreshEventsAndTheOldThreadEnds) {
    CNotificator listener;
    listener.SetNotifyTarget(posts.Wnd(), kDriverEventMsg, 0, 0);
    HANDLE abandoned = StartAndSuspendInItsWait(listener);
    ASSERT_NE(abandoned, nullptr);
    EXPECT_EQ(listener.Stop(), DRVSTATUS_FAILED);

    ASSERT_EQ(listener.Start(), 0u);
    ASSERT_NE(listener.m_hThread, nullptr);
    // The abandoned thread runs again beside the new one: it must end, and
    // every driver signal must reach the new one.
    ResumeThread(abandoned);
    EXPECT_EQ(WaitForSingleObject(abandoned, 5000), WAIT_OBJECT_0);
    CloseHandle(abandoned);
    int posted = 0;
    for (int signal = 0; signal < 40; ++signal) {
        FakeDriver::SignalRegisteredEvent();
        posted = posts.Collect(posted, 1000);
    }
    EXPECT_EQ(posted, 40);
    EXPECT_EQ(listener.Stop(), 0u);
}

TEST_F(NotificatorTest, DestructionWithoutStopLetsTheThreadEnd) {
    HANDLE thread = nullptr;
    {
        CNotificator listener;
        ASSERT_EQ(listener.Start(), 0u);
        thread = DuplicateThread(listener.m_hThread);
    }
    EXPECT_EQ(WaitForSingleObject(thread, 5000), WAIT_OBJECT_0);
    CloseHandle(thread);
    EXPECT_EQ(FakeDriver::OpenHandleCount(), 0);
}

} // namespace
