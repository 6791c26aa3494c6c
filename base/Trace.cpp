#include "Trace.h"

#include <windows.h>

#include <cstdarg>

namespace {

#ifdef DEMTREL_TRACE
void DebuggerHook(const char* line) {
    OutputDebugStringA(line);
}
TraceHook gHook = DebuggerHook;
#else
TraceHook gHook = nullptr;
#endif

} // namespace

void SetTraceHook(TraceHook hook) {
    gHook = hook;
}

void Trace(const char* format, ...) {
    TraceHook hook = gHook;
    if (!hook)
        return;
    // The system writes at most 1024 characters and the terminator.
    char line[1025];
    va_list args;
    va_start(args, format);
    ::wvsprintfA(line, format, args);
    va_end(args);
    hook(line);
}
