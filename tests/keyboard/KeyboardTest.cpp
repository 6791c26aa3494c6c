// The whole program from the keyboard: every key goes through the message
// queue and the application's PreTranslateMessage, as typed.
#include "ShellFixture.h"

#include "ModalDriver.h"
#include "UiActions.h"

#include <commctrl.h>

#include <string>
#include <vector>

namespace {

class Keyboard : public ShellFixture {
protected:
    void OpenActive(int show = SW_SHOW) {
        OpenShell(show);
        ASSERT_EQ(frame->m_hWnd, ::GetActiveWindow());
    }

    // Runs messages until the frame is the active window again; under Wine
    // that can take longer than a posted message's round (2 s at most).
    void PumpUntilActive() const {
        const ULONGLONG until = ::GetTickCount64() + 2000;
        do
            PumpMessages(20);
        while (::GetActiveWindow() != frame->m_hWnd && ::GetTickCount64() < until);
    }

    HWND Tree() const { return view->m_Tree.m_hWnd; }
    HWND Control(const CDlgPgBase& page, int id) const { return page.GetDlgItem(id); }

    // The control ids (the tree as 0) that Tab visits from the tree until it
    // is back there; at most 20 presses.
    std::vector<int> TabTrip(unsigned modifiers = kNoModifier) {
        std::vector<int> visited;
        ::SetFocus(Tree());
        for (int press = 0; press < 20; ++press) {
            TypeKey(VK_TAB, modifiers);
            HWND focus = ::GetFocus();
            if (focus == Tree())
                break;
            visited.push_back(focus ? ::GetDlgCtrlID(focus) : -1);
        }
        return visited;
    }

    // Everything a key could change on the pages that are hidden now.
    std::vector<std::string> HiddenPagesState() const {
        std::vector<std::string> state;
        for (CDlgPgBase* page : Pages()) {
            if (Visible(*page))
                continue;
            for (HWND child = ::GetWindow(page->m_hWnd, GW_CHILD); child;
                 child = ::GetWindow(child, GW_HWNDNEXT))
                state.push_back(ControlState(child));
        }
        return state;
    }

