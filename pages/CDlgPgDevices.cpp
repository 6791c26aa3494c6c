#include "CDlgPgDevices.h"

#include "CDlgEditDeviceName.h"
#include "CDriverSettings.h"
#include "DataExchange.h"
#include "DriverCodes.h"
#include "EmptyListText.h"
#include "PageMessages.h"
#include "ResString.h"
#include "RowRecord.h"
#include "resource.h"

namespace {

const ListColumn kColumns[] = {
    {IDS_COL_DEVICE_NAME, 235},
    {IDS_COL_SERIAL_NUMBER, 220},
};

const DWORD kListStyles = LVS_EX_GRIDLINES | LVS_EX_HEADERDRAGDROP | LVS_EX_FULLROWSELECT;

} // namespace

constexpr MessageMap CDlgPgDevices::messageMap{
    &CDlgPgBase::messageMap,
    {
        {WM_NOTIFY, LVN_ITEMCHANGED, IDC_DEVICE_LIST, On<&CDlgPgDevices::OnDeviceListChanged>},
        {WM_COMMAND, BN_CLICKED, IDC_EDIT_DEVICE_NAME, On<&CDlgPgDevices::OnEditDeviceName>},
        {WM_NOTIFY, NM_DBLCLK, IDC_DEVICE_LIST, On<&CDlgPgDevices::OnDeviceListDblClk>},
        {WM_COMMAND, BN_CLICKED, IDC_DEVICE_DOWN, On<&CDlgPgDevices::OnDeviceDown>},
        {WM_COMMAND, BN_CLICKED, IDC_DEVICE_UP, On<&CDlgPgDevices::OnDeviceUp>},
        {WM_COMMAND, BN_CLICKED, IDC_APPLY_RANKING, On<&CDlgPgDevices::OnApplyRanking>},
        {WM_NOTIFY, LVN_KEYDOWN, IDC_DEVICE_LIST, On<&CDlgPgDevices::OnDeviceListKeyDown>},
        {WM_NOTIFY, LVN_DELETEALLITEMS, IDC_DEVICE_LIST, On<&CDlgPgDevices::OnDeleteAllItems>},
    }};

CDlgPgDevices::CDlgPgDevices(CWnd* pParent) : CDlgPgBase(IDD_PAGE_DEVICES, pParent) {}

void CDlgPgDevices::DoDataExchange(CDataExchange* pDX) {
    CDlgPgBase::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_RANKING_HINT, m_Hint);
    DDX_Control(pDX, IDC_DEVICE_UP, m_Up);
    DDX_Control(pDX, IDC_DEVICE_DOWN, m_Down);
    DDX_Control(pDX, IDC_APPLY_RANKING, m_Apply);
    DDX_Control(pDX, IDC_EDIT_DEVICE_NAME, m_EditName);
    DDX_Control(pDX, IDC_DEVICE_LIST, m_List);
    DDX_Text(pDX, IDC_RANKING_HINT, m_strHint);
}

BOOL CDlgPgDevices::OnInitDialog() {
    CDlgPgBase::OnInitDialog();
    m_List.InsertColumns(kColumns);
    m_List.SetExtendedStyle(m_List.GetExtendedStyle() | kListStyles);
    m_strHint = LoadResString(IDS_RANKING_HINT);
    m_Apply.EnableWindow(FALSE);
    UpdateDeviceList();
    UpdateData(FALSE);
    return TRUE;
}

void CDlgPgDevices::UpdatePage() {
    UpdateDeviceList();
}

DeviceProperties* CDlgPgDevices::DeviceAt(int row) const {
    return RowRecord(m_List, row, gDrv.m_Devices);
}

int CDlgPgDevices::InsertDeviceRow(int row, int device) {
    const DeviceProperties* record = gDrv.m_Devices.GetAt(device);
    if (!record)
        return -1;
    int inserted =
        m_List.InsertItem(row, FieldText(record->DeviceName), static_cast<DWORD_PTR>(device));
    if (inserted < 0)
        return -1;
    m_List.SetItemText(inserted, 1, FieldText(record->SerialNumber));
    return inserted;
}

// The driver is asked first: however long it takes, the list shows what it
// showed until the answers are in, and then refills at once.
void CDlgPgDevices::UpdateDeviceList() {
    const uint32_t status = gDrv.GetDevProp();
    m_bRebuildingRows = true;
    {
        CListCtrl::Refill refill(m_List);
        if (status == DRVSTATUS_SUCCESS)
            for (int device = 0; device < gDrv.m_Devices.GetSize(); ++device)
                InsertDeviceRow(device, device);
    }
    m_bRebuildingRows = false;
    ShowWhyEmpty();
    UpdateDeviceButtons();
    ShowDeviceCount();
}

