#include "WinApp.h"

#include "Dialog.h"
#include "FrameworkIds.h"
#include "ResString.h"
#include "SingleDocTemplate.h"
#include "WindowPlacement.h"
#include "Wnd.h"

namespace {

// The application object registers itself here; the framework has no other
// process-wide state.
CWinApp* theApp = nullptr;

bool IsKeyboardMessage(const MSG& msg) {
    return msg.message >= WM_KEYFIRST && msg.message <= WM_KEYLAST;
}

bool IsTopLevel(HWND hWnd) {
    return (::GetWindowLongPtrA(hWnd, GWL_STYLE) & WS_CHILD) == 0;
}

// The message box that this thread opens next is placed over its owner, as
// every dialog of the program is placed; the system would centre it on the
// screen, wherever the owner is. It is caught when it is first activated,
// before it is painted.
HHOOK messageBoxHook = nullptr;
HWND messageBoxOwner = nullptr;

void UnhookMessageBox() {
    if (messageBoxHook != nullptr)
        ::UnhookWindowsHookEx(messageBoxHook);
    messageBoxHook = nullptr;
}

LRESULT CALLBACK PlaceMessageBox(int code, WPARAM wParam, LPARAM lParam) {
    const LRESULT next = ::CallNextHookEx(messageBoxHook, code, wParam, lParam);
    if (code == HCBT_ACTIVATE) {
        PlaceWindowOver(reinterpret_cast<HWND>(wParam), messageBoxOwner);
        UnhookMessageBox();
    }
    return next;
}

} // namespace

constexpr MessageMap CWinApp::messageMap{
    &CCmdTarget::messageMap,
    {
        {WM_COMMAND, 0, ID_FILE_NEW, On<&CWinApp::OnFileNewCommand>},
        {WM_COMMAND, 0, ID_FILE_OPEN, On<&CWinApp::OnFileNewCommand>},
        {WM_COMMAND, 0, ID_APP_EXIT, On<&CWinApp::OnAppExit>},
    }};

CWinApp::CWinApp() : m_hInstance(::GetModuleHandleA(nullptr)) {
    theApp = this;
}

CWinApp::~CWinApp() {
    if (theApp == this)
        theApp = nullptr;
}

int CWinApp::Run() {
    MSG msg{};
    BOOL got;
    while ((got = ::GetMessageA(&msg, nullptr, 0, 0)) > 0) {
        if (!PreTranslateMessage(&msg)) {
            ::TranslateMessage(&msg);
            ::DispatchMessageA(&msg);
        }
    }
    return got == -1 ? -1 : (m_quitCode = static_cast<int>(msg.wParam));
}

int CWinApp::ExitInstance() {
    m_docTemplate.reset();
    return m_quitCode;
}

BOOL CWinApp::PreTranslateMessage(MSG* msg) {
    if (!IsKeyboardMessage(*msg))
        return FALSE;
    HWND mainWindow = AfxGetMainWindow();
    const bool inMainWindow =
        mainWindow != nullptr && (msg->hwnd == mainWindow || ::IsChild(mainWindow, msg->hwnd));
    if (inMainWindow && m_pMainWnd->PreTranslateMessage(msg))
        return TRUE;
    for (HWND hWnd = msg->hwnd; hWnd != nullptr && hWnd != mainWindow; hWnd = ::GetParent(hWnd)) {
        CWnd* window = CWnd::FromHandle(hWnd);
        if (window != nullptr && window->PreTranslateMessage(msg))
            return TRUE;
        if (IsTopLevel(hWnd))
            break;
    }
    return FALSE;
}

void CWinApp::AddDocTemplate(std::unique_ptr<CSingleDocTemplate> docTemplate) {
    m_docTemplate = std::move(docTemplate);
}

BOOL CWinApp::OnFileNew() {
    return m_docTemplate != nullptr && m_docTemplate->OpenNewDocument(m_nCmdShow);
}

// Destroying the main window inside a modal loop would free the windows of
// the code that opened the dialog while that code still runs. The dialog is
// cancelled instead, and the exit comes again once its loop has returned.
void CWinApp::OnAppExit() {
    if (m_pMainWnd == nullptr)
        return;
    if (CDialog* modal = CDialog::InnermostModal()) {
        modal->EndDialog(IDCANCEL);
        m_pMainWnd->PostMessage(WM_COMMAND, ID_APP_EXIT);
        return;
    }
    m_pMainWnd->DestroyWindow();
}

CWinApp* AfxGetApp() {
    return theApp;
}

HWND AfxGetMainWindow() {
    return theApp != nullptr && theApp->m_pMainWnd != nullptr ? theApp->m_pMainWnd->m_hWnd
                                                              : nullptr;
}

HINSTANCE AfxGetResourceHandle() {
    return theApp != nullptr ? theApp->m_hInstance : ::GetModuleHandleA(nullptr);
}

int AfxMessageBox(const std::string& text, UINT type) {
    HWND owner = AfxGetMainWindow();
    const std::string caption = LoadResString(AFX_IDS_APP_TITLE);
    messageBoxOwner = owner;
    messageBoxHook = ::SetWindowsHookExA(WH_CBT, &PlaceMessageBox, nullptr, ::GetCurrentThreadId());
    const int button =
        ::MessageBoxA(owner, text.c_str(), caption.empty() ? nullptr : caption.c_str(), type);
    UnhookMessageBox();
    return button;
}
