// The "Synchronisation" page: the clock master (the PC driver or one device)
// checked in a list together with each device's synchronisation mode, the
// sampling-rate mode, all applied as one group, and the sampling rate with
// an Apply of its own. Edits live in gDrv's fields until they are applied.
#pragma once

#include "CDlgPgBase.h"

#include "Button.h"
#include "ComboBox.h"
#include "DriverRecords.h"
#include "ListCtrl.h"

#include <cstdint>

class CDlgPgSamplingRate : public CDlgPgBase {
public:
    explicit CDlgPgSamplingRate(CWnd* pParent = nullptr);
    ~CDlgPgSamplingRate() override;

    // Both groups re-read from the driver; edits not yet applied are lost.
    void UpdatePage() override;
    // The clock-master list, the device modes and the sampling-rate mode.
    void UpdateSynchronisationSettings();
    // The sampling-rate combo.
    void UpdateSamplingRateSettings();

protected:
    static const MessageMap messageMap;
    const MessageMap* GetMessageMap() const override { return &messageMap; }

    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;

private:
    bool OffersExactly(const SampleRates& rates) const;
    void FillRateCombo(const SampleRates& rates);
    // Index into gDrv.m_DevSynchModes of the entry of the device with this
    // id, or -1: entries are matched to devices by id, never by position.
    static int FindSynchModes(uint32_t deviceId);
    // The synchronisation modes of the device a row shows, or null for the
    // "PC Driver" row, for no row and for a device that has none.
    DeviceSynchModes* RowSynchModes(int row) const;
    // The row that shows the device with this id, or -1.
    int RowOfDevice(uint32_t deviceId) const;
    // The row of the PC driver, with the clock source when it was read. False
    // when the row could not be inserted: device rows then have no place.
    bool InsertPcDriverRow(bool sourceRead);
    void InsertDeviceRows();
    void UpdateDependentControls();
    void EnableSamplingRateCombo();
    void FollowCheck(int row);
    void FollowClockMaster();

    void OnSynchListDblClk(NMHDR* pNMHDR, LRESULT* pResult);
    void OnItemChangedSynchList(NMHDR* pNMHDR, LRESULT* pResult);
    void OnChangeSynchMode();
    void OnApplySynch();
    void OnRateModeClicked();
    void OnSelChangeSamplingRate();
    void OnApplySamplingRate();

    CButton m_RateManual;
    CButton m_RateAutomatic;
    CButton m_ApplySamplingRate;
    CButton m_ApplySynch;
    CButton m_ChangeSynchMode;
    CListCtrl m_SynchList;
    CComboBox m_RateCombo;

    int m_nRateMode;
    bool m_bListReady;
    int m_nClkMasterItem;
    // The control of the synchronisation group that the user changed last:
    // where the focus goes when its Apply disables itself.
    HWND m_hLastSynchChange = nullptr;
};
