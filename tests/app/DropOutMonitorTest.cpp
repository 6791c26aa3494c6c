// The drop-out monitor in the whole shell: the page on the simulated
// driver's count, the one poll and when it runs, and the tray's warning.
#include "ShellFixture.h"
#include "UiActions.h"

#include "AppMessages.h"
#include "DropOutTexts.h"
#include "MessagePump.h"
#include "Preferences.h"
#include "PrivateUserSettings.h"

#include <shellapi.h>

#include <string>

namespace {

class DropOutMonitor : public ShellFixture {
protected:
    PageProbe page;

    // Every case starts with the user's setting at its default, in settings
    // that no other test program changes meanwhile.
    const PrivateUserSettings newUser;

    void Open(int show = SW_SHOW) {
        OpenShell(show);
        page = PageProbe(view->m_PgDropOuts.m_hWnd);
    }
    // One tick of the monitor's poll, as the timer gives it.
    void Poll() { view->SendMessage(WM_TIMER, CIXO_CPLView::DropOutPollTimerId); }
    size_t PollsDuring(DWORD ms) {
        sim.ClearLog();
        PumpMessages(ms);
        size_t polls = 0;
        for (const SimLogEntry& entry : sim.Log())
            polls += entry.Code == DriverRequest::GetAsioStatistics ? 1 : 0;
        return polls;
    }
    bool PollTimerRuns(HWND window, UINT_PTR id) {
        // A timer that runs is killed here and set again as the program set it.
        if (!::KillTimer(window, id))
            return false;
        ::SetTimer(window, id, CIXO_CPLView::DropOutPollMs, nullptr);
        return true;
    }
    std::string Ms(uint32_t microseconds) { return MillisecondsText(microseconds); }
};

TEST_F(DropOutMonitor, ThePageCountsFromTheDriversTotalAndResetStartsAgain) {
    sim.SetDropOuts(10);
    Open();
    view->m_Tree.SelectItem(view->m_hItemDropOuts);
    Poll();
    EXPECT_EQ("0", page.Text(IDC_DROPOUTS_SINCE_RESET))
        << "what came before is no drop-out of ours";
    EXPECT_EQ("10", page.Text(IDC_DROPOUTS_DRIVER_TOTAL));
    EXPECT_EQ(0, page.Rows(IDC_DROPOUT_EVENTS));
    EXPECT_FALSE(page.Shown(IDC_DROPOUT_OPEN_SETTINGS));

    sim.SetDropOuts(13);
    Poll();
    const SimBuffer asio = sim.Model().AsioBuffer;
    EXPECT_EQ("3", page.Text(IDC_DROPOUTS_SINCE_RESET));
    EXPECT_EQ("13", page.Text(IDC_DROPOUTS_DRIVER_TOTAL));
    ASSERT_EQ(1, page.Rows(IDC_DROPOUT_EVENTS));
    EXPECT_EQ("3", page.Cell(IDC_DROPOUT_EVENTS, 0, 1));
    EXPECT_EQ(Ms(asio.Depth), page.Cell(IDC_DROPOUT_EVENTS, 0, 2));
    EXPECT_EQ(Ms(sim.Model().StreamBuffer.Depth), page.Cell(IDC_DROPOUT_EVENTS, 0, 3));
    EXPECT_EQ(Ms(sim.Model().WdmBuffer.Depth), page.Cell(IDC_DROPOUT_EVENTS, 0, 4));
    EXPECT_EQ(std::to_string(sim.Model().CurrentRate), page.Cell(IDC_DROPOUT_EVENTS, 0, 5));
    const std::string hint = page.Text(IDC_DROPOUT_HINT);
    EXPECT_NE(std::string::npos,
              hint.find(Ms(asio.Depth + asio.Step) + " ms instead of " + Ms(asio.Depth) + " ms"))
        << hint;
    EXPECT_EQ(0u, ChildText(view->m_PgDropOuts.m_hWnd, IDC_DROPOUT_GRAPH)
                      .rfind("3 drop-outs in the last hour, at most 3 in one minute, at ", 0));

    sim.SetDropOuts(15);
    Poll();
    ASSERT_EQ(2, page.Rows(IDC_DROPOUT_EVENTS));
    EXPECT_EQ("2", page.Cell(IDC_DROPOUT_EVENTS, 0, 1)) << "newest first";
    EXPECT_EQ("3", page.Cell(IDC_DROPOUT_EVENTS, 1, 1));

    // A failed request adds nothing and loses nothing.
    sim.FailRequest(DriverRequest::GetAsioStatistics, ERROR_GEN_FAILURE, false);
    Poll();
    EXPECT_EQ("5", page.Text(IDC_DROPOUTS_SINCE_RESET));

    page.Click(IDC_DROPOUT_OPEN_SETTINGS);
    EXPECT_EQ(view->m_hItemSettings, view->m_Tree.GetSelectedItem());
    view->m_Tree.SelectItem(view->m_hItemDropOuts);
    page.Click(IDC_DROPOUTS_RESET);
    EXPECT_EQ("0", page.Text(IDC_DROPOUTS_SINCE_RESET));
    EXPECT_EQ("15", page.Text(IDC_DROPOUTS_DRIVER_TOTAL));
    EXPECT_EQ(0, page.Rows(IDC_DROPOUT_EVENTS));
    EXPECT_EQ("", page.Text(IDC_DROPOUT_HINT));
    EXPECT_FALSE(page.Shown(IDC_DROPOUT_OPEN_SETTINGS));
    sim.SetDropOuts(16);
    Poll();
    EXPECT_EQ("1", page.Text(IDC_DROPOUTS_SINCE_RESET));
    EXPECT_EQ(1, page.Rows(IDC_DROPOUT_EVENTS));
}

TEST_F(DropOutMonitor, OneRequestASecondWhileShownAndNoneWhileHiddenWithTheWarningOff) {
    Open();
    const size_t onDevices = PollsDuring(2600);
    EXPECT_GE(onDevices, 2u);
    EXPECT_LE(onDevices, 3u);
    view->m_Tree.SelectItem(view->m_hItemSettings);
    const size_t onSettings = PollsDuring(2600);
    EXPECT_GE(onSettings, 2u) << "the page's own poll serves the monitor";
    EXPECT_LE(onSettings, 3u) << "and the monitor asks nothing more";

    frame->SendMessage(WM_COMMAND, ID_HIDE);
    EXPECT_GE(PollsDuring(2600), 2u) << "hidden, the warning is on";

    view->m_Tree.SelectItem(view->m_hItemDropOuts);
    frame->SendMessage(WM_COMMAND, ID_TRAY_OPEN);
    SetButtonCheck(view->m_PgDropOuts.m_hWnd, IDC_DROPOUT_WARNING, BST_UNCHECKED);
    EXPECT_FALSE(Preferences::WarnAboutDropOuts());
    view->m_Tree.SelectItem(view->m_hItemSettings);
    frame->SendMessage(WM_COMMAND, ID_HIDE);
    EXPECT_EQ(0u, PollsDuring(2600));
    EXPECT_FALSE(PollTimerRuns(view->m_hWnd, CIXO_CPLView::DropOutPollTimerId));
    EXPECT_FALSE(PollTimerRuns(view->m_PgBuffers.m_hWnd, CDlgPgBuffers::DropOutTimerId));

    frame->SendMessage(WM_COMMAND, ID_TRAY_OPEN);
    EXPECT_GE(PollsDuring(1600), 1u) << "shown again, the Settings page polls";
}

TEST_F(DropOutMonitor, DropOutsWhileHiddenWarnFromTheTrayWithOneBalloonAMinute) {
    Open(SW_HIDE);
    Poll();
    const std::string title = "Tarnet Control Panel\n";
    EXPECT_EQ(0u, frame->Tray().tip.rfind(title + "0 drop-outs since ", 0)) << frame->Tray().tip;
    EXPECT_FALSE(frame->Tray().warning);

    sim.SetDropOuts(1);
    Poll();
    EXPECT_TRUE(frame->Tray().warning);
    EXPECT_EQ(1u, frame->Tray().balloons);
    EXPECT_EQ(0u, frame->Tray().tip.rfind(title + "1 drop-out since ", 0)) << frame->Tray().tip;
    sim.SetDropOuts(4);
    Poll();
    EXPECT_EQ(1u, frame->Tray().balloons) << "later drop-outs in the minute";
    EXPECT_EQ(4u, frame->Tray().balloonDropOuts) << "update the balloon while it shows";
    EXPECT_EQ(0u, frame->Tray().tip.rfind(title + "4 drop-outs since ", 0)) << frame->Tray().tip;
    frame->SendMessage(WM_APP_TRAY_NOTIFY, CMainFrame::TrayIconId, NIN_BALLOONTIMEOUT);
    sim.SetDropOuts(5);
    Poll();
    EXPECT_EQ(4u, frame->Tray().balloonDropOuts) << "and only the tip once it has gone";
    EXPECT_EQ(0u, frame->Tray().tip.rfind(title + "5 drop-outs since ", 0)) << frame->Tray().tip;

    // A minute after the last balloon the next one may rise.
    const int64_t last = frame->Tray().lastBalloon;
    DropOutHistory later(last);
    later.Read(
        last, 0, [] { return AudioSetup{}; });
    later.Read(last + CMainFrame::BalloonIntervalSeconds - 1, 1, [] { return AudioSetup{}; });
    frame->ShowDropOuts(later, 1, true);
    EXPECT_EQ(1u, frame->Tray().balloons);
    later.Read(last + CMainFrame::BalloonIntervalSeconds, 2, [] { return AudioSetup{}; });
    frame->ShowDropOuts(later, 1, false);
    EXPECT_EQ(1u, frame->Tray().balloons) << "the warning is off";
    frame->ShowDropOuts(later, 1, true);
    EXPECT_EQ(2u, frame->Tray().balloons);

    frame->SendMessage(WM_APP_TRAY_NOTIFY, CMainFrame::TrayIconId, NIN_BALLOONUSERCLICK);
    EXPECT_TRUE(::IsWindowVisible(frame->m_hWnd)) << "a click on the balloon opens the window";
    EXPECT_EQ(view->m_hItemDropOuts, view->m_Tree.GetSelectedItem());
    EXPECT_FALSE(frame->Tray().warning) << "the window is open";
    frame->SendMessage(WM_COMMAND, ID_HIDE);
    sim.SetDropOuts(7);
    Poll();
    EXPECT_TRUE(frame->Tray().warning);
    view->m_PgDropOuts.SendMessage(WM_COMMAND, MAKEWPARAM(IDC_DROPOUTS_RESET, BN_CLICKED));
    EXPECT_FALSE(frame->Tray().warning) << "the count was reset";
}

TEST(Preferences, TheWarningIsOnUnlessTheUserTurnedItOff) {
    const PrivateUserSettings newUser;
    const auto set = [](DWORD type, const void* data, DWORD size) {
        ::RegSetKeyValueA(HKEY_CURRENT_USER, Preferences::kKey, Preferences::kWarnAboutDropOuts,
                          type, data, size);
    };
    EXPECT_TRUE(Preferences::WarnAboutDropOuts());
    ASSERT_TRUE(Preferences::SetWarnAboutDropOuts(false));
    EXPECT_FALSE(Preferences::WarnAboutDropOuts());
    const DWORD two = 2;
    const ULONGLONG wide = 0;
    set(REG_DWORD, &two, sizeof two);
    EXPECT_TRUE(Preferences::WarnAboutDropOuts()) << "a value the program never writes";
    set(REG_SZ, "0", 2);
    EXPECT_TRUE(Preferences::WarnAboutDropOuts()) << "a string";
    set(REG_QWORD, &wide, sizeof wide);
    EXPECT_TRUE(Preferences::WarnAboutDropOuts()) << "eight bytes";
    set(REG_BINARY, &wide, 2);
    EXPECT_TRUE(Preferences::WarnAboutDropOuts()) << "two bytes";
}

} // namespace
