// What tools/test-installer cannot do from the shell: use what Setup registered the way
// Windows uses it, as a 32-bit process (so it sees the registry's 32-bit view).
//   InstallerProbe applet              loads the registered applet, prints "count N"
//   InstallerProbe run <key> <value>   starts the command line a value under HKLM holds
//   InstallerProbe wait <key> <value>  the same, waits, prints "exit N"
//   InstallerProbe exec <command line> runs a command line as given, waits, prints "exit N"
//                                      (the whole exit code, which Wine's loader cuts to 8 bits)
//   InstallerProbe state               prints "window=none|hidden|visible mutex=free|held"
//   InstallerProbe hold <path>         keeps a library loaded, as an open Control Panel does,
//                                      until "release" (at most a minute)
//   InstallerProbe release             ends a "hold"
//   InstallerProbe find <title>        waits (up to 10 s) for a window whose title begins
//                                      so, makes it the foreground window, as a click on it
//                                      would, and prints its place on the screen as WxH+X+Y
//   InstallerProbe press <title> <id>  clicks button <id> of that window, as the user would
//   InstallerProbe shows <title> <text> waits (up to 10 s) until that window shows a control
//                                      whose text begins so; prints "shown", or else the
//                                      texts it shows, one a line (UTF-8)
// The exit code is 0 when the probe could do what it was asked.
#include "LoadedApplet.h"

#include <cpl.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

const char kCplsKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Control Panel\\Cpls";
const char kCplsValue[] = "Sarvent";
const char kTitle[] = "Tarnet Control Panel";
const char kMutex[] = "734EB08A-7DFA-48ad-B254-2719FB6F8CE8";
const char kReleaseEvent[] = "InstallerProbe.Release";
const DWORD kLongestHold = 60000;

// A REG_SZ value under HKLM; empty when it is missing or of another type.
std::string MachineString(const char* key, const char* value) {
    char text[1024] = {};
    DWORD size = sizeof text - 1;
    if (RegGetValueA(HKEY_LOCAL_MACHINE, key, value, RRF_RT_REG_SZ, nullptr, text, &size) !=
        ERROR_SUCCESS)
        return std::string();
    return text;
}

int Applet() {
    const std::string path = MachineString(kCplsKey, kCplsValue);
    LoadedApplet applet;
    if (path.empty() || !applet.Load(path)) {
        std::printf("no applet at \"%s\"\n", path.c_str());
        return 1;
    }
    applet.Send(CPL_INIT);
    std::printf("count %ld\n", applet.Send(CPL_GETCOUNT));
    applet.Send(CPL_EXIT);
    return 0;
}

int Run(std::string command, bool wait) {
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    if (command.empty() || !CreateProcessA(nullptr, &command[0], nullptr, nullptr, FALSE, 0,
                                           nullptr, nullptr, &startup, &process)) {
        std::printf("cannot run \"%s\"\n", command.c_str());
        return 1;
    }
    if (wait) {
        DWORD code = 0;
        WaitForSingleObject(process.hProcess, INFINITE);
        GetExitCodeProcess(process.hProcess, &code);
        std::printf("exit %lu\n", code);
    }
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return 0;
}

int State() {
    const HWND window = FindWindowA(nullptr, kTitle);
    const HANDLE mutex = OpenMutexA(SYNCHRONIZE, FALSE, kMutex);
    std::printf("window=%s mutex=%s\n",
                window ? (IsWindowVisible(window) ? "visible" : "hidden") : "none",
                mutex ? "held" : "free");
    if (mutex)
        CloseHandle(mutex);
    return 0;
}

int Hold(const char* path) {
    const HANDLE release = CreateEventA(nullptr, TRUE, FALSE, kReleaseEvent);
    const HMODULE library = LoadLibraryA(path);
    std::printf(library ? "loaded\n" : "not loaded\n");
    std::fflush(stdout);
    if (library) {
        WaitForSingleObject(release, kLongestHold);
        FreeLibrary(library);
    }
    CloseHandle(release);
    return library ? 0 : 1;
}

int Release() {
    const HANDLE release = OpenEventA(EVENT_MODIFY_STATE, FALSE, kReleaseEvent);
    if (!release)
        return 1;
    SetEvent(release);
    CloseHandle(release);
    return 0;
}

struct TitleSearch {
    const char* start;
    HWND found;
};

BOOL CALLBACK MatchTitleStart(HWND window, LPARAM search) {
    TitleSearch& wanted = *reinterpret_cast<TitleSearch*>(search);
    char title[256] = {};
    GetWindowTextA(window, title, sizeof title);
    if (!IsWindowVisible(window) || std::strncmp(title, wanted.start, std::strlen(wanted.start)))
        return TRUE;
    wanted.found = window;
    return FALSE;
}

