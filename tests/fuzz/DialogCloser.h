// Plays the person in front of every modal dialog and message box that this
// thread opens while the closer lives. Unlike the tests' ModalDriver, which
// polls for dialogs it was told to expect, it acts at once and on any dialog:
// the fuzz opens thousands of them, in an order only the seed knows.
//
// A thread hook sees each window being created and posts its handle to the
// closer's own window; the dialog's modal loop dispatches that message, so
// the action runs inside the loop, on a dialog that is initialised.
#pragma once

#include <windows.h>

#include <functional>
#include <set>

class DialogCloser {
public:
    // The action must end the dialog; one that is still open afterwards is
    // cancelled and counted as stuck.
    using Action = std::function<void(HWND dialog)>;

    explicit DialogCloser(Action action);
    ~DialogCloser();
    DialogCloser(const DialogCloser&) = delete;
    DialogCloser& operator=(const DialogCloser&) = delete;

    int Handled() const { return m_Handled; }
    int Stuck() const { return m_Stuck; }

private:
    static LRESULT CALLBACK HookProcedure(int code, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK WindowProcedure(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);
    void Seen(HWND window, CREATESTRUCTA& create);
    void Act(HWND dialog);
    void Unstick(HWND dialog);

    // A thread hook carries no parameter of its own: this is how it finds
    // the closer of its thread.
    static thread_local DialogCloser* s_Current;

    Action m_Action;
    HHOOK m_Hook = nullptr;
    HWND m_Window = nullptr;
    std::set<HWND> m_Done;
    int m_Handled = 0;
    int m_Stuck = 0;
};

// True for a top-level dialog window (a dialog box or a message box).
bool IsTopLevelDialog(HWND window);
