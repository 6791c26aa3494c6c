#include "ShellFixture.h"

#include "CDriverSettings.h"
#include "CIXO_CPLDoc.h"
#include "DriverCodes.h"
#include "ResString.h"

#include <commctrl.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

namespace {

class NavigationView : public ShellFixture {
protected:
    // The rectangle around a page's controls, in the view's client area.
    RECT ControlsExtent(HWND page) const {
        RECT extent{};
        for (HWND child = ::GetWindow(page, GW_CHILD); child;
             child = ::GetWindow(child, GW_HWNDNEXT)) {
            RECT rect{};
            ::GetWindowRect(child, &rect);
            ::MapWindowPoints(nullptr, view->m_hWnd, reinterpret_cast<POINT*>(&rect), 2);
            extent.right = std::max(extent.right, rect.right);
            extent.bottom = std::max(extent.bottom, rect.bottom);
        }
        return extent;
    }

    void Select(HTREEITEM item) { view->m_Tree.SelectItem(item); }

    // What the pages ask the driver for, piece by piece, in the simulator's
    // default set-up.
    using Codes = std::vector<uint32_t>;
    static Codes Repeated(uint32_t code, size_t times) { return Codes(times, code); }
    size_t Devices() { return sim.Model().Devices.size(); }
    Codes DeviceProperties() {
        return Sequence({{DriverRequest::GetDeviceList},
                         Repeated(DriverRequest::GetDeviceProperties, Devices())});
    }
    Codes BufferDepths() {
        return {DriverRequest::GetStreamBufferDepth, DriverRequest::GetAsioBufferDepth,
                DriverRequest::GetWdmBufferDepth};
    }
    Codes ChannelPage(bool input) {
        return Sequence({{DriverRequest::GetIncludeDeviceName, DriverRequest::GetChannelList},
                         Repeated(DriverRequest::GetChannelProperties, ModelChannels(input)),
                         Repeated(DriverRequest::GetDeviceProperties, ModelChannels(input))});
    }
    Codes StreamsPage() {
        return Sequence({DeviceProperties(), Repeated(DriverRequest::GetStreamStatus, Devices())});
    }
    Codes SamplingRatePage() {
        return Sequence({DeviceProperties(),
                         {DriverRequest::GetDeviceList},
                         Repeated(DriverRequest::GetDeviceSynchMode, Devices()),
                         {DriverRequest::GetSynchSource, DriverRequest::GetSampleRateMode,
                          DriverRequest::GetSampleRates}});
    }
    // Up to the selection of the first page: the connection, the listener's
    // own connection, then every page created, placed and shown, and hidden.
    Codes StartUpBeforeTheFirstPage() {
        return Sequence({
            {DriverRequest::GetInterfaceVersion},
            {DriverRequest::GetInterfaceVersion, DriverRequest::RegisterNotificationEvent},
            BufferDepths(), // created
            BufferDepths(), // shown while placed
            DeviceProperties(),
            ChannelPage(true),
            ChannelPage(false),
            StreamsPage(), // fills itself when first shown, while placed
            SamplingRatePage(),
            {DriverRequest::GetAsioBufferDepth}, // the drop-out page's hint
            BufferDepths(),                      // hidden
        });
    }
    // The log's codes without the drop-out polls, which follow the clock.
    Codes LoggedWithoutPolls() const {
        Codes codes;
        for (const SimLogEntry& entry : sim.Log())
            if (entry.Code != DriverRequest::GetAsioStatistics)
                codes.push_back(entry.Code);
        return codes;
    }

    int Image(HTREEITEM item) const {
        TVITEMA tv{};
        tv.mask = TVIF_IMAGE | TVIF_SELECTEDIMAGE | TVIF_HANDLE;
        tv.hItem = item;
        view->m_Tree.SendMessage(TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&tv));
        EXPECT_EQ(tv.iImage, tv.iSelectedImage);
        return tv.iImage;
    }
};

TEST_F(NavigationView, TreeHoldsSevenRootItemsWithLabelsImagesAndPageCodes) {
    OpenShell();
    struct Expected {
        const char* label;
        int image;
        DWORD_PTR code;
    };
    const Expected expected[] = {
        {"Devices", 1, 0x12000000},         {"Input Channels", 3, 0x13000000},
        {"Output Channels", 3, 0x14000000}, {"Synchronisation", 5, 0x18000000},
        {"Settings", 2, 0x11000000},        {"Streams", 4, 0x16000000},
        {"Drop Outs", 6, 0x19000000},
    };
    ASSERT_EQ(7u, view->m_Tree.GetCount());
    auto item = reinterpret_cast<HTREEITEM>(view->m_Tree.SendMessage(TVM_GETNEXTITEM, TVGN_ROOT));
    for (size_t i = 0; i < 7; ++i) {
        SCOPED_TRACE(expected[i].label);
        ASSERT_NE(nullptr, item);
        EXPECT_EQ(Items()[i], item);
        EXPECT_EQ(expected[i].label, view->m_Tree.GetItemText(item));
        EXPECT_EQ(expected[i].image, Image(item));
        EXPECT_EQ(expected[i].code, view->m_Tree.GetItemData(item));
        EXPECT_EQ(nullptr, reinterpret_cast<HTREEITEM>(view->m_Tree.SendMessage(
                               TVM_GETNEXTITEM, TVGN_CHILD, reinterpret_cast<LPARAM>(item))));
        item = reinterpret_cast<HTREEITEM>(
            view->m_Tree.SendMessage(TVM_GETNEXTITEM, TVGN_NEXT, reinterpret_cast<LPARAM>(item)));
    }
    EXPECT_EQ(nullptr, item);
    EXPECT_EQ(7, ImageList_GetImageCount(view->m_ImageList.GetSafeHandle()));
}

