#include "CMainFrame.h"

#include "AppMessages.h"
#include "CIXO_CPLView.h"
#include "Dpi.h"
#include "DropOutTexts.h"
#include "Preferences.h"
#include "ResString.h"
#include "SetupCommands.h"
#include "WinApp.h"
#include "resource.h"

#include <shellapi.h>

#include <algorithm>
#include <string>

namespace {

struct TrayMouseEntry {
    UINT mouseMessage;
    CMainFrame::TrayAction action;
};

// Button-up messages and mouse moves are left out on purpose: a click
// acts once, on the way down.
constexpr TrayMouseEntry kTrayMouseTable[] = {
    {WM_LBUTTONDOWN, CMainFrame::TrayAction::Open},
    {WM_LBUTTONDBLCLK, CMainFrame::TrayAction::Open},
    {WM_RBUTTONDOWN, CMainFrame::TrayAction::Menu},
    {WM_RBUTTONDBLCLK, CMainFrame::TrayAction::Menu},
    {NIN_BALLOONHIDE, CMainFrame::TrayAction::BalloonGone},
    {NIN_BALLOONTIMEOUT, CMainFrame::TrayAction::BalloonGone},
    {NIN_BALLOONUSERCLICK, CMainFrame::TrayAction::BalloonClicked},
};

// Pane widths in pixels at 96 DPI.
constexpr int kStatusPaneWidth = 200;
constexpr int kDevicePaneWidth = 150;

// The ways a user or the system ends the program: the tray's Quit (also what
// "-exit" posts), a close sent to the frame, the end of the session.
bool IsQuit(UINT message, WPARAM wParam, LPARAM lParam) {
    return (message == WM_COMMAND && LOWORD(wParam) == ID_TRAY_QUIT && lParam == 0) ||
           message == WM_CLOSE || (message == WM_ENDSESSION && wParam);
}

} // namespace

constexpr MessageMap CMainFrame::messageMap{
    &CFrameWnd::messageMap,
    {
        {WM_APP_SHOW_ASIO_PAGE, 0, 0, On<&CMainFrame::OnShowAsioPage>},
        {WM_APP_TRAY_NOTIFY, 0, 0, On<&CMainFrame::OnTrayNotify>},
        {&CMainFrame::TaskbarCreatedMessage, 0, 0, On<&CMainFrame::OnTaskbarCreated>},
        {WM_COMMAND, 0, ID_TRAY_OPEN, On<&CMainFrame::OnTrayOpen>},
        {WM_COMMAND, 0, ID_TRAY_QUIT, On<&CMainFrame::OnTrayQuit>},
        {WM_COMMAND, 0, ID_HIDE, On<&CMainFrame::OnHide>},
        {WM_SYSCOMMAND, 0, 0, On<&CMainFrame::OnSysCommand>},
        {WM_DPICHANGED, 0, 0, On<&CMainFrame::OnDpiChanged>},
        {WM_SIZE, 0, 0, On<&CMainFrame::OnSize>},
        {WM_SHOWWINDOW, 0, 0, On<&CMainFrame::OnShowWindow>},
        {WM_ENDSESSION, 0, 0, On<&CMainFrame::OnEndSession>},
        {WM_SETCURSOR, 0, 0, On<&CMainFrame::OnSetCursor>},
        {WM_COPYDATA, 0, 0, On<&CMainFrame::OnCopyData>},
        {WM_APP_SETUP_HANDED_OVER, 0, 0, On<&CMainFrame::OnSetupHandedOver>},
        {WM_COMMAND, 0, ID_SAVE_SETUP, On<&CMainFrame::OnSaveSetup>},
        {WM_COMMAND, 0, ID_LOAD_SETUP, On<&CMainFrame::OnLoadSetup>},
    }};

