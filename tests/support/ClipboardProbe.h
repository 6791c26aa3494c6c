// The clipboard as a test reads it, and another program holding it open.
#pragma once

#include <windows.h>

#include <string>
#include <thread>

// The clipboard's CF_TEXT, or a note when the clipboard cannot be opened.
std::string ClipboardText();

// Another program holding the clipboard open, on a thread and a window of
// its own (the clipboard counts owners by window), from construction until
// holdMs have passed or the object goes. It gets its turn as any program
// does: after Wine's own look at the last change.
class ClipboardHolder {
public:
    explicit ClipboardHolder(DWORD holdMs = 10000);
    ~ClipboardHolder();
    ClipboardHolder(const ClipboardHolder&) = delete;
    ClipboardHolder& operator=(const ClipboardHolder&) = delete;

    bool Opened() const { return m_opened; }

private:
    HANDLE m_ready = ::CreateEventA(nullptr, TRUE, FALSE, nullptr);
    HANDLE m_release = ::CreateEventA(nullptr, TRUE, FALSE, nullptr);
    bool m_opened = false;
    std::thread m_thread;
};
