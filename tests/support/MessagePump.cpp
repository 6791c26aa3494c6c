#include "MessagePump.h"

#include "WinApp.h"

void PumpMessages(DWORD minMilliseconds) {
    const ULONGLONG until = ::GetTickCount64() + minMilliseconds;
    do {
        MSG msg;
        while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_QUIT) {
                // Keep the quit request for whoever runs the real loop.
                ::PostQuitMessage(static_cast<int>(msg.wParam));
                return;
            }
            CWinApp* app = AfxGetApp();
            if (app == nullptr || !app->PreTranslateMessage(&msg)) {
                ::TranslateMessage(&msg);
                ::DispatchMessageA(&msg);
            }
        }
        if (::GetTickCount64() < until) {
            ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
        }
    } while (::GetTickCount64() < until);
}
