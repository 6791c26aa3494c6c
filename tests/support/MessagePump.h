// Runs the messages a test has caused, the way the program's loop would.
#pragma once

#include <windows.h>

// Dispatches every message waiting for this thread, each first offered to
// the application's PreTranslateMessage when an application object exists.
// Repeats for at least minMilliseconds so that posted follow-ups and short
// timers get their turn. A WM_QUIT ends the pumping at once; it is kept for
// TakeQuitRequest instead of being left in the queue, where it would end the
// next modal loop of this thread before that loop's dialog could be used.
void PumpMessages(DWORD minMilliseconds = 0);

// True once if a quit was requested since the last call: a WM_QUIT that
// PumpMessages took, or one still waiting in the queue.
bool TakeQuitRequest();
