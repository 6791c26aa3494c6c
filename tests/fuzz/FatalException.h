// The exceptions that end a fuzzed process for good (a bad memory access, a
// corrupted heap, a broken stack guard), as against those a handler may
// still catch: a fuzz names its seed before one of these ends it.
#pragma once

#include <windows.h>

inline bool IsFatalException(DWORD code) {
    constexpr DWORD kHeapCorruption = 0xC0000374;
    constexpr DWORD kStackBufferOverrun = 0xC0000409;
    return code == EXCEPTION_ACCESS_VIOLATION || code == EXCEPTION_STACK_OVERFLOW ||
           code == EXCEPTION_INT_DIVIDE_BY_ZERO || code == EXCEPTION_ILLEGAL_INSTRUCTION ||
           code == EXCEPTION_ARRAY_BOUNDS_EXCEEDED || code == kHeapCorruption ||
           code == kStackBufferOverrun;
}
