// Dialogs: data exchange in both directions, modal runs driven by the test,
// modeless dialogs and pages that Enter and Escape must not end.
#include "DataExchange.h"
#include "Dialog.h"
#include "Edit.h"
#include "WinApp.h"

#include "MessagePump.h"
#include "ModalDriver.h"
#include "TestResourceIds.h"
#include "UiActions.h"

#include <gtest/gtest.h>

namespace {

class SettingsDialog : public CDialog {
public:
    explicit SettingsDialog(CWnd* parent = nullptr) : CDialog(IDD_TEST_DIALOG, parent) {}

    std::string m_strName = "initial";
    int m_nInclude = BST_CHECKED;
    int m_nMode = 1;
    int m_nOther = -1;
    bool exchangeMissing = false;
    CEdit m_Name;

    void DoDataExchange(CDataExchange* pDX) override {
        DDX_Control(pDX, IDC_NAME, m_Name);
        DDX_Text(pDX, IDC_NAME, m_strName);
        DDX_Check(pDX, IDC_INCLUDE, m_nInclude);
        DDX_Radio(pDX, IDC_MODE_FIRST, m_nMode);
        DDX_Radio(pDX, IDC_AFTER_GROUP, m_nOther);
        if (exchangeMissing)
            DDX_Text(pDX, 4242, m_strName);
    }
};

// Ends nothing: what a settings page does.
class QuietPage : public CDialog {
public:
    QuietPage() : CDialog(IDD_TEST_PAGE) {}
    int okCount = 0;
    int cancelCount = 0;

protected:
    void OnOK() override { ++okCount; }
    void OnCancel() override { ++cancelCount; }
};

// Handlers that hand the message on to the dialog manager's own processing.
class PassingDialog : public CDialog {
public:
    PassingDialog() : CDialog(IDD_TEST_PAGE) {}
    int textChanges = 0;
    int showChanges = 0;

protected:
    static const MessageMap messageMap;
    const MessageMap* GetMessageMap() const override { return &messageMap; }

private:
    LRESULT OnSetText(WPARAM, LPARAM) {
        ++textChanges;
        return Default();
    }
    void OnShowWindow(BOOL, UINT) {
        ++showChanges;
        Default();
    }
};

constexpr MessageMap PassingDialog::messageMap{
    &CDialog::messageMap,
    {
        {WM_SETTEXT, 0, 0, On<&PassingDialog::OnSetText>},
        {WM_SHOWWINDOW, 0, 0, On<&PassingDialog::OnShowWindow>},
    }};

struct ModalResult {
    std::string name;
    int include;
    int mode;
    int other;
};

TEST(DialogData, ModalOkShowsMembersThenReadsBackWhatWasEntered) {
    SettingsDialog dialog;
    ModalResult shown{};
    ModalDriver driver;
    driver.Then([&](HWND hWnd) {
        shown.name = ChildText(hWnd, IDC_NAME);
        shown.include = static_cast<int>(::IsDlgButtonChecked(hWnd, IDC_INCLUDE));
        shown.mode = ::IsDlgButtonChecked(hWnd, IDC_MODE_SECOND) ? 1 : -1;
        shown.other = ::IsDlgButtonChecked(hWnd, IDC_AFTER_GROUP) ||
                      ::IsDlgButtonChecked(hWnd, IDC_OTHER_RADIO);
        SetChildText(hWnd, IDC_NAME, "typed name");
        SetButtonCheck(hWnd, IDC_INCLUDE, BST_UNCHECKED);
        ::CheckRadioButton(hWnd, IDC_MODE_FIRST, IDC_MODE_THIRD, IDC_MODE_THIRD);
        ::CheckRadioButton(hWnd, IDC_AFTER_GROUP, IDC_OTHER_RADIO, IDC_OTHER_RADIO);
        ClickButton(hWnd, IDOK);
    });
    EXPECT_EQ(dialog.DoModal(), IDOK);
    EXPECT_EQ(driver.Handled(), 1);
    EXPECT_EQ(driver.Captions().front(), "Test dialog");

    EXPECT_EQ(shown.name, "initial");
    EXPECT_EQ(shown.include, BST_CHECKED);
    EXPECT_EQ(shown.mode, 1);
    EXPECT_EQ(shown.other, 0); // -1 checks no button of the group

    EXPECT_EQ(dialog.m_strName, "typed name");
    EXPECT_EQ(dialog.m_nInclude, BST_UNCHECKED);
    EXPECT_EQ(dialog.m_nMode, 2);  // the group ends before the next WS_GROUP
    EXPECT_EQ(dialog.m_nOther, 1); // its own group starts there
    EXPECT_EQ(dialog.m_hWnd, nullptr);
}

// Tab reaches a radio group at its checked button: the template's first
// button gives up its tab stop to the one the member checks.
TEST(DialogData, TheCheckedRadioButtonAloneIsATabStop) {
    SettingsDialog dialog; // m_nMode 1: the second button
    bool firstStops = true;
    bool secondStops = false;
    ModalDriver driver;
    driver.Then([&](HWND hWnd) {
        firstStops =
            (::GetWindowLongA(::GetDlgItem(hWnd, IDC_MODE_FIRST), GWL_STYLE) & WS_TABSTOP) != 0;
        secondStops =
            (::GetWindowLongA(::GetDlgItem(hWnd, IDC_MODE_SECOND), GWL_STYLE) & WS_TABSTOP) != 0;
        ClickButton(hWnd, IDCANCEL);
    });
    dialog.DoModal();
    EXPECT_FALSE(firstStops);
    EXPECT_TRUE(secondStops);
}

TEST(DialogData, RadioGroupWithNothingCheckedReadsMinusOne) {
    SettingsDialog dialog;
    dialog.m_nMode = 7; // no such button: none is checked
    ModalDriver driver;
    driver.Then([](HWND hWnd) { ClickButton(hWnd, IDOK); });
    EXPECT_EQ(dialog.DoModal(), IDOK);
    EXPECT_EQ(dialog.m_nMode, -1);
}

TEST(DialogData, CancelAndEscapeLeaveTheMembersAlone) {
    SettingsDialog dialog;
    ModalDriver driver;
    driver.Then([](HWND hWnd) {
        SetChildText(hWnd, IDC_NAME, "thrown away");
        ClickButton(hWnd, IDCANCEL);
    });
    driver.Then([](HWND hWnd) {
        SetChildText(hWnd, IDC_NAME, "thrown away too");
        ::SendMessageA(hWnd, WM_CLOSE, 0, 0); // the caption's close button
    });
    EXPECT_EQ(dialog.DoModal(), IDCANCEL);
    EXPECT_EQ(dialog.DoModal(), IDCANCEL);
    EXPECT_EQ(dialog.m_strName, "initial");
    EXPECT_EQ(driver.Handled(), 2);
}

TEST(DialogData, OkStaysOpenWhenTheExchangeMissesAControl) {
    SettingsDialog dialog;
    dialog.exchangeMissing = true;
    bool stillOpen = false;
    ModalDriver driver;
    driver.Then([&](HWND hWnd) {
        ClickButton(hWnd, IDOK);
        stillOpen = ::IsWindowVisible(hWnd) != FALSE;
        ClickButton(hWnd, IDCANCEL);
    });
    EXPECT_EQ(dialog.DoModal(), IDCANCEL);
    EXPECT_TRUE(stillOpen);
}

// An exchange remembers its controls, yet a control made again under the id
// of one that has gone is the one it fills.
TEST(DialogData, AControlMadeAgainUnderItsIdIsTheOneExchanged) {
    SettingsDialog dialog;
    char shown[32] = {};
    ModalDriver driver;
    driver.Then([&](HWND hWnd) {
        ::DestroyWindow(::GetDlgItem(hWnd, IDC_NAME));
        HWND again = ::CreateWindowExA(0, "EDIT", "", WS_CHILD, 0, 0, 80, 14, hWnd,
                                       reinterpret_cast<HMENU>(IDC_NAME), nullptr, nullptr);
        dialog.m_strName = "made again";
        dialog.UpdateData(FALSE);
        ::GetWindowTextA(again, shown, sizeof(shown));
        ClickButton(hWnd, IDCANCEL);
    });
    dialog.DoModal();
    EXPECT_STREQ(shown, "made again");
}

TEST(DialogData, ModalDialogWithoutParentBelongsToTheMainWindow) {
    CWinApp app;
    CWnd mainWindow;
    ASSERT_TRUE(mainWindow.CreateEx(0, nullptr, "main", WS_OVERLAPPEDWINDOW, 0, 0, 300, 200,
                                    nullptr, nullptr));
    app.m_pMainWnd = &mainWindow;
    SettingsDialog dialog;
    HWND owner = nullptr;
    ModalDriver driver;
    driver.Then([&](HWND hWnd) {
        owner = ::GetWindow(hWnd, GW_OWNER);
        ClickButton(hWnd, IDCANCEL);
    });
    dialog.DoModal();
    EXPECT_EQ(owner, mainWindow.m_hWnd);
    app.m_pMainWnd = nullptr;
}

TEST(DialogData, MessageBoxCarriesTheApplicationTitle) {
    CWinApp app;
    ModalDriver driver;
    driver.Then([](HWND hWnd) { ::SendMessageA(hWnd, WM_COMMAND, IDNO, 0); });
    EXPECT_EQ(AfxMessageBox("Really?", MB_YESNO), IDNO);
    ASSERT_EQ(driver.Handled(), 1);
    EXPECT_EQ(driver.Captions().front(), "Framework Test");
}

TEST(ModelessDialog, CreateBindsAndShowsTheMembers) {
    SettingsDialog dialog;
    dialog.m_strName = "modeless";
    ASSERT_TRUE(dialog.Create(IDD_TEST_DIALOG));
    EXPECT_EQ(CWnd::FromHandle(dialog.m_hWnd), &dialog);
    EXPECT_EQ(ChildText(dialog.m_hWnd, IDC_NAME), "modeless");
    EXPECT_EQ(dialog.m_Name.m_hWnd, ::GetDlgItem(dialog.m_hWnd, IDC_NAME));
    // A second Create on a live dialog is refused.
    EXPECT_FALSE(dialog.Create(IDD_TEST_DIALOG));
    HWND hWnd = dialog.m_hWnd;
    EXPECT_TRUE(dialog.DestroyWindow());
    EXPECT_FALSE(::IsWindow(hWnd));
    EXPECT_EQ(dialog.m_hWnd, nullptr);
}

TEST(ModelessDialog, DefaultHandsTheMessageToTheDialogManager) {
    CWnd host;
    ASSERT_TRUE(host.CreateEx(0, nullptr, "host", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 400, 300,
                              nullptr, nullptr));
    PassingDialog dialog;
    ASSERT_TRUE(dialog.Create(IDD_TEST_PAGE, &host));
    dialog.SetWindowText("first");
    dialog.SetWindowText("second");
    dialog.ShowWindow(SW_SHOW);
    dialog.ShowWindow(SW_HIDE);
    EXPECT_EQ(dialog.GetWindowText(), "second");
    EXPECT_EQ(dialog.textChanges, 2);
    EXPECT_EQ(dialog.showChanges, 2);
    EXPECT_FALSE(dialog.IsWindowVisible());
    // The handlers run again afterwards: nothing was left bypassed.
    dialog.SetWindowText("third");
    EXPECT_EQ(dialog.textChanges, 3);
    EXPECT_EQ(dialog.GetWindowText(), "third");
}

TEST(ModelessDialog, MissingTemplateFailsWithoutAWindow) {
    QuietPage page;
    EXPECT_FALSE(page.Create(4711));
    EXPECT_EQ(page.m_hWnd, nullptr);
}

TEST(ModelessDialog, EnterAndEscapeInAPageNeverEndIt) {
    CWinApp app; // its message filter gives the keys to the dialog manager
    CWnd host;
    ASSERT_TRUE(host.CreateEx(0, nullptr, "host", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 400, 300,
                              nullptr, nullptr));
    QuietPage page;
    ASSERT_TRUE(page.Create(IDD_TEST_PAGE, &host));
    page.ShowWindow(SW_SHOW);
    HWND edit = page.GetDlgItem(IDC_NAME);

    PressKey(edit, VK_RETURN);
    PressKey(edit, VK_ESCAPE);
    ClickButton(page.m_hWnd, IDOK);
    ClickButton(page.m_hWnd, IDCANCEL);

    EXPECT_EQ(page.okCount, 2);
    EXPECT_EQ(page.cancelCount, 2);
    EXPECT_TRUE(page.IsWindowVisible());
    EXPECT_EQ(::GetParent(page.m_hWnd), host.m_hWnd);
}

TEST(ModelessDialog, EscapeEndsAnOrdinaryModelessDialog) {
    CWinApp app;
    SettingsDialog dialog;
    ASSERT_TRUE(dialog.Create(IDD_TEST_DIALOG));
    dialog.ShowWindow(SW_SHOW);
    PressKey(dialog.GetDlgItem(IDC_NAME), VK_ESCAPE);
    EXPECT_FALSE(dialog.IsWindowVisible());
}

} // namespace
