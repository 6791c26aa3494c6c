#include "CDlgPgSamplingRate.h"

#include "CDlgSynchMode.h"
#include "CDriverSettings.h"
#include "DataExchange.h"
#include "DriverCodes.h"
#include "ResString.h"
#include "RowRecord.h"
#include "SynchTexts.h"
#include "Trace.h"
#include "WinApp.h"
#include "resource.h"

namespace {

const ListColumn kColumns[] = {
    {IDS_COL_CLOCK_MASTER, 70},
    {IDS_COL_DEVICES, 160},
    {IDS_COL_SYNCH_SOURCE, 250},
};

const DWORD kListStyles = LVS_EX_GRIDLINES | LVS_EX_CHECKBOXES | LVS_EX_FULLROWSELECT;

// Item data of the "PC Driver" row; device rows carry their index in gDrv.m_Devices.
const DWORD_PTR kPcDriverItem = static_cast<DWORD_PTR>(-1);

// Synchronisation source kinds.
const uint32_t kSourcePcDriver = 0;
const uint32_t kSourceDevice = 1;
// The sampling-rate mode in which the rate follows the clock master.
const uint32_t kRateModeAutomatic = 1;
const int kPcDriverRow = 0;
const int kColumnSource = 2;

} // namespace

constexpr MessageMap CDlgPgSamplingRate::messageMap{
    &CDlgPgBase::messageMap,
    {
        {WM_NOTIFY, NM_DBLCLK, IDC_SYNCH_LIST, On<&CDlgPgSamplingRate::OnSynchListDblClk>},
        {WM_COMMAND, BN_CLICKED, IDC_CHANGE_SYNCH_MODE, On<&CDlgPgSamplingRate::OnChangeSynchMode>},
        {WM_COMMAND, BN_CLICKED, IDC_APPLY_SYNCH, On<&CDlgPgSamplingRate::OnApplySynch>},
        {WM_NOTIFY, LVN_ITEMCHANGED, IDC_SYNCH_LIST,
         On<&CDlgPgSamplingRate::OnItemChangedSynchList>},
        {WM_COMMAND, CBN_SELCHANGE, IDC_SAMPLING_RATE_COMBO,
         On<&CDlgPgSamplingRate::OnSelChangeSamplingRate>},
        {WM_COMMAND, BN_CLICKED, IDC_APPLY_SAMPLING_RATE,
         On<&CDlgPgSamplingRate::OnApplySamplingRate>},
        {WM_COMMAND, BN_CLICKED, IDC_RATE_MANUAL, On<&CDlgPgSamplingRate::OnRateModeClicked>},
        {WM_COMMAND, BN_CLICKED, IDC_RATE_AUTOMATIC, On<&CDlgPgSamplingRate::OnRateModeClicked>},
        {WM_NOTIFY, LVN_DELETEALLITEMS, IDC_SYNCH_LIST, On<&CDlgPgSamplingRate::OnDeleteAllItems>},
    }};

CDlgPgSamplingRate::CDlgPgSamplingRate(CWnd* pParent)
    : CDlgPgBase(IDD_PAGE_SAMPLING_RATE, pParent), m_nRateMode(0), m_bListReady(false),
      m_nClkMasterItem(-1) {}

CDlgPgSamplingRate::~CDlgPgSamplingRate() = default;

void CDlgPgSamplingRate::DoDataExchange(CDataExchange* pDX) {
    CDlgPgBase::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_RATE_MANUAL, m_RateManual);
    DDX_Control(pDX, IDC_RATE_AUTOMATIC, m_RateAutomatic);
    DDX_Control(pDX, IDC_APPLY_SAMPLING_RATE, m_ApplySamplingRate);
    DDX_Control(pDX, IDC_APPLY_SYNCH, m_ApplySynch);
    DDX_Control(pDX, IDC_CHANGE_SYNCH_MODE, m_ChangeSynchMode);
    DDX_Control(pDX, IDC_SYNCH_LIST, m_SynchList);
    DDX_Control(pDX, IDC_SAMPLING_RATE_COMBO, m_RateCombo);
    DDX_Radio(pDX, IDC_RATE_MANUAL, m_nRateMode);
}

