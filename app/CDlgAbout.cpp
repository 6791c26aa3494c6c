#include "CDlgAbout.h"

#include "DataExchange.h"
#include "ResString.h"
#include "resource.h"

#include <cstdio>

namespace {

constexpr char kNotice[] = "(C) Orlaso. All rights reserved.";

} // namespace

CDlgAbout::CDlgAbout() : CDialog(IDD_ABOUTBOX, nullptr) {
    const std::string title = LoadResString(IDS_MAIN_TITLE);
    char text[256];
    std::snprintf(text, sizeof(text), "%s V%d.%d.%d\n\n%s", title.c_str(), VersionMajor,
                  VersionMinor, VersionBuild, kNotice);
    m_strText = text;
}

void CDlgAbout::DoDataExchange(CDataExchange* pDX) {
    DDX_Text(pDX, IDC_ABOUT_TEXT, m_strText);
}
