#include "ProcessCounters.h"

#include <psapi.h>

namespace {

// Handle values are multiples of 4, handed out from the lowest free one; the
// program holds a few dozen, so this range covers thousands more than it has.
constexpr UINT_PTR kHighestHandle = 0x4000;

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
    PROCESS_MEMORY_COUNTERS memory{};
    memory.cb = sizeof memory;
    ::GetProcessMemoryInfo(::GetCurrentProcess(), &memory, sizeof memory);
    return ProcessCounters{CountPrivateBytes(), memory.WorkingSetSize, CountHandles(),
                           CountWindows()};
}

// Wine leaves the private-usage counter at 0; the committed private regions
// of the address space are what it would count.
size_t ProcessCounters::CountPrivateBytes() {
    SYSTEM_INFO system{};
    ::GetSystemInfo(&system);
    size_t bytes = 0;
    auto* address = static_cast<const char*>(system.lpMinimumApplicationAddress);
    MEMORY_BASIC_INFORMATION region{};
    while (address < system.lpMaximumApplicationAddress &&
           ::VirtualQuery(address, &region, sizeof region) == sizeof region) {
        if (region.State == MEM_COMMIT && region.Type == MEM_PRIVATE)
            bytes += region.RegionSize;
        address = static_cast<const char*>(region.BaseAddress) + region.RegionSize;
    }
    return bytes;
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