BOOL CDlgPgSamplingRate::OnInitDialog() {
    CDlgPgBase::OnInitDialog();
    m_SynchList.SetExtendedStyle(m_SynchList.GetExtendedStyle() | kListStyles);
    m_SynchList.InsertColumns(kColumns);
    UpdatePage();
    m_ApplySynch.EnableWindow(FALSE);
    m_ApplySamplingRate.EnableWindow(FALSE);
    m_bListReady = true;
    return TRUE;
}

void CDlgPgSamplingRate::UpdatePage() {
    UpdateSynchronisationSettings();
    UpdateSamplingRateSettings();
}

int CDlgPgSamplingRate::FindSynchModes(uint32_t deviceId) {
    for (int index = 0; index < gDrv.m_DevSynchModes.GetSize(); ++index)
        if (gDrv.m_DevSynchModes.GetAt(index)->DeviceId == deviceId)
            return index;
    return -1;
}

DeviceSynchModes* CDlgPgSamplingRate::RowSynchModes(int row) const {
    const DeviceProperties* device = RowRecord(m_SynchList, row, gDrv.m_Devices);
    return device ? gDrv.m_DevSynchModes.GetAt(FindSynchModes(device->DeviceId)) : nullptr;
}

int CDlgPgSamplingRate::RowOfDevice(uint32_t deviceId) const {
    for (int row = kPcDriverRow + 1; row < m_SynchList.GetItemCount(); ++row) {
        const DeviceProperties* device = RowRecord(m_SynchList, row, gDrv.m_Devices);
        if (device && device->DeviceId == deviceId)
            return row;
    }
    return -1;
}

// The driver is asked first: however long it takes, the list shows what it
// showed until the answers are in, and then refills at once.
void CDlgPgSamplingRate::UpdateSynchronisationSettings() {
    m_bListReady = false;
    m_nClkMasterItem = -1;
    // The modes are only shown when both lists were read in full; an empty
    // list has no "PC Driver" row either.
    const bool shown = gDrv.GetDevProp() == DRVSTATUS_SUCCESS &&
                       gDrv.GetDevSynchModes() == DRVSTATUS_SUCCESS && gDrv.m_Devices.GetSize() > 0;
    // A source that could not be read keeps its last value, unnamed; a
    // failed request may have left anything in its buffer.
    SynchSource source;
    const bool sourceRead = shown && gDrv.GetSynchSource(&source) == DRVSTATUS_SUCCESS;
    if (sourceRead)
        gDrv.m_SynchSource = source;
    {
        CListCtrl::Refill refill(m_SynchList);
        if (shown && InsertPcDriverRow(sourceRead))
            InsertDeviceRows();
    }
    gDrv.GetSampleRateMode(&gDrv.m_SampleRateMode);
    UpdateDependentControls();
    m_bListReady = true;
}

bool CDlgPgSamplingRate::InsertPcDriverRow(bool sourceRead) {
    int row = m_SynchList.InsertItem(kPcDriverRow, std::string(), kPcDriverItem);
    if (row != kPcDriverRow)
        return false;
    m_SynchList.SetItemText(row, 1, LoadResString(IDS_PC_DRIVER));
    if (sourceRead)
        m_SynchList.SetItemText(row, kColumnSource,
                                GetSynchSourceText(gDrv.m_SynchSource.SourceKind));
    bool master = gDrv.m_SynchSource.SourceKind == kSourcePcDriver;
    m_SynchList.SetCheck(row, master);
    if (master)
        m_nClkMasterItem = row;
    return true;
}

// Each device shows the modes entry with its own id, so a device list that
// changed between the two reads never shows one device's mode under another's
// name; a device without an entry shows no mode.
void CDlgPgSamplingRate::InsertDeviceRows() {
    const SynchSource& source = gDrv.m_SynchSource;
    for (int device = 0; device < gDrv.m_Devices.GetSize(); ++device) {
        const DeviceProperties* record = gDrv.m_Devices.GetAt(device);
        int row = m_SynchList.InsertItem(device + 1, std::string(), static_cast<DWORD_PTR>(device));
        if (row < 0)
            continue;
        m_SynchList.SetItemText(row, 1, FieldText(record->DeviceName));
        const DeviceSynchModes* modes =
            gDrv.m_DevSynchModes.GetAt(FindSynchModes(record->DeviceId));
        m_SynchList.SetItemText(row, kColumnSource,
                                modes ? GetSynchModeText(modes->Current) : std::string());
        bool master = source.SourceKind == kSourceDevice &&
                      record->DeviceId == source.MasterDeviceId && m_nClkMasterItem < 0;
        m_SynchList.SetCheck(row, master);
        if (master)
            m_nClkMasterItem = row;
    }
}

