#include "ClipboardProbe.h"

std::string ClipboardText() {
    std::string text;
    if (!::OpenClipboard(nullptr))
        return "(clipboard not opened)";
    if (HANDLE data = ::GetClipboardData(CF_TEXT)) {
        if (const char* chars = static_cast<const char*>(::GlobalLock(data))) {
            text = chars;
            ::GlobalUnlock(data);
        }
    }
    ::CloseClipboard();
    return text;
}

ClipboardHolder::ClipboardHolder(DWORD holdMs) {
    m_thread = std::thread([this, holdMs] {
        HWND window = ::CreateWindowExA(0, "STATIC", "holder", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                        nullptr, nullptr);
        for (int tries = 0; !m_opened && tries < 200; ++tries)
            if (!(m_opened = ::OpenClipboard(window) != FALSE))
                ::Sleep(10);
        ::SetEvent(m_ready);
        ::WaitForSingleObject(m_release, holdMs);
        if (m_opened)
            ::CloseClipboard();
        ::DestroyWindow(window);
    });
    ::WaitForSingleObject(m_ready, INFINITE);
}

ClipboardHolder::~ClipboardHolder() {
    ::SetEvent(m_release);
    m_thread.join();
    ::CloseHandle(m_ready);
    ::CloseHandle(m_release);
}
