// One reload of all six pages, as a driver event makes it, on a simulated
// driver filled to capacity; timed beside the same driver requests alone and
// bare list views filled with the same rows. Prints the medians, each page's
// share, and the ratio reload / (requests + bare fills).
#include "CBareLists.h"
#include "CCapacityDriver.h"
#include "CIXO_CPLApp.h"
#include "CIXO_CPLView.h"
#include "CMainFrame.h"
#include "CRequestReplay.h"
#include "Document.h"
#include "Simulator.h"
#include "SingleDocTemplate.h"
#include "resource.h"

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

namespace {

CIXO_CPLApp theApp;

constexpr int kRuns = 15;
void PumpWaiting() {
    MSG msg;
    while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        ::TranslateMessage(&msg);
        ::DispatchMessageA(&msg);
    }
}

void PaintNow(HWND window) {
    ::RedrawWindow(window, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
}

double Milliseconds(const LARGE_INTEGER& from, const LARGE_INTEGER& to) {
    LARGE_INTEGER frequency;
    ::QueryPerformanceFrequency(&frequency);
    return 1000.0 * static_cast<double>(to.QuadPart - from.QuadPart) /
           static_cast<double>(frequency.QuadPart);
}

// Several operations timed in turn, run after run, so that a busy moment of
// the machine weighs on all of them alike; one round first to warm up. Between
// two operations the queue is emptied and the simulator's log cleared, neither
// of them timed. Returns each operation's median.
std::vector<double> MediansMs(const std::vector<std::function<void()>>& operations) {
    CSimulator& sim = CSimulator::Instance();
    std::vector<std::vector<double>> times(operations.size());
    for (int run = 0; run <= kRuns; ++run) {
        for (size_t index = 0; index < operations.size(); ++index) {
            PumpWaiting();
            sim.ClearLog();
            LARGE_INTEGER start;
            LARGE_INTEGER end;
            ::QueryPerformanceCounter(&start);
            operations[index]();
            ::QueryPerformanceCounter(&end);
            if (run > 0)
                times[index].push_back(Milliseconds(start, end));
        }
    }
    std::vector<double> medians;
    for (std::vector<double>& runs : times) {
        std::sort(runs.begin(), runs.end());
        medians.push_back(runs[runs.size() / 2]);
    }
    return medians;
}

int Run() {
    CSimulator& sim = CSimulator::Instance();
    CCapacityDriver::Fill(sim);
    std::printf("Simulated driver: %u devices, %u input and %u output channels\n",
                static_cast<unsigned>(sim.Model().Devices.size()),
                static_cast<unsigned>(CCapacityDriver::ChannelCount(sim, true)),
                static_cast<unsigned>(CCapacityDriver::ChannelCount(sim, false)));

    theApp.m_nCmdShow = SW_SHOW;
    theApp.AddDocTemplate(
        CSingleDocTemplate::Make<CDocument, CMainFrame, CIXO_CPLView>(IDR_MAINFRAME));
    if (!theApp.OnFileNew()) {
        std::printf("The program's window could not be made.\n");
        return 1;
    }
    CIXO_CPLView* view = CIXO_CPLView::FromApp();
    HWND frame = CMainFrame::FromApp()->m_hWnd;
    PumpWaiting();
    PaintNow(frame);

    sim.ClearLog();
    view->UpdateAllPages();
    CRequestReplay requests(sim.Log());
    CBareLists bare(view->m_hWnd);
    PaintNow(frame);
    std::printf("One reload: %u driver requests, %u rows in %u lists\n",
                static_cast<unsigned>(requests.Count()), static_cast<unsigned>(bare.RowCount()),
                static_cast<unsigned>(bare.ListCount()));

    const std::vector<double> medians = MediansMs({
        [&] {
            view->UpdateAllPages();
            PaintNow(frame);
        },
        [&] { requests.Send(); },
        [&] {
            bare.Fill();
            bare.Paint();
        },
    });
    const double reload = medians[0];
    const double alone = medians[1];
    const double fills = medians[2];
    std::printf("Median of %d runs, in milliseconds:\n", kRuns);
    std::printf("  reload of all six pages  %9.2f\n", reload);
    std::printf("  driver requests alone    %9.2f\n", alone);
    std::printf("  bare list fills          %9.2f\n", fills);
    std::printf("  reload / (requests + fills) = %.2f\n", reload / (alone + fills));

    // Where the reload's time goes: each page's reload without painting, and
    // the one painting a reload leaves, the shown list's, frame and rows.
    const CWindowHandle shownList(view->m_PgDevices.GetDlgItem(IDC_DEVICE_LIST));
    const struct {
        const char* name;
        std::function<void()> part;
    } parts[] = {
        {"devices page", [&] { view->m_PgDevices.UpdatePage(); }},
        {"input channels page", [&] { view->m_PgInChannels.UpdatePage(); }},
        {"output channels page", [&] { view->m_PgOutChannels.UpdatePage(); }},
        {"streams page", [&] { view->m_PgStreams.UpdatePage(); }},
        {"buffers page", [&] { view->m_PgBuffers.UpdatePage(); }},
        {"synchronisation page", [&] { view->m_PgSamplingRate.UpdatePage(); }},
        {"painting the shown list",
         [&] {
             shownList.InvalidateAll();
             PaintNow(frame);
         }},
    };
    std::vector<std::function<void()>> operations;
    for (const auto& part : parts)
        operations.push_back(part.part);
    const std::vector<double> shares = MediansMs(operations);
    std::printf("Parts of the reload:\n");
    for (size_t index = 0; index < shares.size(); ++index)
        std::printf("  %-23s %8.2f\n", parts[index].name, shares[index]);

    ::DestroyWindow(frame);
    PumpWaiting();
    theApp.ExitInstance();
    return 0;
}

} // namespace

int main() {
    return Run();
}