void CDlgPgDevices::ShowWhyEmpty() {
    m_List.SetEmptyText(EmptyListText(CurrentDriverState()));
}

void CDlgPgDevices::UpdateDeviceButtons() {
    int selected = m_List.GetSelectedRow();
    int rows = m_List.GetItemCount();
    BOOL up = selected > 0 && rows > 1;
    BOOL down = selected >= 0 && rows > 1 && selected != rows - 1;
    // Up at the top and Down at the bottom disable themselves while pressed:
    // the focus goes on to the other one, or back to the list.
    EnableControl(m_EditName.m_hWnd, selected >= 0, {m_List.m_hWnd});
    // The one that comes on goes first, so that it can take the focus.
    for (BOOL pass : {TRUE, FALSE}) {
        if (up == pass)
            EnableControl(m_Up.m_hWnd, up, {m_Down.m_hWnd, m_List.m_hWnd});
        if (down == pass)
            EnableControl(m_Down.m_hWnd, down, {m_Up.m_hWnd, m_List.m_hWnd});
    }
    m_Hint.ShowWindow(up || down ? SW_SHOW : SW_HIDE);
}

// The count is what the model read, even when the list stays empty because
// one device could not be read.
void CDlgPgDevices::ShowDeviceCount() {
    TellParent(WM_APP_DEVICE_COUNT, static_cast<WPARAM>(gDrv.m_Devices.GetSize()));
}

void CDlgPgDevices::UpdateDeviceDependentPages() {
    TellParent(WM_APP_DEVICES_CHANGED);
}

void CDlgPgDevices::OnDeviceListChanged(NMHDR* pNMHDR, LRESULT* pResult) {
    if (!m_bRebuildingRows && CListCtrl::SelectionOrCheckChanged(pNMHDR))
        UpdateDeviceButtons();
    *pResult = 0;
}

void CDlgPgDevices::OnDeviceListDblClk(NMHDR*, LRESULT* pResult) {
    OnEditDeviceName();
    *pResult = 0;
}

// F2 renames, as in Explorer; Enter stays with the page, which ignores it.
void CDlgPgDevices::OnDeviceListKeyDown(NMHDR* pNMHDR, LRESULT* pResult) {
    if (reinterpret_cast<const NMLVKEYDOWN*>(pNMHDR)->wVKey == VK_F2)
        OnEditDeviceName();
    *pResult = 0;
}

void CDlgPgDevices::OnDeviceUp() {
    int selected = m_List.GetSelectedRow();
    if (selected >= 0)
        MoveDevice(selected, true);
}

void CDlgPgDevices::OnDeviceDown() {
    int selected = m_List.GetSelectedRow();
    if (selected >= 0)
        MoveDevice(selected, false);
}

// Only the rows move; the model learns the new order on Apply.
void CDlgPgDevices::MoveDevice(int row, bool up) {
    int device = RowIndex(m_List, row);
    if (!gDrv.m_Devices.GetAt(device))
        return;
    int rows = m_List.GetItemCount();
    int target = row;
    if (up && row > 0)
        target = row - 1;
    else if (!up && row < rows - 1)
        target = row + 1;
    // While the row is away nothing is selected; the buttons only follow
    // the row's new place, so that the focus is not handed on in between.
    m_bRebuildingRows = true;
    m_List.DeleteItem(row);
    int inserted = InsertDeviceRow(target, device);
    m_bRebuildingRows = false;
    if (inserted >= 0)
        m_List.SelectRow(inserted);
    m_Apply.EnableWindow(TRUE);
}

void CDlgPgDevices::OnApplyRanking() {
    int rows = m_List.GetItemCount();
    for (int row = 0; row < rows; ++row) {
        DeviceProperties* record = DeviceAt(row);
        if (record)
            record->Rank = static_cast<uint32_t>(row);
    }
    gDrv.SetDevProp();
    UpdateDeviceList();
    UpdateDeviceDependentPages();
    // The rows that were moved are where the keyboard goes on.
    EnableControl(m_Apply.m_hWnd, FALSE, {m_List.m_hWnd});
}

void CDlgPgDevices::OnEditDeviceName() {
    int selected = m_List.GetSelectedRow();
    if (selected >= 0)
        EditDeviceName(RowIndex(m_List, selected));
}

// The dialog edits a copy: a driver event may re-read the model while it is
// open, and only the copy is sent.
void CDlgPgDevices::EditDeviceName(int device) {
    const DeviceProperties* record = gDrv.m_Devices.GetAt(device);
    if (!record)
        return;
    DeviceProperties copy = *record;
    CDlgEditDeviceName dialog(&copy);
    if (dialog.DoModal() != IDOK)
        return;
    gDrv.SetDeviceProperties(&copy);
    UpdateDeviceList();
    UpdateDeviceDependentPages();
}
