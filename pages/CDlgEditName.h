// The common part of the two name dialogs: shows the 40-byte name field of a
// caller-owned record copy and, on OK, writes the typed text back into it.
// Sending the copy to the driver is the caller's job.
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
    void OnOK() override;

private:
    int m_nEditId;
    NameField& m_Name;
    std::string m_strName;
};
