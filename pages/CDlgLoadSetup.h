// The preview of loading a setup: every setting that would change, with its
// value now and in the file, and below them what is skipped, left alone or
// not taken. OK loads, Cancel sends nothing; the dialog itself never talks to
// the driver.
#pragma once

#include "Dialog.h"
#include "ListCtrl.h"
#include "SetupPlan.h"

#include <string>

class CDlgLoadSetup : public CDialog {
public:
    // The plan must outlive the dialog; fileName is what the intro names.
    CDlgLoadSetup(const SetupPlan& plan, const std::string& fileName, CWnd* pParent = nullptr);

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;

private:
    const SetupPlan& m_Plan;
    std::string m_strFileName;
    CListCtrl m_Changes;
};