// What follows the model's clock source and rate mode and the list's selection.
void CDlgPgSamplingRate::UpdateDependentControls() {
    m_nRateMode = gDrv.m_SampleRateMode != 0 ? 1 : 0;
    UpdateData(FALSE);
    BOOL external = gDrv.m_SynchSource.SourceKind == kSourceDevice;
    EnableControl(m_RateManual.m_hWnd, external, {m_SynchList.m_hWnd});
    EnableControl(m_RateAutomatic.m_hWnd, external, {m_SynchList.m_hWnd});
    EnableSamplingRateCombo();
    EnableControl(m_ChangeSynchMode.m_hWnd, RowSynchModes(m_SynchList.GetSelectedRow()) != nullptr,
                  {m_SynchList.m_hWnd});
}

void CDlgPgSamplingRate::UpdateSamplingRateSettings() {
    SampleRates read;
    if (gDrv.GetSampleRates(&read) == DRVSTATUS_SUCCESS) {
        gDrv.m_SampleRates = read;
        const SampleRates& rates = gDrv.m_SampleRates;
        Trace("CDlgPgSamplingRate::UpdateSamplingRateSettings: current sampling rate = %u\n",
              static_cast<unsigned>(rates.CurrentRate));
        if (!OffersExactly(rates))
            FillRateCombo(rates);
        for (int item = 0; item < m_RateCombo.GetCount(); ++item) {
            if (m_RateCombo.GetItemData(item) == rates.CurrentRate) {
                m_RateCombo.SetCurSel(item);
                break;
            }
        }
    }
    EnableSamplingRateCombo();
}

// Whether the combo already offers these rates in this order: a reload
// leaves an unchanged combo as it is.
bool CDlgPgSamplingRate::OffersExactly(const SampleRates& rates) const {
    const uint32_t count = ClampedCount(rates.RateCount, rates.Rates);
    if (m_RateCombo.GetCount() != static_cast<int>(count))
        return false;
    for (uint32_t index = 0; index < count; ++index)
        if (m_RateCombo.GetItemData(static_cast<int>(index)) != rates.Rates[index])
            return false;
    return true;
}

void CDlgPgSamplingRate::FillRateCombo(const SampleRates& rates) {
    m_RateCombo.ResetContent();
    const uint32_t count = ClampedCount(rates.RateCount, rates.Rates);
    for (uint32_t index = 0; index < count; ++index) {
        int item = m_RateCombo.AddString(GetSampleRateText(rates.Rates[index]));
        if (item >= 0)
            m_RateCombo.SetItemData(item, rates.Rates[index]);
    }
}

// A rate that follows the clock master (mode 1) cannot be picked, whatever
// the combo holds; a mode the page does not know leaves the pick open.
void CDlgPgSamplingRate::EnableSamplingRateCombo() {
    int count = m_RateCombo.GetCount();
    if (count > 0 && m_RateCombo.GetCurSel() == CB_ERR)
        m_RateCombo.SetCurSel(0);
    EnableControl(m_RateCombo.m_hWnd, count > 0 && gDrv.m_SampleRateMode != kRateModeAutomatic,
                  {m_SynchList.m_hWnd});
}

void CDlgPgSamplingRate::OnItemChangedSynchList(NMHDR* pNMHDR, LRESULT* pResult) {
    *pResult = 0;
    // While the list is refilled, or other rows follow a check, the end of that
    // work brings the dependent controls up to date once.
    if (!m_bListReady || !CListCtrl::SelectionOrCheckChanged(pNMHDR))
        return;
    m_bListReady = false;
    FollowCheck(reinterpret_cast<const NMLISTVIEW*>(pNMHDR)->iItem);
    m_bListReady = true;
    UpdateDependentControls();
}

