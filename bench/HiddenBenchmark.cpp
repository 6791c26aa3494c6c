// The simulated program hidden in the tray for a while, as during a take:
// how often the driver is asked, how often its thread wakes for a timer or
// for anything at all, and the processor time it takes. With the warning
// off there must be nothing at all; with it on, one request a second.
//   HiddenBenchmark on|off [seconds]   (default 60)
#include "CIXO_CPLApp.h"
#include "Wnd.h"
#include "DriverCodes.h"
#include "Preferences.h"
#include "Simulator.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

CIXO_CPLApp theApp;

ULONGLONG CpuTimeMs() {
    FILETIME created{}, ended{}, kernel{}, user{};
    ::GetProcessTimes(::GetCurrentProcess(), &created, &ended, &kernel, &user);
    const auto ticks = [](const FILETIME& time) {
        return (ULONGLONG{time.dwHighDateTime} << 32) | time.dwLowDateTime;
    };
    return (ticks(kernel) + ticks(user)) / 10000;
}

struct Counts {
    unsigned wakeUps = 0;
    unsigned timers = 0;
};

// The program's own loop, with a wait that ends on time without a timer of
// its own: every return of the wait with something to do is one wake-up.
Counts Idle(DWORD milliseconds) {
    Counts counts;
    const ULONGLONG end = ::GetTickCount64() + milliseconds;
    for (ULONGLONG now = ::GetTickCount64(); now < end; now = ::GetTickCount64()) {
        const DWORD woke = ::MsgWaitForMultipleObjectsEx(0, nullptr, static_cast<DWORD>(end - now),
                                                         QS_ALLINPUT, MWMO_INPUTAVAILABLE);
        if (woke != WAIT_OBJECT_0)
            continue;
        ++counts.wakeUps;
        MSG msg{};
        while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            counts.timers += msg.message == WM_TIMER ? 1 : 0;
            if (!theApp.PreTranslateMessage(&msg)) {
                ::TranslateMessage(&msg);
                ::DispatchMessageA(&msg);
            }
        }
    }
    return counts;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2 || (std::strcmp(argv[1], "on") != 0 && std::strcmp(argv[1], "off") != 0)) {
        std::printf("usage: HiddenBenchmark on|off [seconds]\n");
        return 2;
    }
    const bool warn = std::strcmp(argv[1], "on") == 0;
    const DWORD seconds = argc > 2 ? static_cast<DWORD>(std::atoi(argv[2])) : 60;
    const bool warnedBefore = Preferences::WarnAboutDropOuts();
    Preferences::SetWarnAboutDropOuts(warn);
    theApp.m_nCmdShow = SW_HIDE;
    if (!theApp.CreateMainWindow()) {
        std::printf("The program's window could not be made.\n");
        return 1;
    }
    Idle(2000); // start-up settles
    CSimulator& sim = CSimulator::Instance();
    sim.ClearLog();
    const ULONGLONG cpuBefore = CpuTimeMs();
    const Counts counts = Idle(seconds * 1000);
    const ULONGLONG cpu = CpuTimeMs() - cpuBefore;
    unsigned polls = 0;
    for (const SimLogEntry& entry : sim.Log())
        polls += entry.Code == DriverRequest::GetAsioStatistics ? 1 : 0;
    std::printf("Hidden %lu s, warning %s: %u requests (%u GetAsioStatistics), %u timer "
                "wake-ups, %u wake-ups in all, %llu ms of processor time\n",
                static_cast<unsigned long>(seconds), warn ? "on " : "off",
                static_cast<unsigned>(sim.Log().size()), polls, counts.timers, counts.wakeUps, cpu);
    Preferences::SetWarnAboutDropOuts(warnedBefore);
    theApp.m_pMainWnd->DestroyWindow();
    return warn || sim.Log().empty() ? 0 : 1;
}
