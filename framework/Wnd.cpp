#include "Wnd.h"

#include "DataExchange.h"
#include "ResString.h"
#include "Trace.h"
#include "UiWait.h"
#include "WinApp.h"

#include <dbt.h>

#include <algorithm>
#include <cstring>
#include <exception>
#include <vector>

namespace {

// Messages whose dialog-procedure result is the message's result itself
// rather than TRUE/FALSE with the result in DWLP_MSGRESULT.
bool ReturnsResultDirectly(UINT message) {
    return (message >= WM_CTLCOLORMSGBOX && message <= WM_CTLCOLORSTATIC) ||
           message == WM_COMPAREITEM || message == WM_VKEYTOITEM || message == WM_CHARTOITEM ||
           message == WM_QUERYDRAGICON || message == WM_INITDIALOG;
}

// Called inside a catch handler: names what was caught, so that an exception
// the window procedure swallows still leaves a trace.
void TraceSwallowed(UINT message) {
    try {
        throw;
    } catch (const std::exception& error) {
        Trace("Exception in the handler of message 0x%X: %s\n", message, error.what());
    } catch (...) {
        Trace("Exception in the handler of message 0x%X\n", message);
    }
}

// What the system says about a window's life, size, activation and focus:
// handled at once also while the thread waits, since it cannot be answered
// later and starts no work of the program.
constexpr UINT kRunsDuringWait[] = {
    WM_CREATE,   WM_DESTROY,   WM_NCDESTROY,  WM_MOVE,       WM_SIZE,       WM_ACTIVATE,
    WM_SETFOCUS, WM_KILLFOCUS, WM_INITDIALOG, WM_MENUSELECT, WM_DPICHANGED,
};

// Messages that start work even without a handler of the program.
constexpr UINT kStartWork[] = {WM_COMMAND, WM_SYSCOMMAND, WM_CLOSE};

bool Listed(const UINT* begin, const UINT* end, UINT message) {
    return std::find(begin, end, message) != end;
}

// The size of the record a notification points to, as the common controls
// send it; a held notification travels with a copy of it.
size_t NotificationSize(const NMHDR& header) {
    char sender[32] = {};
    ::GetClassNameA(header.hwndFrom, sender, sizeof sender);
    const bool fromList = lstrcmpiA(sender, WC_LISTVIEWA) == 0;
    switch (header.code) {
    case LVN_ITEMCHANGED:
    case LVN_ITEMCHANGING:
        return sizeof(NMLISTVIEW);
    case LVN_KEYDOWN:
        return sizeof(NMLVKEYDOWN);
    case TVN_SELCHANGEDA:
    case TVN_SELCHANGINGA:
        return sizeof(NMTREEVIEWA);
    case TVN_SELCHANGEDW:
    case TVN_SELCHANGINGW:
        return sizeof(NMTREEVIEWW);
    case NM_CLICK:
    case NM_DBLCLK:
    case NM_RCLICK:
    case NM_RDBLCLK:
        return fromList ? sizeof(NMITEMACTIVATE) : sizeof(NMHDR);
    default:
        return sizeof(NMHDR);
    }
}

// The bytes of the record a held message points to; 0 when it carries none.
size_t HeldRecordSize(UINT message, LPARAM lParam) {
    if (lParam == 0)
        return 0;
    if (message == WM_NOTIFY)
        return NotificationSize(*reinterpret_cast<const NMHDR*>(lParam));
    if (message == WM_DEVICECHANGE)
        return std::max<size_t>(sizeof(DEV_BROADCAST_HDR),
                                reinterpret_cast<const DEV_BROADCAST_HDR*>(lParam)->dbch_size);
    return 0;
}

CWnd* BoundObject(HWND hWnd) {
    return reinterpret_cast<CWnd*>(::GetWindowLongPtrA(hWnd, GWLP_USERDATA));
}

// A dialog template copied into aligned, writable memory, so that the style
// can be changed before the dialog is made; empty when there is none.
std::vector<DWORD> CopyDialogTemplate(UINT templateId) {
    const ResourceBytes bytes = FindResourceBytes(5, templateId);
    if (bytes.data == nullptr || bytes.size < sizeof(DLGTEMPLATE) + 2 * sizeof(DWORD))
        return {};
    std::vector<DWORD> words((bytes.size + sizeof(DWORD) - 1) / sizeof(DWORD));
    std::memcpy(words.data(), bytes.data, bytes.size);
    return words;
}

} // namespace

CWnd::~CWnd() {
    // The derived parts are gone: the window must not reach them any more.
    if (m_hWnd != nullptr) {
        HWND hWnd = m_hWnd;
        Unbind();
        ::DestroyWindow(hWnd);
    }
}

