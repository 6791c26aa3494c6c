#include "CDlgPgBase.h"

#include "MessagePump.h"
#include "UiActions.h"
#include "resource.h"

#include <gtest/gtest.h>

namespace {

// The page base with nothing to reload.
class Page : public CDlgPgBase {
public:
    using CDlgPgBase::CDlgPgBase;
    void UpdatePage() override {}
};

class PageBase : public ::testing::Test {
protected:
    CWnd host;

    void SetUp() override {
        ASSERT_TRUE(host.CreateEx(0, nullptr, "Page host", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0,
                                  700, 500, nullptr, nullptr));
    }
    void TearDown() override { host.DestroyWindow(); }
};

TEST_F(PageBase, CreatesItsTemplateAsAChildOfTheGivenWindow) {
    Page page(IDD_PAGE_DEVICES, nullptr);
    EXPECT_EQ(static_cast<UINT>(IDD_PAGE_DEVICES), page.m_nTemplateID);
    ASSERT_TRUE(page.Create(&host));
    EXPECT_EQ(host.m_hWnd, page.GetParent());
    EXPECT_NE(0u, page.GetStyle() & WS_CHILD);
    EXPECT_NE(nullptr, page.GetDlgItem(IDC_DEVICE_LIST));
}

TEST_F(PageBase, EnterEscapeAndButtonsOneAndTwoNeverEndThePage) {
    Page page(IDD_PAGE_DEVICES, nullptr);
    ASSERT_TRUE(page.Create(&host));
    page.ShowWindow(SW_SHOW);
    ClickButton(page.m_hWnd, IDOK);
    ClickButton(page.m_hWnd, IDCANCEL);
    page.SendMessage(WM_COMMAND, IDOK);
    page.SendMessage(WM_COMMAND, IDCANCEL);
    ::SetFocus(page.GetDlgItem(IDC_DEVICE_LIST));
    PressKey(page.GetDlgItem(IDC_DEVICE_LIST), VK_RETURN);
    PressKey(page.GetDlgItem(IDC_DEVICE_LIST), VK_ESCAPE);
    PumpMessages(50);
    EXPECT_TRUE(::IsWindow(page.m_hWnd));
    EXPECT_TRUE(page.IsWindowVisible());
}

TEST_F(PageBase, APageWhoseTemplateIsMissingHasNoWindowAndIgnoresShowAndHide) {
    Page page(9999, nullptr);
    EXPECT_FALSE(page.Create(&host));
    EXPECT_EQ(nullptr, page.m_hWnd);
    EXPECT_FALSE(page.ShowWindow(SW_SHOW));
    EXPECT_FALSE(page.IsWindowVisible());
}

} // namespace
