// What the process holds, counted for the soak: memory, kernel handles and
// windows. Wine's own private-bytes, handle and GUI-object counters read 0, so
// private bytes are summed over the address space, handles are
// found by asking the system about every handle value in turn, and windows
// by walking this thread's windows and their children.
#pragma once

#include <windows.h>

#include <cstddef>

struct ProcessCounters {
    size_t PrivateBytes;
    size_t WorkingSet;
    size_t Handles;
    size_t Windows;

    static ProcessCounters Now();
    static size_t CountPrivateBytes();
    static size_t CountHandles();
    static size_t CountWindows();
};
