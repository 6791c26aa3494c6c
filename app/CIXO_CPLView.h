// The main window's only view: a tree of seven page names on the left and the
// selected settings page to its right. It owns the pages and the driver event
// listener, opens the driver connection, and reloads the pages when a device
// arrives or the driver reports a change.
#pragma once

#include "CDlgPgBuffers.h"
#include "CDlgPgChannels.h"
#include "CDlgPgDevices.h"
#include "CDlgPgDropOuts.h"
#include "CDlgPgSamplingRate.h"
#include "CDlgPgStreams.h"
#include "CDriverSettings.h"
#include "CNotificator.h"
#include "FormView.h"
#include "ImageList.h"
#include "TreeCtrl.h"

#include <array>

class CIXO_CPLView : public CFormView {
public:
    // Page codes in the high byte of the tree items' data; the low 24 bits
    // mean nothing.
    static constexpr DWORD PageCodeMask = 0xFF000000;
    static constexpr DWORD PageCodeSettings = 0x11000000;
    static constexpr DWORD PageCodeDevices = 0x12000000;
    static constexpr DWORD PageCodeInChannels = 0x13000000;
    static constexpr DWORD PageCodeOutChannels = 0x14000000;
    static constexpr DWORD PageCodeStreams = 0x16000000;
    static constexpr DWORD PageCodeSynchronisation = 0x18000000;
    static constexpr DWORD PageCodeDropOuts = 0x19000000;
    static constexpr size_t PageCount = 7;
    // The device-interface class of the driver's audio interfaces.
    static constexpr GUID DriverInterfaceClass = {
        0x006902CB, 0xE626, 0x45B4, {0x8A, 0x62, 0x2E, 0xAA, 0xD6, 0x3F, 0x8D, 0x12}};
    // Where every page sits in the view's client area, in pixels at 96 DPI.
    static constexpr int PageLeft = 140;
    static constexpr int PageTop = 2;
    // How long the driver's queue is drained at one go before input and
    // painting get their turn; a single reload is never split.
    static constexpr ULONGLONG DrainSliceMs = 50;
    static constexpr UINT_PTR DrainTimerId = 1;
    // While a connection is stalled, the driver is asked this often whether
    // it answers again.
    static constexpr UINT ProbeIntervalMs = 2000;
    static constexpr UINT_PTR ProbeTimerId = 2;
    // The drop-out monitor asks the driver this often while the window is
    // shown, or hidden with the warning on; never else.
    static constexpr UINT DropOutPollMs = 1000;
    static constexpr UINT_PTR DropOutPollTimerId = 3;
    // The right edge of the form's line between tree and pages, in dialog
    // units, and the least gap between it and the pages, in pixels at 96 DPI.
    static constexpr int SeparatorRight = 92;
    static constexpr int SeparatorGap = 2;

    // Opens the driver connection; a failure leaves it closed until a device
    // arrives.
    CIXO_CPLView();
    // Closes the driver connection.
    ~CIXO_CPLView() override;

    // The main window's active view when it is a CIXO_CPLView, else null.
    static CIXO_CPLView* FromApp();

    void OnInitialUpdate() override;
    // The tree: where the focus starts and where it goes when the control
    // that had it last can no longer take it.
    HWND InitialFocus() const override { return m_Tree.m_hWnd; }
    // After the devices page stored a new device order or name: the lists
    // that show device names follow it.
    void UpdateDeviceDependentPages();
    // Reloads every page from the driver, in the order of a reload.
    void UpdateAllPages();
    bool RegisterForDeviceNotification(const GUID& interfaceClass);
    // The main window moved to a monitor of this DPI: pages, list columns
    // and tree icons follow it.
    void OnDpiChanged(UINT dpi);
    // The program quits: the request in flight, on either connection, is
    // given up on, both connections close, and nothing opens them again.
    void EndDriverAccess();
    // The frame was shown or hidden: the polls follow.
    void OnFrameShown(bool shown);
    // A connection is stalled and the driver is being probed.
    bool DriverStalled() const { return gDrv.IsStalled() || m_Notificator.IsStalled(); }

