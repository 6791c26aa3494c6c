// The "Devices" page: every connected interface with its serial number, the
// device ranking (moved row by row, stored with Apply) and device renaming.
#pragma once

#include "CDlgPgBase.h"

#include "Button.h"
#include "DriverRecords.h"
#include "ListCtrl.h"
#include "Static.h"

#include <string>

class CDlgPgDevices : public CDlgPgBase {
public:
    explicit CDlgPgDevices(CWnd* pParent = nullptr);

    // Re-reads the devices from the driver; a ranking not yet applied is lost.
    void UpdatePage() override;
    void UpdateDeviceList();
    void ShowWhyEmpty() override;

protected:
    static const MessageMap messageMap;
    const MessageMap* GetMessageMap() const override { return &messageMap; }

    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;

private:
    // The device record a row was filled from, or null when the model no
    // longer holds it.
    DeviceProperties* DeviceAt(int row) const;
    void UpdateDeviceButtons();
    void MoveDevice(int row, bool up);
    void EditDeviceName(int device);
    // Inserts a row at row for the model's device index; the new row or -1.
    int InsertDeviceRow(int row, int device);
    // The parent shows how many devices the driver reported.
    void ShowDeviceCount();
    // The parent has the lists that show device names and ranking follow.
    void UpdateDeviceDependentPages();

    void OnDeviceListChanged(NMHDR* pNMHDR, LRESULT* pResult);
    void OnDeviceListDblClk(NMHDR* pNMHDR, LRESULT* pResult);
    void OnDeviceListKeyDown(NMHDR* pNMHDR, LRESULT* pResult);
    void OnEditDeviceName();
    void OnDeviceUp();
    void OnDeviceDown();
    void OnApplyRanking();

    std::string m_strHint;
    CStatic m_Hint;
    CButton m_Up;
    CButton m_Down;
    CButton m_Apply;
    CButton m_EditName;
    CListCtrl m_List;
    // While rows are taken out and put in again, the buttons wait for the end.
    bool m_bRebuildingRows = false;
};
