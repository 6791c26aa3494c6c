#include "CDlgPgChannels.h"

#include "CDlgEditChannelName.h"
#include "CDriverSettings.h"
#include "DataExchange.h"
#include "DriverCodes.h"
#include "EmptyListText.h"
#include "PageMessages.h"
#include "ResString.h"
#include "RowRecord.h"
#include "resource.h"

#include <vector>

namespace {

const ListColumn kColumns[] = {
    {IDS_COL_DEVICE_NAME, 160},
    {IDS_COL_CHANNEL_NAME, 160},
    {IDS_COL_ASIO_NAME, 180},
};

const int kDeviceColumn = 0;
const int kChannelColumn = 1;
const int kAsioColumn = 2;

// ASIO hosts show at most this many bytes of a channel's display name.
const size_t kAsioNameLength = 32;

const DWORD kListStyles = LVS_EX_GRIDLINES | LVS_EX_HEADERDRAGDROP | LVS_EX_FULLROWSELECT;

// The cut is byte-wise, as the driver's is. Built in one string: a refill
// names every channel.
std::string AsioName(const std::string& device, const std::string& channel, bool withDevice) {
    std::string name;
    name.reserve(device.size() + channel.size() + 3);
    if (withDevice)
        name.append(device).append(" - ");
    name.append(channel);
    if (name.size() > kAsioNameLength)
        name.resize(kAsioNameLength);
    return name;
}

} // namespace

constexpr MessageMap CDlgPgChannels::messageMap{
    &CDlgPgBase::messageMap,
    {
        {WM_COMMAND, BN_CLICKED, IDC_INCLUDE_DEVICE_NAME, On<&CDlgPgChannels::OnIncludeDeviceName>},
        {WM_NOTIFY, LVN_ITEMCHANGED, IDC_CHANNEL_LIST, On<&CDlgPgChannels::OnChannelListChanged>},
        {WM_COMMAND, BN_CLICKED, IDC_EDIT_CHANNEL_NAME, On<&CDlgPgChannels::OnEditChannelName>},
        {WM_NOTIFY, NM_DBLCLK, IDC_CHANNEL_LIST, On<&CDlgPgChannels::OnChannelListDblClk>},
        {WM_NOTIFY, LVN_KEYDOWN, IDC_CHANNEL_LIST, On<&CDlgPgChannels::OnChannelListKeyDown>},
        {WM_NOTIFY, LVN_DELETEALLITEMS, IDC_CHANNEL_LIST, On<&CDlgPgChannels::OnDeleteAllItems>},
    }};

CDlgPgChannels::CDlgPgChannels(int direction, CWnd* pParent)
    : CDlgPgBase(IDD_PAGE_CHANNELS, pParent), m_nDirection(direction),
      m_nIncludeDeviceName(BST_UNCHECKED) {}

void CDlgPgChannels::DoDataExchange(CDataExchange* pDX) {
    CDlgPgBase::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_INCLUDE_DEVICE_NAME, m_IncludeDeviceName);
    DDX_Control(pDX, IDC_HARDWARE_NAME, m_HardwareName);
    DDX_Control(pDX, IDC_HARDWARE_NAME_LABEL, m_HardwareNameLabel);
    DDX_Control(pDX, IDC_EDIT_CHANNEL_NAME, m_EditName);
    DDX_Control(pDX, IDC_CHANNEL_LIST, m_List);
    DDX_Check(pDX, IDC_INCLUDE_DEVICE_NAME, m_nIncludeDeviceName);
    DDX_Text(pDX, IDC_HARDWARE_NAME, m_strHardwareName);
}

BOOL CDlgPgChannels::OnInitDialog() {
    CDlgPgBase::OnInitDialog();
    m_List.InsertColumns(kColumns);
    m_List.SetExtendedStyle(m_List.GetExtendedStyle() | kListStyles);
    // The hidden label names the list for screen readers, per direction.
    CWindowHandle(GetDlgItem(IDC_CHANNEL_LIST_LABEL))
        .SetWindowText(
            LoadResString(m_nDirection == 0 ? IDS_PAGE_INPUT_CHANNELS : IDS_PAGE_OUTPUT_CHANNELS));
    m_EditName.EnableWindow(FALSE);
    if (gDrv.GetIncludeDeviceName(&gDrv.m_IncludeDeviceName) == DRVSTATUS_SUCCESS)
        m_nIncludeDeviceName = gDrv.m_IncludeDeviceName != 0 ? BST_CHECKED : BST_UNCHECKED;
    UpdateChannelList();
    UpdateData(FALSE);
    return TRUE;
}

void CDlgPgChannels::UpdatePage() {
    UpdateChannelList();
}

CRecordArray<ChannelProperties>& CDlgPgChannels::Channels() const {
    return m_nDirection == 0 ? gDrv.m_InChannels : gDrv.m_OutChannels;
}

ChannelProperties* CDlgPgChannels::ChannelAt(int row) const {
    return RowRecord(m_List, row, Channels());
}

