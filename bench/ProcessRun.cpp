#include "ProcessRun.h"

#include <vector>

namespace ProcessRun {

bool Start(const std::string& commandLine, PROCESS_INFORMATION& process) {
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    std::vector<char> line(commandLine.begin(), commandLine.end());
    line.push_back('\0');
    return ::CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                            &startup, &process) != FALSE;
}

void Close(PROCESS_INFORMATION& process) {
    ::CloseHandle(process.hThread);
    ::CloseHandle(process.hProcess);
}

HWND WaitForWindow(const std::string& title, HANDLE process, DWORD limitMs) {
    for (DWORD waited = 0; waited < limitMs; waited += 20) {
        if (HWND window = ::FindWindowA(nullptr, title.c_str()))
            return window;
        if (::WaitForSingleObject(process, 20) == WAIT_OBJECT_0)
            return nullptr;
    }
    return nullptr;
}

} // namespace ProcessRun
