#include "MessagePump.h"

#include "WinApp.h"

#include <gtest/gtest.h>

namespace {

bool gQuitTaken = false;

// After every test case the thread's queue holds no quit request, whatever
// the case did: a frame destroyed in a tear-down posts one that nobody takes.
class QuitRequestReset : public ::testing::EmptyTestEventListener {
    void OnTestEnd(const ::testing::TestInfo&) override { TakeQuitRequest(); }
};

const bool gResetInstalled = [] {
    ::testing::UnitTest::GetInstance()->listeners().Append(new QuitRequestReset);
    return true;
}();

} // namespace

void PumpMessages(DWORD minMilliseconds) {
    const ULONGLONG until = ::GetTickCount64() + minMilliseconds;
    do {
        MSG msg;
        while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_QUIT) {
                gQuitTaken = true;
                return;
            }
            CWinApp* app = AfxGetApp();
            if (app == nullptr || !app->PreTranslateMessage(&msg)) {
                ::TranslateMessage(&msg);
                ::DispatchMessageA(&msg);
            }
        }
        if (::GetTickCount64() < until)
            ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
    } while (::GetTickCount64() < until);
}

bool TakeQuitRequest() {
    MSG msg;
    bool requested = gQuitTaken;
    while (::PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE))
        requested = true;
    gQuitTaken = false;
    return requested;
}
