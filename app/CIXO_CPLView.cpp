#include "CIXO_CPLView.h"

#include "AppMessages.h"
#include "CIXO_CPLApp.h"
#include "CDiagnosticsReport.h"
#include "CDriverSettings.h"
#include "CMainFrame.h"
#include "Clipboard.h"
#include "DataExchange.h"
#include "Dpi.h"
#include "DropOutGraph.h"
#include "Clock.h"
#include "DriverCodes.h"
#include "FrameWnd.h"
#include "ListCtrl.h"
#include "PageMessages.h"
#include "Preferences.h"
#include "ResString.h"
#include "Trace.h"
#include "WinApp.h"
#include "resource.h"

#include <dbt.h>

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <string>

namespace {

// Image-list order; index 0 is loaded but no item uses it.
constexpr UINT kTreeIcons[] = {IDI_PAGE_GENERAL,  IDI_PAGE_DEVICES, IDI_PAGE_SETTINGS,
                               IDI_PAGE_CHANNELS, IDI_PAGE_STREAMS, IDI_PAGE_SYNCH,
                               IDI_PAGE_DROPOUTS};
constexpr int kIconSize = 16; // pixels at 96 DPI

// Names shorter than this are no device-interface paths.
constexpr size_t kMinInterfaceNameLength = 5;

static_assert(sizeof(DEV_BROADCAST_DEVICEINTERFACE_A) == 32, "registration filter size");

// The interface name of a device notification, or empty when the record
// carries none. The record comes from the system on behalf of any driver, so
// its own size bounds the read.
std::string InterfaceName(DWORD_PTR data) {
    const auto* header = reinterpret_cast<const DEV_BROADCAST_HDR*>(data);
    if (!header || header->dbch_devicetype != DBT_DEVTYP_DEVICEINTERFACE)
        return std::string();
    constexpr size_t nameOffset = offsetof(DEV_BROADCAST_DEVICEINTERFACE_A, dbcc_name);
    if (header->dbch_size <= nameOffset)
        return std::string();
    const auto* record = reinterpret_cast<const DEV_BROADCAST_DEVICEINTERFACE_A*>(data);
    return std::string(record->dbcc_name,
                       strnlen(record->dbcc_name, header->dbch_size - nameOffset));
}

BOOL CALLBACK RescaleListColumns(HWND child, LPARAM dpis) {
    char className[32] = {};
    ::GetClassNameA(child, className, sizeof(className));
    if (lstrcmpiA(className, WC_LISTVIEWA) == 0) {
        const auto* fromTo = reinterpret_cast<const UINT*>(dpis);
        CListCtrl(child).RescaleColumns(fromTo[0], fromTo[1]);
    }
    return TRUE;
}

} // namespace

