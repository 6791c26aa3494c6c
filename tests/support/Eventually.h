// Waits for something another process does in its own time.
#pragma once

#include <windows.h>

// True as soon as the condition holds, looked at every 50 ms; false when it
// still does not after timeoutMs.
template <typename Condition> bool Eventually(Condition condition, DWORD timeoutMs) {
    for (DWORD waited = 0; waited < timeoutMs; waited += 50) {
        if (condition())
            return true;
        ::Sleep(50);
    }
    return condition();
}
