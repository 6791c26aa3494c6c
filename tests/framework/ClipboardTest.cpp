// The clipboard as the diagnostics command uses it.
#include "Clipboard.h"

#include <gtest/gtest.h>

#include <string>
#include <thread>

namespace {

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

// Another thread stands for another program: it holds the clipboard open
// for the given time, from the moment it says so. It gets its turn as any
// program does: after Wine's own look at the last change.
class ClipboardHolder {
public:
    explicit ClipboardHolder(DWORD holdMs) {
        HANDLE opened = ::CreateEventA(nullptr, TRUE, FALSE, nullptr);
        m_thread = std::thread([opened, holdMs] {
            // A window of its own: the clipboard counts owners by window.
            HWND window = ::CreateWindowExA(0, "STATIC", "holder", 0, 0, 0, 0, 0, HWND_MESSAGE,
                                            nullptr, nullptr, nullptr);
            BOOL held = FALSE;
            for (int tries = 0; !held && tries < 200; ++tries)
                if (!(held = ::OpenClipboard(window)))
                    ::Sleep(10);
            ::SetEvent(opened);
            ::Sleep(holdMs);
            if (held)
                ::CloseClipboard();
            ::DestroyWindow(window);
        });
        ::WaitForSingleObject(opened, INFINITE);
        ::CloseHandle(opened);
    }
    ~ClipboardHolder() { m_thread.join(); }

private:
    std::thread m_thread;
};

TEST(Clipboard, TextIsPutThereAndAShortHoldByAnotherProgramIsWaitedFor) {
    ASSERT_TRUE(SetClipboardText(nullptr, "first"));
    EXPECT_EQ("first", ClipboardText());
    {
        ClipboardHolder holder(kClipboardWaitMs / 4);
        EXPECT_TRUE(SetClipboardText(nullptr, "after a moment"));
    }
    EXPECT_EQ("after a moment", ClipboardText());
    {
        ClipboardHolder holder(kClipboardWaitMs * 3);
        EXPECT_FALSE(SetClipboardText(nullptr, "never"));
    }
    EXPECT_EQ("after a moment", ClipboardText());
}

} // namespace
