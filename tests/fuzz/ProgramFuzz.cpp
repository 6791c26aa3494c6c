#include "ProgramFuzz.h"

#include "AppMessages.h"
#include "CDriverSettings.h"
#include "CIXO_CPLView.h"
#include "CMainFrame.h"
#include "DeviceNotification.h"
#include "DialogCloser.h"
#include "DriverCodes.h"
#include "MessagePump.h"
#include "ReplyFuzzer.h"
#include "SimDefaultSetup.h"
#include "Simulator.h"
#include "UiActions.h"
#include "resource.h"

#include <commctrl.h>
#include <dbt.h>

#include <iterator>

namespace {

constexpr uint32_t kMaxActions = 8;
constexpr char kInterfaceName[] = "\\\\?\\1394#Tarnet&Quadra#0001#{006902cb}";
// How long the listener may take to pass on a driver signal.
constexpr ULONGLONG kListenerWaitMs = 500;

} // namespace

const ProgramFuzz::Action ProgramFuzz::s_Actions[] = {
    &ProgramFuzz::Reload,
    &ProgramFuzz::DriverEvent,
    &ProgramFuzz::DriverEvent,
    &ProgramFuzz::SwitchPage,
    &ProgramFuzz::SelectRow,
    &ProgramFuzz::EditDeviceName,
    &ProgramFuzz::EditChannelName,
    &ProgramFuzz::ChangeSynchMode,
    &ProgramFuzz::ShowAbout,
    &ProgramFuzz::ApplyRanking,
    &ProgramFuzz::ApplyBuffer,
    &ProgramFuzz::ApplySynch,
    &ProgramFuzz::ApplySamplingRate,
    &ProgramFuzz::ToggleIncludeDeviceName,
    &ProgramFuzz::DeviceChange,
    &ProgramFuzz::PollDropOuts,
};

ProgramFuzz::ProgramFuzz(CMainFrame& frame, CIXO_CPLView& view)
    : m_Frame(frame), m_View(view), m_Sim(CSimulator::Instance()) {}

std::vector<std::string> ProgramFuzz::RunIteration(uint64_t seed) {
    Normalise();
    m_Random = FuzzRandom::For(seed, 0);
    m_Checks = ProgramChecks();
    ReplyFuzzer fuzzer(seed, m_Random.OneOf({5, 15, 30, 60}));
    HoldSomeRequests();
    m_Sim.SetReplyFilter(
        [&fuzzer](uint32_t code, uint32_t& status, std::vector<uint8_t>& reply, DWORD& returned) {
            fuzzer.Filter(code, status, reply, returned);
        });
    {
        DialogCloser closer([this](HWND dialog) { OnDialog(dialog); });
        const uint32_t actions = 1 + m_Random.Below(kMaxActions);
        for (uint32_t i = 0; i < actions; ++i)
            (this->*s_Actions[m_Random.Below(static_cast<uint32_t>(std::size(s_Actions)))])();
        PumpMessages();
        m_Dialogs += static_cast<size_t>(closer.Handled());
        if (closer.Stuck())
            m_Checks.Fail(std::to_string(closer.Stuck()) +
                          " dialog(s) did not end on OK or Cancel");
    }
    m_Sim.SetReplyFilter(nullptr);
    m_Tampered += fuzzer.Tampered();
    m_Checks.CheckProgram(m_View);
    return m_Checks.Breaches();
}

// A driver that takes a moment over one kind of request: the program waits
// for it with its windows alive, and whatever happens meanwhile is held.
void ProgramFuzz::HoldSomeRequests() {
    if (!m_Random.Chance(50))
        return;
    const DriverRequestInfo& request =
        kDriverRequests[m_Random.Below(static_cast<uint32_t>(std::size(kDriverRequests)))];
    m_Sim.DelayRequests(request.Code, m_Random.OneOf({0, 5, 20}), m_Random.Chance(50));
}

