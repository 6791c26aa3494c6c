// The "Drop Outs" page: how many drop-outs the driver counted since the user
// last reset the count, when, with which buffers, per minute over the last
// hour, and what to try next. The history lives here for the program's
// lifetime; the window that holds the page hands it every reading of the
// driver's total, whoever asked for it.
#pragma once

#include "CDlgPgBase.h"

#include "Button.h"
#include "DriverRecords.h"
#include "DropOutHistory.h"
#include "ListCtrl.h"

#include <cstdint>
#include <string>

class CDlgPgDropOuts : public CDlgPgBase {
public:
    // Minutes the graph shows, and how recent drop-outs must be for the hint.
    static constexpr size_t GraphMinutes = 60;
    static constexpr int64_t HintSeconds = 10 * 60;

    explicit CDlgPgDropOuts(CWnd* pParent = nullptr);

    // Reads the ASIO buffer the hint starts from, and shows the history.
    void UpdatePage() override;
    // A reading of the driver's statistics: its status and, when it
    // succeeded, the total. Returns the drop-outs it added to the count.
    uint32_t Record(uint32_t status, uint32_t total, int64_t now);
    // The count and history start again from the driver's current total.
    void Reset(int64_t now);
    const DropOutHistory& History() const { return m_History; }
    // The warning check box, as the user's setting has it.
    void SetWarning(bool warn);

protected:
    static const MessageMap messageMap;
    const MessageMap* GetMessageMap() const override { return &messageMap; }

    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;

private:
    // The buffers and rate in force now, for an event; the ASIO buffer is
    // kept for the hint.
    AudioSetup ReadSetup();
    void SetText(int id, const std::string& text);
    void ShowHistory(int64_t now);
    void ShowEvents();
    void InsertEvent(const DropOutHistory::Event& event);
    void ShowHint(int64_t now);
    bool Shown() const;

    void OnShowWindow(BOOL bShow, UINT nStatus);
    void OnReset();
    void OnWarning();
    void OnOpenSettings();

    DropOutHistory m_History;
    // The ASIO buffer as last read; Step 0 until a read succeeded.
    AudioBufferDepth m_Asio{};
    CListCtrl m_Events;
    CButton m_Warning;
    CButton m_OpenSettings;
    // How many events the history had kept in all when the list last
    // followed it.
    uint64_t m_ShownEventsEver = 0;
};
