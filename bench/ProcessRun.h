// Whole programs started beside a benchmark, and the clock it times them by.
#pragma once

#include <windows.h>

#include <string>

namespace ProcessRun {

// The high-resolution clock, and the milliseconds between two of its readings.
LARGE_INTEGER Now();
double Milliseconds(LARGE_INTEGER from, LARGE_INTEGER to);

// Starts a command line; the process inherits this process's environment.
bool Start(const std::string& commandLine, PROCESS_INFORMATION& process);
void Close(PROCESS_INFORMATION& process);
// The top-level window with this title once the process has made it; null
// when the process ended or limitMs passed first.
HWND WaitForWindow(const std::string& title, HANDLE process, DWORD limitMs);

} // namespace ProcessRun