TEST_F(NavigationView, StartUpAsksTheDriverPageByPage) {
    ASSERT_GT(Devices(), 0u);
    ASSERT_GT(ModelChannels(true), 0u);
    ASSERT_GT(ModelChannels(false), 0u);
    OpenShell();
    // The devices page asks nothing more when it is shown.
    EXPECT_EQ(StartUpBeforeTheFirstPage(), LoggedWithoutPolls());
    EXPECT_EQ(static_cast<int>(Devices()), streams.Rows(IDC_STREAM_LIST));
}

TEST_F(NavigationView, StartUpOnTheSettingsPageReReadsTheBuffersWhenShown) {
    app.m_bStartWithAsioPage = true;
    OpenShell(SW_HIDE);
    EXPECT_EQ(Sequence({StartUpBeforeTheFirstPage(), BufferDepths()}), LoggedWithoutPolls());
}

TEST_F(NavigationView, StartsOnTheDevicesPage) {
    OpenShell();
    EXPECT_EQ(view->m_hItemDevices, view->m_Tree.GetSelectedItem());
    EXPECT_TRUE(Visible(view->m_PgDevices));
    EXPECT_EQ(1, VisiblePageCount());
}

TEST_F(NavigationView, StartsOnTheSettingsPageWhenAskedFor) {
    app.m_bStartWithAsioPage = true;
    OpenShell(SW_HIDE);
    EXPECT_EQ(view->m_hItemSettings, view->m_Tree.GetSelectedItem());
    EXPECT_TRUE(Visible(view->m_PgBuffers));
    EXPECT_EQ(1, VisiblePageCount());
}

TEST_F(NavigationView, EachItemShowsExactlyItsPageAndNamesItInTheStatusBar) {
    OpenShell();
    const char* labels[] = {"Devices",         "Input Channels", "Output Channels",
                            "Synchronisation", "Settings",       "Streams"};
    Select(view->m_hItemStreams);
    // Twice round, so that every page is also hidden again by another.
    for (int round = 0; round < 2; ++round) {
        for (size_t i = 0; i < 6; ++i) {
            SCOPED_TRACE(labels[i]);
            Select(Items()[i]);
            EXPECT_TRUE(Visible(*Pages()[i]));
            EXPECT_EQ(1, VisiblePageCount());
            EXPECT_EQ(labels[i], StatusText());
        }
    }
}

TEST_F(NavigationView, OnlyTheHighByteOfTheItemDataChoosesThePage) {
    OpenShell();
    view->m_Tree.SetItemData(view->m_hItemStreams, 0x16ABCDEF);
    view->m_Tree.SetItemData(view->m_hItemInChannels, 0x14000001);
    Select(view->m_hItemStreams);
    EXPECT_TRUE(Visible(view->m_PgStreams));
    EXPECT_EQ(1, VisiblePageCount());
    EXPECT_EQ("Streams", StatusText());
    // The code, not the item, decides: this item now carries the output code.
    Select(view->m_hItemInChannels);
    EXPECT_TRUE(Visible(view->m_PgOutChannels));
    EXPECT_EQ(1, VisiblePageCount());
    EXPECT_EQ("Output Channels", StatusText());
}

TEST_F(NavigationView, AnUnknownCodeShowsNoPageAndKeepsTheStatusText) {
    OpenShell();
    Select(view->m_hItemOutChannels);
    // The page codes sit in the high byte; the same values low are no codes.
    view->m_Tree.SetItemData(view->m_hItemStreams, 0x00000016);
    Select(view->m_hItemStreams);
    EXPECT_EQ(0, VisiblePageCount());
    EXPECT_EQ("Output Channels", StatusText());
    view->m_Tree.SetItemData(view->m_hItemSettings, 0x15000000);
    Select(view->m_hItemSettings);
    EXPECT_EQ(0, VisiblePageCount());
    Select(view->m_hItemDevices);
    EXPECT_EQ(1, VisiblePageCount());
}

