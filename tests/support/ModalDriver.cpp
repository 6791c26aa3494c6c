#include "ModalDriver.h"

#include "MessageWindow.h"

#include <iterator>
#include <vector>

namespace {

constexpr char kClassName[] = "DemtrelTestModalDriver";
constexpr UINT_PTR kTimerId = 1;
constexpr UINT kPollMilliseconds = 20;

bool IsDialogWindow(HWND hWnd) {
    char name[16] = {};
    ::GetClassNameA(hWnd, name, sizeof(name));
    return std::string(name) == "#32770";
}

BOOL CALLBACK CollectDialog(HWND hWnd, LPARAM list) {
    if (IsDialogWindow(hWnd))
        reinterpret_cast<std::vector<HWND>*>(list)->push_back(hWnd);
    return TRUE;
}

std::vector<HWND> ThreadDialogs() {
    std::vector<HWND> windows;
    ::EnumThreadWindows(::GetCurrentThreadId(), &CollectDialog, reinterpret_cast<LPARAM>(&windows));
    return windows;
}

} // namespace

ModalDriver::ModalDriver() {
    m_timerWindow = CreateMessageWindow(kClassName, &Procedure, this);
    ::SetTimer(m_timerWindow, kTimerId, kPollMilliseconds, nullptr);
    RememberDialogs();
}

ModalDriver::~ModalDriver() {
    ::KillTimer(m_timerWindow, kTimerId);
    ::DestroyWindow(m_timerWindow);
}

void ModalDriver::Then(Action action) {
    m_actions.push_back(std::move(action));
}

LRESULT CALLBACK ModalDriver::Procedure(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* self = MessageWindowOwner<ModalDriver>(hWnd);
    if (message == WM_TIMER && self != nullptr) {
        self->Poll();
        return 0;
    }
    return ::DefWindowProcA(hWnd, message, wParam, lParam);
}

void ModalDriver::Poll() {
    if (m_actions.empty())
        return;
    ForgetClosedDialogs();
    HWND dialog = FindNewDialog();
    if (dialog == nullptr)
        return;
    Action action = std::move(m_actions.front());
    m_actions.pop_front();
    char caption[256] = {};
    ::GetWindowTextA(dialog, caption, sizeof(caption));
    m_captions.push_back(caption);
    m_known.insert(dialog);
    action(dialog);
    RememberDialogs();
}

HWND ModalDriver::FindNewDialog() const {
    for (HWND hWnd : ThreadDialogs())
        if (m_known.count(hWnd) == 0 && ::IsWindowVisible(hWnd) && ::IsWindowEnabled(hWnd))
            return hWnd;
    return nullptr;
}

void ModalDriver::ForgetClosedDialogs() {
    // A new dialog may get the handle value of one that is gone; it must
    // still count as new.
    for (auto it = m_known.begin(); it != m_known.end();)
        it = ::IsWindow(*it) ? std::next(it) : m_known.erase(it);
}

void ModalDriver::RememberDialogs() {
    for (HWND hWnd : ThreadDialogs())
        m_known.insert(hWnd);
}
