// A driver that stalls: every request takes 10 s. Starts the simulated
// program on its "Settings" page, whose drop-out poll keeps a request on its
// way, and has its simulated driver stall 4 s after it started. From then on
// a thread sends the main window WM_NULL over and over and times each answer.
// 7 s into the stall, in the middle of a held request, "<program> -exit" is
// run and the end of the program timed. Prints the longest wait for an answer
// and the quit's time.
//   StallBenchmark.exe <DemtrelSim.exe>
#include "ProcessRun.h"
#include "Timing.h"
#include "ResString.h"
#include "resource.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>

namespace {

using namespace ProcessRun;
using namespace Timing;

constexpr DWORD kStallAfterMs = 4000;
constexpr DWORD kStallMs = 10000;
constexpr DWORD kQuitAfterMs = kStallAfterMs + 7000;
constexpr DWORD kLimitMs = 60000;
constexpr DWORD kPingEveryMs = 10;

struct Pinger {
    HWND window;
    volatile LONG stop;
    double longestMs;
    int sent;
};

DWORD WINAPI Ping(void* argument) {
    auto& pinger = *static_cast<Pinger*>(argument);
    while (!pinger.stop) {
        const LARGE_INTEGER start = Now();
        DWORD_PTR result = 0;
        ::SendMessageTimeoutA(pinger.window, WM_NULL, 0, 0, SMTO_NORMAL, kLimitMs, &result);
        pinger.longestMs = std::max(pinger.longestMs, Milliseconds(start, Now()));
        ++pinger.sent;
        ::Sleep(kPingEveryMs);
    }
    return 0;
}

void SleepUntil(LARGE_INTEGER from, DWORD milliseconds) {
    while (Milliseconds(from, Now()) < milliseconds)
        ::Sleep(20);
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: StallBenchmark <DemtrelSim.exe>\n");
        return 2;
    }
    const std::string program = argv[1];
    const std::string title = LoadResString(IDS_MAIN_TITLE);
    const std::string delay = "*=" + std::to_string(kStallMs) + "@" + std::to_string(kStallAfterMs);
    ::SetEnvironmentVariableA("DEMTREL_SIM_DELAY", delay.c_str());

    const LARGE_INTEGER started = Now();
    PROCESS_INFORMATION running{};
    if (!Start("\"" + program + "\" -asio", running)) {
        std::fprintf(stderr, "%s did not start\n", program.c_str());
        return 1;
    }
    Pinger pinger{WaitForWindow(title, running.hProcess, kLimitMs), 0, 0.0, 0};
    if (!pinger.window) {
        std::fprintf(stderr, "%s made no window\n", program.c_str());
        ::TerminateProcess(running.hProcess, 1);
        Close(running);
        return 1;
    }
    // The driver's clock starts with the program's: from the stall on, until
    // the program has ended, the window is asked.
    SleepUntil(started, kStallAfterMs);
    HANDLE thread = ::CreateThread(nullptr, 0, Ping, &pinger, 0, nullptr);
    SleepUntil(started, kQuitAfterMs);
    PROCESS_INFORMATION quit{};
    const LARGE_INTEGER quitting = Now();
    const bool quitStarted = Start("\"" + program + "\" -exit", quit);
    const bool ended = ::WaitForSingleObject(running.hProcess, kLimitMs) == WAIT_OBJECT_0;
    const double quitMs = Milliseconds(quitting, Now());
    pinger.stop = 1;
    ::WaitForSingleObject(thread, kLimitMs);
    ::CloseHandle(thread);
    if (quitStarted) {
        ::WaitForSingleObject(quit.hProcess, kLimitMs);
        Close(quit);
    }
    if (!ended)
        ::TerminateProcess(running.hProcess, 1);
    Close(running);

    std::printf("%s (%d-bit benchmark), every request %lu s from %lu s after its start, "
                "\"-exit\" %lu s into it\n",
                program.c_str(), static_cast<int>(sizeof(void*) * 8), kStallMs / 1000,
                kStallAfterMs / 1000, (kQuitAfterMs - kStallAfterMs) / 1000);
    std::printf("  longest wait for an answer to WM_NULL: %.0f ms (%d sent)\n", pinger.longestMs,
                pinger.sent);
    if (ended)
        std::printf("  \"-exit\" to the end of the program:    %.0f ms\n", quitMs);
    else
        std::printf("  \"-exit\" to the end of the program:    not within %lu ms\n", kLimitMs);
    return ended ? 0 : 1;
}
