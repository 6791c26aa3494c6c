#include "CDlgPgBase.h"

#include "MessagePump.h"
#include "PageHost.h"
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

// The base class alone on a page's template, in a shown host.
class PageBase : public PageHost<Page> {
protected:
    PageBase() : PageHost(SimStart::DefaultSetUp, HostWindow::Shown) {}
};

TEST_F(PageBase, CreatesItsTemplateAsAChildOfTheGivenWindow) {
    CreatePage(IDD_PAGE_DEVICES, nullptr);
    EXPECT_EQ(static_cast<UINT>(IDD_PAGE_DEVICES), page->m_nTemplateID);
    EXPECT_EQ(host.m_hWnd, page->GetParent());
    EXPECT_NE(0u, page->GetStyle() & WS_CHILD);
    EXPECT_NE(nullptr, page->GetDlgItem(IDC_DEVICE_LIST));
}

TEST_F(PageBase, EnterEscapeAndButtonsOneAndTwoNeverEndThePage) {
    CreatePage(IDD_PAGE_DEVICES, nullptr);
    page->ShowWindow(SW_SHOW);
    probe.Click(IDOK);
    probe.Click(IDCANCEL);
    page->SendMessage(WM_COMMAND, IDOK);
    page->SendMessage(WM_COMMAND, IDCANCEL);
    ::SetFocus(probe.Item(IDC_DEVICE_LIST));
    PressKey(probe.Item(IDC_DEVICE_LIST), VK_RETURN);
    PressKey(probe.Item(IDC_DEVICE_LIST), VK_ESCAPE);
    PumpMessages(50);
    EXPECT_TRUE(::IsWindow(page->m_hWnd));
    EXPECT_TRUE(page->IsWindowVisible());
}

TEST_F(PageBase, APageWhoseTemplateIsMissingHasNoWindowAndIgnoresShowAndHide) {
    Page missing(9999, nullptr);
    EXPECT_FALSE(missing.Create(&host));
    EXPECT_EQ(nullptr, missing.m_hWnd);
    EXPECT_FALSE(missing.ShowWindow(SW_SHOW));
    EXPECT_FALSE(missing.IsWindowVisible());
}

} // namespace
