// A driver storm at the simulator's capacity: for ten seconds the driver
// answers every GetNotification with a change of the domain configuration,
// each of which reloads all pages, while a second thread moves the mouse
// over the window every 10 ms through the system's input queue. Prints the
// longest time between two input messages that the program's loop took,
// counting from the storm's start to the first input after its end.
#include "AppMessages.h"
#include "CCapacityDriver.h"
#include "CIXO_CPLApp.h"
#include "CIXO_CPLView.h"
#include "CMainFrame.h"
#include "DriverCodes.h"
#include "Simulator.h"

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

CIXO_CPLApp theApp;

constexpr DWORD kStormMs = 10000;
constexpr DWORD kInputPeriodMs = 10;

struct InputPlan {
    POINT Centre;
    double Start;
    volatile LONG StormOver;
    volatile LONG Stop;
};

double NowMs() {
    LARGE_INTEGER frequency;
    LARGE_INTEGER now;
    ::QueryPerformanceFrequency(&frequency);
    ::QueryPerformanceCounter(&now);
    return 1000.0 * static_cast<double>(now.QuadPart) / static_cast<double>(frequency.QuadPart);
}

// Moves the cursor to and fro by one pixel over the window's centre, and
// ends the storm on time whatever the program's thread is doing.
DWORD WINAPI MoveMouse(void* argument) {
    InputPlan* plan = static_cast<InputPlan*>(argument);
    const int width = ::GetSystemMetrics(SM_CXSCREEN);
    const int height = ::GetSystemMetrics(SM_CYSCREEN);
    for (int step = 0; !plan->Stop; ++step) {
        if (!plan->StormOver && NowMs() - plan->Start >= kStormMs) {
            CSimulator::Instance().ClearReply(DriverRequest::GetNotification);
            plan->StormOver = 1;
        }
        INPUT input{};
        input.type = INPUT_MOUSE;
        input.mi.dx = (plan->Centre.x + step % 2) * 65535 / (width - 1);
        input.mi.dy = plan->Centre.y * 65535 / (height - 1);
        input.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
        ::SendInput(1, &input, sizeof input);
        ::Sleep(kInputPeriodMs);
    }
    return 0;
}

// The longest single dispatch of the messages that share the time between
// two inputs: the drain's slices (timer, driver event) and painting.
double longestTimer = 0;
double longestDriverEvent = 0;
double longestPaint = 0;
double longestOther = 0;

double& Longest(UINT message) {
    switch (message) {
    case WM_TIMER:
        return longestTimer;
    case WM_APP_DRIVER_EVENT:
        return longestDriverEvent;
    case WM_PAINT:
        return longestPaint;
    default:
        return longestOther;
    }
}

bool IsInput(UINT message) {
    return (message >= WM_MOUSEFIRST && message <= WM_MOUSELAST) ||
           (message >= WM_KEYFIRST && message <= WM_KEYLAST);
}

int Run() {
    CSimulator& sim = CSimulator::Instance();
    CCapacityDriver::Fill(sim);
    theApp.m_nCmdShow = SW_SHOW;
    if (!theApp.CreateMainWindow()) {
        std::printf("The program's window could not be made.\n");
        return 1;
    }
    CIXO_CPLView* view = CIXO_CPLView::FromApp();
    HWND frame = CMainFrame::FromApp()->m_hWnd;
    ::SetForegroundWindow(frame);
    RECT area{};
    ::GetWindowRect(view->m_Tree.m_hWnd, &area);
    InputPlan plan{{(area.left + area.right) / 2, (area.top + area.bottom) / 2}, 0, 0, 0};
    ::SetCursorPos(plan.Centre.x, plan.Centre.y);
    std::printf("Simulated driver: %u devices, %u input and %u output channels\n",
                static_cast<unsigned>(sim.Model().Devices.size()),
                static_cast<unsigned>(CCapacityDriver::ChannelCount(sim, true)),
                static_cast<unsigned>(CCapacityDriver::ChannelCount(sim, false)));

    Notification change{};
    change.Type = EvtType_DomainConfigurationChanged;
    sim.SetReplyRecord(DriverRequest::GetNotification, change);
    sim.ClearLog();
    plan.Start = NowMs();
    HANDLE mover = ::CreateThread(nullptr, 0, MoveMouse, &plan, 0, nullptr);
    // What the listener does on the driver's first signal.
    ::PostMessageA(view->m_hWnd, WM_APP_DRIVER_EVENT, 0, 0);

    std::vector<double> inputs{plan.Start};
    size_t paints = 0;
    MSG msg{};
    while (::GetMessageA(&msg, nullptr, 0, 0) > 0) {
        if (IsInput(msg.message)) {
            inputs.push_back(NowMs());
            if (plan.StormOver)
                break;
        }
        paints += msg.message == WM_PAINT ? 1 : 0;
        const double before = NowMs();
        if (!theApp.PreTranslateMessage(&msg)) {
            ::TranslateMessage(&msg);
            ::DispatchMessageA(&msg);
        }
        Longest(msg.message) = std::max(Longest(msg.message), NowMs() - before);
    }
    const double end = NowMs();
    plan.Stop = 1;
    ::WaitForSingleObject(mover, INFINITE);
    ::CloseHandle(mover);

    double longest = 0;
    for (size_t index = 1; index < inputs.size(); ++index)
        longest = std::max(longest, inputs[index] - inputs[index - 1]);
    const size_t events = sim.CountRequests(DriverRequest::GetNotification);
    std::printf("Storm of %.1f s: %u notifications taken (one reload each), %u input messages "
                "and %u paint messages processed\n",
                (end - plan.Start) / 1000.0, static_cast<unsigned>(events),
                static_cast<unsigned>(inputs.size() - 1), static_cast<unsigned>(paints));
    std::printf("Longest time between two processed input messages: %.0f ms\n", longest);
    std::printf("Longest single dispatch, in ms: driver event %.0f, drain timer %.0f, paint %.0f, "
                "other %.0f\n",
                longestDriverEvent, longestTimer, longestPaint, longestOther);

    ::DestroyWindow(frame);
    theApp.ExitInstance();
    return 0;
}

} // namespace

int main() {
    return Run();
}
