// Plays the person in front of modal dialogs and message boxes.
//
//   ModalDriver driver;
//   driver.Then([](HWND dialog) {
//       SetChildText(dialog, IDC_NAME, "New name");
//       ClickButton(dialog, IDOK);
//   });
//   dialog.DoModal();   // returns once the action has ended it
//
// Each queued action runs once, inside the modal loop, when a new dialog
// window of this thread (one that did not exist when the driver was made or
// the previous action ran) is visible and enabled. The driver polls with a
// timer of its own hidden window, which every modal loop dispatches.
#pragma once

#include <windows.h>

#include <deque>
#include <functional>
#include <set>
#include <string>

class ModalDriver {
public:
    using Action = std::function<void(HWND dialog)>;

    ModalDriver();
    ~ModalDriver();
    ModalDriver(const ModalDriver&) = delete;
    ModalDriver& operator=(const ModalDriver&) = delete;

    void Then(Action action);
    // How many actions have run; the caption of each dialog they got.
    int Handled() const { return static_cast<int>(m_captions.size()); }
    const std::deque<std::string>& Captions() const { return m_captions; }

private:
    static LRESULT CALLBACK Procedure(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);
    void Poll();
    HWND FindNewDialog() const;
    void ForgetClosedDialogs();
    void RememberDialogs();

    HWND m_timerWindow = nullptr;
    std::deque<Action> m_actions;
    std::deque<std::string> m_captions;
    std::set<HWND> m_known;
};
