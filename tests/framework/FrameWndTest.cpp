// The single-document frame: creation through the template, the form view
// and status bar layout, the message pane, command routing and the end of
// the message loop.
#include "DataExchange.h"
#include "Document.h"
#include "FormView.h"
#include "FrameWnd.h"
#include "SingleDocTemplate.h"
#include "StatusBar.h"
#include "TreeCtrl.h"
#include "WinApp.h"

#include "MessagePump.h"
#include "TestResourceIds.h"
#include "UiActions.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

std::vector<std::string>* journal = nullptr;

void Note(const std::string& what) {
    if (journal != nullptr)
        journal->push_back(what);
}

class TestDoc : public CDocument {
public:
    BOOL OnNewDocument() override {
        Note("new document");
        return TRUE;
    }
};

// Where and how large the next test frame asks to be created; the system's
// choice when null.
const RECT* frameStart = nullptr;

class TestFrame : public CFrameWnd {
public:
    CStatusBar m_StatusBar;

protected:
    static const MessageMap messageMap;
    const MessageMap* GetMessageMap() const override { return &messageMap; }

    BOOL PreCreateWindow(CREATESTRUCTA& cs) override {
        if (!CFrameWnd::PreCreateWindow(cs))
            return FALSE;
        cs.style &= ~static_cast<LONG>(WS_THICKFRAME);
        if (frameStart != nullptr) {
            cs.x = frameStart->left;
            cs.y = frameStart->top;
            cs.cx = frameStart->right - frameStart->left;
            cs.cy = frameStart->bottom - frameStart->top;
        }
        return TRUE;
    }

    int OnCreate(CREATESTRUCTA* cs) override {
        if (CFrameWnd::OnCreate(cs) == -1)
            return -1;
        if (!m_StatusBar.Create(this) || !m_StatusBar.SetPaneWidths({100, 80}))
            return -1;
        Note("frame created, view " +
             std::string(GetActiveView() != nullptr ? "present" : "absent"));
        return 0;
    }

    void OnDestroy() override {
        Note("frame destroyed");
        CFrameWnd::OnDestroy();
    }

private:
    void OnThing() { Note("frame thing"); }
};

constexpr MessageMap TestFrame::messageMap{
    &CFrameWnd::messageMap,
    {
        {WM_COMMAND, 0, ID_TEST_THING, On<&TestFrame::OnThing>},
    }};

class TestView : public CFormView {
public:
    TestView() : CFormView(IDD_TEST_FORM) {}
    ~TestView() override { Note("view object gone"); }

    CTreeCtrl m_Tree;
    std::string m_strName = "from the view";
    int initialUpdates = 0;

    void OnInitialUpdate() override {
        CFormView::OnInitialUpdate();
        ++initialUpdates;
        Note("initial update, frame visible: " +
             std::to_string(::IsWindowVisible(GetParentFrame()->m_hWnd) != FALSE));
        GetParentFrame()->RecalcLayout();
        ResizeParentToFit();
    }

    void DoDataExchange(CDataExchange* pDX) override {
        DDX_Control(pDX, IDC_TREE, m_Tree);
        DDX_Text(pDX, IDC_NAME, m_strName);
    }

protected:
    static const MessageMap messageMap;
    const MessageMap* GetMessageMap() const override { return &messageMap; }

    BOOL PreCreateWindow(CREATESTRUCTA& cs) override {
        CFormView::PreCreateWindow(cs);
        cs.style &= ~static_cast<LONG>(WS_BORDER);
        return TRUE;
    }

private:
    void OnViewOnly() { Note("view command"); }
};

constexpr MessageMap TestView::messageMap{
    &CFormView::messageMap,
    {
        {WM_COMMAND, 0, ID_TEST_VIEW_ONLY, On<&TestView::OnViewOnly>},
    }};

class TestApp : public CWinApp {
protected:
    static const MessageMap messageMap;
    const MessageMap* GetMessageMap() const override { return &messageMap; }

private:
    void OnAppOnly() { Note("app command"); }
};

constexpr MessageMap TestApp::messageMap{
    &CWinApp::messageMap,
    {
        {WM_COMMAND, 0, ID_TEST_APP_ONLY, On<&TestApp::OnAppOnly>},
    }};

class Frame : public ::testing::Test {
protected:
    void SetUp() override {
        journal = &notes;
        INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_TREEVIEW_CLASSES |
                                                            ICC_LISTVIEW_CLASSES | ICC_BAR_CLASSES};
        ::InitCommonControlsEx(&controls);
        app.m_nCmdShow = SW_SHOW;
        app.AddDocTemplate(CSingleDocTemplate::Make<TestDoc, TestFrame, TestView>(IDR_TEST_FRAME));
    }

    void TearDown() override {
        app.ExitInstance();
        journal = nullptr;
    }

    TestFrame* MainFrame() const { return dynamic_cast<TestFrame*>(app.m_pMainWnd); }
    TestView* View() const {
        return MainFrame() != nullptr ? dynamic_cast<TestView*>(MainFrame()->GetActiveView())
                                      : nullptr;
    }
    bool QuitPosted() const { return TakeQuitRequest(); }

    std::vector<std::string> notes;
    TestApp app;
};