CMainFrame::TrayAction CMainFrame::TrayActionFor(WPARAM iconId, LPARAM mouseMessage) {
    if (iconId != TrayIconId)
        return TrayAction::None;
    for (const TrayMouseEntry& entry : kTrayMouseTable)
        if (static_cast<LPARAM>(entry.mouseMessage) == mouseMessage)
            return entry.action;
    return TrayAction::None;
}

CMainFrame* CMainFrame::FromApp() {
    CWinApp* app = AfxGetApp();
    return app ? dynamic_cast<CMainFrame*>(app->m_pMainWnd) : nullptr;
}

void CMainFrame::ShowDeviceCount(int count) {
    m_StatusBar.SetPaneText(1, std::to_string(count) + " " + LoadResString(IDS_DEVICES_CONNECTED),
                            TRUE);
}

UINT CMainFrame::TaskbarCreatedMessage() {
    static const UINT message = ::RegisterWindowMessageA("TaskbarCreated");
    return message;
}

// A fixed-size window whose title is only ever the program's own: the
// running instance is found by that title.
BOOL CMainFrame::PreCreateWindow(CREATESTRUCTA& cs) {
    if (!CFrameWnd::PreCreateWindow(cs))
        return FALSE;
    cs.style &= ~static_cast<LONG>(WS_THICKFRAME | WS_MAXIMIZEBOX);
    cs.dwExStyle &= ~static_cast<DWORD>(WS_EX_CLIENTEDGE);
    return TRUE;
}

int CMainFrame::OnCreate(CREATESTRUCTA* cs) {
    m_Dpi = DpiForWindow(m_hWnd);
    if (CFrameWnd::OnCreate(cs) == -1 || !CreateStatusBar())
        return -1;
    const std::string title = LoadResString(IDS_MAIN_TITLE);
    SetWindowText(title);
    LoadIcons();
    m_TrayIcon.Init(m_hWnd, TrayIconId);
    // Without a task bar yet (a start at log-on) this fails; the icon is then
    // added when the shell announces its task bar.
    AddTrayIcon();
    UiWait::SetSlowWaitObserver(this);
    return 0;
}

BOOL CMainFrame::AddTrayIcon() {
    const BOOL added = m_TrayIcon.Add(m_Icons.Small(), LoadResString(IDS_MAIN_TITLE).c_str());
    if (added)
        m_Tray.icon = m_Icons.Small();
    return added;
}

// The new icons are in place in the caption and the tray before the old ones
// are destroyed: neither ever shows a destroyed icon.
void CMainFrame::LoadIcons() {
    FrameIcons icons;
    icons.Load(AfxGetResourceHandle(), m_Dpi);
    SendMessage(WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icons.Small()));
    SendMessage(WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icons.Big()));
    m_Icons.Swap(icons);
    // The tray takes them only where it shows one of the old ones.
    if (m_Tray.icon)
        UpdateTray(true);
}

BOOL CMainFrame::CreateStatusBar() {
    if (!m_StatusBar.Create(this))
        return FALSE;
    LayOutStatusPanes();
    return TRUE;
}

// The message pane takes what the device pane leaves, and never less than
// its own width.
void CMainFrame::LayOutStatusPanes() {
    RECT client{};
    GetClientRect(&client);
    const int devices = ScaleForDpi(kDevicePaneWidth, m_Dpi);
    const int messages =
        std::max(static_cast<int>(client.right) - devices, ScaleForDpi(kStatusPaneWidth, m_Dpi));
    m_StatusBar.SetPaneWidths({messages, devices});
}

// The frame cannot be resized by the user, but it is fitted to its view
// after it was made, and it follows the DPI of its monitor.
void CMainFrame::OnSize() {
    RecalcLayout();
    LayOutStatusPanes();
}

// The icon goes first, while the frame still exists; the view's children,
// the pages and the listener go after this.
void CMainFrame::OnDestroy() {
    UiWait::SetSlowWaitObserver(nullptr);
    m_TrayIcon.Delete();
    m_Tray.icon = nullptr;
    SendMessage(WM_SETICON, ICON_SMALL, 0);
    SendMessage(WM_SETICON, ICON_BIG, 0);
    m_Icons.Destroy();
    CFrameWnd::OnDestroy();
}

