// One page window on the simulated driver, without the program's frame and
// view: gDrv is open on the simulator, and a host window stands in for the
// view. The page is made from its class with the arguments a test gives.
//
//   class DevicesPage : public PageHost<CDlgPgDevices> {
//   protected:
//       DevicesPage() : PageHost(SimStart::EmptyModel) {}
//   };
//   TEST_F(DevicesPage, ...) { AddDevice("Alpha"); CreatePage(); probe.Rows(...); }
#pragma once

#include "CDriverSettings.h"
#include "PageProbe.h"
#include "SimulatedDriverTest.h"
#include "WinApp.h"
#include "Wnd.h"

#include <gtest/gtest.h>

#include <memory>

// The host window shown, as the view is in a shown program, or hidden.
enum class HostWindow { Hidden, Shown };

template <typename Page> class PageHost : public SimulatedDriverTest {
protected:
    explicit PageHost(SimStart start = SimStart::DefaultSetUp,
                      HostWindow shown = HostWindow::Hidden)
        : SimulatedDriverTest(start), m_shown(shown) {}

    CWnd host;
    std::unique_ptr<Page> page;
    PageProbe probe;

    void SetUp() override {
        SimulatedDriverTest::SetUp();
        // A page that looks for the frame or the view through the
        // application object finds neither.
        if (CWinApp* app = AfxGetApp())
            app->m_pMainWnd = nullptr;
        ASSERT_EQ(0u, gDrv.Open());
        const DWORD visible = m_shown == HostWindow::Shown ? WS_VISIBLE : 0;
        ASSERT_TRUE(host.CreateEx(0, nullptr, "Page host", WS_OVERLAPPEDWINDOW | visible, 0, 0, 640,
                                  480, nullptr, nullptr));
    }
    void TearDown() override {
        page.reset();
        host.DestroyWindow();
        gDrv.Close();
        SimulatedDriverTest::TearDown();
    }

    // Creates the page's window, hidden as the view leaves it until its tree
    // item is chosen. A page made before goes when the new one is made.
    template <typename... Args> void CreatePage(Args... args) {
        page = std::make_unique<Page>(args...);
        ASSERT_TRUE(page->Create(&host));
        ASSERT_NE(nullptr, page->GetSafeHwnd());
        probe = PageProbe(page->GetSafeHwnd());
    }

private:
    HostWindow m_shown;
};