TEST_F(Frame, NewDocumentBuildsFrameAndViewInOrder) {
    ASSERT_TRUE(app.OnFileNew());
    TestFrame* frame = MainFrame();
    ASSERT_NE(frame, nullptr);
    TestView* view = View();
    ASSERT_NE(view, nullptr);

    EXPECT_EQ(notes, (std::vector<std::string>{"new document", "frame created, view present",
                                               "initial update, frame visible: 0"}));
    EXPECT_TRUE(frame->IsWindowVisible());
    EXPECT_EQ(frame->GetWindowText(), "FwTest"); // no document name
    EXPECT_EQ(frame->GetStyle() & WS_THICKFRAME, 0u);
    EXPECT_NE(::GetMenu(frame->m_hWnd), nullptr);

    EXPECT_EQ(::GetParent(view->m_hWnd), frame->m_hWnd);
    EXPECT_EQ(view->GetDlgCtrlID(), static_cast<int>(AFX_IDW_PANE_FIRST));
    EXPECT_EQ(view->GetParentFrame(), frame);
    EXPECT_EQ(view->GetStyle() & WS_BORDER, 0u);
    EXPECT_NE(view->GetStyle() & WS_CHILD, 0u);
    EXPECT_EQ(ChildText(view->m_hWnd, IDC_NAME), "from the view");
    EXPECT_EQ(view->m_Tree.m_hWnd, view->GetDlgItem(IDC_TREE));
    EXPECT_NE(frame->GetActiveDocument(), nullptr);
}

// A frame shows the icon of its resource id in its caption and on the task
// bar; the framework's other windows have none.
TEST_F(Frame, TheFramesWindowClassCarriesTheIconOfItsResource) {
    ASSERT_TRUE(app.OnFileNew());
    EXPECT_NE(::GetClassLongPtrA(MainFrame()->m_hWnd, GCLP_HICON), 0);
    CWnd plain;
    ASSERT_TRUE(plain.CreateEx(0, nullptr, "plain", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr));
    EXPECT_EQ(::GetClassLongPtrA(plain.m_hWnd, GCLP_HICON), 0);
}

TEST_F(Frame, ViewFillsTheClientAreaAboveTheStatusBarAndFrameFitsTheForm) {
    ASSERT_TRUE(app.OnFileNew());
    TestFrame* frame = MainFrame();
    TestView* view = View();
    RECT client{}, viewRect{}, barRect{};
    frame->GetClientRect(&client);
    view->GetWindowRect(&viewRect);
    frame->m_StatusBar.GetWindowRect(&barRect);
    ::MapWindowPoints(nullptr, frame->m_hWnd, reinterpret_cast<POINT*>(&viewRect), 2);
    ::MapWindowPoints(nullptr, frame->m_hWnd, reinterpret_cast<POINT*>(&barRect), 2);

    EXPECT_EQ(viewRect.left, 0);
    EXPECT_EQ(viewRect.top, 0);
    EXPECT_EQ(viewRect.right, client.right);
    EXPECT_EQ(viewRect.bottom, barRect.top);
    EXPECT_EQ(barRect.bottom, client.bottom);

    // The frame was shrunk to the form: the view's size is the template's.
    RECT formRect{0, 0, 300, 150};
    ::MapDialogRect(view->m_hWnd, &formRect);
    EXPECT_EQ(viewRect.right - viewRect.left, formRect.right);
    EXPECT_EQ(viewRect.bottom - viewRect.top, formRect.bottom);
}

TEST_F(Frame, ReadyAppearsOnceTheLoopRunsAndMenuPromptsUseTheFirstLine) {
    ASSERT_TRUE(app.OnFileNew());
    TestFrame* frame = MainFrame();
    frame->SetMessageText("Devices");
    EXPECT_EQ(frame->m_StatusBar.GetPaneText(0), "Devices");
    PumpMessages();
    EXPECT_EQ(frame->m_StatusBar.GetPaneText(0), "Ready");

    HMENU menu = ::GetMenu(frame->m_hWnd);
    frame->SendMessage(WM_MENUSELECT, MAKEWPARAM(ID_TEST_THING, MF_STRING),
                       reinterpret_cast<LPARAM>(menu));
    EXPECT_EQ(frame->m_StatusBar.GetPaneText(0), "Do the thing.");
    frame->SendMessage(WM_MENUSELECT, MAKEWPARAM(0, MF_POPUP), reinterpret_cast<LPARAM>(menu));
    EXPECT_EQ(frame->m_StatusBar.GetPaneText(0), "");
    frame->SendMessage(WM_MENUSELECT, MAKEWPARAM(ID_TEST_VIEW_ONLY, MF_STRING),
                       reinterpret_cast<LPARAM>(menu));
    EXPECT_EQ(frame->m_StatusBar.GetPaneText(0), ""); // no prompt string
    frame->SendMessage(WM_MENUSELECT, MAKEWPARAM(0, 0xFFFF), 0);
    EXPECT_EQ(frame->m_StatusBar.GetPaneText(0), "Ready");
    EXPECT_EQ(frame->m_StatusBar.GetPaneText(1), "");
}

