// Where windows open: the rectangle arithmetic on its own, then modal
// dialogs, message boxes and a frame on the real screen.
#include "Dialog.h"
#include "WinApp.h"
#include "WindowPlacement.h"

#include "ModalDriver.h"
#include "TestResourceIds.h"
#include "UiActions.h"

#include <gtest/gtest.h>

namespace {

RECT Rect(LONG left, LONG top, LONG width, LONG height) {
    return {left, top, left + width, top + height};
}

void ExpectRect(const RECT& expected, const RECT& actual) {
    EXPECT_EQ(expected.left, actual.left);
    EXPECT_EQ(expected.top, actual.top);
    EXPECT_EQ(expected.right, actual.right);
    EXPECT_EQ(expected.bottom, actual.bottom);
}

// A second monitor left of and above the first has negative coordinates.
const RECT kWorkArea = Rect(-1280, -200, 1280, 984);

TEST(PlaceInsideWorkArea, CentresOverTheAnchorWhenThereIsRoom) {
    ExpectRect(Rect(-800, 100, 300, 200),
               PlaceInsideWorkArea(Rect(0, 0, 300, 200), Rect(-1000, 0, 700, 400), kWorkArea));
    // An odd difference rounds towards the anchor's top left.
    ExpectRect(Rect(-1000, 0, 301, 201),
               PlaceInsideWorkArea(Rect(5, 5, 301, 201), Rect(-1000, 0, 302, 202), kWorkArea));
}

TEST(PlaceInsideWorkArea, MovesAsLittleAsNeededToLieInside) {
    // Anchor at the right and bottom edges: pushed left and up to the edge.
    ExpectRect(Rect(-300, 584, 300, 200),
               PlaceInsideWorkArea(Rect(0, 0, 300, 200), Rect(-100, 700, 400, 300), kWorkArea));
    // Anchor partly off the left and top edges: pushed right and down.
    ExpectRect(Rect(-1280, -200, 300, 200),
               PlaceInsideWorkArea(Rect(0, 0, 300, 200), Rect(-1500, -400, 200, 100), kWorkArea));
    // Only the direction that is out moves.
    ExpectRect(Rect(-300, 100, 300, 200),
               PlaceInsideWorkArea(Rect(0, 0, 300, 200), Rect(-200, 0, 300, 400), kWorkArea));
}

TEST(PlaceInsideWorkArea, WindowAsItsOwnAnchorStaysUnlessItIsOut) {
    const RECT inside = Rect(-900, 40, 500, 300);
    ExpectRect(inside, PlaceInsideWorkArea(inside, inside, kWorkArea));
    const RECT partlyOff = Rect(-200, 900, 500, 300);
    ExpectRect(Rect(-500, 484, 500, 300), PlaceInsideWorkArea(partlyOff, partlyOff, kWorkArea));
}

TEST(PlaceInsideWorkArea, LargerThanTheWorkAreaKeepsTheCaptionOnScreen) {
    ExpectRect(Rect(-1280, -200, 1500, 1100),
               PlaceInsideWorkArea(Rect(0, 0, 1500, 1100), Rect(-500, 300, 100, 100), kWorkArea));
}

class DialogPlacement : public ::testing::Test {
protected:
    CWinApp app;
    CWnd owner;
    RECT workArea{};

    void SetUp() override {
        ASSERT_TRUE(::SystemParametersInfoA(SPI_GETWORKAREA, 0, &workArea, 0));
        app.m_pMainWnd = &owner;
    }
    void TearDown() override {
        app.m_pMainWnd = nullptr;
        owner.DestroyWindow();
    }

    void OpenOwner(int left, int top, int width, int height) {
        ASSERT_TRUE(owner.CreateEx(0, nullptr, "Owner", WS_OVERLAPPEDWINDOW | WS_VISIBLE, left, top,
                                   width, height, nullptr, nullptr));
    }

    // The rectangle of the first modal window that run opens, taken before
    // the test's action ends it.
    template <typename Run> RECT FirstModalRect(Run run, int endWith) {
        RECT shown{};
        ModalDriver driver;
        driver.Then([&](HWND hWnd) {
            ::GetWindowRect(hWnd, &shown);
            ::SendMessageA(hWnd, WM_COMMAND, static_cast<WPARAM>(endWith), 0);
        });
        run();
        EXPECT_EQ(1, driver.Handled());
        return shown;
    }

    void ExpectCentredOverOwner(const RECT& shown) const {
        RECT area{};
        owner.GetWindowRect(&area);
        EXPECT_NEAR((area.left + area.right) / 2, (shown.left + shown.right) / 2, 1);
        EXPECT_NEAR((area.top + area.bottom) / 2, (shown.top + shown.bottom) / 2, 1);
    }

    void ExpectInsideWorkArea(const RECT& shown) const {
        EXPECT_GE(shown.left, workArea.left);
        EXPECT_GE(shown.top, workArea.top);
        EXPECT_LE(shown.right, workArea.right);
        EXPECT_LE(shown.bottom, workArea.bottom);
    }
};

TEST_F(DialogPlacement, ModalDialogOpensCentredOverItsOwner) {
    OpenOwner(workArea.left + 100, workArea.top + 80, 700, 460);
    CDialog dialog(IDD_TEST_DIALOG);
    const RECT shown = FirstModalRect([&] { dialog.DoModal(); }, IDCANCEL);
    ExpectCentredOverOwner(shown);
}

TEST_F(DialogPlacement, ModalDialogOfAnOwnerAtTheScreenEdgeStaysInside) {
    OpenOwner(workArea.right - 120, workArea.bottom - 90, 400, 300);
    CDialog dialog(IDD_TEST_DIALOG);
    const RECT shown = FirstModalRect([&] { dialog.DoModal(); }, IDCANCEL);
    ExpectInsideWorkArea(shown);
    // Moved only as far as the edge.
    EXPECT_EQ(workArea.right, shown.right);
    EXPECT_EQ(workArea.bottom, shown.bottom);
}

TEST_F(DialogPlacement, MessageBoxOpensCentredOverTheMainWindow) {
    OpenOwner(workArea.left + 30, workArea.top + 40, 640, 420);
    const RECT shown = FirstModalRect([] { AfxMessageBox("Placed?", MB_OK); }, IDOK);
    ExpectCentredOverOwner(shown);
    owner.MoveWindow(workArea.left - 300, workArea.bottom - 60, 640, 420);
    const RECT atEdge = FirstModalRect([] { AfxMessageBox("Placed?", MB_OK); }, IDOK);
    ExpectInsideWorkArea(atEdge);
}

TEST_F(DialogPlacement, WindowPartlyOffScreenIsMovedInsideOnly) {
    OpenOwner(workArea.left + 50, workArea.top + 60, 300, 200);
    KeepWindowInsideWorkArea(owner.m_hWnd);
    RECT area{};
    owner.GetWindowRect(&area);
    EXPECT_EQ(workArea.left + 50, area.left);
    EXPECT_EQ(workArea.top + 60, area.top);
    owner.MoveWindow(workArea.right - 100, workArea.top - 40, 300, 200);
    KeepWindowInsideWorkArea(owner.m_hWnd);
    owner.GetWindowRect(&area);
    EXPECT_EQ(workArea.right - 300, area.left);
    EXPECT_EQ(workArea.top, area.top);
}

} // namespace