bool CMainFrame::RunsDuringWait(UINT message, WPARAM wParam, LPARAM lParam) const {
    return message == WM_APP_TRAY_NOTIFY || message == TaskbarCreatedMessage() ||
           message == WM_SETCURSOR || message == WM_COPYDATA ||
           CFrameWnd::RunsDuringWait(message, wParam, lParam);
}

// The quit itself comes after the wait, in the normal order of shutting
// down; what keeps it from waiting for the driver happens now.
void CMainFrame::OnHeldDuringWait(UINT message, WPARAM wParam, LPARAM lParam) {
    if (IsQuit(message, wParam, lParam))
        EndDriverAccess();
}

void CMainFrame::EndDriverAccess() {
    if (CIXO_CPLView* view = dynamic_cast<CIXO_CPLView*>(GetActiveView()))
        view->EndDriverAccess();
}

void CMainFrame::OnSlowWait(bool begins) {
    m_bWaitShown = begins;
    if (begins) {
        m_strBeforeWait = GetMessageText();
        SetMessageText(IDS_WAITING_FOR_DRIVER);
        ::SetCursor(::LoadCursorA(nullptr, IDC_WAIT));
    } else {
        SetMessageText(m_strBeforeWait);
        ::SetCursor(::LoadCursorA(nullptr, IDC_ARROW));
    }
}

LRESULT CMainFrame::OnSetCursor(WPARAM, LPARAM) {
    if (!m_bWaitShown)
        return Default();
    ::SetCursor(::LoadCursorA(nullptr, IDC_WAIT));
    return TRUE;
}

void CMainFrame::ShowDriverNotResponding(bool notResponding) {
    SetIdleMessage(notResponding ? IDS_DRIVER_NOT_RESPONDING : AFX_IDS_IDLEMESSAGE);
}

// After the session ends the system may end the process at any time: the
// program ends first, without waiting for the driver.
LRESULT CMainFrame::OnEndSession(WPARAM ending, LPARAM) {
    if (ending) {
        EndDriverAccess();
        DestroyWindow();
    }
    return 0;
}

LRESULT CMainFrame::OnShowAsioPage(WPARAM, LPARAM) {
    if (CIXO_CPLView* view = CIXO_CPLView::FromApp())
        view->m_Tree.SelectItem(view->m_hItemSettings);
    return 0;
}

LRESULT CMainFrame::OnTrayNotify(WPARAM wParam, LPARAM lParam) {
    switch (TrayActionFor(wParam, lParam)) {
    case TrayAction::Open:
        OpenFromTray();
        break;
    case TrayAction::Menu:
        ShowTrayMenu();
        break;
    case TrayAction::BalloonClicked:
        // A click on a drop-out balloon asks what it was about.
        OpenFromTray();
        if (m_Tray.balloon == Balloon::DropOuts)
            if (CIXO_CPLView* view = dynamic_cast<CIXO_CPLView*>(GetActiveView()))
                view->m_Tree.SelectItem(view->m_hItemDropOuts);
        m_Tray.balloon = Balloon::None;
        break;
    case TrayAction::BalloonGone:
        m_Tray.balloon = Balloon::None;
        break;
    case TrayAction::None:
        break;
    }
    return 0;
}

// Opening shows pages that may still be filling: it waits for the request.
void CMainFrame::OpenFromTray() {
    if (UiWait::IsWaiting())
        UiWait::Hold(m_hWnd, WM_COMMAND, ID_TRAY_OPEN, 0);
    else
        OnTrayOpen();
}

// A new task bar knows none of the icons of the old one. When the icon is
// still there (the message was sent without a restart) the add fails and
// leaves it as it is.
LRESULT CMainFrame::OnTaskbarCreated(WPARAM, LPARAM) {
    AddTrayIcon();
    UpdateTray(true);
    return 0;
}