TEST_F(Frame, CommandsGoToFrameThenViewThenApplication) {
    ASSERT_TRUE(app.OnFileNew());
    TestFrame* frame = MainFrame();
    notes.clear();
    frame->SendMessage(WM_COMMAND, ID_TEST_THING);
    frame->SendMessage(WM_COMMAND, ID_TEST_VIEW_ONLY);
    frame->SendMessage(WM_COMMAND, ID_TEST_APP_ONLY);
    frame->SendMessage(WM_COMMAND, 40000); // nobody's
    EXPECT_EQ(notes, (std::vector<std::string>{"frame thing", "view command", "app command"}));
}

TEST_F(Frame, AcceleratorsOfTheFrameWorkThroughTheMessageFilter) {
    ASSERT_TRUE(app.OnFileNew());
    TestView* view = View();
    notes.clear();
    // Ctrl+T while a control of the form has the focus.
    HWND edit = view->GetDlgItem(IDC_NAME);
    ::SetFocus(edit);
    BYTE keys[256] = {};
    ::GetKeyboardState(keys);
    keys[VK_CONTROL] = 0x80;
    ::SetKeyboardState(keys);
    MSG msg{edit, WM_KEYDOWN, 'T', 1, 0, {0, 0}};
    EXPECT_TRUE(app.PreTranslateMessage(&msg));
    keys[VK_CONTROL] = 0;
    ::SetKeyboardState(keys);
    EXPECT_EQ(notes, (std::vector<std::string>{"frame thing"}));
}

TEST_F(Frame, NewDocumentAgainKeepsFrameAndRunsInitialUpdateAgain) {
    ASSERT_TRUE(app.OnFileNew());
    TestFrame* frame = MainFrame();
    TestView* view = View();
    frame->SendMessage(WM_COMMAND, ID_FILE_NEW);
    frame->SendMessage(WM_COMMAND, ID_FILE_OPEN);
    EXPECT_EQ(MainFrame(), frame);
    EXPECT_EQ(View(), view);
    EXPECT_EQ(view->initialUpdates, 3);
}

TEST_F(Frame, AppExitDestroysTheMainFrameAndEndsTheLoop) {
    ASSERT_TRUE(app.OnFileNew());
    HWND frameWindow = MainFrame()->m_hWnd;
    HWND viewWindow = View()->m_hWnd;
    ::PostMessageA(frameWindow, WM_COMMAND, ID_APP_EXIT, 0);
    EXPECT_EQ(app.Run(), 0);
    EXPECT_FALSE(::IsWindow(frameWindow));
    EXPECT_FALSE(::IsWindow(viewWindow));
    EXPECT_EQ(app.m_pMainWnd, nullptr);
    EXPECT_NE(std::find(notes.begin(), notes.end(), "frame destroyed"), notes.end());
    EXPECT_EQ(notes.back(), "view object gone"); // right after its window
}

TEST_F(Frame, CloseSentStraightToTheFrameDestroysIt) {
    ASSERT_TRUE(app.OnFileNew());
    HWND frameWindow = MainFrame()->m_hWnd;
    ::SendMessageA(frameWindow, WM_CLOSE, 0, 0);
    EXPECT_FALSE(::IsWindow(frameWindow));
    EXPECT_EQ(app.m_pMainWnd, nullptr);
    EXPECT_TRUE(QuitPosted());
}

// The form decides the frame's size only after the system has placed it, so
// the frame is kept on screen just before it is first shown.
TEST_F(Frame, FrameThatWouldOpenPartlyOffScreenIsMovedInsideTheWorkArea) {
    RECT workArea{};
    ASSERT_TRUE(::SystemParametersInfoA(SPI_GETWORKAREA, 0, &workArea, 0));
    const RECT start{workArea.right - 150, workArea.bottom - 100, workArea.right + 250,
                     workArea.bottom + 200};
    frameStart = &start;
    const BOOL opened = app.OnFileNew();
    frameStart = nullptr;
    ASSERT_TRUE(opened);
    RECT frame{};
    MainFrame()->GetWindowRect(&frame);
    EXPECT_EQ(workArea.right, frame.right);
    EXPECT_EQ(workArea.bottom, frame.bottom);
    EXPECT_TRUE(MainFrame()->IsWindowVisible());
}

