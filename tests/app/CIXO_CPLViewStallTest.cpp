// A driver that holds a request: the window keeps painting and answering,
// nothing the user does runs inside the request, every way of quitting ends
// the program without waiting for the driver, and a stalled driver is shown
// and found again. The program's thread makes the request; another thread
// plays the user, the shell and the system meanwhile.
#include "ViewEventFixture.h"

#include "AppMessages.h"
#include "CDiagnosticsReport.h"
#include "CDriverSettings.h"
#include "DriverCodes.h"
#include "HeapCheck.h"
#include "MessagePump.h"
#include "MessageWindow.h"
#include "TrayProbe.h"
#include "UiActions.h"
#include "UiWait.h"
#include "resource.h"

#include <commctrl.h>

#include <algorithm>
#include <functional>
#include <string>
#include <thread>
#include <vector>

namespace {

constexpr DWORD kLongEnoughMs = 10000;

// Runs on another thread while the test's thread waits for the driver.
class Meanwhile {
public:
    explicit Meanwhile(std::function<void()> work) : m_thread(std::move(work)) {}
    ~Meanwhile() { m_thread.join(); }
    Meanwhile(const Meanwhile&) = delete;
    Meanwhile& operator=(const Meanwhile&) = delete;

private:
    std::thread m_thread;
};

// Until the simulated driver holds a request, at most kLongEnoughMs.
bool UntilHeld(CSimulator& sim) {
    for (DWORD waited = 0; waited < kLongEnoughMs; waited += 5) {
        if (sim.PendingRequests() > 0)
            return true;
        ::Sleep(5);
    }
    return false;
}

// Asked from another thread, the cursor that the program's thread has set.
constexpr UINT kWhichCursor = WM_APP + 100;
LRESULT CALLBACK AnswerCursor(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == kWhichCursor)
        return reinterpret_cast<LRESULT>(::GetCursor());
    return ::DefWindowProcA(window, message, wParam, lParam);
}

std::string SentStatusText(HWND bar) {
    char text[256] = "";
    DWORD_PTR length = 0;
    ::SendMessageTimeoutA(bar, SB_GETTEXTA, 0, reinterpret_cast<LPARAM>(text), SMTO_NORMAL, 2000,
                          &length);
    return text;
}

class DriverStall : public ViewEventFixture {
protected:
    void SetUp() override {
        ViewEventFixture::SetUp();
        OpenShell();
        reload = OneReload();
    }

    // Pumps until the frame is gone; false when it is still there after the
    // limit (the program waited for the driver after all).
    bool PumpUntilFrameGone() {
        const HWND window = frame->m_hWnd;
        for (DWORD waited = 0; waited < kLongEnoughMs && ::IsWindow(window); waited += 20)
            PumpMessages(20);
        return !::IsWindow(window);
    }

    std::vector<uint32_t> reload;
};

