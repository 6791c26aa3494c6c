// One reload of all six pages, as a driver event makes it, on a simulated
// driver filled to capacity; timed beside the same driver requests alone and
// bare list views filled with the same rows. Prints the medians, each page's
// share, and the ratio reload / (requests + bare fills).
#include "CBareLists.h"
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
// Four of each per device fills both directions with the devices.
constexpr uint32_t kChannelsPerDevice = CSimModel::MaxChannels / CSimModel::MaxDevices;

void FillToCapacity(CSimulator& sim) {
    sim.Reset();
    std::vector<uint32_t> defaults;
    for (const SimDevice& device : sim.Model().Devices)
        defaults.push_back(device.Id);
    for (uint32_t id : defaults)
        sim.RemoveDevice(id);
    for (size_t device = 1; device <= CSimModel::MaxDevices; ++device) {
        char name[40];
        char serial[40];
        std::snprintf(name, sizeof name, "Tarnet Quadra 1818 #%02u", static_cast<unsigned>(device));
        std::snprintf(serial, sizeof serial, "TQ18-2207-%04u", static_cast<unsigned>(device));
        sim.AddDevice(name, serial, kChannelsPerDevice, kChannelsPerDevice);
    }
    sim.Model().Source.SourceKind = 1;
    sim.Model().Source.MasterDeviceId = sim.Model().Devices.front().Id;
}

size_t ChannelCount(CSimulator& sim, bool input) {
    return static_cast<size_t>(
        std::count_if(sim.Model().Channels.begin(), sim.Model().Channels.end(),
                      [input](const SimChannel& channel) { return channel.Input == input; }));
}

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

// The median of several runs after one to warm up; between runs the queue is
// emptied and the simulator's log cleared, neither of them timed.
double MedianMs(const std::function<void()>& operation) {
    CSimulator& sim = CSimulator::Instance();
    std::vector<double> times;
    for (int run = 0; run <= kRuns; ++run) {
        PumpWaiting();
        sim.ClearLog();
        LARGE_INTEGER start;
        LARGE_INTEGER end;
        ::QueryPerformanceCounter(&start);
        operation();
        ::QueryPerformanceCounter(&end);
        if (run > 0)
            times.push_back(Milliseconds(start, end));
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

int Run() {
    CSimulator& sim = CSimulator::Instance();
    FillToCapacity(sim);
    std::printf("Simulated driver: %u devices, %u input and %u output channels\n",
                static_cast<unsigned>(sim.Model().Devices.size()),
                static_cast<unsigned>(ChannelCount(sim, true)),
                static_cast<unsigned>(ChannelCount(sim, false)));

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

    const double reload = MedianMs([&] {
        view->UpdateAllPages();
        PaintNow(frame);
    });
    const double alone = MedianMs([&] { requests.Send(); });
    const double fills = MedianMs([&] {
        bare.Fill();
        bare.Paint();
    });

    std::printf("Median of %d runs, in milliseconds:\n", kRuns);
    std::printf("  reload of all six pages  %9.2f\n", reload);
    std::printf("  driver requests alone    %9.2f\n", alone);
    std::printf("  bare list fills          %9.2f\n", fills);
    std::printf("  reload / (requests + fills) = %.2f\n", reload / (alone + fills));

    // Where the reload's time goes, page by page (painting not included).
    const struct {
        const char* name;
        void (*reload)(CIXO_CPLView&);
    } pages[] = {
        {"devices", [](CIXO_CPLView& v) { v.m_PgDevices.UpdatePage(); }},
        {"input channels", [](CIXO_CPLView& v) { v.m_PgInChannels.UpdatePage(); }},
        {"output channels", [](CIXO_CPLView& v) { v.m_PgOutChannels.UpdatePage(); }},
        {"streams", [](CIXO_CPLView& v) { v.m_PgStreams.UpdatePage(); }},
        {"buffers", [](CIXO_CPLView& v) { v.m_PgBuffers.UpdatePage(); }},
        {"synchronisation", [](CIXO_CPLView& v) { v.m_PgSamplingRate.UpdatePage(); }},
    };
    std::printf("Each page's reload alone:\n");
    for (const auto& page : pages)
        std::printf("  %-22s %9.2f\n", page.name, MedianMs([&] { page.reload(*view); }));

    ::DestroyWindow(frame);
    PumpWaiting();
    theApp.ExitInstance();
    return 0;
}

} // namespace

int main() {
    return Run();
}
