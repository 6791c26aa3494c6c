// The soak: the whole program on the simulated driver, reloaded 10,000 times
// through the driver-event path and its listener restarted 1,000 times, with
// the memory, kernel handles and windows of the process printed as it goes.
// What a leak would show is a column that keeps growing. A program to run by
// hand (make soak), not a test.
#include "AppMessages.h"
#include "CIXO_CPLApp.h"
#include "CIXO_CPLView.h"
#include "DriverCodes.h"
#include "MessagePump.h"
#include "ProcessCounters.h"
#include "Simulator.h"

#include <chrono>
#include <cstdio>

namespace {

constexpr int kReloads = 10000;
constexpr int kReloadsPerLine = 1000;
constexpr int kRestarts = 1000;
constexpr int kRestartsPerLine = 100;
constexpr ULONGLONG kListenerWaitMs = 2000;

void PrintLine(const char* what, int done) {
    const ProcessCounters now = ProcessCounters::Now();
    std::printf("%-9s %6d  private %8zu KiB  working set %8zu KiB  handles %4zu  windows %3zu\n",
                what, done, now.PrivateBytes / 1024, now.WorkingSet / 1024, now.Handles,
                now.Windows);
    std::fflush(stdout);
}

// One reload of every page the way the driver causes it: a queued event
// drained by the view. The simulator's request log is emptied, so that only
// the program's own memory is measured.
void ReloadThroughDriverEvent(CSimulator& sim, CIXO_CPLView& view) {
    sim.QueueNotification(EvtType_DomainConfigurationChanged);
    ::SendMessageA(view.m_hWnd, WM_APP_DRIVER_EVENT, 0, 0);
    PumpMessages();
    sim.ClearLog();
}

// After the restarts the listener must still carry a driver signal to the view.
bool ListenerDelivers(CSimulator& sim) {
    sim.ClearLog();
    sim.QueueNotification(EvtType_BusReset);
    const ULONGLONG until = ::GetTickCount64() + kListenerWaitMs;
    while (sim.CountRequests(DriverRequest::GetNotification) == 0 && ::GetTickCount64() < until)
        PumpMessages(5);
    return sim.CountRequests(DriverRequest::GetNotification) > 0;
}

} // namespace

int main() {
    CSimulator& sim = CSimulator::Instance();
    CIXO_CPLApp* app = CIXO_CPLApp::FromApp();
    app->m_nCmdShow = SW_SHOW;
    if (!app->CreateMainWindow()) {
        std::printf("soak: the main window could not be made\n");
        return 1;
    }
    CIXO_CPLView& view = *CIXO_CPLView::FromApp();
    PumpMessages(50);
    const auto start = std::chrono::steady_clock::now();

    PrintLine("reloads", 0);
    for (int reload = 1; reload <= kReloads; ++reload) {
        ReloadThroughDriverEvent(sim, view);
        if (reload % kReloadsPerLine == 0)
            PrintLine("reloads", reload);
    }

    CNotificator& listener = view.m_Notificator;
    PrintLine("restarts", 0);
    int failed = 0;
    for (int restart = 1; restart <= kRestarts; ++restart) {
        listener.Stop();
        listener.SetNotifyTarget(view.m_hWnd, WM_APP_DRIVER_EVENT, 0, 0);
        failed += listener.Start() != 0 ? 1 : 0;
        PumpMessages();
        if (restart % kRestartsPerLine == 0)
            PrintLine("restarts", restart);
    }
    const bool delivers = ListenerDelivers(sim);
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::printf("soak: %d reloads and %d listener restarts (%d failed) in %.1f s on %s; the "
                "listener %s\n",
                kReloads, kRestarts, failed, seconds, sizeof(void*) == 8 ? "x86_64" : "i686",
                delivers ? "still delivers" : "DELIVERS NOTHING");

    app->m_pMainWnd->DestroyWindow();
    app->ExitInstance();
    return failed == 0 && delivers ? 0 : 1;
}
