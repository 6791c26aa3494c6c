#include "Trace.h"

#include <windows.h>

#include <cstdarg>
#include <cstdio>

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
    char line[512];
    va_list args;
    va_start(args, format);
    vsnprintf(line, sizeof line, format, args);
    va_end(args);
    hook(line);
}