void ProgramFuzz::Normalise() {
    m_Sim.ClearDelays();
    m_Sim.SetReplyFilter(nullptr);
    m_Sim.ClearFaults();
    m_Sim.SetDriverPresent(true);
    CSimDefaultSetup::Apply(m_Sim.Model());
    if (!gDrv.m_hDevice)
        gDrv.Open();
    if (!m_View.m_Notificator.m_hThread) {
        m_View.m_Notificator.SetNotifyTarget(m_View.m_hWnd, WM_APP_DRIVER_EVENT, 0, 0);
        m_View.m_Notificator.Start();
    }
    Notification left{};
    while (m_View.m_Notificator.GetNotification(&left) == DRVSTATUS_SUCCESS) {
    }
    HWND inputs = m_View.m_PgInChannels.m_hWnd;
    if (::IsDlgButtonChecked(inputs, IDC_INCLUDE_DEVICE_NAME) != BST_UNCHECKED)
        SetButtonCheck(inputs, IDC_INCLUDE_DEVICE_NAME, BST_UNCHECKED);
    m_View.m_Tree.SelectItem(m_View.m_hItemDevices);
    m_View.UpdateAllPages();
    PumpMessages();
    m_Sim.ClearLog();
}

void ProgramFuzz::Reload() {
    m_View.UpdateAllPages();
}

// The driver queues events, perhaps after a device came or went; the view
// hears of it from the listener's message, or here from a message sent
// straight away.
void ProgramFuzz::DriverEvent() {
    if (m_Random.Chance(30))
        ChangeDevices();
    QueueEvents();
    if (!m_View.m_Notificator.m_hThread || m_Random.Chance(50)) {
        ::SendMessageA(m_View.m_hWnd, WM_APP_DRIVER_EVENT, 0, 0);
    } else {
        // The view drains in one message: once it asked for a notification,
        // that message has been handled.
        const size_t asked = m_Sim.CountRequests(DriverRequest::GetNotification);
        const ULONGLONG until = ::GetTickCount64() + kListenerWaitMs;
        while (m_Sim.CountRequests(DriverRequest::GetNotification) == asked &&
               ::GetTickCount64() < until) {
            ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
            PumpMessages();
        }
    }
    PumpMessages();
}

void ProgramFuzz::QueueEvents() {
    const uint32_t count = 1 + m_Random.Below(4);
    for (uint32_t i = 0; i < count; ++i)
        m_Sim.QueueNotification(m_Random.OneOf(
            {EvtType_BusReset, EvtType_StreamingRestarted, EvtType_DomainConfigurationChanged,
             EvtType_StreamingRestarted, EvtType_DomainConfigurationChanged,
             EvtType_AsioBufferSizeChanged, m_Random.Word()}));
}

// A device is plugged in or pulled out, or the driver goes away for a while.
void ProgramFuzz::ChangeDevices() {
    CSimModel& model = m_Sim.Model();
    switch (m_Random.Below(3)) {
    case 0:
        m_Sim.AddDevice("Tarnet Duo " + std::to_string(m_Random.Below(100)), "TD-0042",
                        m_Random.Below(9), m_Random.Below(9));
        break;
    case 1:
        if (!model.Devices.empty())
            m_Sim.RemoveDevice(
                model.Devices[m_Random.Below(static_cast<uint32_t>(model.Devices.size()))].Id);
        break;
    default:
        m_Sim.SetDriverPresent(m_Random.Chance(50));
        break;
    }
}

void ProgramFuzz::SwitchPage() {
    HTREEITEM items[] = {m_View.m_hItemDevices,     m_View.m_hItemInChannels,
                         m_View.m_hItemOutChannels, m_View.m_hItemSynchronisation,
                         m_View.m_hItemSettings,    m_View.m_hItemStreams};
    m_View.m_Tree.SelectItem(items[m_Random.Below(static_cast<uint32_t>(std::size(items)))]);
}

HWND ProgramFuzz::RandomList() {
    struct PageList {
        HWND page;
        int list;
    };
    const PageList lists[] = {
        {m_View.m_PgDevices.m_hWnd, IDC_DEVICE_LIST},
        {m_View.m_PgInChannels.m_hWnd, IDC_CHANNEL_LIST},
        {m_View.m_PgOutChannels.m_hWnd, IDC_CHANNEL_LIST},
        {m_View.m_PgSamplingRate.m_hWnd, IDC_SYNCH_LIST},
        {m_View.m_PgStreams.m_hWnd, IDC_STREAM_LIST},
    };
    const PageList& chosen = lists[m_Random.Below(static_cast<uint32_t>(std::size(lists)))];
    return ::GetDlgItem(chosen.page, chosen.list);
}

