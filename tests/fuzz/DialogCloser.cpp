#include "DialogCloser.h"

#include "MessageWindow.h"
#include "WindowHandle.h"

#include <string>
#include <utility>

namespace {

constexpr char kClassName[] = "DemtrelFuzzDialogCloser";
constexpr UINT kDialogMade = WM_APP + 0x40;
// The atom of the system's dialog class, "#32770".
constexpr UINT_PTR kDialogAtom = 0x8002;

} // namespace

thread_local DialogCloser* DialogCloser::s_Current = nullptr;

bool IsTopLevelDialog(HWND window) {
    const CWindowHandle dialog(window);
    return dialog.IsDialog() && (dialog.GetStyle() & WS_CHILD) == 0;
}

DialogCloser::DialogCloser(Action action)
    : m_Action(std::move(action)),
      m_Window(CreateMessageWindow(kClassName, &WindowProcedure, this)) {
    s_Current = this;
    m_Hook = ::SetWindowsHookExA(WH_CBT, &HookProcedure, nullptr, ::GetCurrentThreadId());
}

DialogCloser::~DialogCloser() {
    ::UnhookWindowsHookEx(m_Hook);
    s_Current = nullptr;
    ::DestroyWindow(m_Window);
}

LRESULT CALLBACK DialogCloser::HookProcedure(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HCBT_CREATEWND && s_Current)
        s_Current->Seen(reinterpret_cast<HWND>(wParam),
                        *reinterpret_cast<CBT_CREATEWNDA*>(lParam)->lpcs);
    // The next window may get the handle value of this one.
    if (code == HCBT_DESTROYWND && s_Current)
        s_Current->m_Done.erase(reinterpret_cast<HWND>(wParam));
    return ::CallNextHookEx(nullptr, code, wParam, lParam);
}

LRESULT CALLBACK DialogCloser::WindowProcedure(HWND hWnd, UINT message, WPARAM wParam,
                                               LPARAM lParam) {
    auto* self = MessageWindowOwner<DialogCloser>(hWnd);
    if (message == kDialogMade && self) {
        self->Act(reinterpret_cast<HWND>(wParam));
        return 0;
    }
    if (message == WM_TIMER && self) {
        ::KillTimer(hWnd, wParam);
        self->Unstick(reinterpret_cast<HWND>(wParam));
        return 0;
    }
    return ::DefWindowProcA(hWnd, message, wParam, lParam);
}

// A top-level dialog made visible from the start (the system's message box)
// is made like the others, to be shown when its loop first idles.
void DialogCloser::Seen(HWND window, CREATESTRUCTA& create) {
    const bool dialogClass = IS_INTRESOURCE(create.lpszClass)
                                 ? reinterpret_cast<UINT_PTR>(create.lpszClass) == kDialogAtom
                                 : std::string(create.lpszClass) == "#32770";
    if (!dialogClass || (create.style & WS_CHILD))
        return;
    create.style &= ~static_cast<LONG>(WS_VISIBLE);
    ::PostMessageA(m_Window, kDialogMade, reinterpret_cast<WPARAM>(window), 0);
}

// Runs in the dialog's modal loop before the loop first finds its queue
// empty, which is when a dialog without WS_VISIBLE would be shown: ended
// now, the dialog never reaches the screen, which keeps thousands of them
// quick. Its initialisation and its OK and Cancel handling run all the same.
void DialogCloser::Act(HWND dialog) {
    if (!::IsWindow(dialog) || !IsTopLevelDialog(dialog) || m_Done.count(dialog))
        return;
    m_Done.insert(dialog);
    ++m_Handled;
    m_Action(dialog);
    // An ended dialog is gone once its loop looks at its end flag, before
    // any timer can come.
    ::SetTimer(m_Window, reinterpret_cast<UINT_PTR>(dialog), 1, nullptr);
}

void DialogCloser::Unstick(HWND dialog) {
    if (!::IsWindow(dialog) || !m_Done.count(dialog))
        return;
    ++m_Stuck;
    ::EndDialog(dialog, IDCANCEL);
}
