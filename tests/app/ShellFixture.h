// The program's frame and view on the simulated driver, made the way the
// application makes them at start-up, without the single-instance mutex.
#pragma once

#include "CIXO_CPLApp.h"
#include "CIXO_CPLView.h"
#include "CMainFrame.h"
#include "MessagePump.h"
#include "Simulator.h"
#include "resource.h"

#include <gtest/gtest.h>

#include <array>
#include <string>

// The test program's application object (TestApp.cpp).
CIXO_CPLApp& TestApp();

class ShellFixture : public ::testing::Test {
protected:
    CSimulator& sim = CSimulator::Instance();
    CIXO_CPLApp& app = TestApp();
    CMainFrame* frame = nullptr;
    CIXO_CPLView* view = nullptr;

    void SetUp() override { sim.Reset(); }

    void TearDown() override {
        if (frame && ::IsWindow(frame->m_hWnd))
            frame->DestroyWindow();
        app.ExitInstance();
        app.m_pMainWnd = nullptr;
        app.m_bStartWithAsioPage = false;
        sim.Reset();
    }

    void OpenShell(int show = SW_SHOW) {
        app.m_nCmdShow = show;
        ASSERT_TRUE(app.CreateMainWindow());
        frame = CMainFrame::FromApp();
        view = CIXO_CPLView::FromApp();
        ASSERT_NE(nullptr, frame);
        ASSERT_NE(nullptr, view);
        PumpMessages(20);
    }

    // The pages in tree order.
    std::array<CDlgPgBase*, 6> Pages() const {
        return {&view->m_PgDevices,      &view->m_PgInChannels, &view->m_PgOutChannels,
                &view->m_PgSamplingRate, &view->m_PgBuffers,    &view->m_PgStreams};
    }
    std::array<HTREEITEM, 6> Items() const {
        return {view->m_hItemDevices,         view->m_hItemInChannels, view->m_hItemOutChannels,
                view->m_hItemSynchronisation, view->m_hItemSettings,   view->m_hItemStreams};
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
    std::string StatusText() const { return frame->m_StatusBar.GetPaneText(0); }
};
