// The program's only top-level window: a fixed-size frame around the
// navigation view with a two-pane status bar and an icon in the notification
// area. Closing it only hides it; Quit ends the program.
#pragma once

#include "DropOutHistory.h"
#include "FrameIcons.h"
#include "FrameWnd.h"
#include "SetupHandOver.h"
#include "StatusBar.h"
#include "TrayIcon.h"
#include "UiWait.h"

#include <deque>
#include <string>

class CMainFrame : public CFrameWnd, private UiWait::SlowWaitObserver {
public:
    // The frame's icon in the notification area.
    static constexpr UINT TrayIconId = 0x42424242;

    // What a mouse event on the tray icon asks for.
    enum class TrayAction { None, Open, Menu, BalloonGone, BalloonClicked };
    static TrayAction TrayActionFor(WPARAM iconId, LPARAM mouseMessage);

    // The application's main window when it is a CMainFrame, else null.
    static CMainFrame* FromApp();

    // Pane 1: how many devices the driver reported when the devices page
    // last read them. Painted at once.
    void ShowDeviceCount(int count);

    // What the shell broadcasts to every top-level window once it has made a
    // task bar: at log-on, and again after Explorer has restarted.
    static UINT TaskbarCreatedMessage();

    // Pane 0 says that the driver does not respond, and keeps saying it, or
    // is back to "Ready".
    void ShowDriverNotResponding(bool notResponding);

    // What the drop-out monitor found: the tray tip says how many since
    // when, and drop-outs found while the window is hidden, with the warning
    // on, turn the icon into its warning form and raise a balloon, at most
    // one a minute.
    void ShowDropOuts(const DropOutHistory& history, uint32_t added, bool warn);
    // The count was reset: the icon is the program's again.
    void ClearDropOutWarning();
    // Seconds between two balloons at the least.
    static constexpr int64_t BalloonIntervalSeconds = 60;

    // Which balloon the tray icon shows.
    enum class Balloon { None, DropOuts, Closing };
    // What the tray was last told.
    struct TrayState {
        std::string tip;
        bool warning = false; // the warning icon
        HICON icon = nullptr; // the icon it shows
        unsigned balloons = 0;
        int64_t lastBalloon = 0; // when the last one rose
        Balloon balloon = Balloon::None;
        uint64_t balloonDropOuts = 0; // how many the balloon names
    };
    const TrayState& Tray() const { return m_Tray; }

    // A setup file to load or preview as soon as no other is being loaded:
    // one handed over by a second start, or given at this start.
    void QueueSetup(SetupHandOver handOver);

    // Pane 0 shows prompts and the selected page's name; pane 1 the number
    // of devices.
    CStatusBar m_StatusBar;
    TrayIcon m_TrayIcon;
    // The DPI the frame's layout is made for: its monitor's.
    UINT m_Dpi = 96;
    // The caption's and the tray's icons, at m_Dpi.
    FrameIcons m_Icons;

protected:
    static const MessageMap messageMap;
    const MessageMap* GetMessageMap() const override { return &messageMap; }

    BOOL PreCreateWindow(CREATESTRUCTA& cs) override;
    int OnCreate(CREATESTRUCTA* cs) override;
    void OnDestroy() override;
    // The tray icon and its menu work while a request waits; Quit, a close
    // sent to the frame and the end of the session act at once. A setup
    // handed over is taken at once, since its record lives only while it is
    // sent, and loaded later.
    bool RunsDuringWait(UINT message, WPARAM wParam, LPARAM lParam) const override;
    void OnHeldDuringWait(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    // "Waiting for the driver..." and the wait cursor.
    void OnSlowWait(bool begins) override;
    // Quit: the request in flight is given up on and no other is sent.
    void EndDriverAccess();

    BOOL CreateStatusBar();
    BOOL AddTrayIcon();
    // The caption's and the tray's icons at the size m_Dpi asks for.
    void LoadIcons();
    void LayOutStatusPanes();
    void ShowTrayMenu();
    void WarnOfDropOuts(const DropOutHistory& history, uint32_t added);
    void OpenFromTray();
    // The icon and the two-line tip as they should be now; the shell is
    // told only of a change.
    void UpdateTray(bool force = false);

    LRESULT OnShowAsioPage(WPARAM wParam, LPARAM lParam);
    LRESULT OnTrayNotify(WPARAM wParam, LPARAM lParam);
    LRESULT OnTaskbarCreated(WPARAM wParam, LPARAM lParam);
    void OnTrayOpen();
    void OnTrayQuit();
    LRESULT OnEndSession(WPARAM ending, LPARAM);
    LRESULT OnSetCursor(WPARAM wParam, LPARAM lParam);
    void OnHide();
    // The first time a user closes the window, a balloon says where the
    // panel went and how to open or quit it; never again for this user.
    void TellAboutClosing();
    void OnSysCommand(UINT id, LPARAM point);
    LRESULT OnDpiChanged(WPARAM wParam, LPARAM lParam);
    void OnSize();
    void OnShowWindow(BOOL show, UINT status);
    LRESULT OnCopyData(WPARAM wParam, LPARAM lParam);
    LRESULT OnSetupHandedOver(WPARAM wParam, LPARAM lParam);
    void OnSaveSetup();
    void OnLoadSetup();
    // Runs one setup command, never inside another: a second start's file
    // waits for the dialogs of the one before.
    template <typename Command> void RunSetupCommand(Command command);

    // While a slow wait shows: the text pane 0 had before it.
    std::string m_strBeforeWait;
    bool m_bWaitShown = false;
    // The drop-out line of the tray tip, and whether the icon should warn.
    std::string m_strDropOutState;
    bool m_bDropOutWarning = false;
    TrayState m_Tray;
    std::deque<SetupHandOver> m_PendingSetups;
    bool m_bSetupBusy = false;
};
