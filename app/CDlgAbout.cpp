#include "CDlgAbout.h"

#include "DataExchange.h"
#include "ResString.h"
#include "TextFormat.h"
#include "resource.h"

CDlgAbout::CDlgAbout() : CDialog(IDD_ABOUTBOX, nullptr) {
    const std::string title = LoadResString(IDS_MAIN_TITLE);
    const std::string notice = LoadResString(IDS_ABOUT_NOTICE);
    m_strText = FormatText("%s V%d.%d.%d\n\n%s", title.c_str(), VersionMajor, VersionMinor,
                           VersionBuild, notice.c_str());
}

void CDlgAbout::DoDataExchange(CDataExchange* pDX) {
    DDX_Text(pDX, IDC_ABOUT_TEXT, m_strText);
}