// Mostly a row that exists; now and then one just past the end.
void ProgramFuzz::SelectRandomRow(HWND list) {
    const int rows = ListRowCount(list);
    if (rows > 0 || m_Random.Chance(10))
        SelectListRow(list, static_cast<int>(m_Random.Below(static_cast<uint32_t>(rows) + 1)));
}

void ProgramFuzz::SelectRow() {
    SelectRandomRow(RandomList());
}

// A person can only click a button that is enabled.
void ProgramFuzz::Click(HWND parent, int id) {
    if (::IsWindowEnabled(::GetDlgItem(parent, id)))
        ClickButton(parent, id);
}

void ProgramFuzz::EditDeviceName() {
    HWND page = m_View.m_PgDevices.m_hWnd;
    HWND list = ::GetDlgItem(page, IDC_DEVICE_LIST);
    SelectRandomRow(list);
    if (m_Random.Chance(50))
        Click(page, IDC_EDIT_DEVICE_NAME);
    else
        DoubleClickListRow(list, ListSelectedRow(list));
}

void ProgramFuzz::EditChannelName() {
    HWND page = m_Random.Chance(50) ? m_View.m_PgInChannels.m_hWnd : m_View.m_PgOutChannels.m_hWnd;
    SelectRandomRow(::GetDlgItem(page, IDC_CHANNEL_LIST));
    Click(page, IDC_EDIT_CHANNEL_NAME);
}

void ProgramFuzz::ChangeSynchMode() {
    HWND page = m_View.m_PgSamplingRate.m_hWnd;
    SelectRandomRow(::GetDlgItem(page, IDC_SYNCH_LIST));
    Click(page, IDC_CHANGE_SYNCH_MODE);
}

void ProgramFuzz::ShowAbout() {
    ::SendMessageA(m_Frame.m_hWnd, WM_COMMAND, ID_APP_ABOUT, 0);
}

void ProgramFuzz::ApplyRanking() {
    HWND page = m_View.m_PgDevices.m_hWnd;
    SelectRandomRow(::GetDlgItem(page, IDC_DEVICE_LIST));
    const uint32_t moves = m_Random.Below(4);
    for (uint32_t i = 0; i < moves; ++i)
        Click(page, m_Random.Chance(50) ? IDC_DEVICE_UP : IDC_DEVICE_DOWN);
    Click(page, IDC_APPLY_RANKING);
}

void ProgramFuzz::ApplyBuffer() {
    struct Buffer {
        int slider;
        int apply;
    };
    const Buffer buffers[] = {{IDC_STREAM_BUFFER_SLIDER, IDC_APPLY_STREAM_BUFFER},
                              {IDC_ASIO_BUFFER_SLIDER, IDC_APPLY_ASIO_BUFFER},
                              {IDC_WDM_BUFFER_SLIDER, IDC_APPLY_WDM_BUFFER}};
    const Buffer& buffer = buffers[m_Random.Below(3)];
    HWND page = m_View.m_PgBuffers.m_hWnd;
    HWND slider = ::GetDlgItem(page, buffer.slider);
    if (::IsWindowEnabled(slider)) {
        const int low = static_cast<int>(::SendMessageA(slider, TBM_GETRANGEMIN, 0, 0));
        const int high = static_cast<int>(::SendMessageA(slider, TBM_GETRANGEMAX, 0, 0));
        const uint32_t span = high >= low ? static_cast<uint32_t>(high - low) + 3 : 3;
        MoveTrackbar(
            slider, low - 1 + static_cast<int>(m_Random.Below(span)),
            m_Random.OneOf({TB_THUMBPOSITION, TB_THUMBTRACK, TB_LINEUP, TB_PAGEDOWN, TB_ENDTRACK}));
    }
    Click(page, buffer.apply);
}

