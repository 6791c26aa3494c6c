#include "CDlgAbout.h"

#include "CIXO_CPLApp.h"
#include "FrameworkIds.h"
#include "ModalDriver.h"
#include "ResString.h"
#include "TestApp.h"
#include "UiActions.h"
#include "Wnd.h"
#include "resource.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// The file version of this executable's version resource, the one the
// program carries too.
bool ResourceVersion(int& major, int& minor, int& build) {
    HRSRC found = ::FindResourceA(nullptr, MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(16));
    HGLOBAL loaded = found ? ::LoadResource(nullptr, found) : nullptr;
    void* block = loaded ? ::LockResource(loaded) : nullptr;
    VS_FIXEDFILEINFO* info = nullptr;
    UINT size = 0;
    if (!block || !::VerQueryValueA(block, "\\", reinterpret_cast<void**>(&info), &size) || !info)
        return false;
    major = HIWORD(info->dwFileVersionMS);
    minor = LOWORD(info->dwFileVersionMS);
    build = HIWORD(info->dwFileVersionLS);
    return true;
}

TEST(AboutBox, TextIsTitleAndVersionThenAnEmptyLineThenOneNoticeLine) {
    CDlgAbout about;
    const std::string& text = about.m_strText;
    const std::string head = "Tarnet Control Panel V2.14.0\n\n";
    ASSERT_EQ(head, text.substr(0, head.size()));
    const std::string notice = text.substr(head.size());
    EXPECT_FALSE(notice.empty());
    // Like every text the user sees, the notice comes from the string table.
    EXPECT_EQ(LoadResString(IDS_ABOUT_NOTICE), notice);
    EXPECT_EQ(std::string::npos, notice.find('\n'));
    EXPECT_EQ(std::string::npos, notice.find('\r'));
}

TEST(AboutBox, VersionMatchesTheVersionResource) {
    int major = 0, minor = 0, build = 0;
    ASSERT_TRUE(ResourceVersion(major, minor, build));
    EXPECT_EQ(CDlgAbout::VersionMajor, major);
    EXPECT_EQ(CDlgAbout::VersionMinor, minor);
    EXPECT_EQ(CDlgAbout::VersionBuild, build);
    const std::string expected = "V" + std::to_string(major) + "." + std::to_string(minor) + "." +
                                 std::to_string(build) + "\n";
    EXPECT_NE(std::string::npos, CDlgAbout().m_strText.find(expected));
}

TEST(AboutBox, ShowsItsTextAndEndsWithOk) {
    CDlgAbout about;
    std::string shown;
    ModalDriver driver;
    driver.Then([&](HWND dialog) {
        shown = ChildText(dialog, IDC_ABOUT_TEXT);
        ClickButton(dialog, IDOK);
    });
    EXPECT_EQ(IDOK, about.DoModal());
    EXPECT_EQ(about.m_strText, shown);
    ASSERT_EQ(1, driver.Handled());
    EXPECT_EQ("About Orlaso_CPL", driver.Captions().front());
}

TEST(AboutBox, EscapeEndsItToo) {
    CDlgAbout about;
    ModalDriver driver;
    driver.Then([](HWND dialog) { ClickButton(dialog, IDCANCEL); });
    EXPECT_EQ(IDCANCEL, about.DoModal());
}

TEST(AboutBox, OpensCentredOverTheMainWindow) {
    CWnd owner;
    ASSERT_TRUE(owner.CreateEx(0, nullptr, "Owner", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 40, 30, 700,
                               460, nullptr, nullptr));
    TestApp().m_pMainWnd = &owner;
    RECT box{};
    ModalDriver driver;
    driver.Then([&](HWND dialog) {
        ::GetWindowRect(dialog, &box);
        ClickButton(dialog, IDOK);
    });
    CDlgAbout about;
    about.DoModal();
    TestApp().m_pMainWnd = nullptr;
    RECT area{};
    owner.GetWindowRect(&area);
    EXPECT_NEAR((area.left + area.right) / 2, (box.left + box.right) / 2, 1);
    EXPECT_NEAR((area.top + area.bottom) / 2, (box.top + box.bottom) / 2, 1);
    owner.DestroyWindow();
}

TEST(AboutBox, TheAboutCommandOfTheApplicationRunsIt) {
    ModalDriver driver;
    driver.Then([](HWND dialog) { ClickButton(dialog, IDOK); });
    EXPECT_TRUE(TestApp().OnCmdMsg(ID_APP_ABOUT, 0));
    ASSERT_EQ(1, driver.Handled());
    EXPECT_EQ("About Orlaso_CPL", driver.Captions().front());
}

} // namespace
