#include "CDlgAbout.h"

#include "DataExchange.h"
#include "ResString.h"
#include "resource.h"

#include <cstdio>

CDlgAbout::CDlgAbout() : CDialog(IDD_ABOUTBOX, nullptr) {
    const std::string title = LoadResString(IDS_MAIN_TITLE);
    const std::string notice = LoadResString(IDS_ABOUT_NOTICE);
    char text[256];
    std::snprintf(text, sizeof(text), "%s V%d.%d.%d\n\n%s", title.c_str(), VersionMajor,
                  VersionMinor, VersionBuild, notice.c_str());
    m_strText = text;
}

void CDlgAbout::DoDataExchange(CDataExchange* pDX) {
    DDX_Text(pDX, IDC_ABOUT_TEXT, m_strText);
}