constexpr MessageMap CIXO_CPLView::messageMap{
    &CFormView::messageMap,
    {
        {WM_NOTIFY, TVN_SELCHANGEDA, IDC_PAGE_TREE, On<&CIXO_CPLView::OnSelChanged>},
        {WM_DEVICECHANGE, 0, 0, On<&CIXO_CPLView::OnDeviceChange>},
        {WM_APP_DRIVER_EVENT, 0, 0, On<&CIXO_CPLView::OnDriverEvent>},
        {WM_APP_DRIVER_STALLED, 0, 0, On<&CIXO_CPLView::OnDriverStalled>},
        {WM_COMMAND, 0, ID_COPY_DIAGNOSTICS, On<&CIXO_CPLView::OnCopyDiagnostics>},
        {WM_TIMER, 0, 0, On<&CIXO_CPLView::OnTimer>},
        {WM_DESTROY, 0, 0, On<&CIXO_CPLView::OnDestroy>},
        {WM_COMMAND, 0, ID_NEXT_PANE, On<&CIXO_CPLView::OnSwitchPane>},
        {WM_COMMAND, 0, ID_PREV_PANE, On<&CIXO_CPLView::OnSwitchPane>},
        {WM_COMMAND, 0, ID_NEXT_PAGE, On<&CIXO_CPLView::OnNextPage>},
        {WM_COMMAND, 0, ID_PREV_PAGE, On<&CIXO_CPLView::OnPrevPage>},
        {WM_APP_DEVICES_CHANGED, 0, 0, On<&CIXO_CPLView::OnDevicesChanged>},
        {WM_APP_DEVICE_COUNT, 0, 0, On<&CIXO_CPLView::OnDeviceCount>},
        {WM_APP_INCLUDE_DEVICE_NAME, 0, 0, On<&CIXO_CPLView::OnIncludeDeviceName>},
        {WM_APP_ASIO_STATISTICS, 0, 0, On<&CIXO_CPLView::OnAsioStatistics>},
        {WM_APP_DROPOUTS_RESET, 0, 0, On<&CIXO_CPLView::OnDropOutsReset>},
        {WM_APP_DROPOUT_WARNING, 0, 0, On<&CIXO_CPLView::OnDropOutWarning>},
        {WM_APP_SHOW_SETTINGS, 0, 0, On<&CIXO_CPLView::OnShowSettings>},
    }};

CIXO_CPLView::CIXO_CPLView()
    : CFormView(IDD_MAIN_FORM), m_PgStreams(nullptr), m_PgInChannels(0, nullptr),
      m_PgOutChannels(1, nullptr), m_PgDevices(nullptr), m_PgBuffers(nullptr),
      m_PgSamplingRate(nullptr), m_PgDropOuts(nullptr),
      m_Pages{{
          {IDS_PAGE_DEVICES, 1, PageCodeDevices, 1, 0, &m_PgDevices, &m_hItemDevices},
          {IDS_PAGE_INPUT_CHANNELS, 3, PageCodeInChannels, 2, 1, &m_PgInChannels,
           &m_hItemInChannels},
          {IDS_PAGE_OUTPUT_CHANNELS, 3, PageCodeOutChannels, 3, 2, &m_PgOutChannels,
           &m_hItemOutChannels},
          {IDS_PAGE_SYNCHRONISATION, 5, PageCodeSynchronisation, 5, 5, &m_PgSamplingRate,
           &m_hItemSynchronisation},
          {IDS_PAGE_SETTINGS, 2, PageCodeSettings, 0, 4, &m_PgBuffers, &m_hItemSettings},
          {IDS_PAGE_STREAMS, 4, PageCodeStreams, 4, 3, &m_PgStreams, &m_hItemStreams},
          {IDS_PAGE_DROPOUTS, 6, PageCodeDropOuts, 6, 6, &m_PgDropOuts, &m_hItemDropOuts},
      }},
      m_bWarnAboutDropOuts(Preferences::WarnAboutDropOuts()) {
    gDrv.Open();
}

CIXO_CPLView::~CIXO_CPLView() {
    gDrv.Close();
}

CIXO_CPLView* CIXO_CPLView::FromApp() {
    CWinApp* app = AfxGetApp();
    auto* frame = app ? dynamic_cast<CFrameWnd*>(app->m_pMainWnd) : nullptr;
    return frame ? dynamic_cast<CIXO_CPLView*>(frame->GetActiveView()) : nullptr;
}

std::array<CDlgPgBase*, CIXO_CPLView::PageCount> CIXO_CPLView::PagesBy(int PageSlot::*place) const {
    std::array<CDlgPgBase*, PageCount> pages{};
    for (const PageSlot& slot : m_Pages)
        pages[static_cast<size_t>(slot.*place)] = slot.page;
    return pages;
}

BOOL CIXO_CPLView::PreCreateWindow(CREATESTRUCTA& cs) {
    if (!CFormView::PreCreateWindow(cs))
        return FALSE;
    cs.style &= ~static_cast<LONG>(WS_BORDER);
    return TRUE;
}

