#include "CIXO_CPLApp.h"

#include "AppMessages.h"
#include "CDlgAbout.h"
#include "CMainFrame.h"
#include "CIXO_CPLDoc.h"
#include "CIXO_CPLView.h"
#include "FindCmdLineOption.h"
#include "ResString.h"
#include "SetupCommands.h"
#include "SetupHandOver.h"
#include "SingleDocTemplate.h"
#include "Trace.h"
#include "resource.h"

namespace {

// Shared by every Demtrel ever started, so never change it.
constexpr char kInstanceMutexName[] = "734EB08A-7DFA-48ad-B254-2719FB6F8CE8";

} // namespace

constexpr MessageMap CIXO_CPLApp::messageMap{
    &CWinApp::messageMap,
    {
        {WM_COMMAND, 0, ID_APP_ABOUT, On<&CIXO_CPLApp::OnAppAbout>},
    }};

CIXO_CPLApp::CIXO_CPLApp() : m_bStartWithAsioPage(false), m_hMutex(nullptr), m_hAppIcon(nullptr) {}

CIXO_CPLApp::~CIXO_CPLApp() {
    if (m_hMutex) {
        ::CloseHandle(m_hMutex);
        m_hMutex = nullptr;
    }
    if (m_hAppIcon)
        ::DestroyIcon(m_hAppIcon);
    Trace("CIXO_CPLApp destroyed\n");
}

HWND CIXO_CPLApp::FindRunningInstance() {
    const std::string title = LoadResString(IDS_MAIN_TITLE);
    return ::FindWindowA(nullptr, title.c_str());
}

CIXO_CPLApp* CIXO_CPLApp::FromApp() {
    return dynamic_cast<CIXO_CPLApp*>(AfxGetApp());
}

bool CIXO_CPLApp::HasOption(const char* option) const {
    return FindCmdLineOption(m_lpCmdLine, option, nullptr, true);
}

BOOL CIXO_CPLApp::InitInstance() {
    if (HasOption("-exit")) {
        if (HWND running = FindRunningInstance())
            ::PostMessageA(running, WM_COMMAND, ID_TRAY_QUIT, 0);
        return FALSE;
    }
    // "-save" and "-load" do their work with no window and end with its
    // outcome; "-preview" opens the window, or hands over to the running one.
    std::string setupPath;
    const char* setupOption = FindSetupOption(m_lpCmdLine, &setupPath);
    const bool preview = setupOption && std::string(setupOption) == "-preview";
    if (setupOption && !preview) {
        SetExitCode(RunSetupCommandLine(setupOption, setupPath));
        return FALSE;
    }
    if (HasOption("-asio")) {
        Trace("Starting with ASIO page.\n");
        m_bStartWithAsioPage = true;
    }
    m_hMutex = ::CreateMutexA(nullptr, TRUE, kInstanceMutexName);
    if (!m_hMutex)
        Trace("CIXO_CPLApp::InitInstance: CreateMutex failed with error 0x%08lX.\n",
              ::GetLastError());
    if (!m_hMutex || ::GetLastError() == ERROR_ALREADY_EXISTS) {
        if (preview && !setupPath.empty())
            if (HWND running = FindRunningInstance())
                HandSetupOver(running, SetupAction::Preview, setupPath, nullptr, nullptr);
        HandOver();
        return FALSE;
    }
    m_hAppIcon =
        static_cast<HICON>(::LoadImageA(AfxGetResourceHandle(), MAKEINTRESOURCEA(IDR_MAINFRAME),
                                        IMAGE_ICON, 0, 0, LR_DEFAULTCOLOR));
    if (!m_hAppIcon)
        Trace("Load icon filed\n");
    m_nCmdShow = HasOption("-hide") ? SW_HIDE : SW_SHOW;
    if (!CreateMainWindow())
        return FALSE;
    if (preview && !setupPath.empty())
        if (CMainFrame* frame = CMainFrame::FromApp())
            frame->QueueSetup({SetupAction::Preview, setupPath, 0});
    if (m_pMainWnd)
        m_pMainWnd->UpdateWindow();
    return TRUE;
}

BOOL CIXO_CPLApp::CreateMainWindow() {
    AddDocTemplate(CSingleDocTemplate::Make<CIXO_CPLDoc, CMainFrame, CIXO_CPLView>(IDR_MAINFRAME));
    return OnFileNew();
}

void CIXO_CPLApp::HandOver() const {
    HWND running = FindRunningInstance();
    if (!running) {
        Trace("IxoWtCplApp::InitInstance: FindWindow failed.\n");
        return;
    }
    HWND popup = ::GetLastActivePopup(running);
    if (::IsIconic(running))
        ::ShowWindow(running, SW_RESTORE);
    if (m_bStartWithAsioPage)
        ::PostMessageA(running, WM_APP_SHOW_ASIO_PAGE, 0, 0);
    ::ShowWindow(popup, SW_SHOW);
    ::SetForegroundWindow(popup);
}

void CIXO_CPLApp::OnAppAbout() {
    CDlgAbout about;
    about.DoModal();
}
