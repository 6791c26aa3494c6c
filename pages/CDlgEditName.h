// The common part of the two name dialogs: shows the 40-byte name field of a
// caller-owned record copy and, on OK, writes the typed text back into it.
// The edit box takes no more than the field keeps, so that nothing typed is
// cut unseen. Sending the copy to the driver is the caller's job.
#pragma once

#include "Dialog.h"

#include <string>

class CDlgEditName : public CDialog {
public:
    static constexpr size_t kNameSize = 40;
    using NameField = char[kNameSize];

protected:
    // The field must outlive the dialog; nothing else of its record is written.
    CDlgEditName(UINT templateId, int editId, NameField& name, CWnd* pParent);

    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
    void OnOK() override;

private:
    void RefuseWhatDoesNotFit();

    int m_nEditId;
    NameField& m_Name;
    std::string m_strName;
    std::string m_strFitting; // the edit box's text after its last change that fit
    bool m_bWatching = false;
};