// The visible top-level window whose title begins so (a setup names its page after it),
// waited for up to 10 s; null when it does not come.
HWND WaitForWindow(const char* titleStart) {
    for (int tries = 0; tries < 100; ++tries) {
        TitleSearch search = {titleStart, nullptr};
        EnumWindows(MatchTitleStart, reinterpret_cast<LPARAM>(&search));
        if (search.found)
            return search.found;
        Sleep(100);
    }
    return nullptr;
}

// With no window manager nothing hands Setup the foreground: its window is the active
// one of its thread yet keeps the grey caption of an inactive one, and asking for the
// foreground changes nothing while the window is active already. The desktop takes the
// foreground for a moment, and the window takes it back, as a clicked window does.
void BringToFront(HWND window) {
    if (GetForegroundWindow() == window)
        SetForegroundWindow(GetDesktopWindow());
    SetForegroundWindow(window);
    for (int tries = 0; tries < 20 && GetForegroundWindow() != window; ++tries)
        Sleep(100);
}

// Prints the window's place on the screen the way ImageMagick crops: WxH+X+Y.
int Find(const char* title) {
    const HWND window = WaitForWindow(title);
    RECT place = {};
    if (!window)
        return 1;
    BringToFront(window);
    if (!GetWindowRect(window, &place))
        return 1;
    std::printf("%ldx%ld+%ld+%ld\n", place.right - place.left, place.bottom - place.top, place.left,
                place.top);
    return 0;
}

int Press(const char* title, const char* id) {
    const HWND window = WaitForWindow(title);
    const int control = std::atoi(id);
    const HWND button = window ? GetDlgItem(window, control) : nullptr;
    if (!button || !IsWindowEnabled(button))
        return 1;
    PostMessageA(window, WM_COMMAND, MAKEWPARAM(control, BN_CLICKED),
                 reinterpret_cast<LPARAM>(button));
    return 0;
}

struct TextSearch {
    const char* start;
    bool found;
    std::string seen;
};

BOOL CALLBACK MatchTextStart(HWND control, LPARAM search) {
    TextSearch& wanted = *reinterpret_cast<TextSearch*>(search);
    WCHAR text[1024] = {};
    if (!IsWindowVisible(control) || GetWindowTextW(control, text, 1024) == 0)
        return TRUE;
    char utf8[4096] = {};
    WideCharToMultiByte(CP_UTF8, 0, text, -1, utf8, sizeof utf8 - 1, nullptr, nullptr);
    wanted.seen += utf8;
    wanted.seen += '\n';
    wanted.found = std::strncmp(utf8, wanted.start, std::strlen(wanted.start)) == 0;
    return !wanted.found;
}

// The texts are compared as UTF-8, so that a page in any language can be asked about; a
// page that is still being turned to gets the rest of the 10 s.
int Shows(const char* title, const char* text) {
    const HWND window = WaitForWindow(title);
    TextSearch search = {text, false, std::string()};
    for (int tries = 0; window && tries < 100 && !search.found; ++tries) {
        if (tries > 0)
            Sleep(100);
        search.seen.clear();
        EnumChildWindows(window, MatchTextStart, reinterpret_cast<LPARAM>(&search));
    }
    std::printf("%s", search.found ? "shown\n" : search.seen.c_str());
    return search.found ? 0 : 1;
}

bool Is(const char* argument, const char* mode) {
    return std::strcmp(argument, mode) == 0;
}

} // namespace

int main(int argc, char** argv) {
    if (argc == 2 && Is(argv[1], "applet"))
        return Applet();
    if (argc == 4 && (Is(argv[1], "run") || Is(argv[1], "wait")))
        return Run(MachineString(argv[2], argv[3]), Is(argv[1], "wait"));
    if (argc == 3 && Is(argv[1], "exec"))
        return Run(argv[2], true);
    if (argc == 2 && Is(argv[1], "state"))
        return State();
    if (argc == 3 && Is(argv[1], "hold"))
        return Hold(argv[2]);
    if (argc == 2 && Is(argv[1], "release"))
        return Release();
    if (argc == 3 && Is(argv[1], "find"))
        return Find(argv[2]);
    if (argc == 4 && Is(argv[1], "press"))
        return Press(argv[2], argv[3]);
    if (argc == 4 && Is(argv[1], "shows"))
        return Shows(argv[2], argv[3]);
    std::printf("usage: InstallerProbe applet | run|wait <key> <value> | exec <command line> | "
                "state | hold <path> | release | find <title> | press <title> <id> | "
                "shows <title> <text>\n");
    return 2;
}
