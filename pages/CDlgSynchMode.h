// The modal "Device Synchronisation Mode" dialog: the user checks which of
// the modes a device offers is to become its current mode. It edits a
// caller-owned copy of the device's record and never talks to the driver.
#pragma once

#include "Dialog.h"
#include "DriverRecords.h"
#include "ListCtrl.h"

class CDlgSynchMode : public CDialog {
public:
    // The record must outlive the dialog; only its Current field is written.
    explicit CDlgSynchMode(DeviceSynchModes* pSynchModes, CWnd* pParent = nullptr);

    // Index of the first offered mode with the ModeId of mode (kind and name
    // are not compared), or -1 when none has it.
    int FindCurrentMode(const SynchMode& mode) const;

protected:
    static const MessageMap messageMap;
    const MessageMap* GetMessageMap() const override { return &messageMap; }

    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;

private:
    // The number of offered modes the record really holds.
    int ModeCount() const;

    void OnItemChangedModeList(NMHDR* pNMHDR, LRESULT* pResult);

    CListCtrl m_ModeList;
    DeviceSynchModes* m_pSynchModes;
    bool m_bListReady;
};