CWnd* CWnd::FromHandle(HWND hWnd) {
    if (hWnd == nullptr || !::IsWindow(hWnd))
        return nullptr;
    const bool ourWindow =
        ::GetWindowLongPtrA(hWnd, GWLP_WNDPROC) == reinterpret_cast<LONG_PTR>(&WindowProcedure);
    const bool ourDialog =
        CWindowHandle(hWnd).IsDialog() &&
        ::GetWindowLongPtrA(hWnd, DWLP_DLGPROC) == reinterpret_cast<LONG_PTR>(&DialogProcedure);
    return ourWindow || ourDialog ? BoundObject(hWnd) : nullptr;
}

std::string CWnd::FrameworkClassName(UINT iconId) {
    const std::string name = iconId == 0 ? "DemtrelWnd" : "DemtrelFrame" + std::to_string(iconId);
    WNDCLASSEXA wc{};
    wc.cbSize = sizeof(wc);
    wc.style = CS_DBLCLKS;
    wc.lpfnWndProc = &WindowProcedure;
    wc.hInstance = ::GetModuleHandleA(nullptr);
    if (iconId != 0)
        wc.hIcon = ::LoadIconA(AfxGetResourceHandle(), MAKEINTRESOURCEA(iconId));
    wc.hCursor = ::LoadCursorA(nullptr, MAKEINTRESOURCEA(32512));
    wc.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_BTNFACE + 1));
    wc.lpszClassName = name.c_str();
    ::RegisterClassExA(&wc); // fails, harmlessly, once the class exists
    return name;
}

BOOL CWnd::CreateEx(DWORD exStyle, const char* className, const std::string& title, DWORD style,
                    int x, int y, int width, int height, HWND parent, HMENU menuOrId) {
    const std::string ownClass = FrameworkClassName();
    const char* windowClass = className != nullptr ? className : ownClass.c_str();
    HINSTANCE module = ::GetModuleHandleA(nullptr);
    CREATESTRUCTA cs{
        this,          module,      menuOrId, parent, height, width, y, x, static_cast<LONG>(style),
        title.c_str(), windowClass, exStyle};
    if (m_hWnd != nullptr || !PreCreateWindow(cs))
        return FALSE;
    HWND hWnd =
        ::CreateWindowExA(cs.dwExStyle, cs.lpszClass, cs.lpszName, static_cast<DWORD>(cs.style),
                          cs.x, cs.y, cs.cx, cs.cy, cs.hwndParent, cs.hMenu, cs.hInstance, this);
    return hWnd != nullptr && m_hWnd == hWnd;
}

BOOL CWnd::UpdateData(BOOL saveAndValidate) {
    if (m_hWnd == nullptr)
        return FALSE;
    CDataExchange exchange(this, saveAndValidate);
    DoDataExchange(&exchange);
    return !exchange.Failed();
}

HWND CWnd::ChildById(int id) {
    for (auto& [childId, child] : m_children) {
        if (childId != id)
            continue;
        if (::GetParent(child) != m_hWnd || ::GetDlgCtrlID(child) != id)
            child = GetDlgItem(id);
        return child;
    }
    HWND child = GetDlgItem(id);
    if (child != nullptr)
        m_children.emplace_back(id, child);
    return child;
}

BOOL CWnd::PreTranslateMessage(MSG* msg) {
    return m_isDialog && m_hWnd != nullptr && ::IsDialogMessageA(m_hWnd, msg);
}

LRESULT CWnd::Default() {
    if (!m_isDialog)
        return ::DefWindowProcA(m_hWnd, m_current.message, m_current.wParam, m_current.lParam);
    // The dialog manager asks the dialog procedure first; it must decline
    // this one call so that the manager's own processing runs.
    m_bypassDialogProcedure = true;
    const LRESULT result =
        ::DefDlgProcA(m_hWnd, m_current.message, m_current.wParam, m_current.lParam);
    m_bypassDialogProcedure = false;
    return result;
}

BOOL CWnd::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) {
    if (message == WM_COMMAND) {
        *result = 0;
        return OnCommand(wParam, lParam);
    }
    const MessageMapEntry* entry = HandlerOf(message, lParam);
    if (entry == nullptr)
        return FALSE;
    *result = entry->handler(*this, wParam, lParam);
    return TRUE;
}

const MessageMapEntry* CWnd::HandlerOf(UINT message, LPARAM lParam) const {
    if (message != WM_NOTIFY)
        return FindEntry(message, 0, 0);
    const NMHDR* header = reinterpret_cast<const NMHDR*>(lParam);
    return header == nullptr ? nullptr
                             : FindEntry(message, header->code, static_cast<UINT>(header->idFrom));
}

bool CWnd::RunsDuringWait(UINT message, WPARAM, LPARAM lParam) const {
    if (Listed(std::begin(kRunsDuringWait), std::end(kRunsDuringWait), message))
        return true;
    if (Listed(std::begin(kStartWork), std::end(kStartWork), message))
        return false;
    return HandlerOf(message, lParam) == nullptr;
}

// A timer is not kept: it fires again by itself. A device change is
// answered as the handler would, granting a removal.
LRESULT CWnd::HoldDuringWait(UINT message, WPARAM wParam, LPARAM lParam) {
    OnHeldDuringWait(message, wParam, lParam);
    if (message != WM_TIMER)
        UiWait::Hold(m_hWnd, message, wParam, lParam, HeldRecordSize(message, lParam));
    return message == WM_DEVICECHANGE ? TRUE : 0;
}