void CIXO_CPLView::DoDataExchange(CDataExchange* pDX) {
    CFormView::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_PAGE_TREE, m_Tree);
}

void CIXO_CPLView::OnInitialUpdate() {
    CFormView::OnInitialUpdate();
    // A repeated initial update (new or open document) must not register or
    // start a second time.
    if (!m_hDevNotify && !RegisterForDeviceNotification(DriverInterfaceClass))
        Trace("ERROR: Unable to register device notification.\n");
    gDrv.SetStallNotify(m_hWnd, WM_APP_DRIVER_STALLED);
    if (!m_Notificator.m_hThread)
        StartListener();
    if (CFrameWnd* frame = GetParentFrame()) {
        frame->RecalcLayout();
        ResizeParentToFit();
    }
    if (!m_bFirstUpdate)
        return;
    CreatePages();
    HideAllPages();
    CreateImageList();
    FillTree();
    HideAllPages();
    const CIXO_CPLApp* app = CIXO_CPLApp::FromApp();
    m_Tree.SelectItem(app && app->m_bStartWithAsioPage ? m_hItemSettings : m_hItemDevices);
    m_bFirstUpdate = false;
    m_PgDropOuts.SetWarning(m_bWarnAboutDropOuts);
    CFrameWnd* frame = GetParentFrame();
    OnFrameShown(frame && frame->IsWindowVisible());
    // The focus starts on the tree: a frame that is active already gets it
    // there now, any other when it is activated.
    if (frame && ::GetActiveWindow() == frame->m_hWnd)
        m_Tree.SetFocus();
}

uint32_t CIXO_CPLView::StartListener() {
    if (m_bDriverEnded)
        return DRVSTATUS_NOT_OPEN;
    m_Notificator.SetNotifyTarget(m_hWnd, WM_APP_DRIVER_EVENT, 0, 0);
    m_Notificator.SetStallNotify(m_hWnd, WM_APP_DRIVER_STALLED);
    return m_Notificator.Start();
}

// Each page fills itself from the driver while it is created; a page whose
// window cannot be made stays without one and the others work. A page is
// shown through ShowWindow, not through the placement, so that it gets the
// WM_SHOWWINDOW of its first showing: the streams page fills itself there.
void CIXO_CPLView::CreatePages() {
    RegisterDropOutGraphClass();
    for (CDlgPgBase* page : PagesBy(&PageSlot::created)) {
        page->Create(this);
        PlacePage(*page, 0);
        page->ShowWindow(SW_SHOW);
    }
}

// The pages' pixel position scales with the DPI, the form's line with its
// font, which grows a little faster than the DPI with some fonts: the pages
// keep clear of the line whichever grows more.
POINT CIXO_CPLView::PagePosition() const {
    RECT separator{0, 0, SeparatorRight, 0};
    ::MapDialogRect(m_hWnd, &separator);
    return {std::max(ScaleForDpi(PageLeft, LayoutDpi()),
                     static_cast<int>(separator.right) + ScaleForDpi(SeparatorGap, LayoutDpi())),
            ScaleForDpi(PageTop, LayoutDpi())};
}

void CIXO_CPLView::PlacePage(CDlgPgBase& page, UINT flags) {
    const POINT position = PagePosition();
    const POINT scroll = ScrollPosition();
    page.SetWindowPos(nullptr, position.x - scroll.x, position.y - scroll.y, 0, 0,
                      SWP_NOSIZE | SWP_NOZORDER | flags);
}

void CIXO_CPLView::OnDpiChanged(UINT dpi) {
    if (dpi == LayoutDpi() || m_bFirstUpdate)
        return;
    const UINT fromTo[] = {LayoutDpi(), dpi};
    SetLayoutDpi(dpi);
    for (const PageSlot& slot : m_Pages) {
        if (!slot.page->m_hWnd)
            continue;
        PlacePage(*slot.page, SWP_NOACTIVATE);
        ::EnumChildWindows(slot.page->m_hWnd, RescaleListColumns, reinterpret_cast<LPARAM>(fromTo));
    }
    CreateImageList();
}

