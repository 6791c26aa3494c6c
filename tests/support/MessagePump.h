// Runs the messages a test has caused, the way the program's loop would.
#pragma once

#include <windows.h>

// Dispatches every message waiting for this thread, each first offered to
// the application's PreTranslateMessage when an application object exists.
// Repeats for at least minMilliseconds so that posted follow-ups and short
// timers get their turn.
void PumpMessages(DWORD minMilliseconds = 0);
