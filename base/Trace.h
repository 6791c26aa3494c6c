// Diagnostic trace lines. Off by default: every call is skipped unless a
// hook is installed (tests) or the build routes them to the debugger output.
#pragma once

using TraceHook = void (*)(const char* line);

void SetTraceHook(TraceHook hook);
void Trace(const char* format, ...) __attribute__((format(printf, 1, 2)));
