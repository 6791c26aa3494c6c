// Info > Copy Diagnostics: the report reaches the clipboard, and the status
// bar says whether it did.
#include "ClipboardProbe.h"
#include "ShellFixture.h"

#include <string>

namespace {

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
