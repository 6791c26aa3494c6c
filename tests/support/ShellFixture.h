// The program's frame and view on the simulated driver, made the way the
// application makes them at start-up, without the single-instance mutex: the
// pages are the view's own, and its listener thread runs for real.
#pragma once

#include "CDriverSettings.h"
#include "CIXO_CPLApp.h"
#include "CIXO_CPLView.h"
#include "CMainFrame.h"
#include "MessagePump.h"
#include "PageProbe.h"
#include "SimulatedDriverTest.h"
#include "TestApp.h"
#include "resource.h"

#include <gtest/gtest.h>

#include <array>
#include <string>

class ShellFixture : public SimulatedDriverTest {
protected:
    // The monitor polls the drop-out count on every page; a count that grew
    // by itself would add its reads of the buffers to the requests a case
    // compares. A case about drop-outs sets the count itself.
    explicit ShellFixture(SimStart start = SimStart::DefaultSetUp) : SimulatedDriverTest(start) {
        sim.Model().DropOutsGrow = false;
    }

    CIXO_CPLApp& app = TestApp();
    CMainFrame* frame = nullptr;
    CIXO_CPLView* view = nullptr;
    // The view's pages, named after their tree items, once the shell is open.
    PageProbe devices;
    PageProbe inputs;
    PageProbe outputs;
    PageProbe synchronisation;
    PageProbe settings;
    PageProbe streams;

    // Nothing of one case may reach the next: the frame goes whether the
    // application still holds it or a test has taken it, and so do the
    // document template, the start-up choice and the quit request that a
    // destroyed main frame leaves, which would end the next modal loop.
    void TearDown() override {
        if (app.m_pMainWnd)
            app.m_pMainWnd->DestroyWindow();
        if (frame && ::IsWindow(frame->m_hWnd))
            frame->DestroyWindow();
        app.ExitInstance();
        app.m_pMainWnd = nullptr;
        app.m_bStartWithAsioPage = false;
        TakeQuitRequest();
        SimulatedDriverTest::TearDown();
    }

    // Makes the frame and the view as start-up does; the frame is shown with
    // this command.
    void OpenShell(int show = SW_SHOW) {
        app.m_nCmdShow = show;
        ASSERT_TRUE(app.CreateMainWindow());
        frame = CMainFrame::FromApp();
        view = CIXO_CPLView::FromApp();
        ASSERT_NE(nullptr, frame);
        ASSERT_NE(nullptr, view);
        PumpMessages(20);
        devices = PageProbe(view->m_PgDevices.GetSafeHwnd());
        inputs = PageProbe(view->m_PgInChannels.GetSafeHwnd());
        outputs = PageProbe(view->m_PgOutChannels.GetSafeHwnd());
        synchronisation = PageProbe(view->m_PgSamplingRate.GetSafeHwnd());
        settings = PageProbe(view->m_PgBuffers.GetSafeHwnd());
        streams = PageProbe(view->m_PgStreams.GetSafeHwnd());
    }
    // Starts as before any interface was connected: there is no driver to
    // open, and the driver is back once the shell stands.
    void OpenShellWithoutDriver() {
        sim.SetDriverPresent(false);
        OpenShell();
        ASSERT_EQ(nullptr, gDrv.m_hDevice);
        sim.SetDriverPresent(true);
    }

    // The pages in tree order.
    std::array<CDlgPgBase*, CIXO_CPLView::PageCount> Pages() const {
        return {&view->m_PgDevices,      &view->m_PgInChannels, &view->m_PgOutChannels,
                &view->m_PgSamplingRate, &view->m_PgBuffers,    &view->m_PgStreams,
                &view->m_PgDropOuts};
    }
    std::array<HTREEITEM, CIXO_CPLView::PageCount> Items() const {
        return {view->m_hItemDevices,         view->m_hItemInChannels, view->m_hItemOutChannels,
                view->m_hItemSynchronisation, view->m_hItemSettings,   view->m_hItemStreams,
                view->m_hItemDropOuts};
    }

    // Shown within the view, whether or not the frame itself is shown.
    static bool Visible(const CDlgPgBase& page) {
        return page.m_hWnd && (page.GetStyle() & WS_VISIBLE) != 0;
    }
    int VisiblePageCount() const {
        int count = 0;
        for (CDlgPgBase* page : Pages())
            count += Visible(*page) ? 1 : 0;
        return count;
    }
    // The status bar's message pane and its device count.
    std::string StatusText() const { return frame->m_StatusBar.GetPaneText(0); }
    std::string DevicePane() const { return frame->m_StatusBar.GetPaneText(1); }
};
