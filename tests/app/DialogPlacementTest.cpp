// The program's modal dialogs open centred over the main window, and stay
// inside the work area of its monitor when the window is near an edge.
#include "ShellFixture.h"

#include "CDlgAbout.h"
#include "CDlgEditChannelName.h"
#include "CDlgEditDeviceName.h"
#include "CDlgSynchMode.h"
#include "ModalDriver.h"

#include <functional>
#include <string>

namespace {

class DialogPlacement : public ShellFixture {
protected:
    RECT workArea{};
    DeviceProperties device{};
    ChannelProperties channel{};
    DeviceSynchModes modes{};

    void SetUp() override {
        ShellFixture::SetUp();
        ASSERT_TRUE(::SystemParametersInfoA(SPI_GETWORKAREA, 0, &workArea, 0));
        OpenShell();
    }

    // Each of the program's modal dialogs, run once.
    std::vector<std::function<void()>> Dialogs() {
        return {
            [] { CDlgAbout().DoModal(); },
            [this] { CDlgEditDeviceName(&device).DoModal(); },
            [this] { CDlgEditChannelName(&channel).DoModal(); },
            [this] { CDlgSynchMode(&modes).DoModal(); },
        };
    }

    // Where each dialog was when it was first seen, with its caption.
    std::vector<std::pair<std::string, RECT>> OpenEach() {
        std::vector<std::pair<std::string, RECT>> seen;
        for (const auto& run : Dialogs()) {
            RECT shown{};
            ModalDriver driver;
            driver.Then([&](HWND dialog) {
                ::GetWindowRect(dialog, &shown);
                ::SendMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
            });
            run();
            EXPECT_EQ(1, driver.Handled());
            seen.emplace_back(driver.Handled() ? driver.Captions().front() : "", shown);
        }
        return seen;
    }
};

TEST_F(DialogPlacement, EveryDialogOpensCentredOverTheMainWindow) {
    frame->SetWindowPos(nullptr, workArea.left + 60, workArea.top + 50, 0, 0,
                        SWP_NOSIZE | SWP_NOZORDER);
    RECT main{};
    frame->GetWindowRect(&main);
    for (const auto& [caption, shown] : OpenEach()) {
        EXPECT_NEAR((main.left + main.right) / 2, (shown.left + shown.right) / 2, 1) << caption;
        EXPECT_NEAR((main.top + main.bottom) / 2, (shown.top + shown.bottom) / 2, 1) << caption;
    }
}

TEST_F(DialogPlacement, EveryDialogStaysInsideTheWorkAreaWhenTheWindowIsNearItsEdge) {
    frame->SetWindowPos(nullptr, workArea.right - 100, workArea.bottom - 80, 0, 0,
                        SWP_NOSIZE | SWP_NOZORDER);
    for (const auto& [caption, shown] : OpenEach()) {
        EXPECT_EQ(workArea.right, shown.right) << caption;
        EXPECT_EQ(workArea.bottom, shown.bottom) << caption;
    }
    frame->SetWindowPos(nullptr, workArea.left - 500, workArea.top - 300, 0, 0,
                        SWP_NOSIZE | SWP_NOZORDER);
    for (const auto& [caption, shown] : OpenEach()) {
        EXPECT_EQ(workArea.left, shown.left) << caption;
        EXPECT_EQ(workArea.top, shown.top) << caption;
    }
}

} // namespace
