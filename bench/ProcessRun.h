// Whole programs started beside a benchmark.
#pragma once

#include <windows.h>

#include <string>

namespace ProcessRun {

// Starts a command line; the process inherits this process's environment.
bool Start(const std::string& commandLine, PROCESS_INFORMATION& process);
void Close(PROCESS_INFORMATION& process);
// The top-level window with this title once the process has made it; null
// when the process ended or limitMs passed first.
HWND WaitForWindow(const std::string& title, HANDLE process, DWORD limitMs);

} // namespace ProcessRun