TEST_F(DriverStall, TheWindowPaintsAnswersAndSaysThatItWaits) {
    const std::string before = StatusText();
    sim.DelayRequests(DriverRequest::GetDeviceList, INFINITE);
    const HWND window = frame->m_hWnd;
    const HWND bar = frame->m_StatusBar.m_hWnd;
    const HWND cursorProbe = CreateMessageWindow("StallTestCursorProbe", AnswerCursor, nullptr);
    const HWND list = ::GetDlgItem(view->m_PgDevices.m_hWnd, IDC_DEVICE_LIST);
    bool listKept = false;
    bool answered = false;
    bool painted = false;
    std::string waitingText;
    bool waitCursor = false;
    {
        Meanwhile user([&] {
            if (!UntilHeld(sim))
                return;
            DWORD_PTR result = 0;
            answered = ::SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_NORMAL, 2000, &result);
            DWORD_PTR rows = 0;
            ::SendMessageTimeoutA(list, LVM_GETITEMCOUNT, 0, 0, SMTO_NORMAL, 2000, &rows);
            listKept = ::IsWindowVisible(list) && rows == 2;
            ::InvalidateRect(bar, nullptr, TRUE);
            for (int tries = 0; tries < 100 && !painted; ++tries) {
                ::Sleep(10);
                painted = !::GetUpdateRect(bar, nullptr, FALSE);
            }
            ::Sleep(UiWait::SlowAfterMs + 200);
            waitingText = SentStatusText(bar);
            DWORD_PTR cursor = 0;
            ::SendMessageTimeoutA(cursorProbe, kWhichCursor, 0, 0, SMTO_NORMAL, 2000, &cursor);
            waitCursor = reinterpret_cast<HCURSOR>(cursor) == ::LoadCursorA(nullptr, IDC_WAIT);
            answered = answered && sim.PendingRequests() == 1;
            sim.ClearDelays();
        });
        view->UpdateAllPages();
    }
    EXPECT_TRUE(answered) << "a sent message was answered while the driver held the request";
    EXPECT_TRUE(listKept) << "the devices list showed its rows until the driver answered";
    EXPECT_TRUE(painted) << "the status bar painted while the driver held the request";
    EXPECT_EQ("Waiting for the driver...", waitingText);
    EXPECT_TRUE(waitCursor);
    ::DestroyWindow(cursorProbe);
    EXPECT_EQ(before, StatusText()) << "what pane 0 said comes back";
    EXPECT_EQ(reload, Logged()) << "the reload went on as usual once the driver answered";
}

TEST_F(DriverStall, WhatTheUserDoesMeanwhileIsHandledAfterTheRequest) {
    const HWND tree = view->m_Tree.m_hWnd;
    const HTREEITEM streamsItem = view->m_hItemStreams;
    const HWND up = ::GetDlgItem(view->m_PgDevices.m_hWnd, IDC_DEVICE_UP);
    SelectListRow(::GetDlgItem(view->m_PgDevices.m_hWnd, IDC_DEVICE_LIST), 1);
    sim.ClearLog();
    sim.DelayRequests(DriverRequest::GetDeviceList, INFINITE);
    bool selectedMeanwhile = false;
    {
        Meanwhile user([&] {
            if (!UntilHeld(sim))
                return;
            // A page chosen in the tree, a button clicked, a page key: the
            // tree takes its selection at once, the program's work waits.
            DWORD_PTR result = 0;
            ::SendMessageTimeoutA(tree, TVM_SELECTITEM, TVGN_CARET,
                                  reinterpret_cast<LPARAM>(streamsItem), SMTO_NORMAL, 2000,
                                  &result);
            ::PostMessageA(up, BM_CLICK, 0, 0);
            ::PostMessageA(frame->m_hWnd, WM_COMMAND, ID_NEXT_PAGE, 0);
            ::Sleep(100);
            selectedMeanwhile = Visible(view->m_PgStreams);
            sim.ClearDelays();
        });
        view->UpdateAllPages();
    }
    const std::vector<uint32_t> logged = Logged();
    ASSERT_GE(logged.size(), reload.size());
    EXPECT_EQ(reload, std::vector<uint32_t>(logged.begin(), logged.begin() + reload.size()))
        << "nothing ran inside the reload";
    EXPECT_FALSE(selectedMeanwhile);
    PumpMessages(100);
    // Then everything ran, in the order it came: the streams page was shown,
    // Up moved the row, and the next page followed the streams page.
    EXPECT_EQ(view->m_hItemDropOuts, view->m_Tree.GetSelectedItem())
        << "Ctrl+Tab from the streams page goes on to the next";
    EXPECT_TRUE(::IsWindowEnabled(::GetDlgItem(view->m_PgDevices.m_hWnd, IDC_APPLY_RANKING)))
        << "Up moved the row after the reload";
}