void CIXO_CPLView::CreateImageList() {
    const int size = ScaleForDpi(kIconSize, LayoutDpi());
    m_ImageList.Create(size, size, 0, static_cast<int>(PageCount), 1);
    for (UINT iconId : kTreeIcons) {
        HICON icon =
            static_cast<HICON>(::LoadImageA(AfxGetResourceHandle(), MAKEINTRESOURCEA(iconId),
                                            IMAGE_ICON, size, size, LR_DEFAULTCOLOR));
        m_ImageList.Add(icon);
        if (icon)
            ::DestroyIcon(icon);
    }
    m_Tree.SetImageList(&m_ImageList, TVSIL_NORMAL);
}

void CIXO_CPLView::FillTree() {
    for (const PageSlot& row : m_Pages) {
        *row.item = m_Tree.InsertItem(LoadResString(row.labelId), row.image, row.image);
        m_Tree.SetItemData(*row.item, row.code);
    }
}

// In the order the pages were made: a page may re-read the driver when it is
// hidden, so the order shows in the requests.
void CIXO_CPLView::HideAllPages() {
    for (CDlgPgBase* page : PagesBy(&PageSlot::created))
        page->ShowWindow(SW_HIDE);
}

void CIXO_CPLView::OnSelChanged(NMHDR*, LRESULT* pResult) {
    // A page switched from within a page (Ctrl+Tab) leaves the focus on the
    // tree, never inside the page that goes.
    CDlgPgBase* visible = VisiblePage();
    if (visible && FocusIsIn(*visible))
        m_Tree.SetFocus();
    HideAllPages();
    const DWORD code =
        static_cast<DWORD>(m_Tree.GetItemData(m_Tree.GetSelectedItem())) & PageCodeMask;
    for (const PageSlot& row : m_Pages) {
        if (row.code != code)
            continue;
        row.page->ShowWindow(SW_SHOW);
        // While the driver does not answer, that stays in view.
        CFrameWnd* frame = GetParentFrame();
        if (frame && !DriverStalled())
            frame->SetMessageText(LoadResString(row.labelId));
        break;
    }
    *pResult = 0;
}

CDlgPgBase* CIXO_CPLView::VisiblePage() {
    for (const PageSlot& slot : m_Pages)
        if (slot.page->m_hWnd && (slot.page->GetStyle() & WS_VISIBLE))
            return slot.page;
    return nullptr;
}

bool CIXO_CPLView::FocusIsIn(const CDlgPgBase& page) const {
    HWND focus = ::GetFocus();
    return focus && page.m_hWnd && (focus == page.m_hWnd || ::IsChild(page.m_hWnd, focus));
}

// F6 and Shift+F6: from the tree to the page's first tab stop, from anywhere
// else back to the tree. A page with nothing to focus keeps it on the tree.
void CIXO_CPLView::OnSwitchPane() {
    CDlgPgBase* page = VisiblePage();
    HWND target = m_Tree.m_hWnd;
    if (::GetFocus() == m_Tree.m_hWnd && page) {
        HWND first = ::GetNextDlgTabItem(page->m_hWnd, nullptr, FALSE);
        if (first && ::IsChild(page->m_hWnd, first))
            target = first;
    }
    SendMessage(WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(target), TRUE);
}

void CIXO_CPLView::OnNextPage() {
    SelectPageBy(1);
}

void CIXO_CPLView::OnPrevPage() {
    SelectPageBy(-1);
}

void CIXO_CPLView::SelectPageBy(int step) {
    HTREEITEM selected = m_Tree.GetSelectedItem();
    int current = -1;
    for (size_t i = 0; i < m_Pages.size(); ++i)
        if (*m_Pages[i].item == selected)
            current = static_cast<int>(i);
    const int count = static_cast<int>(PageCount);
    const int next = current < 0 ? 0 : (current + step + count) % count;
    m_Tree.SelectItem(*m_Pages[static_cast<size_t>(next)].item);
}

