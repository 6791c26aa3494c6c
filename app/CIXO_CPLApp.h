// The application object: decides at each start whether this process asks a
// running control panel to quit, hands over to it, or becomes the one
// running control panel.
#pragma once

#include "WinApp.h"

class CIXO_CPLApp : public CWinApp {
public:
    CIXO_CPLApp();
    ~CIXO_CPLApp() override;

    // The process's application object when it is a CIXO_CPLApp, else null.
    static CIXO_CPLApp* FromApp();

    // The running control panel's main window, found by its title; null
    // when there is none.
    static HWND FindRunningInstance();

    // TRUE when this process becomes the running control panel.
    BOOL InitInstance() override;
    // Creates the document, the main frame and its view and shows the frame
    // with m_nCmdShow; FALSE when any of them cannot be made.
    BOOL CreateMainWindow();

    // Read once by the view's first initial update.
    bool m_bStartWithAsioPage;
    // Held for the life of the process: any later start sees it as existing.
    HANDLE m_hMutex;
    // Shown in the notification area by the main frame.
    HICON m_hAppIcon;

protected:
    static const MessageMap messageMap;
    const MessageMap* GetMessageMap() const override { return &messageMap; }

private:
    bool HasOption(const char* option) const;
    // Brings the running instance forward (and to "Settings" with "-asio").
    void HandOver() const;
    void OnAppAbout();
};