// The tray answers during a request, but Open shows pages that may still be
// filling: the window comes once the request is over.
TEST_F(DriverStall, OpenFromTheTrayWaitsForTheRequest) {
    frame->ShowWindow(SW_HIDE);
    sim.DelayRequests(DriverRequest::GetDeviceList, INFINITE);
    bool shownMeanwhile = true;
    {
        Meanwhile user([&] {
            if (!UntilHeld(sim))
                return;
            DWORD_PTR result = 0;
            ::SendMessageTimeoutA(frame->m_hWnd, WM_APP_TRAY_NOTIFY, CMainFrame::TrayIconId,
                                  WM_LBUTTONDOWN, SMTO_NORMAL, 2000, &result);
            ::Sleep(100);
            shownMeanwhile = ::IsWindowVisible(frame->m_hWnd) != FALSE;
            sim.ClearDelays();
        });
        view->UpdateAllPages();
    }
    EXPECT_FALSE(shownMeanwhile);
    PumpMessages(100);
    EXPECT_TRUE(::IsWindowVisible(frame->m_hWnd));
}

// Each way of quitting, done while the driver holds a request that it will
// never end, not even when asked to: the program ends all the same.
enum class QuitBy { TrayQuit, TrayMenu, CloseMessage, EndOfSession };

class QuitDuringStall : public DriverStall, public ::testing::WithParamInterface<QuitBy> {};

void Quit(QuitBy how, HWND frame) {
    DWORD_PTR result = 0;
    switch (how) {
    case QuitBy::TrayQuit: // what "-exit" posts
        ::PostMessageA(frame, WM_COMMAND, ID_TRAY_QUIT, 0);
        break;
    case QuitBy::TrayMenu: {
        ::PostMessageA(frame, WM_APP_TRAY_NOTIFY, CMainFrame::TrayIconId, WM_RBUTTONDOWN);
        HWND menu = nullptr;
        for (int tries = 0; tries < 500 && !menu; ++tries) {
            ::Sleep(10);
            menu = ::FindWindowA("#32768", nullptr);
        }
        ::PostMessageA(menu, WM_KEYDOWN, 'Q', 0);
        ::PostMessageA(menu, WM_CHAR, 'q', 0);
        break;
    }
    case QuitBy::CloseMessage:
        ::SendMessageTimeoutA(frame, WM_CLOSE, 0, 0, SMTO_NORMAL, 2000, &result);
        break;
    case QuitBy::EndOfSession:
        ::SendMessageTimeoutA(frame, WM_QUERYENDSESSION, 0, 0, SMTO_NORMAL, 2000, &result);
        ::SendMessageTimeoutA(frame, WM_ENDSESSION, TRUE, 0, SMTO_NORMAL, 2000, &result);
        break;
    }
}

// The driver would hold the request until its time limit; a program that
// waited for it would end no sooner than that.
TEST_P(QuitDuringStall, EndsTheProgramWithoutWaitingForTheDriver) {
    sim.DelayRequests(0, INFINITE, true);
    const HWND window = frame->m_hWnd;
    bool releasedByTest = false;
    ULONGLONG quitTookMs = 0;
    size_t requestsAtQuit = 0;
    {
        Meanwhile user([&] {
            if (!UntilHeld(sim))
                return;
            requestsAtQuit = sim.Log().size();
            const ULONGLONG quit = ::GetTickCount64();
            Quit(GetParam(), window);
            while (::GetTickCount64() - quit < kLongEnoughMs && ::IsWindow(window))
                ::Sleep(5);
            quitTookMs = ::GetTickCount64() - quit;
            // Rather than hang, the test ends the request itself.
            releasedByTest = ::IsWindow(window);
            if (releasedByTest)
                sim.ClearDelays();
        });
        view->UpdateAllPages();
        EXPECT_TRUE(PumpUntilFrameGone());
    }
    EXPECT_FALSE(releasedByTest);
    EXPECT_LT(quitTookMs, CDriver::RequestTimeLimitMs / 2) << "the quit waited for the driver";
    EXPECT_EQ(requestsAtQuit, sim.Log().size()) << "no request after the quit";
    EXPECT_FALSE(TrayIconExists(window, CMainFrame::TrayIconId));
    EXPECT_TRUE(TakeQuitRequest());
    EXPECT_EQ(nullptr, gDrv.m_hDevice);
}

