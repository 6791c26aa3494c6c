// A reload is painted once, not row by row: every change to a list's rows is
// made while that list, or the whole view, does not redraw; afterwards the
// visible list is painted again, and nothing that the reload left unchanged.
#include "ViewEventFixture.h"

#include "DriverCodes.h"
#include "MessagePump.h"
#include "UiActions.h"
#include "resource.h"

#include <commctrl.h>

#include <memory>
#include <vector>

namespace {

// Watches one window's messages through a subclass: whether it redraws, how
// often it paints, and the row changes of a list made while it would draw.
class PaintWatch {
public:
    PaintWatch(HWND window, const PaintWatch* container)
        : m_Window(window), m_Container(container) {
        ::SetWindowSubclass(window, Procedure, 1, reinterpret_cast<DWORD_PTR>(this));
    }
    ~PaintWatch() { ::RemoveWindowSubclass(m_Window, Procedure, 1); }
    PaintWatch(const PaintWatch&) = delete;
    PaintWatch& operator=(const PaintWatch&) = delete;

    bool RedrawOff() const { return m_RedrawOff; }
    int RowChanges() const { return m_RowChanges; }
    int RowChangesWhileDrawing() const { return m_RowChangesWhileDrawing; }
    int Paints() const { return m_Paints; }

private:
    static bool ChangesRows(UINT message) {
        switch (message) {
        case LVM_INSERTITEMA:
        case LVM_SETITEMTEXTA:
        case LVM_SETITEMA:
        case LVM_SETITEMSTATE:
        case LVM_DELETEITEM:
        case LVM_DELETEALLITEMS:
            return true;
        default:
            return false;
        }
    }

    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                      UINT_PTR, DWORD_PTR self) {
        auto& watch = *reinterpret_cast<PaintWatch*>(self);
        if (message == WM_SETREDRAW)
            watch.m_RedrawOff = wParam == FALSE;
        else if (message == WM_PAINT)
            ++watch.m_Paints;
        else if (ChangesRows(message)) {
            ++watch.m_RowChanges;
            const bool containerOff = watch.m_Container && watch.m_Container->RedrawOff();
            if (!watch.m_RedrawOff && !containerOff)
                ++watch.m_RowChangesWhileDrawing;
        }
        return ::DefSubclassProc(window, message, wParam, lParam);
    }

    HWND m_Window;
    const PaintWatch* m_Container;
    bool m_RedrawOff = false;
    int m_RowChanges = 0;
    int m_RowChangesWhileDrawing = 0;
    int m_Paints = 0;
};

class Redraw : public ViewEventFixture {
protected:
    void SetUp() override {
        ViewEventFixture::SetUp();
        OpenShell();
        PumpMessages(100);
        viewWatch = std::make_unique<PaintWatch>(view->m_hWnd, nullptr);
        const struct {
            const CDlgPgBase& page;
            int list;
        } lists[] = {
            {view->m_PgDevices, IDC_DEVICE_LIST},      {view->m_PgInChannels, IDC_CHANNEL_LIST},
            {view->m_PgOutChannels, IDC_CHANNEL_LIST}, {view->m_PgStreams, IDC_STREAM_LIST},
            {view->m_PgSamplingRate, IDC_SYNCH_LIST},
        };
        for (const auto& list : lists)
            listWatches.push_back(std::make_unique<PaintWatch>(
                ::GetDlgItem(list.page.m_hWnd, list.list), viewWatch.get()));
    }

    void TearDown() override {
        listWatches.clear();
        viewWatch.reset();
        ViewEventFixture::TearDown();
    }

    PaintWatch& DevicesList() { return *listWatches.front(); }

    std::unique_ptr<PaintWatch> viewWatch;
    std::vector<std::unique_ptr<PaintWatch>> listWatches;
};

TEST_F(Redraw, ADriverEventReloadsEveryListWithoutDrawingRowByRow) {
    sim.QueueNotification(EvtType_StreamingRestarted);
    ASSERT_TRUE(PumpUntilDrained());
    for (const auto& watch : listWatches) {
        EXPECT_GT(watch->RowChanges(), 0);
        EXPECT_EQ(0, watch->RowChangesWhileDrawing());
        EXPECT_FALSE(watch->RedrawOff());
    }
    EXPECT_FALSE(viewWatch->RedrawOff());
    // Shown as before: the view and only the devices page.
    EXPECT_TRUE(::IsWindowVisible(view->m_hWnd));
    EXPECT_TRUE(::IsWindowVisible(view->m_PgDevices.m_hWnd));
    for (const CDlgPgBase* page : {static_cast<const CDlgPgBase*>(&view->m_PgInChannels),
                                   static_cast<const CDlgPgBase*>(&view->m_PgOutChannels),
                                   static_cast<const CDlgPgBase*>(&view->m_PgStreams),
                                   static_cast<const CDlgPgBase*>(&view->m_PgBuffers),
                                   static_cast<const CDlgPgBase*>(&view->m_PgSamplingRate)})
        EXPECT_FALSE(::IsWindowVisible(page->m_hWnd));
    // The visible list was painted once, with its new rows, and nothing waits.
    EXPECT_EQ(1, DevicesList().Paints());
    EXPECT_FALSE(
        ::GetUpdateRect(::GetDlgItem(view->m_PgDevices.m_hWnd, IDC_DEVICE_LIST), nullptr, FALSE));
    // Hidden pages are not painted at all.
    for (size_t list = 1; list < listWatches.size(); ++list)
        EXPECT_EQ(0, listWatches[list]->Paints());
}

// Asked right after the reload, before anything else can come to be painted.
TEST_F(Redraw, AReloadLeavesOnlyTheShownListToPaint) {
    ::RedrawWindow(frame->m_hWnd, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
    view->UpdateAllPages();
    const HWND page = view->m_PgDevices.m_hWnd;
    EXPECT_TRUE(::GetUpdateRect(::GetDlgItem(page, IDC_DEVICE_LIST), nullptr, FALSE));
    for (HWND unchanged :
         {view->m_hWnd, view->m_Tree.m_hWnd, page, ::GetDlgItem(page, IDC_EDIT_DEVICE_NAME)})
        EXPECT_FALSE(::GetUpdateRect(unchanged, nullptr, FALSE));
}

TEST_F(Redraw, ARefillOutsideAReloadKeepsItsOwnListFromDrawingRowByRow) {
    // A stored ranking refills the devices list and the lists that follow it.
    ClickButton(view->m_PgDevices.m_hWnd, IDC_APPLY_RANKING);
    PumpMessages(100);
    for (size_t list : {0u, 1u, 2u, 4u}) {
        EXPECT_GT(listWatches[list]->RowChanges(), 0) << list;
        EXPECT_EQ(0, listWatches[list]->RowChangesWhileDrawing()) << list;
    }
    EXPECT_EQ(1, DevicesList().Paints());
}

} // namespace
