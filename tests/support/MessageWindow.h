// A hidden window of this thread for a test helper's timers and posted
// messages: every message loop of the thread, modal ones too, dispatches
// them to it.
#pragma once

#include <windows.h>

// Registers the class on first use and makes a message-only window of it;
// the procedure finds owner with MessageWindowOwner.
HWND CreateMessageWindow(const char* className, WNDPROC procedure, void* owner);

template <typename Owner> Owner* MessageWindowOwner(HWND window) {
    return reinterpret_cast<Owner*>(::GetWindowLongPtrA(window, GWLP_USERDATA));
}
