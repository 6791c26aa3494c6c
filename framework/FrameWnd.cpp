#include "FrameWnd.h"

#include "ResString.h"
#include "StatusBar.h"
#include "View.h"
#include "WinApp.h"

#include <string>

namespace {

// Asks the frame to show a string in its message pane once the message loop
// runs; wParam is the string id. Private to the frame's own window class.
constexpr UINT WM_FRAME_SET_MESSAGE_STRING = WM_USER + 0x100;

std::string FirstLine(const std::string& text) {
    return text.substr(0, text.find('\n'));
}

bool IsMenuClosing(UINT flags, LPARAM menu) {
    return flags == 0xFFFF && menu == 0;
}

// Keys that edit controls use for the clipboard and undo, with the modifiers
// that must be held (and no others).
struct EditKey {
    UINT key;
    bool control;
    bool shift;
    bool alt;
};

constexpr EditKey kEditKeys[] = {
    {'C', true, false, false},       {'X', true, false, false},
    {'V', true, false, false},       {'Z', true, false, false},
    {VK_DELETE, false, true, false}, {VK_INSERT, true, false, false},
    {VK_INSERT, false, true, false}, {VK_BACK, false, false, true},
};

bool IsDown(int key) {
    return (::GetKeyState(key) & 0x8000) != 0;
}

bool IsEditKey(const MSG& msg) {
    if (msg.message != WM_KEYDOWN && msg.message != WM_SYSKEYDOWN)
        return false;
    const bool control = IsDown(VK_CONTROL);
    const bool shift = IsDown(VK_SHIFT);
    const bool alt = IsDown(VK_MENU);
    for (const EditKey& entry : kEditKeys)
        if (entry.key == msg.wParam && entry.control == control && entry.shift == shift &&
            entry.alt == alt)
            return true;
    return false;
}

// Edit controls, read-only ones too, and the edit field of a combo box.
bool IsEditControl(HWND hWnd) {
    return hWnd != nullptr && (::SendMessageA(hWnd, WM_GETDLGCODE, 0, 0) & DLGC_HASSETSEL) != 0;
}

} // namespace

constexpr MessageMap CFrameWnd::messageMap{
    &CWnd::messageMap,
    {
        {WM_CREATE, 0, 0, On<&CFrameWnd::OnCreate>},
        {WM_DESTROY, 0, 0, On<&CFrameWnd::OnDestroy>},
        {WM_SIZE, 0, 0, On<&CFrameWnd::OnSize>},
        {WM_MENUSELECT, 0, 0, On<&CFrameWnd::OnMenuSelect>},
        {WM_FRAME_SET_MESSAGE_STRING, 0, 0, On<&CFrameWnd::OnSetMessageString>},
        {WM_ACTIVATE, 0, 0, On<&CFrameWnd::OnActivate>},
        {WM_SETFOCUS, 0, 0, On<&CFrameWnd::OnSetFocus>},
    }};

CFrameWnd::CFrameWnd() = default;

CFrameWnd::~CFrameWnd() = default;

BOOL CFrameWnd::LoadFrame(UINT resourceId, DWORD style, CWnd* parent, CCreateContext* context) {
    HINSTANCE resources = AfxGetResourceHandle();
    const std::string className = FrameworkClassName(resourceId);
    const std::string title = FirstLine(LoadResString(resourceId));
    HMENU menu = ::LoadMenuA(resources, MAKEINTRESOURCEA(resourceId));
    m_hAccel = ::LoadAcceleratorsA(resources, MAKEINTRESOURCEA(resourceId));

    CREATESTRUCTA cs{};
    cs.lpszClass = className.c_str();
    cs.lpszName = title.c_str();
    cs.style = static_cast<LONG>(style);
    cs.x = CW_USEDEFAULT;
    cs.y = CW_USEDEFAULT;
    cs.cx = CW_USEDEFAULT;
    cs.cy = CW_USEDEFAULT;
    cs.hwndParent = parent != nullptr ? parent->m_hWnd : nullptr;
    cs.hMenu = menu;
    cs.hInstance = ::GetModuleHandleA(nullptr);
    cs.lpCreateParams = this;
    BOOL created = PreCreateWindow(cs);
    if (created) {
        m_pContext = context;
        created = CreateFromStruct(cs);
        m_pContext = nullptr;
    }
    if (!created && menu != nullptr && ::IsMenu(menu))
        ::DestroyMenu(menu);
    return created;
}

CDocument* CFrameWnd::GetActiveDocument() const {
    return m_pActiveView != nullptr ? m_pActiveView->GetDocument() : nullptr;
}

void CFrameWnd::RecalcLayout() {
    RECT client{};
    GetClientRect(&client);
    HWND bar = StatusBarWindow();
    if (bar != nullptr)
        CStatusBar(bar).RecalcPanes();
    client.bottom -= GetStatusBarHeight();
    if (m_pActiveView != nullptr && m_pActiveView->m_hWnd != nullptr) {
        m_pActiveView->MoveWindow(client.left, client.top, client.right - client.left,
                                  client.bottom > client.top ? client.bottom - client.top : 0);
    }
}

