#include "ShellFixture.h"
#include "UiActions.h"

#include "AppMessages.h"
#include "Preferences.h"
#include "PrivateUserSettings.h"
#include "TrayProbe.h"

#include <string>
#include <vector>

namespace {

using TrayAction = CMainFrame::TrayAction;

TEST(TrayNotificationTable, ButtonDownAndDoubleClickAct) {
    const WPARAM id = CMainFrame::TrayIconId;
    EXPECT_EQ(TrayAction::Open, CMainFrame::TrayActionFor(id, WM_LBUTTONDOWN));
    EXPECT_EQ(TrayAction::Open, CMainFrame::TrayActionFor(id, WM_LBUTTONDBLCLK));
    EXPECT_EQ(TrayAction::Menu, CMainFrame::TrayActionFor(id, WM_RBUTTONDOWN));
    EXPECT_EQ(TrayAction::Menu, CMainFrame::TrayActionFor(id, WM_RBUTTONDBLCLK));
}

TEST(TrayNotificationTable, ButtonUpMovesAndOtherButtonsAreIgnored) {
    const WPARAM id = CMainFrame::TrayIconId;
    for (LPARAM mouse : {WM_LBUTTONUP, WM_RBUTTONUP, WM_MOUSEMOVE, WM_MBUTTONDOWN, WM_MBUTTONDBLCLK,
                         WM_CONTEXTMENU, 0})
        EXPECT_EQ(TrayAction::None, CMainFrame::TrayActionFor(id, mouse)) << mouse;
}

TEST(TrayNotificationTable, OtherIconIdsAreIgnored) {
    for (WPARAM id : {WPARAM{0}, WPARAM{0x42424243}, WPARAM{0x424242}, WPARAM{1}})
        for (LPARAM mouse : {WM_LBUTTONDOWN, WM_RBUTTONDOWN, WM_LBUTTONDBLCLK})
            EXPECT_EQ(TrayAction::None, CMainFrame::TrayActionFor(id, mouse)) << id;
#ifdef _WIN64
    // The id travels in a full WPARAM: upper bits make it another id.
    EXPECT_EQ(TrayAction::None,
              CMainFrame::TrayActionFor(0x100000000ull | CMainFrame::TrayIconId, WM_LBUTTONDOWN));
#endif
}

class MainFrame : public ShellFixture {
protected:
    void Tray(WPARAM id, LPARAM mouse) { frame->SendMessage(WM_APP_TRAY_NOTIFY, id, mouse); }
    bool FrameVisible() const { return ::IsWindowVisible(frame->m_hWnd) != FALSE; }
};

TEST_F(MainFrame, IsAFixedSizeWindowTitledForTheInstanceSearch) {
    OpenShell();
    const LONG_PTR style = ::GetWindowLongPtrA(frame->m_hWnd, GWL_STYLE);
    EXPECT_EQ(0, style & WS_THICKFRAME);
    EXPECT_EQ(0, style & WS_MAXIMIZEBOX);
    EXPECT_EQ(WS_MINIMIZEBOX, style & WS_MINIMIZEBOX);
    EXPECT_EQ(WS_CAPTION, style & WS_CAPTION);
    EXPECT_EQ(WS_SYSMENU, style & WS_SYSMENU);
    EXPECT_EQ(0, ::GetWindowLongPtrA(frame->m_hWnd, GWL_EXSTYLE) & WS_EX_CLIENTEDGE);
    EXPECT_EQ("Tarnet Control Panel", frame->GetWindowText());
    EXPECT_EQ(frame->m_hWnd, FindOwnWindow("Tarnet Control Panel"));
    EXPECT_NE(nullptr, ::GetMenu(frame->m_hWnd));
}

TEST_F(MainFrame, StatusBarHasAStretchedMessagePaneAndADevicePane) {
    OpenShell();
    ASSERT_EQ(2, frame->m_StatusBar.GetPaneCount());
    int edges[2] = {};
    frame->m_StatusBar.SendMessage(SB_GETPARTS, 2, reinterpret_cast<LPARAM>(edges));
    RECT bar{};
    frame->m_StatusBar.GetClientRect(&bar);
    EXPECT_GE(edges[0], 200);
    // The second pane is 150 wide and ends at the bar's end, also after the
    // frame was fitted to its form, which it was made before.
    EXPECT_EQ(150, edges[1] - edges[0]);
    EXPECT_EQ(bar.right, edges[1]);
    // The message pane reads "Ready" once the message loop has run.
    EXPECT_EQ("Ready", StatusText());
}

TEST_F(MainFrame, TrayIconExistsFromCreationUntilDestruction) {
    OpenShell(SW_HIDE);
    HWND window = frame->m_hWnd;
    EXPECT_EQ(window, frame->m_TrayIcon.AssociatedWnd);
    EXPECT_EQ(CMainFrame::TrayIconId, frame->m_TrayIcon.IconID);
    EXPECT_TRUE(TrayIconExists(window, CMainFrame::TrayIconId));
    EXPECT_FALSE(TrayIconExists(window, CMainFrame::TrayIconId + 1));
    frame->DestroyWindow();
    EXPECT_FALSE(TrayIconExists(window, CMainFrame::TrayIconId));
}

void LoseTrayIcon(HWND window) {
    ASSERT_TRUE(RemoveTrayIcon(window, CMainFrame::TrayIconId));
    ASSERT_FALSE(TrayIconExists(window, CMainFrame::TrayIconId));
}

void AnnounceNewTaskBar() {
    BroadcastTaskbarCreated();
    PumpMessages(50);
}

TEST_F(MainFrame, TrayIconComesBackWhenTheShellMakesANewTaskBar) {
    OpenShell(SW_HIDE);
    HWND window = frame->m_hWnd;
    LoseTrayIcon(window);
    AnnounceNewTaskBar();
    EXPECT_TRUE(TrayIconExists(window, CMainFrame::TrayIconId));
    // And again after the next restart; an announcement while the icon is
    // there leaves it as it is.
    LoseTrayIcon(window);
    AnnounceNewTaskBar();
    AnnounceNewTaskBar();
    EXPECT_TRUE(TrayIconExists(window, CMainFrame::TrayIconId));
    EXPECT_FALSE(FrameVisible());
    frame->DestroyWindow();
    EXPECT_FALSE(TrayIconExists(window, CMainFrame::TrayIconId));
}

TEST_F(MainFrame, LeftClickOnTheTrayIconShowsTheWindowOnlyForItsOwnId) {
    OpenShell(SW_HIDE);
    ASSERT_FALSE(FrameVisible());
    Tray(CMainFrame::TrayIconId + 1, WM_LBUTTONDOWN);
    Tray(0, WM_LBUTTONDBLCLK);
    EXPECT_FALSE(FrameVisible());
    Tray(CMainFrame::TrayIconId, WM_LBUTTONUP);
    Tray(CMainFrame::TrayIconId, WM_MOUSEMOVE);
    EXPECT_FALSE(FrameVisible());
    Tray(CMainFrame::TrayIconId, WM_LBUTTONDOWN);
    EXPECT_TRUE(FrameVisible());
    frame->SendMessage(WM_COMMAND, ID_HIDE);
    EXPECT_FALSE(FrameVisible());
    Tray(CMainFrame::TrayIconId, WM_LBUTTONDBLCLK);
    EXPECT_TRUE(FrameVisible());
}

// What the tray menu held when it was seen open.
struct SeenMenu {
    bool open = false;
    std::vector<UINT> ids;
    std::vector<std::string> texts;
};
SeenMenu seenMenu;

// Runs inside the menu's own modal loop: records the menu and closes it.
void CALLBACK CloseTrayMenu(HWND, UINT, UINT_PTR, DWORD) {
    HWND menuWindow = ::FindWindowA("#32768", nullptr);
    if (!menuWindow || !::IsWindowVisible(menuWindow))
        return;
    auto menu = reinterpret_cast<HMENU>(::SendMessageA(menuWindow, MN_GETHMENU, 0, 0));
    seenMenu.open = true;
    for (int i = 0; menu && i < ::GetMenuItemCount(menu); ++i) {
        char text[64] = "";
        ::GetMenuStringA(menu, static_cast<UINT>(i), text, sizeof(text), MF_BYPOSITION);
        seenMenu.ids.push_back(::GetMenuItemID(menu, i));
        seenMenu.texts.push_back(text);
    }
    ::EndMenu();
}

TEST_F(MainFrame, RightClickOpensTheTwoItemTrayMenuAndButtonUpDoesNot) {
    OpenShell(SW_HIDE);
    const UINT_PTR timer = ::SetTimer(nullptr, 0, 50, CloseTrayMenu);
    Tray(CMainFrame::TrayIconId, WM_RBUTTONUP);
    PumpMessages(200);
    EXPECT_FALSE(seenMenu.open);
    Tray(CMainFrame::TrayIconId + 1, WM_RBUTTONDOWN);
    PumpMessages(200);
    EXPECT_FALSE(seenMenu.open);
    Tray(CMainFrame::TrayIconId, WM_RBUTTONDOWN);
    ::KillTimer(nullptr, timer);
    ASSERT_TRUE(seenMenu.open);
    EXPECT_EQ((std::vector<UINT>{ID_TRAY_OPEN, ID_TRAY_QUIT}), seenMenu.ids);
    EXPECT_EQ((std::vector<std::string>{"&Open", "&Quit"}), seenMenu.texts);
    // Closing the menu without a choice leaves the window as it was.
    PumpMessages(50);
    EXPECT_FALSE(FrameVisible());
    EXPECT_TRUE(::IsWindow(frame->m_hWnd));
}

TEST_F(MainFrame, ClosingFromCaptionSystemMenuOrFileMenuOnlyHides) {
    OpenShell();
    HWND window = frame->m_hWnd;
    frame->SendMessage(WM_SYSCOMMAND, SC_CLOSE);
    EXPECT_FALSE(FrameVisible());
    frame->SendMessage(WM_COMMAND, ID_TRAY_OPEN);
    EXPECT_TRUE(FrameVisible());
    // The low four bits of a system command carry no meaning.
    frame->SendMessage(WM_SYSCOMMAND, SC_CLOSE | 0x2);
    EXPECT_FALSE(FrameVisible());
    frame->SendMessage(WM_COMMAND, ID_TRAY_OPEN);
    frame->SendMessage(WM_COMMAND, ID_HIDE);
    EXPECT_FALSE(FrameVisible());
    PumpMessages(50);
    EXPECT_TRUE(::IsWindow(window));
    EXPECT_TRUE(TrayIconExists(window, CMainFrame::TrayIconId));
}

// The first close of this user's life with the panel says where it went;
// a start hidden at log-on is no close, and no later close says it again.
TEST_F(MainFrame, OnlyTheFirstCloseTellsFromTheTrayWhereThePanelWent) {
    using Balloon = CMainFrame::Balloon;
    const PrivateUserSettings newUser;
    ASSERT_FALSE(Preferences::ToldAboutClosing());
    OpenShell(SW_HIDE);
    PumpMessages(50);
    EXPECT_EQ(Balloon::None, frame->Tray().balloon);
    EXPECT_FALSE(Preferences::ToldAboutClosing());

    frame->SendMessage(WM_COMMAND, ID_TRAY_OPEN);
    view->m_Tree.SelectItem(view->m_hItemSettings);
    frame->SendMessage(WM_SYSCOMMAND, SC_CLOSE);
    EXPECT_FALSE(FrameVisible());
    EXPECT_EQ(Balloon::Closing, frame->Tray().balloon);
    EXPECT_TRUE(Preferences::ToldAboutClosing());
    // A click on it opens the window as it was, not the drop-out page.
    Tray(CMainFrame::TrayIconId, NIN_BALLOONUSERCLICK);
    EXPECT_TRUE(FrameVisible());
    EXPECT_EQ(view->m_hItemSettings, view->m_Tree.GetSelectedItem());
    EXPECT_EQ(Balloon::None, frame->Tray().balloon);

    frame->SendMessage(WM_COMMAND, ID_HIDE);
    frame->SendMessage(WM_COMMAND, ID_TRAY_OPEN);
    frame->SendMessage(WM_SYSCOMMAND, SC_CLOSE);
    EXPECT_EQ(Balloon::None, frame->Tray().balloon);

    // File > Close is a first close too.
    ::RegDeleteKeyValueA(HKEY_CURRENT_USER, Preferences::kKey, Preferences::kToldAboutClosing);
    frame->SendMessage(WM_COMMAND, ID_TRAY_OPEN);
    frame->SendMessage(WM_COMMAND, ID_HIDE);
    EXPECT_EQ(Balloon::Closing, frame->Tray().balloon);
}

TEST_F(MainFrame, OtherSystemCommandsReachTheSystem) {
    OpenShell();
    frame->SendMessage(WM_SYSCOMMAND, SC_MINIMIZE);
    EXPECT_TRUE(::IsIconic(frame->m_hWnd));
    frame->SendMessage(WM_SYSCOMMAND, SC_RESTORE);
    EXPECT_FALSE(::IsIconic(frame->m_hWnd));
    EXPECT_TRUE(FrameVisible());
}

TEST_F(MainFrame, QuitFromTheTrayEndsTheProgram) {
    OpenShell(SW_HIDE);
    HWND window = frame->m_hWnd;
    frame->PostMessage(WM_COMMAND, ID_TRAY_QUIT);
    // The quit is posted as the application-exit command, not run at once.
    frame->SendMessage(WM_COMMAND, ID_TRAY_QUIT);
    EXPECT_TRUE(::IsWindow(window));
    PumpMessages(100);
    EXPECT_FALSE(::IsWindow(window));
    EXPECT_EQ(nullptr, app.m_pMainWnd);
    EXPECT_FALSE(TrayIconExists(window, CMainFrame::TrayIconId));
    EXPECT_TRUE(TakeQuitRequest());
    frame = nullptr;
}

TEST_F(MainFrame, ShowAsioPageSelectsSettingsWithoutShowingTheWindow) {
    OpenShell(SW_HIDE);
    ASSERT_TRUE(Visible(view->m_PgDevices));
    frame->SendMessage(WM_APP_SHOW_ASIO_PAGE);
    EXPECT_EQ(view->m_hItemSettings, view->m_Tree.GetSelectedItem());
    EXPECT_TRUE(Visible(view->m_PgBuffers));
    EXPECT_EQ(1, VisiblePageCount());
    EXPECT_FALSE(FrameVisible());
}

TEST(MainFrameWithoutView, ShowAsioPageDoesNothing) {
    CMainFrame frame;
    ASSERT_TRUE(frame.LoadFrame(IDR_MAINFRAME));
    CWinApp* app = AfxGetApp();
    app->m_pMainWnd = &frame;
    EXPECT_EQ(0, frame.SendMessage(WM_APP_SHOW_ASIO_PAGE));
    EXPECT_EQ(nullptr, CIXO_CPLView::FromApp());
    frame.DestroyWindow();
    app->m_pMainWnd = nullptr;
}

} // namespace
