#include "UiWait.h"

#include <initializer_list>
#include <map>
#include <utility>
#include <vector>

namespace UiWait {

namespace {

// What a wait takes from the queue in one round before it looks at its event
// and its time again: a window that keeps posting to itself cannot hold it.
constexpr int kMessagesPerRound = 256;
constexpr int kPaintsPerRound = 64;
// A held record is copied up to this size: a system broadcast carries its
// own size, which is not to be trusted without a bound.
constexpr size_t kLargestCopy = 4096;

struct HeldMessage {
    HWND window;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    std::vector<BYTE> copy;
};

struct ThreadState {
    int depth = 0;
    std::vector<HeldMessage> held;
    bool quitTaken = false;
    WPARAM quitCode = 0;
    SlowWaitObserver* observer = nullptr;
    // Copies of held records on their way back, by the token they travel as.
    std::map<LPARAM, HeldMessage> copies;
    LPARAM nextToken = 0;
};

ThreadState& State() {
    thread_local ThreadState state;
    return state;
}

// Posted messages in the queue's order, except timers: a timer fires again
// by itself once the wait is over.
bool TakePosted(MSG& msg) {
    return ::PeekMessageA(&msg, nullptr, 0, WM_TIMER - 1, PM_REMOVE | PM_QS_POSTMESSAGE) ||
           ::PeekMessageA(&msg, nullptr, WM_TIMER + 1, 0xFFFF, PM_REMOVE | PM_QS_POSTMESSAGE);
}

// Sent messages are delivered inside PeekMessage itself.
void HandleWaitingMessages(ThreadState& state) {
    MSG msg;
    for (int taken = 0; taken < kMessagesPerRound && TakePosted(msg); ++taken) {
        if (msg.message == WM_QUIT) {
            state.quitTaken = true;
            state.quitCode = msg.wParam;
        } else if (msg.hwnd == nullptr) {
            Hold(nullptr, msg.message, msg.wParam, msg.lParam);
        } else {
            ::DispatchMessageA(&msg);
        }
    }
    // A mouse that moves is no request of the user's, and taking its moves
    // lets the window under it set the cursor: the wait cursor.
    for (UINT move : {WM_MOUSEMOVE, WM_NCMOUSEMOVE})
        while (::PeekMessageA(&msg, nullptr, move, move, PM_REMOVE))
            ::DispatchMessageA(&msg);
    for (int painted = 0;
         painted < kPaintsPerRound && ::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE | PM_QS_PAINT);
         ++painted)
        ::DispatchMessageA(&msg);
}

void PostAgain(ThreadState& state, HeldMessage& held) {
    if (held.window == nullptr) {
        ::PostThreadMessageA(::GetCurrentThreadId(), held.message, held.wParam, held.lParam);
        return;
    }
    if (held.copy.empty()) {
        ::PostMessageA(held.window, held.message, held.wParam, held.lParam);
        return;
    }
    const LPARAM token = ++state.nextToken;
    const HWND window = held.window;
    state.copies.emplace(token, std::move(held));
    if (!::PostMessageA(window, HeldCopyMessage(), 0, token))
        state.copies.erase(token);
}

void PostHeld(ThreadState& state) {
    std::vector<HeldMessage> held;
    held.swap(state.held);
    for (HeldMessage& message : held)
        PostAgain(state, message);
    if (state.quitTaken) {
        state.quitTaken = false;
        ::PostQuitMessage(static_cast<int>(state.quitCode));
    }
}

// The time until the next thing the wait must do by itself: tell the
// observer that the wait is slow, or give up.
DWORD NextTimeout(DWORD waited, DWORD limitMs, bool slowTold) {
    DWORD next = limitMs - waited;
    if (!slowTold && waited < SlowAfterMs && SlowAfterMs - waited < next)
        next = SlowAfterMs - waited;
    return next;
}

} // namespace

Outcome Wait(HANDLE event, DWORD limitMs, const bool* stop) {
    ThreadState& state = State();
    ++state.depth;
    const ULONGLONG start = ::GetTickCount64();
    SlowWaitObserver* told = nullptr;
    Outcome outcome;
    for (;;) {
        if (stop != nullptr && *stop) {
            outcome = Outcome::Stopped;
            break;
        }
        const ULONGLONG elapsed = ::GetTickCount64() - start;
        const DWORD waited = elapsed < limitMs ? static_cast<DWORD>(elapsed) : limitMs;
        if (waited >= limitMs) {
            outcome = ::WaitForSingleObject(event, 0) == WAIT_OBJECT_0 ? Outcome::Ended
                                                                       : Outcome::TimedOut;
            break;
        }
        if (told == nullptr && waited >= SlowAfterMs && state.depth == 1 && state.observer) {
            told = state.observer;
            told->OnSlowWait(true);
        }
        const DWORD woken = ::MsgWaitForMultipleObjectsEx(
            1, &event, NextTimeout(waited, limitMs, told != nullptr),
            QS_SENDMESSAGE | QS_PAINT | QS_ALLPOSTMESSAGE | QS_MOUSEMOVE, 0);
        if (woken == WAIT_OBJECT_0) {
            outcome = Outcome::Ended;
            break;
        }
        if (woken == WAIT_OBJECT_0 + 1)
            HandleWaitingMessages(state);
        else if (woken == WAIT_FAILED)
            ::Sleep(1); // cannot happen with a valid event; never spin
    }
    if (told != nullptr && told == state.observer)
        told->OnSlowWait(false);
    if (--state.depth == 0)
        PostHeld(state);
    return outcome;
}

bool IsWaiting() {
    return State().depth > 0;
}

void Hold(HWND window, UINT message, WPARAM wParam, LPARAM lParam, size_t size) {
    HeldMessage held{window, message, wParam, lParam, {}};
    if (size > 0 && lParam != 0) {
        const BYTE* record = reinterpret_cast<const BYTE*>(lParam);
        held.copy.assign(record, record + (size < kLargestCopy ? size : kLargestCopy));
    }
    State().held.push_back(std::move(held));
}

UINT HeldCopyMessage() {
    static const UINT message = ::RegisterWindowMessageA("Demtrel.HeldCopy");
    return message;
}

bool TakeHeldCopy(LPARAM token, HeldCopy& copy) {
    ThreadState& state = State();
    // Copies whose window went before its message arrived are dropped here.
    for (auto it = state.copies.begin(); it != state.copies.end();)
        it = ::IsWindow(it->second.window) || it->first == token ? std::next(it)
                                                                 : state.copies.erase(it);
    const auto found = state.copies.find(token);
    if (found == state.copies.end())
        return false;
    copy.message = found->second.message;
    copy.wParam = found->second.wParam;
    copy.bytes = std::move(found->second.copy);
    state.copies.erase(found);
    return true;
}

void SetSlowWaitObserver(SlowWaitObserver* observer) {
    State().observer = observer;
}

} // namespace UiWait
