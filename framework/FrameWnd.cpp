#include "FrameWnd.h"

#include "ResString.h"
#include "StatusBar.h"
#include "WinApp.h"

#include <algorithm>
#include <iterator>
#include <string>

namespace {

// Asks the frame to show a string in its message pane once the message loop
// runs; wParam is the string id. Private to the frame's own window class.
constexpr UINT WM_FRAME_SET_MESSAGE_STRING = WM_USER + 0x100;

std::string FirstLine(const std::string& text) {
    return text.substr(0, text.find('\n'));
}

// Keys that edit controls use for the clipboard and undo, with the modifiers
// that must be held (and no others).
struct EditKey {
    UINT key;
    UINT modifiers;
};

constexpr EditKey kEditKeys[] = {
    {'C', MOD_CONTROL},     {'X', MOD_CONTROL},       {'V', MOD_CONTROL},     {'Z', MOD_CONTROL},
    {VK_DELETE, MOD_SHIFT}, {VK_INSERT, MOD_CONTROL}, {VK_INSERT, MOD_SHIFT}, {VK_BACK, MOD_ALT},
};

UINT IfDown(int key, UINT modifier) {
    return (::GetKeyState(key) & 0x8000) != 0 ? modifier : 0;
}

bool IsEditKey(const MSG& msg) {
    if (msg.message != WM_KEYDOWN && msg.message != WM_SYSKEYDOWN)
        return false;
    const UINT held =
        IfDown(VK_CONTROL, MOD_CONTROL) | IfDown(VK_SHIFT, MOD_SHIFT) | IfDown(VK_MENU, MOD_ALT);
    return std::any_of(std::begin(kEditKeys), std::end(kEditKeys), [&](const EditKey& entry) {
        return entry.key == msg.wParam && entry.modifiers == held;
    });
}

// Edit controls, read-only ones too, and the edit field of a combo box.
bool IsEditControl(HWND hWnd) {
    return (CWindowHandle(hWnd).Send<UINT>(WM_GETDLGCODE) & DLGC_HASSETSEL) != 0;
}

} // namespace

constexpr MessageMap CFrameWnd::messageMap{
    &CWnd::messageMap,
    {
        {WM_CREATE, 0, 0, On<&CFrameWnd::OnCreate>},
        {WM_DESTROY, 0, 0, On<&CFrameWnd::OnDestroy>},
        {WM_SIZE, 0, 0, On<&CFrameWnd::RecalcLayout>},
        {WM_MENUSELECT, 0, 0, On<&CFrameWnd::OnMenuSelect>},
        {WM_FRAME_SET_MESSAGE_STRING, 0, 0, On<&CFrameWnd::OnSetMessageString>},
        {WM_ACTIVATE, 0, 0, On<&CFrameWnd::OnActivate>},
        {WM_SETFOCUS, 0, 0, On<&CFrameWnd::RestoreFocus>},
    }};

BOOL CFrameWnd::LoadFrame(UINT resourceId, CCreateContext* context) {
    HINSTANCE resources = AfxGetResourceHandle();
    HMENU menu = ::LoadMenuA(resources, MAKEINTRESOURCEA(resourceId));
    m_hAccel = ::LoadAcceleratorsA(resources, MAKEINTRESOURCEA(resourceId));
    m_pContext = context;
    const BOOL created =
        CreateEx(0, FrameworkClassName(resourceId).c_str(), FirstLine(LoadResString(resourceId)),
                 WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT,
                 nullptr, menu);
    m_pContext = nullptr;
    if (!created && menu != nullptr && ::IsMenu(menu))
        ::DestroyMenu(menu);
    return created;
}

void CFrameWnd::RecalcLayout() {
    // The bar puts itself at the bottom of the client area when told of a size.
    CWindowHandle(StatusBarWindow()).SendMessage(WM_SIZE);
    RECT client{};
    GetClientRect(&client);
    const LONG height = client.bottom - GetStatusBarHeight();
    if (m_view != nullptr)
        m_view->MoveWindow(0, 0, client.right, height > 0 ? height : 0);
}

int CFrameWnd::GetStatusBarHeight() const {
    const CWindowHandle bar(StatusBarWindow());
    RECT rect{};
    if (bar.GetStyle() & WS_VISIBLE)
        bar.GetWindowRect(&rect);
    return rect.bottom - rect.top;
}

void CFrameWnd::SetMessageText(const std::string& text) {
    CStatusBar(StatusBarWindow()).SetPaneText(0, text);
}

void CFrameWnd::SetMessageText(UINT stringId) {
    SetMessageText(FirstLine(LoadResString(stringId)));
}

void CFrameWnd::SetIdleMessage(UINT stringId) {
    m_nIdleMessage = stringId;
    SetMessageText(stringId);
}

std::string CFrameWnd::GetMessageText() const {
    return CStatusBar(StatusBarWindow()).GetPaneText(0);
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
        target = m_view != nullptr ? m_view->InitialFocus() : nullptr;
    if (target != nullptr)
        ::SetFocus(target);
}

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

BOOL CFrameWnd::OnCommand(WPARAM wParam, LPARAM lParam) {
    if (CWnd::OnCommand(wParam, lParam))
        return TRUE;
    if (lParam != 0)
        return FALSE; // a control's notification is only the frame's business
    const UINT id = LOWORD(wParam);
    if (m_view != nullptr && m_view->OnCmdMsg(id, 0))
        return TRUE;
    CWinApp* app = AfxGetApp();
    return app != nullptr && app->OnCmdMsg(id, 0);
}

void CFrameWnd::PostNcDestroy() {
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
    }
    PostMessage(WM_FRAME_SET_MESSAGE_STRING, AFX_IDS_IDLEMESSAGE);
    return 0;
}

LRESULT CFrameWnd::OnMenuSelect(WPARAM wParam, LPARAM lParam) {
    const UINT item = LOWORD(wParam);
    const UINT flags = HIWORD(wParam);
    if (flags == 0xFFFF && lParam == 0) // the menu closes
        SetMessageText(m_nIdleMessage);
    else if (item == 0 || (flags & (MF_POPUP | MF_SEPARATOR | MF_SYSMENU)) != 0)
        SetMessageText(std::string());
    else
        SetMessageText(item);
    return 0;
}