LRESULT CWnd::DispatchHeldCopy(LPARAM token, BOOL* handled) {
    *handled = TRUE;
    UiWait::HeldCopy held;
    if (!UiWait::TakeHeldCopy(token, held))
        return 0;
    BOOL ignored = FALSE;
    return Dispatch(held.message, held.wParam, reinterpret_cast<LPARAM>(held.bytes.data()),
                    &ignored);
}

BOOL CWnd::OnCommand(WPARAM wParam, LPARAM lParam) {
    // Menus and accelerators send no control window; both are plain commands.
    const UINT code = lParam == 0 ? 0 : HIWORD(wParam);
    return OnCmdMsg(LOWORD(wParam), code);
}

BOOL CWnd::CreateDialogWindow(UINT templateId, HWND parent) {
    std::vector<DWORD> words = CopyDialogTemplate(templateId);
    if (m_hWnd != nullptr || words.empty())
        return FALSE;
    // The extended form starts with version 1 and the signature 0xFFFF, then
    // help id, extended style and style; the plain form starts with style and
    // extended style.
    const bool extended = words[0] == 0xFFFF0001u;
    DWORD& style = words[extended ? 3 : 0];
    DWORD& exStyle = words[extended ? 2 : 1];
    CREATESTRUCTA cs{this, AfxGetResourceHandle(),   nullptr, parent,  0,      0, 0,
                     0,    static_cast<LONG>(style), nullptr, nullptr, exStyle};
    if (!PreCreateWindow(cs))
        return FALSE;
    style = static_cast<DWORD>(cs.style);
    exStyle = cs.dwExStyle;
    HWND hWnd = ::CreateDialogIndirectParamA(
        AfxGetResourceHandle(), reinterpret_cast<const DLGTEMPLATE*>(words.data()), parent,
        &DialogProcedure, reinterpret_cast<LPARAM>(this));
    return hWnd != nullptr && m_hWnd == hWnd;
}

void CWnd::Bind(HWND hWnd, bool isDialog) {
    m_hWnd = hWnd;
    m_isDialog = isDialog;
    ::SetWindowLongPtrA(hWnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
}

void CWnd::Unbind() {
    ::SetWindowLongPtrA(m_hWnd, GWLP_USERDATA, 0);
    m_hWnd = nullptr;
}

LRESULT CWnd::Dispatch(UINT message, WPARAM wParam, LPARAM lParam, BOOL* handled) {
    if (message == UiWait::HeldCopyMessage())
        return DispatchHeldCopy(lParam, handled);
    if (UiWait::IsWaiting() && !RunsDuringWait(message, wParam, lParam)) {
        *handled = TRUE;
        return HoldDuringWait(message, wParam, lParam);
    }
    const CurrentMessage outer = m_current;
    m_current = {message, wParam, lParam};
    LRESULT result = 0;
    try {
        *handled = message == WM_INITDIALOG ? (result = OnInitDialog(), TRUE)
                                            : OnWndMsg(message, wParam, lParam, &result);
    } catch (...) {
        // Nothing may unwind through the system's callback; the message
        // counts as handled with result 0.
        *handled = TRUE;
        result = 0;
        TraceSwallowed(message);
    }
    m_current = outer;
    if (message == WM_NCDESTROY) {
        Unbind();
        PostNcDestroy();
    }
    return result;
}

LRESULT CALLBACK CWnd::WindowProcedure(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        const CREATESTRUCTA* cs = reinterpret_cast<const CREATESTRUCTA*>(lParam);
        if (cs->lpCreateParams != nullptr)
            static_cast<CWnd*>(cs->lpCreateParams)->Bind(hWnd, false);
    }
    CWnd* self = BoundObject(hWnd);
    if (self == nullptr)
        return ::DefWindowProcA(hWnd, message, wParam, lParam);
    BOOL handled = FALSE;
    const LRESULT result = self->Dispatch(message, wParam, lParam, &handled);
    return handled ? result : ::DefWindowProcA(hWnd, message, wParam, lParam);
}

INT_PTR CALLBACK CWnd::DialogProcedure(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG && lParam != 0)
        reinterpret_cast<CWnd*>(lParam)->Bind(hWnd, true);
    CWnd* self = BoundObject(hWnd);
    if (self == nullptr)
        return FALSE;
    if (self->m_bypassDialogProcedure) {
        self->m_bypassDialogProcedure = false;
        return FALSE;
    }
    BOOL handled = FALSE;
    const LRESULT result = self->Dispatch(message, wParam, lParam, &handled);
    if (!handled)
        return FALSE;
    if (ReturnsResultDirectly(message))
        return static_cast<INT_PTR>(result);
    ::SetWindowLongPtrA(hWnd, DWLP_MSGRESULT, result);
    return TRUE;
}
