#include "CDlgPgStreams.h"

#include "CDriverSettings.h"
#include "DataExchange.h"
#include "DriverCodes.h"
#include "EmptyListText.h"
#include "ResString.h"
#include "TextFormat.h"
#include "resource.h"

#include <vector>

namespace {

constexpr ListColumn Columns[] = {
    {IDS_COL_DEVICE_NAME, 140},   {IDS_COL_AUDIO_OUT_PLUG, 90}, {IDS_COL_AUDIO_IN_PLUG, 90},
    {IDS_COL_SYNCH_OUT_PLUG, 90}, {IDS_COL_SYNCH_IN_PLUG, 90},
};

struct PlugError {
    uint32_t code;
    UINT message;
};

constexpr PlugError PlugErrors[] = {
    {DRVSTATUS_FCP_REJECTED, IDS_ERR_FCP_REJECTED},
    {DRVSTATUS_CHANNEL_ALLOCATION_FAILED, IDS_ERR_CHANNEL_ALLOCATION},
    {DRVSTATUS_BANDWIDTH_ALLOCATION_FAILED, IDS_ERR_BANDWIDTH_ALLOCATION},
    {DRVSTATUS_ISO_RESOURCE_ALLOCATION_FAILED, IDS_ERR_ISO_RESOURCE_ALLOCATION},
    {DRVSTATUS_START_STREAMING_FAILED, IDS_ERR_START_STREAMING},
    {DRVSTATUS_CHANNEL_CHANGED_BY_BUS_RESET, IDS_ERR_CHANNEL_CHANGED},
    {DRVSTATUS_SAMPLE_RATE_NOT_SUPPORTED, IDS_ERR_RATE_NOT_SUPPORTED},
};

// Rates with a name; the name is the rate in hertz.
constexpr uint32_t NamedRates[] = {32000, 44100, 48000, 88200, 96000, 176400, 192000};

std::string RateName(uint32_t rate) {
    for (uint32_t named : NamedRates)
        if (rate == named)
            return std::to_string(rate);
    return "unknown  ";
}

std::string ErrorMessage(uint32_t code, LANGID language) {
    for (const PlugError& error : PlugErrors)
        if (code == error.code)
            return LoadResString(error.message, language);
    return {};
}

} // namespace

constexpr MessageMap CDlgPgStreams::messageMap{
    &CDlgPgBase::messageMap,
    {
        {WM_SHOWWINDOW, 0, 0, On<&CDlgPgStreams::OnShowWindow>},
        {WM_NOTIFY, LVN_ITEMCHANGED, IDC_STREAM_LIST, On<&CDlgPgStreams::OnItemChangedStreamList>},
        {WM_NOTIFY, LVN_DELETEALLITEMS, IDC_STREAM_LIST, On<&CDlgPgStreams::OnDeleteAllItems>},
    }};

CDlgPgStreams::CDlgPgStreams(CWnd* pParent) : CDlgPgBase(IDD_PAGE_STREAMS, pParent) {}

CDlgPgStreams::~CDlgPgStreams() = default;

void CDlgPgStreams::DoDataExchange(CDataExchange* pDX) {
    CDlgPgBase::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_STREAM_LIST, m_List);
    DDX_Text(pDX, IDC_STREAM_DETAILS, m_strDetails);
}

BOOL CDlgPgStreams::OnInitDialog() {
    CDlgPgBase::OnInitDialog();
    m_List.InsertColumns(Columns);
    m_List.SetExtendedStyle(m_List.GetExtendedStyle() | LVS_EX_HEADERDRAGDROP | LVS_EX_GRIDLINES |
                            LVS_EX_FULLROWSELECT);
    return TRUE;
}

// The driver is asked first: however long it takes, the list shows what it
// showed until the answers are in, and then refills at once.
void CDlgPgStreams::UpdatePage() {
    m_strDetails.clear();
    std::vector<DeviceStreams> devices;
    if (gDrv.GetDevProp() == 0)
        for (int device = 0; device < gDrv.m_Devices.GetSize(); ++device)
            devices.push_back(ReadStreams(device));
    {
        // Every showing starts the list afresh, with no row selected.
        CListCtrl::Refill refill(m_List, CListCtrl::Refill::Selection::Drop);
        for (const DeviceStreams& device : devices)
            InsertDeviceRow(device);
    }
    ShowWhyEmpty();
    UpdateData(FALSE);
}

void CDlgPgStreams::ShowWhyEmpty() {
    m_List.SetEmptyText(BriefEmptyListText(CurrentDriverState()));
}