TEST_F(NavigationView, PagesSitRightOfTheTreeAtTheirTemplateSize) {
    OpenShell();
    RECT tree{};
    view->m_Tree.GetWindowRect(&tree);
    ::MapWindowPoints(nullptr, view->m_hWnd, reinterpret_cast<POINT*>(&tree), 2);
    RECT client{};
    view->GetClientRect(&client);
    for (CDlgPgBase* page : Pages()) {
        ASSERT_NE(nullptr, page->m_hWnd);
        EXPECT_EQ(view->m_hWnd, page->GetParent());
        RECT rect{};
        page->GetWindowRect(&rect);
        ::MapWindowPoints(nullptr, view->m_hWnd, reinterpret_cast<POINT*>(&rect), 2);
        EXPECT_EQ(CIXO_CPLView::PageLeft, rect.left);
        EXPECT_EQ(CIXO_CPLView::PageTop, rect.top);
        EXPECT_GT(rect.left, tree.right);
        EXPECT_GT(rect.right - rect.left, 400);
        // The frame was fitted to the form: no control of a page is cut off.
        RECT controls = ControlsExtent(page->m_hWnd);
        EXPECT_LE(controls.right, client.right);
        EXPECT_LE(controls.bottom, client.bottom);
    }
}

TEST_F(NavigationView, FrameIsFittedToTheFormAboveTheStatusBar) {
    OpenShell();
    RECT viewRect{}, barRect{}, frameClient{};
    view->GetWindowRect(&viewRect);
    frame->m_StatusBar.GetWindowRect(&barRect);
    frame->GetClientRect(&frameClient);
    EXPECT_EQ(viewRect.bottom, barRect.top);
    EXPECT_EQ(frameClient.bottom - frameClient.top,
              (viewRect.bottom - viewRect.top) + (barRect.bottom - barRect.top));
    EXPECT_EQ(0, ::GetWindowLongPtrA(view->m_hWnd, GWL_STYLE) & WS_BORDER);
}

TEST_F(NavigationView, ARepeatedInitialUpdateMakesNothingTwice) {
    OpenShell();
    Select(view->m_hItemStreams);
    HANDLE listener = view->m_Notificator.m_hThread;
    HDEVNOTIFY registration = view->m_hDevNotify;
    HWND devicesPage = view->m_PgDevices.m_hWnd;
    ASSERT_TRUE(app.OnFileNew());
    EXPECT_EQ(7u, view->m_Tree.GetCount());
    EXPECT_EQ(listener, view->m_Notificator.m_hThread);
    EXPECT_EQ(registration, view->m_hDevNotify);
    EXPECT_EQ(devicesPage, view->m_PgDevices.m_hWnd);
    EXPECT_TRUE(Visible(view->m_PgStreams));
    EXPECT_EQ(1, VisiblePageCount());
}

TEST_F(NavigationView, OpensTheDriverAndStartsTheListenerAndClosesBothAtTheEnd) {
    OpenShell();
    EXPECT_NE(nullptr, gDrv.m_hDevice);
    EXPECT_NE(nullptr, view->m_Notificator.m_hThread);
    EXPECT_NE(nullptr, view->m_hDevNotify);
    EXPECT_EQ(2u, sim.OpenHandleCount());
    frame->DestroyWindow();
    frame = nullptr;
    EXPECT_EQ(nullptr, gDrv.m_hDevice);
    EXPECT_EQ(0u, sim.OpenHandleCount());
}

TEST_F(NavigationView, WithoutADriverThePagesStillExistAndSwitch) {
    sim.SetDriverPresent(false);
    OpenShell();
    EXPECT_EQ(nullptr, gDrv.m_hDevice);
    EXPECT_EQ(nullptr, view->m_Notificator.m_hThread);
    for (size_t i = 0; i < 6; ++i) {
        Select(Items()[i]);
        EXPECT_TRUE(Visible(*Pages()[i]));
        EXPECT_EQ(1, VisiblePageCount());
    }
}

TEST_F(NavigationView, PagesFindTheViewAndTheFrameThroughTheApplication) {
    EXPECT_EQ(nullptr, CMainFrame::FromApp());
    EXPECT_EQ(nullptr, CIXO_CPLView::FromApp());
    OpenShell();
    EXPECT_EQ(frame, app.m_pMainWnd);
    EXPECT_EQ(static_cast<CView*>(view), frame->GetActiveView());
    // The view shows the program's own document, which holds nothing.
    EXPECT_NE(nullptr, dynamic_cast<CIXO_CPLDoc*>(view->GetDocument()));
}

TEST_F(NavigationView, DeviceDependentPagesReReadOnlyTheListsThatShowDevices) {
    OpenShell();
    sim.ClearLog();
    view->UpdateDeviceDependentPages();
    // Both channel lists and the synchronisation list re-read the devices;
    // the sampling rates are not reloaded.
    EXPECT_GE(sim.CountRequests(DriverRequest::GetChannelList), 2u);
    EXPECT_GE(sim.CountRequests(DriverRequest::GetDeviceSynchMode), 1u);
    EXPECT_EQ(0u, sim.CountRequests(DriverRequest::GetSampleRates));
    EXPECT_EQ(0u, sim.CountRequests(DriverRequest::GetStreamStatus));
}

} // namespace
