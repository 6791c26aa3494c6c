// Windows bound to objects and message-map dispatch.
#include "Trace.h"
#include "Wnd.h"

#include <gtest/gtest.h>

#include <commctrl.h>

#include <stdexcept>
#include <string>
#include <vector>

namespace {

constexpr UINT WM_TEST_BASE_ONLY = WM_APP + 10;
constexpr UINT WM_TEST_OVERRIDDEN = WM_APP + 11;
constexpr UINT WM_TEST_THROW = WM_APP + 12;       // 0x800C
constexpr UINT WM_TEST_THROW_OTHER = WM_APP + 13; // 0x800D
constexpr UINT kButtonId = 7;
constexpr UINT kOtherId = 8;

class BaseWindow : public CWnd {
public:
    std::vector<std::string> calls;
    bool ncDestroyed = false;

protected:
    static const MessageMap messageMap;
    const MessageMap* GetMessageMap() const override { return &messageMap; }
    void PostNcDestroy() override { ncDestroyed = true; }

private:
    LRESULT OnBaseOnly(WPARAM wParam, LPARAM) {
        calls.push_back("base-only");
        return static_cast<LRESULT>(wParam) + 1;
    }
    LRESULT OnOverriddenInBase(WPARAM, LPARAM) {
        calls.push_back("base-overridden");
        return 0;
    }
    void OnBaseCommand() { calls.push_back("base-command"); }
};

constexpr MessageMap BaseWindow::messageMap{
    &CWnd::messageMap,
    {
        {WM_TEST_BASE_ONLY, 0, 0, On<&BaseWindow::OnBaseOnly>},
        {WM_TEST_OVERRIDDEN, 0, 0, On<&BaseWindow::OnOverriddenInBase>},
        {WM_COMMAND, 0, kOtherId, On<&BaseWindow::OnBaseCommand>},
    }};

class DerivedWindow : public BaseWindow {
public:
    bool failCreate = false;
    UINT_PTR timerId = 0;
    BOOL shown = -1;
    UINT scrollCode = 0, scrollPos = 0;
    HWND scrollBar = nullptr;
    UINT sysCommand = 0;
    UINT deviceEvent = 0;
    NMHDR* notifyHeader = nullptr;

protected:
    static const MessageMap messageMap;
    const MessageMap* GetMessageMap() const override { return &messageMap; }

private:
    int OnCreate(CREATESTRUCTA* cs) {
        calls.push_back(std::string("create:") + cs->lpszName);
        return failCreate ? -1 : 0;
    }
    LRESULT OnOverridden(WPARAM, LPARAM) {
        calls.push_back("derived-overridden");
        return 42;
    }
    void OnClicked() { calls.push_back("clicked"); }
    void OnSelChange() { calls.push_back("selchange"); }
    void OnItemChanged(NMHDR* header, LRESULT* result) {
        notifyHeader = header;
        calls.push_back("itemchanged");
        *result = 5;
    }
    void OnTimer(UINT_PTR id) { timerId = id; }
    void OnShowWindow(BOOL show, UINT) { shown = show; }
    void OnHScroll(UINT code, UINT pos, HWND bar) {
        scrollCode = code;
        scrollPos = pos;
        scrollBar = bar;
    }
    void OnSysCommand(UINT id, LPARAM) { sysCommand = id; }
    BOOL OnDeviceChange(UINT event, DWORD_PTR) {
        deviceEvent = event;
        return BROADCAST_QUERY_DENY;
    }
    LRESULT OnSetText(WPARAM, LPARAM) {
        calls.push_back("settext");
        return Default();
    }
    LRESULT OnThrow(WPARAM, LPARAM) { throw std::runtime_error("must not leave the procedure"); }
    void OnThrowOther() { throw 13; }
    void OnDestroy() { calls.push_back("destroy"); }
};

constexpr MessageMap DerivedWindow::messageMap{
    &BaseWindow::messageMap,
    {
        {WM_CREATE, 0, 0, On<&DerivedWindow::OnCreate>},
        {WM_TEST_OVERRIDDEN, 0, 0, On<&DerivedWindow::OnOverridden>},
        {WM_COMMAND, BN_CLICKED, kButtonId, On<&DerivedWindow::OnClicked>},
        {WM_COMMAND, CBN_SELCHANGE, kButtonId, On<&DerivedWindow::OnSelChange>},
        {WM_NOTIFY, LVN_ITEMCHANGED, kButtonId, On<&DerivedWindow::OnItemChanged>},
        {WM_TIMER, 0, 0, On<&DerivedWindow::OnTimer>},
        {WM_SHOWWINDOW, 0, 0, On<&DerivedWindow::OnShowWindow>},
        {WM_HSCROLL, 0, 0, On<&DerivedWindow::OnHScroll>},
        {WM_SYSCOMMAND, 0, 0, On<&DerivedWindow::OnSysCommand>},
        {WM_DEVICECHANGE, 0, 0, On<&DerivedWindow::OnDeviceChange>},
        {WM_SETTEXT, 0, 0, On<&DerivedWindow::OnSetText>},
        {WM_TEST_THROW, 0, 0, On<&DerivedWindow::OnThrow>},
        {WM_TEST_THROW_OTHER, 0, 0, On<&DerivedWindow::OnThrowOther>},
        {WM_DESTROY, 0, 0, On<&DerivedWindow::OnDestroy>},
    }};

bool Create(CWnd& window, const std::string& title = "test") {
    return window.CreateEx(0, nullptr, title, WS_OVERLAPPEDWINDOW, 0, 0, 200, 100, nullptr,
                           nullptr) != FALSE;
}

TEST(WndBinding, ObjectIsBoundFromCreationUntilNcDestroy) {
    DerivedWindow window;
    ASSERT_TRUE(Create(window, "bound"));
    HWND hWnd = window.m_hWnd;
    ASSERT_NE(hWnd, nullptr);
    EXPECT_EQ(CWnd::FromHandle(hWnd), &window);
    // WM_CREATE already reached the object: it was bound at WM_NCCREATE.
    ASSERT_FALSE(window.calls.empty());
    EXPECT_EQ(window.calls.front(), "create:bound");

    EXPECT_TRUE(window.DestroyWindow());
    EXPECT_EQ(window.m_hWnd, nullptr);
    EXPECT_TRUE(window.ncDestroyed);
    EXPECT_FALSE(::IsWindow(hWnd));
    EXPECT_EQ(CWnd::FromHandle(hWnd), nullptr);
    EXPECT_EQ(window.calls.back(), "destroy");
}

TEST(WndBinding, FailedCreationLeavesObjectUnbound) {
    DerivedWindow window;
    window.failCreate = true;
    EXPECT_FALSE(Create(window));
    EXPECT_EQ(window.m_hWnd, nullptr);
    EXPECT_TRUE(window.ncDestroyed);
}

TEST(WndBinding, DestroyingTheObjectDestroysItsWindowWithoutCallingBack) {
    HWND hWnd = nullptr;
    {
        DerivedWindow window;
        ASSERT_TRUE(Create(window));
        hWnd = window.m_hWnd;
    }
    EXPECT_FALSE(::IsWindow(hWnd));
}

TEST(WndBinding, ForeignWindowsAreNotTakenForObjects) {
    DerivedWindow window;
    ASSERT_TRUE(Create(window));
    HWND label = ::CreateWindowExA(0, "STATIC", "x", WS_CHILD, 0, 0, 10, 10, window.m_hWnd, nullptr,
                                   nullptr, nullptr);
    ASSERT_NE(label, nullptr);
    // A control's user data may hold anything; it is not an object of ours.
    ::SetWindowLongPtrA(label, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&window));
    EXPECT_EQ(CWnd::FromHandle(label), nullptr);
    EXPECT_EQ(CWnd::FromHandle(nullptr), nullptr);
    // A window of the framework's class made without an object stays unbound.
    HWND loose = ::CreateWindowExA(0, CWnd::FrameworkClassName().c_str(), "", 0, 0, 0, 10, 10,
                                   nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(loose, nullptr);
    EXPECT_EQ(CWnd::FromHandle(loose), nullptr);
    ::DestroyWindow(loose);
}

TEST(MessageMap, DerivedEntriesWinAndBaseEntriesStillServe) {
    DerivedWindow window;
    ASSERT_TRUE(Create(window));
    EXPECT_EQ(window.SendMessage(WM_TEST_OVERRIDDEN), 42);
    EXPECT_EQ(window.SendMessage(WM_TEST_BASE_ONLY, 6), 7);
    EXPECT_EQ(window.calls,
              (std::vector<std::string>{"create:test", "derived-overridden", "base-only"}));
}

TEST(MessageMap, CommandsMatchIdAndNotificationCode) {
    DerivedWindow window;
    ASSERT_TRUE(Create(window));
    HWND control = ::CreateWindowExA(0, "BUTTON", "b", WS_CHILD, 0, 0, 10, 10, window.m_hWnd,
                                     reinterpret_cast<HMENU>(static_cast<UINT_PTR>(kButtonId)),
                                     nullptr, nullptr);
    const LPARAM fromControl = reinterpret_cast<LPARAM>(control);
    window.calls.clear();

    window.SendMessage(WM_COMMAND, MAKEWPARAM(kButtonId, BN_CLICKED), fromControl);
    window.SendMessage(WM_COMMAND, MAKEWPARAM(kButtonId, CBN_SELCHANGE), fromControl);
    // A notification code nobody handles, and an id nobody handles.
    window.SendMessage(WM_COMMAND, MAKEWPARAM(kButtonId, EN_CHANGE), fromControl);
    window.SendMessage(WM_COMMAND, MAKEWPARAM(kButtonId + 100, BN_CLICKED), fromControl);
    // From an accelerator (code 1, no control): a plain command, not CBN_SELCHANGE.
    window.SendMessage(WM_COMMAND, MAKEWPARAM(kButtonId, 1), 0);
    // The base class's command entry.
    window.SendMessage(WM_COMMAND, MAKEWPARAM(kOtherId, 0), 0);

    EXPECT_EQ(window.calls,
              (std::vector<std::string>{"clicked", "selchange", "clicked", "base-command"}));
}

TEST(MessageMap, NotificationsMatchCodeAndSenderAndReturnTheResult) {
    DerivedWindow window;
    ASSERT_TRUE(Create(window));
    NMHDR header{nullptr, kButtonId, static_cast<UINT>(LVN_ITEMCHANGED)};
    EXPECT_EQ(window.SendMessage(WM_NOTIFY, kButtonId, reinterpret_cast<LPARAM>(&header)), 5);
    EXPECT_EQ(window.notifyHeader, &header);

    window.notifyHeader = nullptr;
    NMHDR otherSender{nullptr, kButtonId + 1, static_cast<UINT>(LVN_ITEMCHANGED)};
    window.SendMessage(WM_NOTIFY, kButtonId + 1, reinterpret_cast<LPARAM>(&otherSender));
    NMHDR otherCode{nullptr, kButtonId, static_cast<UINT>(NM_DBLCLK)};
    window.SendMessage(WM_NOTIFY, kButtonId, reinterpret_cast<LPARAM>(&otherCode));
    EXPECT_EQ(window.notifyHeader, nullptr);
}

TEST(MessageMap, TypedHandlersGetUnpackedParameters) {
    DerivedWindow window;
    ASSERT_TRUE(Create(window));
    HWND bar = reinterpret_cast<HWND>(static_cast<UINT_PTR>(0x1234));

    window.SendMessage(WM_TIMER, 77);
    window.SendMessage(WM_SHOWWINDOW, TRUE, 0);
    window.SendMessage(WM_HSCROLL, MAKEWPARAM(TB_THUMBTRACK, 300), reinterpret_cast<LPARAM>(bar));
    window.SendMessage(WM_SYSCOMMAND, SC_CLOSE | 2, 0);
    const LRESULT deviceResult = window.SendMessage(WM_DEVICECHANGE, 0x8000, 0);

    EXPECT_EQ(window.timerId, 77u);
    EXPECT_EQ(window.shown, TRUE);
    EXPECT_EQ(window.scrollCode, static_cast<UINT>(TB_THUMBTRACK));
    EXPECT_EQ(window.scrollPos, 300u);
    EXPECT_EQ(window.scrollBar, bar);
    EXPECT_EQ(window.sysCommand, static_cast<UINT>(SC_CLOSE | 2));
    EXPECT_EQ(window.deviceEvent, 0x8000u);
    EXPECT_EQ(deviceResult, BROADCAST_QUERY_DENY);
    // The system command was handled: the window was not closed.
    EXPECT_TRUE(::IsWindow(window.m_hWnd));
}

TEST(MessageMap, DefaultRunsTheSystemsProcessing) {
    DerivedWindow window;
    ASSERT_TRUE(Create(window));
    window.SetWindowText("changed through Default");
    EXPECT_EQ(window.GetWindowText(), "changed through Default");
    EXPECT_EQ(window.calls.back(), "settext");
}

TEST(MessageMap, AnExceptionInAHandlerStopsAtTheProcedure) {
    DerivedWindow window;
    ASSERT_TRUE(Create(window));
    EXPECT_EQ(window.SendMessage(WM_TEST_THROW), 0);
    EXPECT_TRUE(::IsWindow(window.m_hWnd));
    EXPECT_EQ(window.SendMessage(WM_TEST_BASE_ONLY, 1), 2);
}

std::vector<std::string> traced;

void CaptureTrace(const char* line) {
    traced.push_back(line);
}

// What the procedure swallowed would otherwise leave no sign at all.
TEST(MessageMap, AnExceptionStoppedAtTheProcedureIsTracedWithItsMessage) {
    DerivedWindow window;
    ASSERT_TRUE(Create(window));
    traced.clear();
    SetTraceHook(CaptureTrace);
    window.SendMessage(WM_TEST_THROW);
    window.SendMessage(WM_TEST_THROW_OTHER);
    SetTraceHook(nullptr);
    ASSERT_EQ(traced.size(), 2u);
    EXPECT_NE(traced[0].find("0x800C"), std::string::npos) << traced[0];
    EXPECT_NE(traced[0].find("must not leave the procedure"), std::string::npos) << traced[0];
    EXPECT_NE(traced[1].find("0x800D"), std::string::npos) << traced[1];
}

} // namespace
