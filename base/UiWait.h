// A wait of the user-interface thread for something slow (a driver request)
// that keeps the thread's windows alive: they paint and answer the messages
// sent to them, so the window is never drawn as not responding. No handler
// of the program may run half-way through the work that waits, though:
//
//   - input (keys, clicks) stays in the queue and is handled after the wait;
//     only the mouse's moves are taken, so that the cursor over the window
//     can show that the program waits;
//   - posted messages are taken from the queue and dispatched, and sent
//     messages are delivered as always; the window procedures of the program
//     hold every message that would start work (Hold), and what is held is
//     posted again, in the order it came, when the outermost wait is over;
//   - what must act at once (the quit of the program, the tray icon's menu)
//     is left to run by the window procedures, and may stop the wait.
#pragma once

#include <windows.h>

#include <cstddef>
#include <vector>

namespace UiWait {

enum class Outcome {
    Ended,    // the event was set
    TimedOut, // the time limit passed first
    Stopped,  // a handler that ran during the wait asked it to stop
};

// After this long a wait counts as slow and the user is shown that the
// program waits.
constexpr DWORD SlowAfterMs = 300;

// Waits for the event for at most limitMs. *stop is read after every message
// handled during the wait; a handler that sets it ends the wait.
Outcome Wait(HANDLE event, DWORD limitMs, const bool* stop);

// True while this thread is inside Wait.
bool IsWaiting();

// Keeps a message to be posted again when the outermost wait ends; a null
// window keeps a message of the thread. A message whose lParam points to a
// record is kept with a copy of size bytes of it and comes back as
// HeldCopyMessage(), whose lParam TakeHeldCopy turns into the original.
void Hold(HWND window, UINT message, WPARAM wParam, LPARAM lParam, size_t size = 0);

// The message that brings a held message with a copied record back.
UINT HeldCopyMessage();
struct HeldCopy {
    UINT message;
    WPARAM wParam;
    std::vector<BYTE> bytes; // the record; lParam is its address
};
// The held message that a HeldCopyMessage's lParam stands for; false when
// there is none (it came back already).
bool TakeHeldCopy(LPARAM token, HeldCopy& copy);

// Told when a wait has lasted SlowAfterMs, and again when that wait ends.
class SlowWaitObserver {
public:
    virtual void OnSlowWait(bool begins) = 0;

protected:
    ~SlowWaitObserver() = default;
};
// One observer per thread (the main window); null to stop.
void SetSlowWaitObserver(SlowWaitObserver* observer);

} // namespace UiWait
