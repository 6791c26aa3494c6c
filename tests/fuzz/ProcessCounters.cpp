#include "ProcessCounters.h"

#include <psapi.h>

namespace {

// Handle values are multiples of 4; the program never holds more than a few
// hundred, so this range covers every one it can have.
constexpr UINT_PTR kHighestHandle = 0x10000;

BOOL CALLBACK CountChild(HWND, LPARAM count) {
    ++*reinterpret_cast<size_t*>(count);
    return TRUE;
}

BOOL CALLBACK CountTopLevel(HWND window, LPARAM count) {
    ++*reinterpret_cast<size_t*>(count);
    ::EnumChildWindows(window, &CountChild, count);
    return TRUE;
}

} // namespace

ProcessCounters ProcessCounters::Now() {
    PROCESS_MEMORY_COUNTERS_EX memory{};
    memory.cb = sizeof memory;
    ::GetProcessMemoryInfo(::GetCurrentProcess(),
                           reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&memory), sizeof memory);
    return ProcessCounters{memory.PrivateUsage, memory.WorkingSetSize, CountHandles(),
                           CountWindows()};
}

size_t ProcessCounters::CountHandles() {
    size_t count = 0;
    for (UINT_PTR value = 4; value < kHighestHandle; value += 4) {
        DWORD flags = 0;
        if (::GetHandleInformation(reinterpret_cast<HANDLE>(value), &flags))
            ++count;
    }
    return count;
}

// Message-only windows are no top-level windows of the thread, so they are
// not counted; the program makes none.
size_t ProcessCounters::CountWindows() {
    size_t count = 0;
    ::EnumThreadWindows(::GetCurrentThreadId(), &CountTopLevel, reinterpret_cast<LPARAM>(&count));
    return count;
}