int CFrameWnd::GetStatusBarHeight() const {
    HWND bar = StatusBarWindow();
    if (bar == nullptr || (::GetWindowLongPtrA(bar, GWL_STYLE) & WS_VISIBLE) == 0)
        return 0;
    RECT barRect{};
    ::GetWindowRect(bar, &barRect);
    return barRect.bottom - barRect.top;
}

void CFrameWnd::SetMessageText(const std::string& text) {
    HWND bar = StatusBarWindow();
    if (bar != nullptr)
        CStatusBar(bar).SetPaneText(0, text);
}

void CFrameWnd::SetMessageText(UINT stringId) {
    SetMessageText(FirstLine(LoadResString(stringId)));
}

BOOL CFrameWnd::PreTranslateMessage(MSG* msg) {
    if (m_hAccel == nullptr || (IsEditKey(*msg) && IsEditControl(msg->hwnd)))
        return FALSE;
    return ::TranslateAcceleratorA(m_hWnd, m_hAccel, msg);
}

void CFrameWnd::RestoreFocus() {
    HWND target = m_hWndFocus;
    const bool usable = target != nullptr && ::IsWindow(target) && ::IsChild(m_hWnd, target) &&
                        ::IsWindowVisible(target) && ::IsWindowEnabled(target);
    if (!usable)
        target = m_pActiveView != nullptr ? m_pActiveView->InitialFocus() : nullptr;
    if (target != nullptr)
        ::SetFocus(target);
}

// The default processing would put the focus on the frame itself, where no
// key does anything.
LRESULT CFrameWnd::OnActivate(WPARAM wParam, LPARAM) {
    if (LOWORD(wParam) == WA_INACTIVE) {
        HWND focus = ::GetFocus();
        if (focus != nullptr && ::IsChild(m_hWnd, focus))
            m_hWndFocus = focus;
    } else if (HIWORD(wParam) == 0) {
        RestoreFocus();
    }
    return 0;
}

LRESULT CFrameWnd::OnSetFocus(WPARAM, LPARAM) {
    RestoreFocus();
    return 0;
}

BOOL CFrameWnd::PreCreateWindow(CREATESTRUCTA&) {
    return TRUE;
}

BOOL CFrameWnd::OnCommand(WPARAM wParam, LPARAM lParam) {
    if (CWnd::OnCommand(wParam, lParam))
        return TRUE;
    if (lParam != 0)
        return FALSE; // a control's notification is only the frame's business
    const UINT id = LOWORD(wParam);
    if (m_pActiveView != nullptr && m_pActiveView->OnCmdMsg(id, 0))
        return TRUE;
    CWinApp* app = AfxGetApp();
    return app != nullptr && app->OnCmdMsg(id, 0);
}

void CFrameWnd::PostNcDestroy() {
    m_pActiveView = nullptr;
    m_view.reset();
    CWinApp* app = AfxGetApp();
    if (app != nullptr && app->m_pMainWnd == this) {
        app->m_pMainWnd = nullptr;
        ::PostQuitMessage(0);
    }
}

int CFrameWnd::OnCreate(CREATESTRUCTA*) {
    if (m_pContext != nullptr && m_pContext->makeView != nullptr) {
        std::unique_ptr<CView> view = m_pContext->makeView();
        if (!view->CreateView(this, AFX_IDW_PANE_FIRST, m_pContext->document))
            return -1;
        m_view = std::move(view);
        SetActiveView(m_view.get());
    }
    PostMessage(WM_FRAME_SET_MESSAGE_STRING, AFX_IDS_IDLEMESSAGE);
    return 0;
}

void CFrameWnd::OnDestroy() {}

LRESULT CFrameWnd::OnSize(WPARAM, LPARAM) {
    RecalcLayout();
    return 0;
}

LRESULT CFrameWnd::OnMenuSelect(WPARAM wParam, LPARAM lParam) {
    const UINT item = LOWORD(wParam);
    const UINT flags = HIWORD(wParam);
    if (IsMenuClosing(flags, lParam))
        SetMessageText(AFX_IDS_IDLEMESSAGE);
    else if (item == 0 || (flags & (MF_POPUP | MF_SEPARATOR | MF_SYSMENU)) != 0)
        SetMessageText(std::string());
    else
        SetMessageText(item);
    return 0;
}

LRESULT CFrameWnd::OnSetMessageString(WPARAM wParam, LPARAM) {
    SetMessageText(static_cast<UINT>(wParam));
    return 0;
}

HWND CFrameWnd::StatusBarWindow() const {
    return GetDlgItem(AFX_IDW_STATUS_BAR);
}
