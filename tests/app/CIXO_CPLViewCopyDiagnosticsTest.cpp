// Info > Copy Diagnostics: the report reaches the clipboard, and the status
// bar says whether it did.
#include "ShellFixture.h"

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

// Another program holding the clipboard open, on a thread of its own.
class ClipboardHolder {
public:
    ClipboardHolder() {
        m_thread = std::thread([this] {
            m_opened = ::OpenClipboard(nullptr) != FALSE;
            ::SetEvent(m_ready);
            ::WaitForSingleObject(m_release, 10000);
            if (m_opened)
                ::CloseClipboard();
        });
        ::WaitForSingleObject(m_ready, 10000);
    }
    ~ClipboardHolder() {
        ::SetEvent(m_release);
        m_thread.join();
        ::CloseHandle(m_ready);
        ::CloseHandle(m_release);
    }
    bool Opened() const { return m_opened; }

private:
    HANDLE m_ready = ::CreateEventA(nullptr, TRUE, FALSE, nullptr);
    HANDLE m_release = ::CreateEventA(nullptr, TRUE, FALSE, nullptr);
    bool m_opened = false;
    std::thread m_thread;
};

class CopyDiagnostics : public ShellFixture {};

TEST_F(CopyDiagnostics, TheMenuCommandPutsTheReportOnTheClipboard) {
    OpenShell();
    frame->SendMessage(WM_COMMAND, ID_COPY_DIAGNOSTICS);
    const std::string text = ClipboardText();
    EXPECT_EQ(0u, text.find("Tarnet Control Panel - Diagnostics report\r\n")) << text;
    // The view's own listener is the event connection of the report.
    EXPECT_NE(std::string::npos, text.find("\r\nEvent connection: open, listening\r\n")) << text;
    EXPECT_NE(std::string::npos, text.find("\r\nRank 1: Tarnet Duo 8,")) << text;
    EXPECT_EQ("The diagnostics report is on the clipboard.", StatusText());
}

TEST_F(CopyDiagnostics, AClipboardHeldElsewhereIsReportedInTheStatusBar) {
    OpenShell();
    ClipboardHolder holder;
    ASSERT_TRUE(holder.Opened());
    frame->SendMessage(WM_COMMAND, ID_COPY_DIAGNOSTICS);
    EXPECT_EQ("The diagnostics report could not be put on the clipboard.", StatusText());
}

} // namespace