void CIXO_CPLView::UpdateDeviceDependentPages() {
    m_PgInChannels.UpdateChannelList();
    m_PgOutChannels.UpdateChannelList();
    m_PgSamplingRate.UpdateSynchronisationSettings();
}

// Each list is refilled unseen and paints once after the reload; the rest of
// the shown page repaints only what changed. Hiding the whole view meanwhile
// would have all of it repainted, the tree and every button, on every reload.
void CIXO_CPLView::UpdateAllPages() {
    for (CDlgPgBase* page : PagesBy(&PageSlot::reloaded))
        page->UpdatePage();
}

void CIXO_CPLView::OnDevicesChanged() {
    UpdateDeviceDependentPages();
}

LRESULT CIXO_CPLView::OnDeviceCount(WPARAM count, LPARAM) {
    if (auto* frame = dynamic_cast<CMainFrame*>(GetParentFrame()))
        frame->ShowDeviceCount(static_cast<int>(count));
    return 0;
}

LRESULT CIXO_CPLView::OnIncludeDeviceName(WPARAM check, LPARAM) {
    m_PgInChannels.FollowIncludeDeviceName(static_cast<int>(check));
    m_PgOutChannels.FollowIncludeDeviceName(static_cast<int>(check));
    return 0;
}

void CIXO_CPLView::OnCopyDiagnostics() {
    SYSTEMTIME now{};
    ::GetLocalTime(&now);
    const std::string report =
        CDiagnosticsReport(gDrv, m_Notificator).Build(now) +
        CDiagnosticsReport::MonitorSection(m_PgDropOuts.History(), UnixNow());
    const BOOL copied = SetClipboardText(m_hWnd, report);
    if (CFrameWnd* frame = GetParentFrame())
        frame->SetMessageText(copied ? IDS_DIAG_COPIED : IDS_DIAG_NOT_COPIED);
}

void CIXO_CPLView::OnFrameShown(bool shown) {
    m_bFrameShown = shown;
    for (const PageSlot& slot : m_Pages)
        if (slot.page->m_hWnd)
            slot.page->OnHostShown(shown);
    UpdateDropOutPoll();
}

void CIXO_CPLView::UpdateDropOutPoll() {
    const bool run = !m_bDriverEnded && (m_bFrameShown || m_bWarnAboutDropOuts);
    if (run == m_bDropOutPoll)
        return;
    if (run) {
        m_bDropOutPoll = SetTimer(DropOutPollTimerId, DropOutPollMs) != 0;
    } else {
        KillTimer(DropOutPollTimerId);
        m_bDropOutPoll = false;
    }
}

void CIXO_CPLView::PollDropOuts() {
    if (m_PgBuffers.PollsDropOuts())
        return;
    AsioStatistics statistics{};
    const uint32_t status = gDrv.GetAsioStatistics(&statistics);
    RecordDropOuts(status, statistics.DropOuts);
}

LRESULT CIXO_CPLView::OnAsioStatistics(WPARAM status, LPARAM total) {
    RecordDropOuts(static_cast<uint32_t>(status), static_cast<uint32_t>(total));
    return 0;
}

void CIXO_CPLView::RecordDropOuts(uint32_t status, uint32_t total) {
    const uint32_t added = m_PgDropOuts.Record(status, total, UnixNow());
    if (auto* frame = dynamic_cast<CMainFrame*>(GetParentFrame()))
        frame->ShowDropOuts(m_PgDropOuts.History(), added, m_bWarnAboutDropOuts);
}

void CIXO_CPLView::OnDropOutsReset() {
    if (auto* frame = dynamic_cast<CMainFrame*>(GetParentFrame())) {
        frame->ShowDropOuts(m_PgDropOuts.History(), 0, m_bWarnAboutDropOuts);
        frame->ClearDropOutWarning();
    }
}