void ProgramFuzz::ApplySynch() {
    HWND page = m_View.m_PgSamplingRate.m_hWnd;
    HWND list = ::GetDlgItem(page, IDC_SYNCH_LIST);
    const int rows = ListRowCount(list);
    if (rows > 0 && m_Random.Chance(70))
        CheckListRow(list, static_cast<int>(m_Random.Below(static_cast<uint32_t>(rows))),
                     m_Random.Chance(80));
    const int mode = m_Random.Chance(50) ? IDC_RATE_MANUAL : IDC_RATE_AUTOMATIC;
    if (m_Random.Chance(50) && ::IsWindowEnabled(::GetDlgItem(page, mode)))
        SetButtonCheck(page, mode, BST_CHECKED);
    Click(page, IDC_APPLY_SYNCH);
}

// A refused rate may bring the program's one message box.
void ProgramFuzz::ApplySamplingRate() {
    HWND page = m_View.m_PgSamplingRate.m_hWnd;
    HWND combo = ::GetDlgItem(page, IDC_SAMPLING_RATE_COMBO);
    const int items = static_cast<int>(::SendMessageA(combo, CB_GETCOUNT, 0, 0));
    if (items > 0 && ::IsWindowEnabled(combo))
        SelectComboItem(combo, static_cast<int>(m_Random.Below(static_cast<uint32_t>(items))));
    if (m_Random.Chance(30))
        m_Sim.SetWdmDeviceInUse(true);
    Click(page, IDC_APPLY_SAMPLING_RATE);
    m_Sim.SetWdmDeviceInUse(false);
}

void ProgramFuzz::ToggleIncludeDeviceName() {
    HWND page = m_Random.Chance(50) ? m_View.m_PgInChannels.m_hWnd : m_View.m_PgOutChannels.m_hWnd;
    const bool checked = ::IsDlgButtonChecked(page, IDC_INCLUDE_DEVICE_NAME) != BST_UNCHECKED;
    SetButtonCheck(page, IDC_INCLUDE_DEVICE_NAME, checked ? BST_UNCHECKED : BST_CHECKED);
}

void ProgramFuzz::DeviceChange() {
    if (m_Random.Chance(50))
        ChangeDevices();
    const WPARAM event =
        m_Random.OneOf({DBT_DEVICEARRIVAL, DBT_DEVICEREMOVECOMPLETE, DBT_DEVICEQUERYREMOVE});
    SendDeviceInterfaceChange(m_View.m_hWnd, event, CIXO_CPLView::DriverInterfaceClass,
                              kInterfaceName);
}

void ProgramFuzz::PollDropOuts() {
    ::SendMessageA(m_View.m_PgBuffers.m_hWnd, WM_TIMER, CDlgPgBuffers::DropOutTimerId, 0);
}

std::string ProgramFuzz::RandomName() {
    const uint32_t length = m_Random.OneOf({0, 1, 38, 39, 40, 41, 200, m_Random.Below(80)});
    static const char kAwkward[] = "%s%n\\&\x81\xFE\xFF-";
    std::string name;
    for (uint32_t i = 0; i < length; ++i)
        name += m_Random.Chance(20) ? kAwkward[m_Random.Below(sizeof kAwkward - 1)]
                                    : static_cast<char>('a' + m_Random.Below(26));
    return name;
}

void ProgramFuzz::OnDialog(HWND dialog) {
    m_Checks.CheckDialog(dialog);
    // The driver reports a change while the dialog is open: every page
    // reloads, and the record the dialog edits may be gone from the model.
    if (m_Random.Chance(25)) {
        if (m_Random.Chance(40))
            ChangeDevices();
        QueueEvents();
        ::SendMessageA(m_View.m_hWnd, WM_APP_DRIVER_EVENT, 0, 0);
        m_Sim.SetDriverPresent(true);
    }
    for (int edit : {IDC_DEVICE_NAME_EDIT, IDC_CHANNEL_NAME_EDIT})
        if (::GetDlgItem(dialog, edit) && m_Random.Chance(70))
            SetChildText(dialog, edit, RandomName());
    HWND modes = ::GetDlgItem(dialog, IDC_SYNCH_LIST);
    if (modes && ListRowCount(modes) > 0)
        CheckListRow(modes,
                     static_cast<int>(m_Random.Below(static_cast<uint32_t>(ListRowCount(modes)))),
                     m_Random.Chance(80));
    const bool cancel = ::GetDlgItem(dialog, IDCANCEL) && m_Random.Chance(35);
    ClickButton(dialog, cancel ? IDCANCEL : IDOK);
}
