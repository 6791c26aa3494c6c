// How long a quit takes: starts the program hidden, waits until its window
// exists, runs "<program> -exit", and times the end of the quit command and the
// end of the program, run after run. Prints the medians and the slowest run; the
// quit command's own time is mostly the start of a second process.
// Beside it, the bare cost of the notification area on this system: one icon
// added to a window of our own and removed again, which the program does too.
//   QuitBenchmark.exe <program.exe> [runs]
#include "ProcessRun.h"
#include "Timing.h"
#include "ResString.h"
#include "resource.h"

#include <windows.h>
#include <shellapi.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

using namespace ProcessRun;
using namespace Timing;

constexpr DWORD kStartLimitMs = 20000;

struct QuitTimes {
    double command; // until "-exit" has ended
    double program; // until the program has ended
};

bool TimeOneQuit(const std::string& program, const std::string& title, QuitTimes& times) {
    PROCESS_INFORMATION running{};
    if (!Start("\"" + program + "\" -hide", running))
        return false;
    bool timed = false;
    if (WaitForWindow(title, running.hProcess, kStartLimitMs)) {
        ::Sleep(500); // let start-up settle: the tray icon, the first paint
        PROCESS_INFORMATION quit{};
        const LARGE_INTEGER start = Now();
        if (Start("\"" + program + "\" -exit", quit)) {
            ::WaitForSingleObject(quit.hProcess, INFINITE);
            times.command = Milliseconds(start, Now());
            timed = ::WaitForSingleObject(running.hProcess, kStartLimitMs) == WAIT_OBJECT_0;
            times.program = Milliseconds(start, Now());
            Close(quit);
        }
    }
    if (!timed)
        ::TerminateProcess(running.hProcess, 1);
    Close(running);
    return timed;
}

// One tray icon added and removed on a bare window: what the system itself costs.
double TimeBareTrayRemoval() {
    HWND window = ::CreateWindowExA(0, "STATIC", "QuitBenchmark", 0, 0, 0, 0, 0, nullptr, nullptr,
                                    ::GetModuleHandleA(nullptr), nullptr);
    NOTIFYICONDATAA icon{};
    icon.cbSize = sizeof icon;
    icon.hWnd = window;
    icon.uID = 1;
    icon.uFlags = NIF_ICON | NIF_TIP;
    icon.hIcon = ::LoadIconA(nullptr, MAKEINTRESOURCEA(32512));
    std::snprintf(icon.szTip, sizeof icon.szTip, "QuitBenchmark");
    double removal = -1;
    if (::Shell_NotifyIconA(NIM_ADD, &icon)) {
        const LARGE_INTEGER start = Now();
        ::Shell_NotifyIconA(NIM_DELETE, &icon);
        removal = Milliseconds(start, Now());
    }
    ::DestroyWindow(window);
    return removal;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: QuitBenchmark <program.exe> [runs]\n");
        return 2;
    }
    const std::string program = argv[1];
    const int runs = argc > 2 ? std::max(1, std::atoi(argv[2])) : 5;
    const std::string title = LoadResString(IDS_MAIN_TITLE);
    std::vector<double> commands;
    std::vector<double> programs;
    std::vector<double> afterCommands;
    for (int run = 0; run < runs; ++run) {
        QuitTimes times{};
        if (!TimeOneQuit(program, title, times)) {
            std::fprintf(stderr, "run %d: the program did not start or did not end\n", run + 1);
            return 1;
        }
        commands.push_back(times.command);
        programs.push_back(times.program);
        afterCommands.push_back(times.program - times.command);
    }
    std::printf("%s (%d-bit benchmark), %d runs\n", program.c_str(),
                static_cast<int>(sizeof(void*) * 8), runs);
    std::printf("  quit command ended after: median %.0f ms\n", Median(commands));
    std::printf("  program ended after:      median %.0f ms, slowest %.0f ms\n", Median(programs),
                *std::max_element(programs.begin(), programs.end()));
    std::printf("  program ended after the command: median %.0f ms\n", Median(afterCommands));
    std::printf("  bare tray icon removal:   %.0f ms\n", TimeBareTrayRemoval());
    return 0;
}
