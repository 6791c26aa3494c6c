// Quit from the tray or from "-exit" while a modal dialog is open: the dialog
// ends as if cancelled, and the frame with its view and pages goes only once
// the dialog's modal loop has returned to the code that opened it.
#include "ShellFixture.h"

#include "ModalDriver.h"
#include "UiActions.h"

#include <functional>
#include <string>

namespace {

class QuitDuringDialog : public ShellFixture {
protected:
    // Opens a dialog with the action; inside its modal loop, Quit arrives as
    // the tray menu and "-exit" deliver it: a posted command.
    void QuitInside(const std::function<void()>& open, const std::string& caption) {
        OpenShell();
        HWND window = frame->m_hWnd;
        ModalDriver driver;
        driver.Then([this, window](HWND) {
            sim.ClearLog();
            ::PostMessageA(window, WM_COMMAND, ID_TRAY_QUIT, 0);
        });
        open();
        ASSERT_EQ(1, driver.Handled());
        EXPECT_EQ(caption, driver.Captions().front());
        EXPECT_TRUE(::IsWindow(window)) << "the frame outlived the dialog's opener";
        EXPECT_NE(nullptr, app.m_pMainWnd);

        PumpMessages(100);
        EXPECT_FALSE(::IsWindow(window));
        EXPECT_EQ(nullptr, app.m_pMainWnd);
        EXPECT_TRUE(sim.Log().empty()) << "a cancelled dialog sends nothing";
        EXPECT_TRUE(TakeQuitRequest());
        frame = nullptr;
        view = nullptr;
    }

    void OpenFromList(CDlgPgBase& page, int listId, int row, int buttonId) {
        SelectListRow(::GetDlgItem(page.m_hWnd, listId), row);
        ClickButton(page.m_hWnd, buttonId);
    }
};

TEST_F(QuitDuringDialog, EditDeviceName) {
    QuitInside(
        [this] { OpenFromList(view->m_PgDevices, IDC_DEVICE_LIST, 0, IDC_EDIT_DEVICE_NAME); },
        "Edit Device Name");
}

TEST_F(QuitDuringDialog, EditChannelName) {
    QuitInside(
        [this] { OpenFromList(view->m_PgOutChannels, IDC_CHANNEL_LIST, 2, IDC_EDIT_CHANNEL_NAME); },
        "Edit Channel Name");
}

TEST_F(QuitDuringDialog, SynchronisationMode) {
    // Row 0 is the PC driver; the devices follow.
    QuitInside(
        [this] { OpenFromList(view->m_PgSamplingRate, IDC_SYNCH_LIST, 1, IDC_CHANGE_SYNCH_MODE); },
        "Device Synchronisation Mode");
}

TEST_F(QuitDuringDialog, AboutBox) {
    QuitInside([this] { EXPECT_TRUE(app.OnCmdMsg(ID_APP_ABOUT, 0)); }, "About Orlaso_CPL");
}

} // namespace
