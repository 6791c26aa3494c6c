// The about box: the program's title and version and a one-line notice.
#pragma once

#include "Dialog.h"

#include <string>

class CDlgAbout : public CDialog {
public:
    CDlgAbout();

    // The program's version; the version resource carries the same numbers.
    static constexpr int VersionMajor = 2;
    static constexpr int VersionMinor = 14;
    static constexpr int VersionBuild = 0;

    std::string m_strText;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
};