void CMainFrame::ShowTrayMenu() {
    POINT cursor{};
    if (!::GetCursorPos(&cursor))
        return;
    HMENU menu = ::LoadMenuA(AfxGetResourceHandle(), MAKEINTRESOURCEA(IDR_TRAY_MENU));
    HMENU popup = menu ? ::GetSubMenu(menu, 0) : nullptr;
    if (popup) {
        // Without the foreground the menu would not close when the user
        // clicks elsewhere.
        ::SetForegroundWindow(m_hWnd);
        ::TrackPopupMenu(popup, TPM_LEFTALIGN | TPM_RIGHTBUTTON, cursor.x, cursor.y, 0, m_hWnd,
                         nullptr);
    }
    if (menu)
        ::DestroyMenu(menu);
}

void CMainFrame::OnTrayOpen() {
    ShowWindow(SW_SHOW);
    ::SetForegroundWindow(m_hWnd);
}

// Nothing that is still queued before the exit may wait for the driver.
void CMainFrame::OnTrayQuit() {
    EndDriverAccess();
    PostMessage(WM_COMMAND, ID_APP_EXIT);
}

void CMainFrame::OnHide() {
    ShowWindow(SW_HIDE);
    TellAboutClosing();
}

// Remembered only once the balloon rose: a shell that had no icon to show it
// from leaves the user to be told next time.
void CMainFrame::TellAboutClosing() {
    if (Preferences::ToldAboutClosing())
        return;
    if (!m_TrayIcon.ShowBalloon(LoadResString(IDS_CLOSED_BALLOON_TITLE),
                                LoadResString(IDS_CLOSED_BALLOON_TEXT), NIIF_INFO))
        return;
    m_Tray.balloon = Balloon::Closing;
    Preferences::SetToldAboutClosing();
}

// Closing from the caption, the system menu or Alt+F4 only hides the window.
void CMainFrame::OnSysCommand(UINT id, LPARAM) {
    if ((id & 0xFFF0) == SC_CLOSE)
        OnHide();
    else
        Default();
}

// The window moved to a monitor of another DPI (or the user changed the
// scale): take the place the system suggests for it, lay out the panes and
// the view's pages, lists and icons for the new DPI, take the caption's and
// the tray's icons drawn for it, then take the form's size there.
LRESULT CMainFrame::OnDpiChanged(WPARAM wParam, LPARAM lParam) {
    const UINT dpi = HIWORD(wParam);
    if (dpi == 0)
        return 0;
    if (const auto* suggested = reinterpret_cast<const RECT*>(lParam))
        SetWindowPos(nullptr, suggested->left, suggested->top, suggested->right - suggested->left,
                     suggested->bottom - suggested->top, SWP_NOZORDER | SWP_NOACTIVATE);
    m_Dpi = dpi;
    LoadIcons();
    LayOutStatusPanes();
    if (CIXO_CPLView* view = dynamic_cast<CIXO_CPLView*>(GetActiveView())) {
        view->OnDpiChanged(dpi);
        view->ResizeParentToFit();
    } else {
        RecalcLayout();
    }
    return 0;
}

// Opened, the window shows the drop-outs itself; the polls follow its state.
void CMainFrame::OnShowWindow(BOOL show, UINT) {
    Default();
    if (show)
        ClearDropOutWarning();
    if (CIXO_CPLView* view = dynamic_cast<CIXO_CPLView*>(GetActiveView()))
        view->OnFrameShown(show != FALSE);
}

void CMainFrame::ShowDropOuts(const DropOutHistory& history, uint32_t added, bool warn) {
    m_strDropOutState = TrayStateText(history);
    if (added != 0 && warn && !IsWindowVisible())
        WarnOfDropOuts(history, added);
    UpdateTray();
}