CDlgPgStreams::DeviceStreams CDlgPgStreams::ReadStreams(int device) {
    DeviceStreams streams{device, false, {}};
    const DeviceProperties* properties = gDrv.m_Devices.GetAt(device);
    streams.Read = gDrv.GetStreamStatus(properties->DeviceId, &streams.Status) == 0;
    return streams;
}

void CDlgPgStreams::InsertDeviceRow(const DeviceStreams& device) {
    const DeviceProperties* properties = gDrv.m_Devices.GetAt(device.Index);
    const int row = m_List.InsertItem(device.Index, FieldText(properties->DeviceName),
                                      static_cast<DWORD_PTR>(device.Index));
    if (!device.Read)
        return;
    m_List.SetItemText(row, 1, GetPlugStateText(device.Status.AudioOut));
    m_List.SetItemText(row, 2, GetPlugStateText(device.Status.AudioIn));
    m_List.SetItemText(row, 3, GetPlugStateText(device.Status.SynchOut));
    m_List.SetItemText(row, 4, GetPlugStateText(device.Status.SynchIn));
}

std::string CDlgPgStreams::GetPlugStateText(const PlugStatus& plug, LANGID language) {
    switch (plug.State) {
    case PLUG_STATE_CONNECTED:
        return LoadResString(IDS_PLUG_CONNECTED, language) + " (" +
               std::to_string(plug.StreamNumber) + ")";
    case PLUG_STATE_CONNECT_FAILED:
        return LoadResString(IDS_PLUG_CONNECT_FAILED, language);
    default:
        return {};
    }
}

std::string CDlgPgStreams::GetPlugDetailsText(const PlugStatus& plug, const std::string& label) {
    switch (plug.State) {
    case PLUG_STATE_CONNECTED:
        return label + ": " + LoadResString(IDS_PLUG_CONNECT_SUCCEEDED) + "\n   " +
               LoadResString(IDS_PLUG_STREAM_NUMBER) + ": " +
               std::to_string(static_cast<int32_t>(plug.StreamNumber)) + "\n   " +
               GetSupportedRatesText(plug);
    case PLUG_STATE_CONNECT_FAILED:
        return label + ": " + LoadResString(IDS_PLUG_CONNECT_FAILED) + " (" +
               GetPlugErrorText(plug.ErrorCode) + ")";
    default:
        return {};
    }
}

std::string CDlgPgStreams::GetPlugErrorText(uint32_t errorCode, LANGID language) {
    const std::string code = FormatText("0x%08X", static_cast<unsigned>(errorCode));
    return LoadResString(IDS_ERROR_CODE, language) + " " + code + ": " +
           ErrorMessage(errorCode, language);
}

std::string CDlgPgStreams::GetSupportedRatesText(const PlugStatus& plug) {
    std::string text = LoadResString(IDS_SUPPORTED_RATES);
    // A driver that claims more rates than the record holds shows the ones it has.
    const uint32_t count = ClampedCount(plug.RateCount, plug.SupportedRates);
    for (uint32_t i = 0; i < count; ++i) {
        const uint32_t rate = plug.SupportedRates[i];
        const bool current = rate == plug.SampleRate;
        text += (current ? "[" : "") + RateName(rate) + (current ? "]" : "") + "  ";
    }
    return text;
}

void CDlgPgStreams::OnShowWindow(BOOL bShow, UINT) {
    Default();
    if (bShow)
        UpdatePage();
}

void CDlgPgStreams::OnItemChangedStreamList(NMHDR* pNMHDR, LRESULT* pResult) {
    *pResult = 0;
    if (!CListCtrl::SelectionOrCheckChanged(pNMHDR))
        return;
    m_strDetails.clear();
    const int row = m_List.GetSelectedRow();
    // The row's item data is the device's index; the plug states are asked
    // for afresh rather than taken from the cells.
    const DeviceProperties* device =
        row == -1 ? nullptr : gDrv.m_Devices.GetAt(static_cast<int>(m_List.GetItemData(row)));
    StreamStatus status;
    if (device != nullptr && gDrv.GetStreamStatus(device->DeviceId, &status) == 0)
        m_strDetails = GetPlugDetailsText(status.AudioOut, LoadResString(IDS_PLUG_AUDIO_OUT)) +
                       "\n" + GetPlugDetailsText(status.AudioIn, LoadResString(IDS_PLUG_AUDIO_IN)) +
                       "\n" +
                       GetPlugDetailsText(status.SynchOut, LoadResString(IDS_PLUG_SYNCH_OUT)) +
                       "\n" + GetPlugDetailsText(status.SynchIn, LoadResString(IDS_PLUG_SYNCH_IN));
    UpdateData(FALSE);
    *pResult = 0;
}
