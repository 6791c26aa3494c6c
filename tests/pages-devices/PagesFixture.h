// The devices and channel pages on the simulated driver, either alone in a
// host window (no main frame, no view) or inside the program's real frame
// and view. Every test starts from a small model of its own.
#pragma once

#include "CDriverSettings.h"
#include "CIXO_CPLApp.h"
#include "CIXO_CPLView.h"
#include "CMainFrame.h"
#include "DriverCodes.h"
#include "MessagePump.h"
#include "ModalDriver.h"
#include "Simulator.h"
#include "UiActions.h"
#include "Wnd.h"
#include "resource.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

CIXO_CPLApp& TestApp();

class SimulatedDriverTest : public ::testing::Test {
protected:
    CSimulator& sim = CSimulator::Instance();

    void SetUp() override {
        sim.Reset();
        sim.Model().Clear();
    }
    void TearDown() override { sim.Reset(); }

    uint32_t AddDevice(const std::string& name, const std::string& serial = "SN-0") {
        return sim.Model().AddDevice(name, serial);
    }
    uint32_t AddInput(uint32_t device, const std::string& hardware, const std::string& name) {
        return sim.Model().AddChannel(device, true, hardware, name);
    }
    uint32_t AddOutput(uint32_t device, const std::string& hardware, const std::string& name) {
        return sim.Model().AddChannel(device, false, hardware, name);
    }
};

// Reading a page's controls.
class PageProbe {
public:
    explicit PageProbe(HWND page = nullptr) : m_page(page) {}

    HWND Item(int id) const { return ::GetDlgItem(m_page, id); }
    bool Enabled(int id) const { return ::IsWindowEnabled(Item(id)) != FALSE; }
    // The control's own visibility, whether or not the page is shown.
    bool Shown(int id) const { return (::GetWindowLongA(Item(id), GWL_STYLE) & WS_VISIBLE) != 0; }
    std::string Text(int id) const { return ChildText(m_page, id); }
    bool Checked(int id) const {
        return ::SendMessageA(Item(id), BM_GETCHECK, 0, 0) == BST_CHECKED;
    }

    int Rows(int list) const {
        return static_cast<int>(::SendMessageA(Item(list), LVM_GETITEMCOUNT, 0, 0));
    }
    std::string Cell(int list, int row, int column) const {
        char buffer[1024] = {};
        LVITEMA item{};
        item.iSubItem = column;
        item.pszText = buffer;
        item.cchTextMax = sizeof buffer;
        ::SendMessageA(Item(list), LVM_GETITEMTEXTA, static_cast<WPARAM>(row),
                       reinterpret_cast<LPARAM>(&item));
        return buffer;
    }
    std::vector<std::string> Column(int list, int column) const {
        std::vector<std::string> texts;
        for (int row = 0; row < Rows(list); ++row)
            texts.push_back(Cell(list, row, column));
        return texts;
    }
    int Selected(int list) const {
        return static_cast<int>(
            ::SendMessageA(Item(list), LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
    }
    void Select(int list, int row) const { SelectListRow(Item(list), row); }
    void Click(int id) const { ClickButton(m_page, id); }
    void DoubleClick(int list, int row) const { DoubleClickListRow(Item(list), row); }

private:
    HWND m_page;
};

// One page alone in a host window: there is no main frame and no view.
template <typename Page> class StandalonePage : public SimulatedDriverTest {
protected:
    CWnd host;
    std::unique_ptr<Page> page;
    PageProbe probe;

    void SetUp() override {
        SimulatedDriverTest::SetUp();
        TestApp().m_pMainWnd = nullptr;
        ASSERT_EQ(0u, gDrv.Open());
        ASSERT_TRUE(host.CreateEx(0, nullptr, "Page host", WS_OVERLAPPEDWINDOW, 0, 0, 640, 480,
                                  nullptr, nullptr));
    }
    void TearDown() override {
        page.reset();
        host.DestroyWindow();
        gDrv.Close();
        SimulatedDriverTest::TearDown();
    }

    template <typename... Args> void CreatePage(Args... args) {
        page = std::make_unique<Page>(args...);
        ASSERT_TRUE(page->Create(&host));
        probe = PageProbe(page->GetSafeHwnd());
    }
};

// The program's frame and view, made as at start-up; the pages are the
// view's own.
class ShellPages : public SimulatedDriverTest {
protected:
    CIXO_CPLApp& app = TestApp();
    CMainFrame* frame = nullptr;
    CIXO_CPLView* view = nullptr;
    PageProbe devices;
    PageProbe inputs;
    PageProbe outputs;

    void TearDown() override {
        if (frame && ::IsWindow(frame->m_hWnd))
            frame->DestroyWindow();
        app.ExitInstance();
        app.m_pMainWnd = nullptr;
        SimulatedDriverTest::TearDown();
    }

    void OpenShell() {
        app.m_nCmdShow = SW_SHOW;
        ASSERT_TRUE(app.CreateMainWindow());
        frame = CMainFrame::FromApp();
        view = CIXO_CPLView::FromApp();
        ASSERT_NE(nullptr, frame);
        ASSERT_NE(nullptr, view);
        PumpMessages(20);
        devices = PageProbe(view->m_PgDevices.GetSafeHwnd());
        inputs = PageProbe(view->m_PgInChannels.GetSafeHwnd());
        outputs = PageProbe(view->m_PgOutChannels.GetSafeHwnd());
    }
    std::string DevicePane() const { return frame->m_StatusBar.GetPaneText(1); }
};