std::string QuitName(const ::testing::TestParamInfo<QuitBy>& info) {
    constexpr const char* kNames[] = {"TrayQuit", "TrayMenu", "CloseMessage", "EndOfSession"};
    return kNames[static_cast<int>(info.param)];
}

INSTANTIATE_TEST_SUITE_P(Ways, QuitDuringStall,
                         ::testing::Values(QuitBy::TrayQuit, QuitBy::TrayMenu, QuitBy::CloseMessage,
                                           QuitBy::EndOfSession),
                         QuitName);

TEST_F(DriverStall, AStalledDriverIsShownRefusedAtOnceAndFoundAgain) {
    sim.DelayRequests(0, INFINITE, true); // not even a cancel ends what it holds
    DeviceList* list = new DeviceList;
    list->Count = 0xC0FFEE;
    EXPECT_EQ(DRVSTATUS_TIMEOUT, gDrv.GetDeviceList(list));
    EXPECT_TRUE(gDrv.IsStalled());
    PumpMessages(50);
    EXPECT_EQ("The driver is not responding.", StatusText());

    // Every request fails at once: a reload costs no waiting, and the driver
    // sees none of it.
    const size_t logged = sim.Log().size();
    view->UpdateAllPages();
    EXPECT_EQ(logged, sim.Log().size());
    EXPECT_EQ(1u, sim.PendingRequests());
    const std::string report = CDiagnosticsReport(gDrv, view->m_Notificator).Build(SYSTEMTIME{});
    EXPECT_NE(std::string::npos, report.find("Settings connection: open, not responding"));
    ::SendMessageA(view->m_Tree.m_hWnd, TVM_SELECTITEM, TVGN_CARET,
                   reinterpret_cast<LPARAM>(view->m_hItemStreams));
    EXPECT_EQ("The driver is not responding.", StatusText()) << "a page's name does not hide it";

    // The driver answers again: what it held ends in the request's own
    // buffers, the probe finds it, and every page reloads.
    sim.ClearLog();
    sim.ClearDelays();
    EXPECT_EQ(0xC0FFEEu, list->Count) << "a request given up on never writes to its caller";
    delete list;
    EXPECT_EQ(-1, BrokenHeap()) << "the answer went into the request's own buffers";
    for (DWORD waited = 0; waited < kLongEnoughMs && gDrv.IsStalled(); waited += 50)
        PumpMessages(50);
    PumpMessages(200);
    EXPECT_FALSE(gDrv.IsStalled());
    EXPECT_EQ("Ready", StatusText());
    const std::vector<uint32_t> afterwards = Logged();
    EXPECT_NE(afterwards.end(),
              std::search(afterwards.begin(), afterwards.end(), reload.begin(), reload.end()))
        << "every page reloaded";
    EXPECT_EQ(0u, sim.PendingRequests());
}

// The listener's connection may stall alone, in the middle of a drain of the
// driver's events: the window says so all the same, the settings connection
// works on, and the probe finds the listener's again.
TEST_F(DriverStall, AStalledListenerIsShownAndFoundAgain) {
    sim.DelayRequests(DriverRequest::GetNotification, INFINITE, true);
    sim.QueueNotification(EvtType_BusReset);
    for (DWORD waited = 0; waited < kLongEnoughMs && !view->m_Notificator.IsStalled(); waited += 50)
        PumpMessages(50);
    PumpMessages(50);
    EXPECT_TRUE(view->m_Notificator.IsStalled());
    EXPECT_FALSE(gDrv.IsStalled());
    EXPECT_EQ("The driver is not responding.", StatusText());
    DriverVersion version{};
    EXPECT_EQ(DRVSTATUS_SUCCESS, gDrv.GetInterfaceVersion(&version));

    sim.ClearDelays();
    for (DWORD waited = 0; waited < kLongEnoughMs && view->DriverStalled(); waited += 50)
        PumpMessages(50);
    PumpMessages(200);
    EXPECT_FALSE(view->DriverStalled());
    EXPECT_EQ("Ready", StatusText());
}

} // namespace