// A channel whose device cannot be read gets no row; the rows after it keep
// the indexes of their own channels as item data. The driver is asked first:
// however long it takes, the list shows what it showed until the answers are
// in, and then refills at once.
void CDlgPgChannels::UpdateChannelList() {
    CRecordArray<ChannelProperties>& channels = Channels();
    std::vector<ChannelRow> rows;
    if (gDrv.GetChanProp(channels, m_nDirection) == DRVSTATUS_SUCCESS) {
        rows.reserve(static_cast<size_t>(channels.GetSize()));
        for (int index = 0; index < channels.GetSize(); ++index)
            ReadChannelRow(index, *channels.GetAt(index), rows);
    }
    // The details follow once, at the end, not the selection the refill
    // gives back.
    m_bRebuildingRows = true;
    {
        CListCtrl::Refill refill(m_List);
        for (const ChannelRow& row : rows)
            InsertChannelRow(row);
    }
    m_bRebuildingRows = false;
    ShowWhyEmpty();
    UpdateChannelDetails();
}

void CDlgPgChannels::ShowWhyEmpty() {
    m_List.SetEmptyText(BriefEmptyListText(CurrentDriverState()));
}

void CDlgPgChannels::ReadChannelRow(int index, const ChannelProperties& channel,
                                    std::vector<ChannelRow>& rows) {
    DeviceProperties device{};
    if (gDrv.GetDeviceProperties(channel.DeviceId, &device) != DRVSTATUS_SUCCESS)
        return;
    rows.push_back({index, FieldText(device.DeviceName), FieldText(channel.ChannelName)});
}

void CDlgPgChannels::InsertChannelRow(const ChannelRow& channel) {
    int row =
        m_List.InsertItem(channel.Index, channel.DeviceName, static_cast<DWORD_PTR>(channel.Index));
    if (row < 0)
        return;
    m_List.SetItemText(row, kChannelColumn, channel.ChannelName);
    // Named with the texts of its own row, each cell set once: a refill of
    // all channels at capacity costs no second pass over the rows.
    m_List.SetItemText(
        row, kAsioColumn,
        AsioName(channel.DeviceName, channel.ChannelName, m_nIncludeDeviceName != BST_UNCHECKED));
}

// Built from the texts the list shows, so the display name always matches the
// other two columns.
void CDlgPgChannels::UpdateAsioNames() {
    const bool withDevice = m_nIncludeDeviceName != BST_UNCHECKED;
    int rows = m_List.GetItemCount();
    for (int row = 0; row < rows; ++row)
        m_List.SetItemText(row, kAsioColumn,
                           AsioName(m_List.GetItemText(row, kDeviceColumn),
                                    m_List.GetItemText(row, kChannelColumn), withDevice));
}

void CDlgPgChannels::UpdateChannelDetails() {
    int selected = m_List.GetSelectedRow();
    BOOL enable = selected >= 0;
    std::string text;
    if (enable) {
        const ChannelProperties* channel = ChannelAt(selected);
        if (channel)
            text = " " + FieldText(channel->HardwareName);
    }
    EnableControl(m_EditName.m_hWnd, enable, {m_List.m_hWnd});
    m_HardwareNameLabel.EnableWindow(enable);
    EnableControl(m_HardwareName.m_hWnd, enable, {m_List.m_hWnd});
    m_strHardwareName = text;
    UpdateData(FALSE);
}

// The setting is one for both directions: the parent has both pages follow
// the box that was clicked.
void CDlgPgChannels::OnIncludeDeviceName() {
    UpdateData(TRUE);
    gDrv.m_IncludeDeviceName = m_nIncludeDeviceName != BST_UNCHECKED ? 1 : 0;
    gDrv.SetIncludeDeviceName(gDrv.m_IncludeDeviceName);
    TellParent(WM_APP_INCLUDE_DEVICE_NAME, static_cast<WPARAM>(m_nIncludeDeviceName));
}

void CDlgPgChannels::FollowIncludeDeviceName(int check) {
    m_nIncludeDeviceName = check;
    UpdateData(FALSE);
    UpdateAsioNames();
}

void CDlgPgChannels::OnChannelListChanged(NMHDR* pNMHDR, LRESULT* pResult) {
    if (!m_bRebuildingRows && CListCtrl::SelectionOrCheckChanged(pNMHDR))
        UpdateChannelDetails();
    *pResult = 0;
}

void CDlgPgChannels::OnChannelListDblClk(NMHDR*, LRESULT* pResult) {
    OnEditChannelName();
    *pResult = 0;
}

// F2 renames, as in Explorer; Enter stays with the page, which ignores it.
void CDlgPgChannels::OnChannelListKeyDown(NMHDR* pNMHDR, LRESULT* pResult) {
    if (reinterpret_cast<const NMLVKEYDOWN*>(pNMHDR)->wVKey == VK_F2)
        OnEditChannelName();
    *pResult = 0;
}

void CDlgPgChannels::OnEditChannelName() {
    int selected = m_List.GetSelectedRow();
    if (selected >= 0)
        EditChannelName(RowIndex(m_List, selected));
}

// The dialog edits a copy: a driver event may re-read the model while it is
// open, and only the copy is sent.
void CDlgPgChannels::EditChannelName(int channel) {
    const ChannelProperties* record = Channels().GetAt(channel);
    if (!record)
        return;
    ChannelProperties copy = *record;
    CDlgEditChannelName dialog(&copy);
    if (dialog.DoModal() != IDOK)
        return;
    gDrv.SetChannelProperties(&copy);
    UpdateChannelList();
}