LRESULT CIXO_CPLView::OnDropOutWarning(WPARAM check, LPARAM) {
    m_bWarnAboutDropOuts = check == BST_CHECKED;
    Preferences::SetWarnAboutDropOuts(m_bWarnAboutDropOuts);
    UpdateDropOutPoll();
    return 0;
}

void CIXO_CPLView::OnShowSettings() {
    m_Tree.SelectItem(m_hItemSettings);
}

bool CIXO_CPLView::RegisterForDeviceNotification(const GUID& interfaceClass) {
    DEV_BROADCAST_DEVICEINTERFACE_A filter{};
    filter.dbcc_size = sizeof(filter);
    filter.dbcc_devicetype = DBT_DEVTYP_DEVICEINTERFACE;
    filter.dbcc_classguid = interfaceClass;
    m_hDevNotify = ::RegisterDeviceNotificationA(m_hWnd, &filter, DEVICE_NOTIFY_WINDOW_HANDLE);
    if (!m_hDevNotify) {
        Trace("RegisterDeviceNotification failed, errcode:%08lX\n", ::GetLastError());
        return false;
    }
    return true;
}

BOOL CIXO_CPLView::OnDeviceChange(UINT event, DWORD_PTR data) {
    if (InterfaceName(data).size() < kMinInterfaceNameLength)
        return TRUE;
    switch (event) {
    case DBT_DEVICEARRIVAL:
    case DBT_DEVICEREMOVECOMPLETE:
        ReopenDriver();
        break;
    case DBT_DEVICEQUERYREMOVE:
        Trace("MSG: DBT_DEVICEQUERYREMOVE -- Application returned success.\n");
        break;
    default:
        break;
    }
    return TRUE;
}

// Only a closed or lost connection is reopened: while it works, the driver
// itself reports what an arrival or removal changed.
void CIXO_CPLView::ReopenDriver() {
    if (m_bDriverEnded || (gDrv.m_hDevice && !DropLostConnections()))
        return;
    const DWORD status = gDrv.Open();
    if (status != 0) {
        Trace("gDrv.Open() failed, Status:%08lX\n", status);
    } else if (!m_Notificator.m_hThread) {
        const uint32_t started = StartListener();
        if (started != 0)
            Trace("m_Notificator.Start() failed, Status:%08X\n", started);
    }
    UpdateAllPages();
}

// A driver loaded anew (an update, a reinstall) knows neither of the old
// handles, so both connections start over. One cheap request tells; a
// healthy connection is kept as it is.
bool CIXO_CPLView::DropLostConnections() {
    DriverVersion version{};
    const uint32_t status = gDrv.GetInterfaceVersion(&version);
    if (!IsConnectionLost(status))
        return false;
    Trace("gDrv connection lost, Status:%08X\n", status);
    m_Notificator.Stop();
    gDrv.Close();
    return true;
}

// Every wake-up that is still queued is covered by the drain that follows,
// so it is taken now: a storm of wake-ups cannot crowd out input and paint,
// which the system hands out only after every posted message.
LRESULT CIXO_CPLView::OnDriverEvent(WPARAM, LPARAM) {
    MSG later;
    while (::PeekMessageA(&later, m_hWnd, WM_APP_DRIVER_EVENT, WM_APP_DRIVER_EVENT, PM_REMOVE)) {
    }
    if (!m_bDrainScheduled)
        DrainNotifications();
    return 0;
}

void CIXO_CPLView::OnTimer(UINT_PTR id) {
    if (id == ProbeTimerId) {
        ProbeDriver();
        return;
    }
    if (id == DropOutPollTimerId) {
        PollDropOuts();
        return;
    }
    if (id != DrainTimerId)
        return;
    KillTimer(DrainTimerId);
    m_bDrainScheduled = false;
    DrainNotifications();
}