    CTreeCtrl m_Tree;
    CImageList m_ImageList;
    CDlgPgStreams m_PgStreams;
    CDlgPgChannels m_PgInChannels;
    CDlgPgChannels m_PgOutChannels;
    CDlgPgDevices m_PgDevices;
    CDlgPgBuffers m_PgBuffers;
    CDlgPgSamplingRate m_PgSamplingRate;
    CDlgPgDropOuts m_PgDropOuts;
    CNotificator m_Notificator;

    HTREEITEM m_hItemDevices = nullptr;
    HTREEITEM m_hItemInChannels = nullptr;
    HTREEITEM m_hItemOutChannels = nullptr;
    HTREEITEM m_hItemSynchronisation = nullptr;
    HTREEITEM m_hItemSettings = nullptr;
    HTREEITEM m_hItemStreams = nullptr;
    HTREEITEM m_hItemDropOuts = nullptr;
    HDEVNOTIFY m_hDevNotify = nullptr;

protected:
    static const MessageMap messageMap;
    const MessageMap* GetMessageMap() const override { return &messageMap; }

    BOOL PreCreateWindow(CREATESTRUCTA& cs) override;
    void DoDataExchange(CDataExchange* pDX) override;

private:
    // A page as the view holds it. The table lists the pages in the tree's
    // order; each page's place in the other two orders is a column.
    struct PageSlot {
        UINT labelId; // the tree item's text
        int image;    // the tree item's icon
        DWORD code;   // the page code in the tree item's data
        int created;  // place in the order the pages are made in
        int reloaded; // place in the order a reload of all pages runs in
        CDlgPgBase* page;
        HTREEITEM* item;
    };
    // The pages in the order that the column gives.
    std::array<CDlgPgBase*, PageCount> PagesBy(int PageSlot::*place) const;

    uint32_t StartListener();
    void CreatePages();
    POINT PagePosition() const;
    void PlacePage(CDlgPgBase& page, UINT flags);
    void CreateImageList();
    void FillTree();
    void HideAllPages();
    void ReopenDriver();
    // Closes both connections when the driver no longer knows them.
    bool DropLostConnections();
    // The page shown now, or null.
    CDlgPgBase* VisiblePage();
    bool FocusIsIn(const CDlgPgBase& page) const;
    // Selects the tree item step rows further on, round the end.
    void SelectPageBy(int step);

    void OnSelChanged(NMHDR* pNMHDR, LRESULT* pResult);
    BOOL OnDeviceChange(UINT event, DWORD_PTR data);
    LRESULT OnDriverEvent(WPARAM wParam, LPARAM lParam);
    // Info > Copy Diagnostics: the report of the set-up as the driver has it
    // now goes to the clipboard; the status bar says whether it arrived.
    void OnCopyDiagnostics();
    void OnTimer(UINT_PTR id);
    void DrainNotifications();
    LRESULT OnDriverStalled(WPARAM, LPARAM);
    // Every probe interval: once both connections answer, the pages reload.
    void ProbeDriver();
    void ShowDriverState();
    void OnDestroy();
    void OnSwitchPane();
    void OnNextPage();
    void OnPrevPage();
    // What a page tells its parent (PageMessages.h).
    void OnDevicesChanged();
    LRESULT OnDeviceCount(WPARAM count, LPARAM);
    LRESULT OnIncludeDeviceName(WPARAM check, LPARAM);
    LRESULT OnAsioStatistics(WPARAM status, LPARAM total);
    void OnDropOutsReset();
    LRESULT OnDropOutWarning(WPARAM check, LPARAM);
    void OnShowSettings();

    // The drop-out poll runs or stops as the window's state and the warning
    // ask; while the "Settings" page polls on the shown window, its readings
    // serve the monitor.
    void UpdateDropOutPoll();
    void PollDropOuts();
    void RecordDropOuts(uint32_t status, uint32_t total);

    const std::array<PageSlot, PageCount> m_Pages;
    bool m_bFirstUpdate = true;
    // A drain goes on from the timer; wake-ups meanwhile add nothing.
    bool m_bDrainScheduled = false;
    // After EndDriverAccess: nothing reopens the connections.
    bool m_bDriverEnded = false;
    bool m_bFrameShown = false;
    bool m_bWarnAboutDropOuts = true;
    bool m_bDropOutPoll = false;
};