    static std::string ControlState(HWND control) {
        std::string state = std::to_string(::GetDlgCtrlID(control)) +
                            (::IsWindowEnabled(control) ? " on" : " off") +
                            (::GetFocus() == control ? " focus" : "");
        char name[32] = {};
        ::GetClassNameA(control, name, sizeof name);
        const std::string kind = name;
        if (kind == WC_LISTVIEWA) {
            const auto rows = ::SendMessageA(control, LVM_GETITEMCOUNT, 0, 0);
            for (WPARAM row = 0; row < static_cast<WPARAM>(rows); ++row)
                state += " " + std::to_string(::SendMessageA(control, LVM_GETITEMSTATE, row,
                                                             LVIS_SELECTED | LVIS_STATEIMAGEMASK));
        } else if (kind == "Button") {
            state += " check " + std::to_string(::SendMessageA(control, BM_GETCHECK, 0, 0));
        } else if (kind == "ComboBox") {
            state += " item " + std::to_string(::SendMessageA(control, CB_GETCURSEL, 0, 0));
        } else if (kind == TRACKBAR_CLASSA) {
            state += " pos " + std::to_string(::SendMessageA(control, TBM_GETPOS, 0, 0));
        }
        return state;
    }
};

TEST_F(Keyboard, FocusStartsOnTheTree) {
    OpenActive();
    EXPECT_EQ(Tree(), ::GetFocus());
}

TEST_F(Keyboard, FocusIsOnTheTreeWhenAWindowStartedHiddenIsOpened) {
    OpenShell(SW_HIDE);
    frame->SendMessage(WM_COMMAND, ID_TRAY_OPEN);
    PumpMessages(20);
    ASSERT_EQ(frame->m_hWnd, ::GetActiveWindow());
    EXPECT_EQ(Tree(), ::GetFocus());
}

// The keys a user presses first, right after start-up, wherever the focus is.
TEST_F(Keyboard, ArrowsAndSpaceRightAfterStartUpChangeNoHiddenPage) {
    OpenActive();
    const std::vector<std::string> before = HiddenPagesState();
    TypeKey(VK_SPACE);
    TypeKey(VK_DOWN);
    TypeKey(VK_SPACE);
    // The tree took the Down: the next page is shown, the others are as they were.
    EXPECT_TRUE(Visible(view->m_PgInChannels));
    EXPECT_FALSE(::IsWindowEnabled(view->m_PgSamplingRate.GetDlgItem(IDC_APPLY_SYNCH)));
    view->m_Tree.SelectItem(view->m_hItemDevices);
    EXPECT_EQ(before, HiddenPagesState());
}

TEST_F(Keyboard, ArrowsAndSpaceOnAnyControlOfAPageChangeNoHiddenPage) {
    OpenActive();
    for (size_t i = 0; i < Pages().size(); ++i) {
        view->m_Tree.SelectItem(Items()[i]);
        SCOPED_TRACE(view->m_Tree.GetItemText(Items()[i]));
        const std::vector<std::string> before = HiddenPagesState();
        ::SetFocus(Tree());
        // Buttons are left out: a click on one may rightly reach other pages.
        for (int control = 0; control < 8; ++control) {
            TypeKey(VK_TAB);
            HWND focus = ::GetFocus();
            if (focus == Tree())
                break;
            if (::SendMessageA(focus, WM_GETDLGCODE, 0, 0) & DLGC_BUTTON)
                continue;
            for (UINT key : {VK_DOWN, VK_SPACE, VK_UP, VK_END, VK_HOME, VK_SPACE})
                TypeKey(key);
            EXPECT_TRUE(Visible(*Pages()[i]));
        }
        EXPECT_EQ(before, HiddenPagesState());
    }
}

TEST_F(Keyboard, TabGoesFromTheTreeRoundEachPageAndBack) {
    OpenActive();
    SelectListRow(Control(view->m_PgDevices, IDC_DEVICE_LIST), 0);
    SelectListRow(Control(view->m_PgInChannels, IDC_CHANNEL_LIST), 0);
    SelectListRow(Control(view->m_PgOutChannels, IDC_CHANNEL_LIST), 0);
    struct Trip {
        CDlgPgBase* page;
        std::vector<int> ids;
    };
    const std::vector<int> channels = {IDC_CHANNEL_LIST, IDC_EDIT_CHANNEL_NAME,
                                       IDC_INCLUDE_DEVICE_NAME, IDC_HARDWARE_NAME};
    // Disabled controls are skipped: Up on the top row, every Apply.
    const Trip trips[] = {
        {&view->m_PgDevices, {IDC_DEVICE_LIST, IDC_DEVICE_DOWN, IDC_EDIT_DEVICE_NAME}},
        {&view->m_PgInChannels, channels},
        {&view->m_PgOutChannels, channels},
        {&view->m_PgSamplingRate, {IDC_SYNCH_LIST, IDC_RATE_MANUAL, IDC_SAMPLING_RATE_COMBO}},
        {&view->m_PgBuffers,
         {IDC_STREAM_BUFFER_SLIDER, IDC_ASIO_BUFFER_SLIDER, IDC_WDM_BUFFER_SLIDER}},
        {&view->m_PgStreams, {IDC_STREAM_LIST}},
        // Open Settings shows only with its hint, after recent drop-outs.
        {&view->m_PgDropOuts,
         {IDC_DROPOUTS_RESET, IDC_DROPOUT_GRAPH, IDC_DROPOUT_EVENTS, IDC_DROPOUT_WARNING}},
    };
    for (size_t i = 0; i < Pages().size(); ++i) {
        ASSERT_EQ(trips[i].page, Pages()[i]);
        view->m_Tree.SelectItem(Items()[i]);
        SCOPED_TRACE(view->m_Tree.GetItemText(Items()[i]));
        EXPECT_EQ(trips[i].ids, TabTrip());
        const std::vector<int> backwards(trips[i].ids.rbegin(), trips[i].ids.rend());
        EXPECT_EQ(backwards, TabTrip(kShift));
    }
}

// A page that ran the dialog manager itself would take keys before the view;
// every key goes to the view's, which runs over the tree and the visible page.
TEST_F(Keyboard, PagesLeaveEveryKeyToTheView) {
    OpenActive();
    for (size_t i = 0; i < Pages().size(); ++i) {
        view->m_Tree.SelectItem(Items()[i]);
        SCOPED_TRACE(view->m_Tree.GetItemText(Items()[i]));
        ::SetFocus(Tree());
        TypeKey(VK_TAB);
        HWND focus = ::GetFocus();
        ASSERT_TRUE(::IsChild(Pages()[i]->m_hWnd, focus));
        for (UINT key : {VK_TAB, VK_DOWN, VK_UP, VK_RETURN, VK_ESCAPE}) {
            MSG msg{focus, WM_KEYDOWN, key, 0, 0, {}};
            EXPECT_FALSE(Pages()[i]->PreTranslateMessage(&msg)) << key;
        }
        EXPECT_EQ(focus, ::GetFocus());
    }
}

TEST_F(Keyboard, ControlTabAndControlPageKeysCyclePagesFromAnywhere) {
    OpenActive();
    for (size_t i = 1; i <= Pages().size(); ++i) {
        TypeKey(VK_TAB, kControl);
        EXPECT_EQ(Items()[i % Pages().size()], view->m_Tree.GetSelectedItem());
        EXPECT_TRUE(Visible(*Pages()[i % Pages().size()]));
        EXPECT_EQ(1, VisiblePageCount());
    }
    TypeKey(VK_TAB, kControl | kShift);
    EXPECT_EQ(view->m_hItemDropOuts, view->m_Tree.GetSelectedItem());
    TypeKey(VK_NEXT, kControl);
    EXPECT_EQ(view->m_hItemDevices, view->m_Tree.GetSelectedItem());
    // From inside a page: the page goes, the focus stays with the tree.
    ::SetFocus(Control(view->m_PgDevices, IDC_DEVICE_LIST));
    TypeKey(VK_NEXT, kControl);
    EXPECT_EQ(view->m_hItemInChannels, view->m_Tree.GetSelectedItem());
    EXPECT_EQ(Tree(), ::GetFocus());
    TypeKey(VK_PRIOR, kControl);
    EXPECT_EQ(view->m_hItemDevices, view->m_Tree.GetSelectedItem());
    // From the last page one back; the tree's own Page Up would go to the top.
    view->m_Tree.SelectItem(view->m_hItemStreams);
    TypeKey(VK_PRIOR, kControl);
    EXPECT_EQ(view->m_hItemSettings, view->m_Tree.GetSelectedItem());
}

TEST_F(Keyboard, F6MovesBetweenTheTreeAndThePage) {
    OpenActive();
    ::SetFocus(Tree());
    TypeKey(VK_F6);
    EXPECT_EQ(Control(view->m_PgDevices, IDC_DEVICE_LIST), ::GetFocus());
    TypeKey(VK_F6);
    EXPECT_EQ(Tree(), ::GetFocus());
    TypeKey(VK_F6, kShift);
    EXPECT_EQ(Control(view->m_PgDevices, IDC_DEVICE_LIST), ::GetFocus());
    TypeKey(VK_F6, kShift);
    EXPECT_EQ(Tree(), ::GetFocus());
}

TEST_F(Keyboard, F2OnASelectedRowOpensTheNameDialogAndEnterDoesNothing) {
    OpenActive();
    struct Case {
        HTREEITEM item;
        CDlgPgBase* page;
        int list;
        const char* caption;
    };
    const Case cases[] = {
        {view->m_hItemDevices, &view->m_PgDevices, IDC_DEVICE_LIST, "Edit Device Name"},
        {view->m_hItemInChannels, &view->m_PgInChannels, IDC_CHANNEL_LIST, "Edit Channel Name"},
        {view->m_hItemOutChannels, &view->m_PgOutChannels, IDC_CHANNEL_LIST, "Edit Channel Name"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.caption);
        view->m_Tree.SelectItem(c.item);
        HWND list = Control(*c.page, c.list);
        SelectListRow(list, 1);
        ::SetFocus(list);
        ModalDriver driver;
        driver.Then([](HWND dialog) { ClickButton(dialog, IDCANCEL); });
        TypeKey(VK_RETURN);
        TypeKey(VK_ESCAPE);
        EXPECT_EQ(0, driver.Handled());
        TypeKey(VK_F2);
        ASSERT_EQ(1, driver.Handled());
        EXPECT_EQ(c.caption, driver.Captions().front());
        EXPECT_TRUE(Visible(*c.page));
    }
}

// Typed key by key, a name stops at the 39 bytes the driver keeps: what is
// shown is what is stored.
TEST_F(Keyboard, TypingANameStopsWhereTheFieldEnds) {
    OpenActive();
    view->m_Tree.SelectItem(view->m_hItemDevices);
    HWND list = Control(view->m_PgDevices, IDC_DEVICE_LIST);
    SelectListRow(list, 0);
    ::SetFocus(list);
    std::string shown;
    ModalDriver driver;
    driver.Then([&shown](HWND dialog) {
        for (int i = 0; i < 45; ++i)
            TypeKey('X');
        shown = ChildText(dialog, IDC_DEVICE_NAME_EDIT);
        TypeKey(VK_RETURN);
    });
    TypeKey(VK_F2);
    ASSERT_EQ(1, driver.Handled());
    EXPECT_EQ(std::string(39, 'x'), shown);
    EXPECT_EQ(std::string(39, 'x'), FieldText(gDrv.m_Devices.GetAt(0)->DeviceName));
}

TEST_F(Keyboard, EditKeysCopyFromTheHardwareNameField) {
    OpenActive();
    view->m_Tree.SelectItem(view->m_hItemInChannels);
    SelectListRow(Control(view->m_PgInChannels, IDC_CHANNEL_LIST), 0);
    HWND field = Control(view->m_PgInChannels, IDC_HARDWARE_NAME);
    const std::string shown = ChildText(view->m_PgInChannels.m_hWnd, IDC_HARDWARE_NAME);
    ASSERT_FALSE(shown.empty());
    for (UINT key : {static_cast<UINT>('C'), static_cast<UINT>(VK_INSERT)}) {
        SCOPED_TRACE(key);
        ASSERT_TRUE(::OpenClipboard(nullptr));
        ::EmptyClipboard();
        ::CloseClipboard();
        ::SetFocus(field);
        ::SendMessageA(field, EM_SETSEL, 0, -1);
        TypeKey(key, kControl);
        ASSERT_TRUE(::OpenClipboard(nullptr));
        HANDLE data = ::GetClipboardData(CF_TEXT);
        const char* text = data ? static_cast<const char*>(::GlobalLock(data)) : nullptr;
        EXPECT_EQ(shown, text ? std::string(text) : std::string());
        if (data)
            ::GlobalUnlock(data);
        ::CloseClipboard();
    }
}

TEST_F(Keyboard, UpPressedOnTheSecondRowHandsTheFocusOnToDown) {
    OpenActive();
    HWND page = view->m_PgDevices.m_hWnd;
    SelectListRow(Control(view->m_PgDevices, IDC_DEVICE_LIST), 1);
    ::SetFocus(Control(view->m_PgDevices, IDC_DEVICE_UP));
    TypeKey(VK_SPACE);
    EXPECT_FALSE(::IsWindowEnabled(::GetDlgItem(page, IDC_DEVICE_UP)));
    EXPECT_EQ(::GetDlgItem(page, IDC_DEVICE_DOWN), ::GetFocus());
    // Down at the bottom of two rows: Up again.
    TypeKey(VK_SPACE);
    EXPECT_EQ(::GetDlgItem(page, IDC_DEVICE_UP), ::GetFocus());
    // Apply goes back to the list whose rows were moved.
    ::SetFocus(::GetDlgItem(page, IDC_APPLY_RANKING));
    TypeKey(VK_SPACE);
    EXPECT_FALSE(::IsWindowEnabled(::GetDlgItem(page, IDC_APPLY_RANKING)));
    EXPECT_EQ(::GetDlgItem(page, IDC_DEVICE_LIST), ::GetFocus());
    TypeKey(VK_TAB);
    EXPECT_NE(::GetDlgItem(page, IDC_DEVICE_LIST), ::GetFocus());
}

// A reload empties each list before it fills it again; the buttons that
// follow the selection must not hand the focus on meanwhile.
TEST_F(Keyboard, AReloadLeavesTheFocusOnTheButtonThatHadIt) {
    OpenActive();
    const struct {
        HTREEITEM item;
        const CDlgPgBase& page;
        int list;
        int button;
    } cases[] = {
        {view->m_hItemDevices, view->m_PgDevices, IDC_DEVICE_LIST, IDC_EDIT_DEVICE_NAME},
        {view->m_hItemDevices, view->m_PgDevices, IDC_DEVICE_LIST, IDC_DEVICE_UP},
        {view->m_hItemInChannels, view->m_PgInChannels, IDC_CHANNEL_LIST, IDC_EDIT_CHANNEL_NAME},
    };
    for (const auto& shown : cases) {
        view->m_Tree.SelectItem(shown.item);
        SelectListRow(Control(shown.page, shown.list), 1);
        ::SetFocus(Control(shown.page, shown.button));
        view->UpdateAllPages();
        PumpMessages(20);
        EXPECT_EQ(Control(shown.page, shown.button), ::GetFocus()) << shown.button;
    }
}

TEST_F(Keyboard, ApplyOnTheSynchronisationPageHandsTheFocusToWhatWasChanged) {
    OpenActive();
    view->m_Tree.SelectItem(view->m_hItemSynchronisation);
    const CDlgPgBase& page = view->m_PgSamplingRate;
    ::SetFocus(Control(page, IDC_RATE_MANUAL));
    TypeKey(VK_DOWN);
    ASSERT_EQ(Control(page, IDC_RATE_AUTOMATIC), ::GetFocus());
    ASSERT_TRUE(::IsWindowEnabled(Control(page, IDC_APPLY_SYNCH)));
    ::SetFocus(Control(page, IDC_APPLY_SYNCH));
    TypeKey(VK_SPACE);
    EXPECT_FALSE(::IsWindowEnabled(Control(page, IDC_APPLY_SYNCH)));
    EXPECT_EQ(Control(page, IDC_RATE_AUTOMATIC), ::GetFocus());
}

TEST_F(Keyboard, ReactivatedFrameGivesTheFocusBackToTheControlThatHadIt) {
    OpenActive();
    view->m_Tree.SelectItem(view->m_hItemInChannels);
    HWND box = Control(view->m_PgInChannels, IDC_INCLUDE_DEVICE_NAME);
    ::SetFocus(box);
    // Hidden from the File menu, opened from the tray.
    frame->SendMessage(WM_COMMAND, ID_HIDE);
    PumpMessages(20);
    frame->SendMessage(WM_COMMAND, ID_TRAY_OPEN);
    PumpUntilActive();
    ASSERT_EQ(frame->m_hWnd, ::GetActiveWindow());
    EXPECT_EQ(box, ::GetFocus());
    // Another window in front and back again, as Alt+Tab does.
    HWND other = ::CreateWindowExA(0, "Static", "other", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0,
                                   200, 100, nullptr, nullptr, nullptr, nullptr);
    ::SetActiveWindow(other);
    PumpMessages(20);
    ASSERT_NE(box, ::GetFocus());
    ::SetActiveWindow(frame->m_hWnd);
    PumpUntilActive();
    EXPECT_EQ(box, ::GetFocus());
    ::DestroyWindow(other);
    // A control that cannot take it any more leaves it to the tree.
    frame->SendMessage(WM_COMMAND, ID_HIDE);
    ::EnableWindow(box, FALSE);
    PumpMessages(20);
    frame->SendMessage(WM_COMMAND, ID_TRAY_OPEN);
    PumpUntilActive();
    EXPECT_EQ(frame->m_hWnd, ::GetActiveWindow());
    EXPECT_EQ(Tree(), ::GetFocus());
}

TEST_F(Keyboard, MnemonicsReachOnlyTheVisiblePage) {
    OpenActive();
    view->m_Tree.SelectItem(view->m_hItemSettings);
    ::SetFocus(Tree());
    // Alt+M is the synchronisation page's Change Synchronisation Mode.
    TypeKey('M', kAlt);
    EXPECT_EQ(Tree(), ::GetFocus());
    // Alt+W is the label of the visible page's WDM slider.
    TypeKey('W', kAlt);
    EXPECT_EQ(Control(view->m_PgBuffers, IDC_WDM_BUFFER_SLIDER), ::GetFocus());
}

} // namespace