// The clock master can be replaced by checking another row, never removed.
void CDlgPgSamplingRate::FollowCheck(int row) {
    int rows = m_SynchList.GetItemCount();
    if (row >= 0 && row < rows) {
        bool checked = m_SynchList.GetCheck(row) != FALSE;
        if (checked && row != m_nClkMasterItem) {
            m_nClkMasterItem = row;
            for (int other = 0; other < rows; ++other)
                if (other != row)
                    m_SynchList.SetCheck(other, FALSE);
            m_ApplySynch.EnableWindow(TRUE);
            m_hLastSynchChange = m_SynchList.m_hWnd;
        } else if (!checked && row == m_nClkMasterItem) {
            m_SynchList.SetCheck(row, TRUE);
        }
    }
    if (m_nClkMasterItem >= rows)
        m_nClkMasterItem = -1;
    if (m_nClkMasterItem >= 0)
        FollowClockMaster();
}

void CDlgPgSamplingRate::FollowClockMaster() {
    SynchSource& source = gDrv.m_SynchSource;
    if (m_SynchList.GetItemData(m_nClkMasterItem) == kPcDriverItem) {
        source.SourceKind = kSourcePcDriver;
        source.MasterDeviceId = 0;
        gDrv.m_SampleRateMode = 0;
    } else if (const DeviceProperties* device =
                   RowRecord(m_SynchList, m_nClkMasterItem, gDrv.m_Devices)) {
        source.MasterDeviceId = device->DeviceId;
        source.SourceKind = kSourceDevice;
    }
    m_SynchList.SetItemText(kPcDriverRow, kColumnSource, GetSynchSourceText(source.SourceKind));
}

void CDlgPgSamplingRate::OnSynchListDblClk(NMHDR*, LRESULT* pResult) {
    OnChangeSynchMode();
    *pResult = 0;
}

// The dialog edits a copy. The model may be re-read while it is open (a
// driver event reloads every page), so the entry is looked up again by the
// device's id before the copy goes back.
void CDlgPgSamplingRate::OnChangeSynchMode() {
    const DeviceSynchModes* entry = RowSynchModes(m_SynchList.GetSelectedRow());
    if (!entry)
        return;
    DeviceSynchModes copy = *entry;
    CDlgSynchMode dialog(&copy);
    if (dialog.DoModal() != IDOK)
        return;

    DeviceSynchModes* target = gDrv.m_DevSynchModes.GetAt(FindSynchModes(copy.DeviceId));
    if (!target)
        return;
    *target = copy;
    m_bListReady = false;
    int row = RowOfDevice(copy.DeviceId);
    if (row >= 0)
        m_SynchList.SetItemText(row, kColumnSource, GetSynchModeText(target->Current));
    m_bListReady = true;
    m_ApplySynch.EnableWindow(TRUE);
    m_hLastSynchChange = m_SynchList.m_hWnd;
}

// Nothing of the group is sent unless the streams could be stopped.
void CDlgPgSamplingRate::OnApplySynch() {
    if (gDrv.StopStreaming() == DRVSTATUS_SUCCESS) {
        gDrv.SetSynchSource(&gDrv.m_SynchSource);
        gDrv.SetSampleRateMode(gDrv.m_SampleRateMode);
        gDrv.SetDevSynchModes();
        gDrv.StartStreaming();
        UpdatePage();
    }
    EnableControl(m_ApplySynch.m_hWnd, FALSE, {m_hLastSynchChange});
}

void CDlgPgSamplingRate::OnRateModeClicked() {
    UpdateData(TRUE);
    gDrv.m_SampleRateMode = m_nRateMode != 0 ? 1 : 0;
    EnableSamplingRateCombo();
    m_ApplySynch.EnableWindow(TRUE);
    m_hLastSynchChange = m_nRateMode != 0 ? m_RateAutomatic.m_hWnd : m_RateManual.m_hWnd;
}

void CDlgPgSamplingRate::OnSelChangeSamplingRate() {
    m_ApplySamplingRate.EnableWindow(TRUE);
}

void CDlgPgSamplingRate::OnApplySamplingRate() {
    int item = m_RateCombo.GetCurSel();
    if (item != CB_ERR) {
        uint32_t rate = static_cast<uint32_t>(m_RateCombo.GetItemData(item));
        gDrv.m_SampleRates.CurrentRate = rate;
        if (gDrv.SetSampleRate(rate) == DRVSTATUS_WDM_DEVICE_IN_USE)
            AfxMessageBox(LoadResString(IDS_WDM_DEVICE_IN_USE), MB_ICONEXCLAMATION | MB_OK);
    }
    UpdatePage();
    EnableControl(m_ApplySamplingRate.m_hWnd, FALSE, {m_RateCombo.m_hWnd});
}
