// A program of this build started beside a test, as a person or another
// program starts it, and looked at from outside. Header only: the tests of
// whole programs link nothing of the program's own.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <string>

class ProgramInstance {
public:
    static constexpr DWORD StartTimeout = 20000;
    static constexpr DWORD EndTimeout = 20000;

    // The program is looked for in the test's own folder. What it prints is
    // kept when asked for, as a script that starts it keeps its output.
    enum class Output { Dropped, Kept };
    ProgramInstance(const char* program, const std::string& arguments,
                    Output output = Output::Dropped) {
        std::string commandLine = "\"" + ProgramPath(program) + "\" " + arguments;
        STARTUPINFOA startup{};
        startup.cb = sizeof(startup);
        HANDLE write = nullptr;
        if (output == Output::Kept) {
            SECURITY_ATTRIBUTES inherited{sizeof(inherited), nullptr, TRUE};
            ::CreatePipe(&m_output, &write, &inherited, 1 << 16);
            ::SetHandleInformation(m_output, HANDLE_FLAG_INHERIT, 0);
            startup.dwFlags = STARTF_USESTDHANDLES;
            startup.hStdOutput = startup.hStdError = write;
        }
        m_started = ::CreateProcessA(nullptr, &commandLine[0], nullptr, nullptr, write != nullptr,
                                     0, nullptr, nullptr, &startup, &m_process) != FALSE;
        if (write)
            ::CloseHandle(write);
    }
    // Ended by force if the test left it running.
    ~ProgramInstance() {
        if (!m_started)
            return;
        if (::WaitForSingleObject(m_process.hProcess, 0) == WAIT_TIMEOUT) {
            ::TerminateProcess(m_process.hProcess, 99);
            ::WaitForSingleObject(m_process.hProcess, 5000);
        }
        ::CloseHandle(m_process.hThread);
        ::CloseHandle(m_process.hProcess);
        if (m_output)
            ::CloseHandle(m_output);
    }
    ProgramInstance(const ProgramInstance&) = delete;
    ProgramInstance& operator=(const ProgramInstance&) = delete;

    bool Started() const { return m_started; }
    // Everything the program printed, once it has ended. Only what the pipe
    // holds is read: a process the program started (the first one of a Wine
    // session starts the desktop) may hold the pipe open for good.
    std::string PrintedText() const {
        std::string text;
        char buffer[4096];
        DWORD waiting = 0;
        DWORD read = 0;
        while (m_output && ::PeekNamedPipe(m_output, nullptr, 0, nullptr, &waiting, nullptr) &&
               waiting > 0 &&
               ::ReadFile(m_output, buffer, waiting < sizeof buffer ? waiting : sizeof buffer,
                          &read, nullptr) &&
               read > 0)
            text.append(buffer, read);
        return text;
    }
    bool Ended(DWORD timeout = EndTimeout) const {
        return ::WaitForSingleObject(m_process.hProcess, timeout) == WAIT_OBJECT_0;
    }
    DWORD ExitCode() const {
        DWORD code = STILL_ACTIVE;
        ::GetExitCodeProcess(m_process.hProcess, &code);
        return code;
    }
    HANDLE Process() const { return m_process.hProcess; }
    bool Owns(HWND window) const {
        DWORD owner = 0;
        ::GetWindowThreadProcessId(window, &owner);
        return owner == m_process.dwProcessId;
    }

    // Its main window of this title once start-up is over: the message loop
    // runs, so the status bar shows the idle text.
    HWND WaitForWindow(const char* title) const {
        for (DWORD waited = 0; waited < StartTimeout; waited += 50) {
            HWND window = ::FindWindowA(nullptr, title);
            if (window && Owns(window) && StatusText(window) == "Ready")
                return window;
            if (::WaitForSingleObject(m_process.hProcess, 50) == WAIT_OBJECT_0)
                return nullptr;
        }
        return nullptr;
    }

    // Pane 0 of a frame's status bar. GetWindowText would only read the
    // caption the system keeps; the bar answers WM_GETTEXT itself, with the
    // text of its first pane, and the system carries it between processes.
    static std::string StatusText(HWND frame) {
        char text[128] = "";
        HWND bar = ::FindWindowExA(frame, nullptr, STATUSCLASSNAMEA, nullptr);
        ::SendMessageTimeoutA(bar, WM_GETTEXT, sizeof(text), reinterpret_cast<LPARAM>(text),
                              SMTO_ABORTIFHUNG, 2000, nullptr);
        return text;
    }

private:
    static std::string ProgramPath(const char* program) {
        char path[MAX_PATH] = "";
        ::GetModuleFileNameA(nullptr, path, sizeof(path));
        std::string folder(path);
        return folder.substr(0, folder.find_last_of("\\/") + 1) + program;
    }

    PROCESS_INFORMATION m_process{};
    bool m_started = false;
    HANDLE m_output = nullptr; // the pipe's end the program's output comes out of
};