void CMainFrame::ClearDropOutWarning() {
    m_bDropOutWarning = false;
    UpdateTray();
}

// At most one balloon a minute, so that a take full of drop-outs does not
// bury the desktop in them: later ones in the minute update the balloon while
// it shows, and otherwise only the tip.
void CMainFrame::WarnOfDropOuts(const DropOutHistory& history, uint32_t added) {
    m_bDropOutWarning = true;
    const DropOutHistory::Event* last = history.LastDropOut();
    if (!last)
        return;
    if (m_Tray.balloons == 0 || last->Time - m_Tray.lastBalloon >= BalloonIntervalSeconds) {
        m_Tray.lastBalloon = last->Time;
        m_Tray.balloonDropOuts = 0;
        ++m_Tray.balloons;
    } else if (m_Tray.balloon != Balloon::DropOuts) {
        return;
    }
    m_Tray.balloonDropOuts += added;
    const bool shown = m_TrayIcon.ShowBalloon(
        LoadResString(IDS_BALLOON_TITLE),
        BalloonText(m_Tray.balloonDropOuts, m_Tray.lastBalloon, last->Setup.AsioUs), NIIF_WARNING);
    m_Tray.balloon = shown ? Balloon::DropOuts : Balloon::None;
}

void CMainFrame::UpdateTray(bool force) {
    std::string tip = LoadResString(IDS_MAIN_TITLE);
    if (!m_strDropOutState.empty())
        tip += "\n" + m_strDropOutState;
    if (!force && tip == m_Tray.tip && m_bDropOutWarning == m_Tray.warning)
        return;
    HICON icon = m_bDropOutWarning && m_Icons.Warning() ? m_Icons.Warning() : m_Icons.Small();
    if (m_TrayIcon.Modify(icon, tip)) {
        m_Tray.tip = tip;
        m_Tray.warning = m_bDropOutWarning;
        m_Tray.icon = icon;
    }
}

void CMainFrame::QueueSetup(SetupHandOver handOver) {
    m_PendingSetups.push_back(std::move(handOver));
    PostMessage(WM_APP_SETUP_HANDED_OVER);
}

LRESULT CMainFrame::OnCopyData(WPARAM, LPARAM lParam) {
    SetupHandOver handOver;
    if (!ReadSetupHandOver(reinterpret_cast<const COPYDATASTRUCT*>(lParam), handOver))
        return FALSE;
    QueueSetup(std::move(handOver));
    return TRUE;
}

template <typename Command> void CMainFrame::RunSetupCommand(Command command) {
    if (m_bSetupBusy)
        return;
    m_bSetupBusy = true;
    command();
    m_bSetupBusy = false;
    if (!m_PendingSetups.empty() && ::IsWindow(m_hWnd))
        PostMessage(WM_APP_SETUP_HANDED_OVER);
}

// A load handed over answers its second start before the summary shows, so
// that the second start's exit code does not wait for the user.
LRESULT CMainFrame::OnSetupHandedOver(WPARAM, LPARAM) {
    if (m_bSetupBusy || m_PendingSetups.empty())
        return 0;
    const SetupHandOver handOver = m_PendingSetups.front();
    m_PendingSetups.pop_front();
    RunSetupCommand([this, &handOver] {
        OnTrayOpen();
        if (handOver.Action == SetupAction::Preview) {
            PreviewSetup(m_hWnd, handOver.Path);
            return;
        }
        const SetupResult result = LoadHandedSetup(handOver.Path);
        ReplySetupHandOver(handOver.ReplyWindow, result.code, result.summary);
        ShowSetupResult(m_hWnd, result);
    });
    return 0;
}

void CMainFrame::OnSaveSetup() {
    RunSetupCommand([this] { SaveSetupFromMenu(m_hWnd); });
}

void CMainFrame::OnLoadSetup() {
    RunSetupCommand([this] { LoadSetupFromMenu(m_hWnd); });
}