LRESULT CIXO_CPLView::OnDriverStalled(WPARAM, LPARAM) {
    if (m_bDriverEnded || !DriverStalled())
        return 0;
    ShowDriverState();
    SetTimer(ProbeTimerId, ProbeIntervalMs);
    return 0;
}

// Both connections are asked every time, so that either may recover. The
// reload is the only one the recovery makes; the driver's events that were
// queued meanwhile are drained after it.
void CIXO_CPLView::ProbeDriver() {
    const bool settingsAnswer = gDrv.ProbeStalled();
    const bool eventsAnswer = m_Notificator.ProbeStalled();
    if (m_bDriverEnded || !settingsAnswer || !eventsAnswer)
        return;
    KillTimer(ProbeTimerId);
    ShowDriverState();
    if (gDrv.m_hDevice && !m_Notificator.m_hThread)
        StartListener();
    UpdateAllPages();
    PostMessage(WM_APP_DRIVER_EVENT);
}

void CIXO_CPLView::ShowDriverState() {
    if (auto* frame = dynamic_cast<CMainFrame*>(GetParentFrame()))
        frame->ShowDriverNotResponding(DriverStalled());
    for (const PageSlot& slot : m_Pages)
        if (slot.page->m_hWnd)
            slot.page->ShowWhyEmpty();
}

void CIXO_CPLView::EndDriverAccess() {
    m_bDriverEnded = true;
    UpdateDropOutPoll();
    KillTimer(ProbeTimerId);
    KillTimer(DrainTimerId);
    m_bDrainScheduled = false;
    m_Notificator.Stop();
    gDrv.Close();
}

// Takes the driver's events until it reports the queue empty, one reload of
// all pages for each that changes what they show. A drain that would not end
// within its slice with one more reload as long as the last, or that finds
// input waiting, goes on from a timer: the system hands out timer messages
// only when no input and no painting is due, so the window answers between
// two slices however long the driver goes on.
void CIXO_CPLView::DrainNotifications() {
    const ULONGLONG start = ::GetTickCount64();
    ULONGLONG lastReload = 0;
    for (;;) {
        Notification notification{};
        const DWORD status = m_Notificator.GetNotification(&notification);
        if (status == DRVSTATUS_NO_MORE_NOTIFICATIONS) {
            Trace("GetNotification: no more notifications\n");
            return;
        }
        if (status != 0) {
            Trace("GetNotification failed, Status:%08lX\n", status);
            return;
        }
        Trace("GetNotification: Type %u (%s)\n", notification.Type,
              EventTypeName(notification.Type));
        if (notification.Type == EvtType_StreamingRestarted ||
            notification.Type == EvtType_DomainConfigurationChanged) {
            const ULONGLONG reloadStart = ::GetTickCount64();
            UpdateAllPages();
            lastReload = ::GetTickCount64() - reloadStart;
        }
        if (::GetTickCount64() - start + lastReload >= DrainSliceMs ||
            HIWORD(::GetQueueStatus(QS_INPUT))) {
            m_bDrainScheduled = SetTimer(DrainTimerId, USER_TIMER_MINIMUM) != 0;
            if (m_bDrainScheduled)
                return;
        }
    }
}

// The listener goes before the pages and this window, and its target is
// cleared so that nothing is posted to a window that no longer exists.
void CIXO_CPLView::OnDestroy() {
    m_bDriverEnded = true;
    UpdateDropOutPoll();
    KillTimer(DrainTimerId);
    KillTimer(ProbeTimerId);
    m_bDrainScheduled = false;
    m_Notificator.Stop();
    m_Notificator.SetNotifyTarget(nullptr, 0, 0, 0);
    m_Notificator.SetStallNotify(nullptr, 0);
    gDrv.SetStallNotify(nullptr, 0);
    if (m_hDevNotify) {
        ::UnregisterDeviceNotification(m_hDevNotify);
        m_hDevNotify = nullptr;
    }
}
