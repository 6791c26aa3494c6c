// A page window on the simulated driver: the simulator starts from its
// default set-up, gDrv is open on it, and a host window stands in for the view.
#pragma once

#include "CDriverSettings.h"
#include "DriverCodes.h"
#include "MessagePump.h"
#include "Simulator.h"
#include "UiActions.h"
#include "Wnd.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

template <typename Page> class PageFixture : public ::testing::Test {
protected:
    CSimulator& sim = CSimulator::Instance();
    CWnd host;
    std::unique_ptr<Page> page;

    void SetUp() override {
        sim.Reset();
        ASSERT_EQ(0u, gDrv.Open());
        ASSERT_TRUE(host.CreateEx(0, nullptr, "Page host", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0,
                                  640, 480, nullptr, nullptr));
    }
    void TearDown() override {
        page.reset();
        host.DestroyWindow();
        gDrv.Close();
        sim.Reset();
    }

    // Creates the page's window, hidden as the view leaves it until its tree
    // item is chosen.
    void CreatePage() {
        page = std::make_unique<Page>();
        ASSERT_TRUE(page->Create(&host));
        ASSERT_NE(nullptr, page->GetSafeHwnd());
    }

    HWND Item(int id) const { return GetDlgItem(page->GetSafeHwnd(), id); }
    std::string Text(int id) const { return ChildText(page->GetSafeHwnd(), id); }
    bool Enabled(int id) const { return IsWindowEnabled(Item(id)) != FALSE; }

    // The codes of the requests sent since the log was last cleared.
    std::vector<uint32_t> Requests() const {
        std::vector<uint32_t> codes;
        for (const SimLogEntry& entry : sim.Log())
            codes.push_back(entry.Code);
        return codes;
    }
};