// A frame the system made smaller than its form grows to it.
TEST_F(Frame, FrameThatStartsSmallerThanItsFormGrowsToIt) {
    const RECT start{20, 20, 120, 80};
    frameStart = &start;
    const BOOL opened = app.OnFileNew();
    frameStart = nullptr;
    ASSERT_TRUE(opened);
    RECT formRect{0, 0, 300, 150};
    ::MapDialogRect(View()->m_hWnd, &formRect);
    RECT client{};
    View()->GetClientRect(&client);
    EXPECT_EQ(formRect.right, client.right);
    EXPECT_EQ(formRect.bottom, client.bottom);
    EXPECT_EQ(0, View()->GetStyle() & (WS_HSCROLL | WS_VSCROLL));
}

// A frame held smaller than its form scrolls the form with its bars, brings
// the control that takes the focus into view, and scrolls back when it grows.
TEST_F(Frame, FormLargerThanTheViewScrollsAndBringsTheFocusIntoView) {
    ASSERT_TRUE(app.OnFileNew());
    TestFrame* frame = MainFrame();
    TestView* view = View();
    const SIZE form = view->FormSize();
    RECT window{};
    frame->GetWindowRect(&window);
    frame->SetWindowPos(nullptr, 0, 0, (window.right - window.left) - form.cx / 2,
                        (window.bottom - window.top) - form.cy / 2,
                        SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    PumpMessages(5);
    ASSERT_EQ(WS_HSCROLL | WS_VSCROLL, view->GetStyle() & (WS_HSCROLL | WS_VSCROLL));
    HWND edit = view->GetDlgItem(IDC_NAME);
    auto editAt = [&] {
        RECT rect{};
        ::GetWindowRect(edit, &rect);
        ::MapWindowPoints(nullptr, view->m_hWnd, reinterpret_cast<POINT*>(&rect), 2);
        return rect;
    };
    const RECT home = editAt();
    RECT client{};
    view->GetClientRect(&client);

    view->SendMessage(WM_HSCROLL, SB_BOTTOM);
    view->SendMessage(WM_VSCROLL, SB_LINEDOWN);
    const POINT scrolled = view->ScrollPosition();
    EXPECT_EQ(form.cx - client.right, scrolled.x);
    EXPECT_GT(scrolled.y, 0);
    EXPECT_EQ(home.left - scrolled.x, editAt().left);
    EXPECT_EQ(home.top - scrolled.y, editAt().top);

    view->SendMessage(WM_HSCROLL, SB_TOP);
    view->SendMessage(WM_VSCROLL, SB_TOP);
    EXPECT_EQ(home.left, editAt().left);
    ASSERT_GT(home.right, client.right) << "the edit box must start out of view";
    ::SetFocus(edit);
    const RECT focused = editAt();
    EXPECT_EQ(client.right, focused.right);
    EXPECT_EQ(home.top, focused.top);

    view->ResizeParentToFit();
    EXPECT_EQ(0, view->GetStyle() & (WS_HSCROLL | WS_VSCROLL));
    EXPECT_EQ(home.left, editAt().left);
}

TEST_F(Frame, HiddenStartLeavesTheFrameHidden) {
    app.m_nCmdShow = SW_HIDE;
    ASSERT_TRUE(app.OnFileNew());
    EXPECT_FALSE(MainFrame()->IsWindowVisible());
    EXPECT_NE(View(), nullptr);
}

class ViewWithoutTemplate : public CFormView {
public:
    ViewWithoutTemplate() : CFormView(4711) {}
};

TEST(FrameFailure, AViewThatCannotBeMadeFailsTheNewDocument) {
    std::vector<std::string> notes;
    journal = &notes;
    {
        CWinApp app;
        app.AddDocTemplate(
            CSingleDocTemplate::Make<TestDoc, TestFrame, ViewWithoutTemplate>(IDR_TEST_FRAME));
        EXPECT_FALSE(app.OnFileNew());
        EXPECT_EQ(app.m_pMainWnd, nullptr);
        app.ExitInstance();
    }
    journal = nullptr;
    // The frame never got past its own creation.
    EXPECT_EQ(std::count(notes.begin(), notes.end(), "frame created, view present"), 0);
    EXPECT_EQ(FindOwnWindow("FwTest"), nullptr);
}

TEST(FrameTitle, NoTemplateMeansNoNewDocument) {
    CWinApp app;
    EXPECT_FALSE(app.OnFileNew());
    EXPECT_EQ(app.m_pMainWnd, nullptr);
}

} // namespace
