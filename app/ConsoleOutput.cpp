#include "ConsoleOutput.h"

#include <windows.h>

#include <vector>

namespace {

// A console shows characters; a pipe or a file takes the bytes as they are.
void Write(HANDLE out, const std::string& text) {
    DWORD mode = 0;
    DWORD written = 0;
    if (!::GetConsoleMode(out, &mode)) {
        ::WriteFile(out, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
        return;
    }
    const int size = static_cast<int>(text.size());
    const int length = ::MultiByteToWideChar(CP_ACP, 0, text.data(), size, nullptr, 0);
    if (length <= 0)
        return;
    std::vector<wchar_t> wide(static_cast<size_t>(length));
    ::MultiByteToWideChar(CP_ACP, 0, text.data(), size, wide.data(), length);
    ::WriteConsoleW(out, wide.data(), static_cast<DWORD>(wide.size()), &written, nullptr);
}

} // namespace

void PrintToConsole(const std::string& text) {
    const std::string line = text + "\r\n";
    HANDLE out = ::GetStdHandle(STD_OUTPUT_HANDLE);
    if (out != nullptr && out != INVALID_HANDLE_VALUE) {
        Write(out, line);
        return;
    }
    if (!::AttachConsole(ATTACH_PARENT_PROCESS))
        return;
    HANDLE console = ::CreateFileA("CONOUT$", GENERIC_WRITE, FILE_SHARE_WRITE, nullptr,
                                   OPEN_EXISTING, 0, nullptr);
    if (console != INVALID_HANDLE_VALUE) {
        Write(console, line);
        ::CloseHandle(console);
    }
    ::FreeConsole();
}
