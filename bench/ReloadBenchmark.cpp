// One reload of all pages, as a driver event makes it, on a simulated
// driver filled to capacity; timed beside the same driver requests alone and
// bare list views filled with the same rows. Prints the medians, the ratio
// reload / (requests + bare fills), and each page's share beside its list's.
#include "CBareLists.h"
#include "CCapacityDriver.h"
#include "CIXO_CPLApp.h"
#include "CIXO_CPLView.h"
#include "CMainFrame.h"
#include "CRequestReplay.h"
#include "Document.h"
#include "Simulator.h"
#include "SingleDocTemplate.h"
#include "Timing.h"
#include "resource.h"

#include <cstdio>
#include <functional>
#include <iterator>
#include <vector>

namespace {

using Timing::Median;

CIXO_CPLApp theApp;

constexpr int kRuns = 25;

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

// Several operations timed in turn, run after run, so that a busy moment of
// the machine weighs on all of them alike; one round first to warm up. Between
// two operations the queue is emptied and the simulator's log cleared, neither
// of them timed. Returns each operation's times, run by run.
std::vector<std::vector<double>> TimesMs(const std::vector<std::function<void()>>& operations) {
    CSimulator& sim = CSimulator::Instance();
    std::vector<std::vector<double>> times(operations.size());
    for (int run = 0; run <= kRuns; ++run) {
        for (size_t index = 0; index < operations.size(); ++index) {
            PumpWaiting();
            sim.ClearLog();
            const LARGE_INTEGER start = Timing::Now();
            operations[index]();
            const LARGE_INTEGER end = Timing::Now();
            if (run > 0)
                times[index].push_back(Timing::Milliseconds(start, end));
        }
    }
    return times;
}

std::vector<double> MediansMs(const std::vector<std::function<void()>>& operations) {
    std::vector<double> medians;
    for (const std::vector<double>& runs : TimesMs(operations))
        medians.push_back(Median(runs));
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

    const std::vector<std::vector<double>> times = TimesMs({
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
    // The ratio of each run, whose three parts ran side by side, and the
    // median of those: a busy moment of the machine moves it least.
    std::vector<double> ratios;
    for (size_t run = 0; run < times[0].size(); ++run)
        ratios.push_back(times[0][run] / (times[1][run] + times[2][run]));
    std::printf("Median of %d runs, in milliseconds:\n", kRuns);
    std::printf("  reload of all pages      %9.2f\n", Median(times[0]));
    std::printf("  driver requests alone    %9.2f\n", Median(times[1]));
    std::printf("  bare list fills          %9.2f\n", Median(times[2]));
    std::printf("  reload / (requests + fills) = %.2f, the median of the runs' ratios\n",
                Median(ratios));

    // Where the reload's time goes: each page's reload without painting,
    // beside the bare fill of its list, and the one painting a reload leaves,
    // the shown list's, frame and rows.
    const CWindowHandle shownList(view->m_PgDevices.GetDlgItem(IDC_DEVICE_LIST));
    const struct {
        const char* name;
        CDlgPgBase& page;
    } pages[] = {
        {"devices page", view->m_PgDevices},
        {"input channels page", view->m_PgInChannels},
        {"output channels page", view->m_PgOutChannels},
        {"streams page", view->m_PgStreams},
        {"buffers page", view->m_PgBuffers},
        {"synchronisation page", view->m_PgSamplingRate},
    };
    std::vector<std::function<void()>> operations;
    for (const auto& page : pages) {
        operations.push_back([&page] { page.page.UpdatePage(); });
        std::function<void()> fill = [] {};
        for (size_t list = 0; list < bare.ListCount(); ++list)
            if (bare.PageOf(list) == page.page.m_hWnd)
                fill = [&bare, list] { bare.FillList(list); };
        operations.push_back(fill);
    }
    operations.push_back([&] {
        shownList.InvalidateAll();
        PaintNow(frame);
    });
    operations.push_back([&] {
        bare.InvalidateAll();
        bare.Paint();
    });
    const std::vector<double> shares = MediansMs(operations);
    std::printf("Parts of the reload:             page   bare list\n");
    for (size_t index = 0; index < std::size(pages); ++index)
        std::printf("  %-23s %12.2f %11.2f\n", pages[index].name, shares[2 * index],
                    shares[2 * index + 1]);
    std::printf("  %-23s %12.2f %11.2f\n", "painting the shown list", shares[shares.size() - 2],
                shares.back());

    ::DestroyWindow(frame);
    PumpWaiting();
    theApp.ExitInstance();
    return 0;
}

} // namespace

int main() {
    return Run();
}
