#include "SetupCommands.h"

#include "CDlgLoadSetup.h"
#include "CDriverSettings.h"
#include "CIXO_CPLApp.h"
#include "CIXO_CPLView.h"
#include "CMainFrame.h"
#include "ConsoleOutput.h"
#include "DriverCodes.h"
#include "FindCmdLineOption.h"
#include "PageMessages.h"
#include "ResString.h"
#include "SetupDisk.h"
#include "SetupHandOver.h"
#include "SetupTexts.h"
#include "WinApp.h"
#include "resource.h"

#include <commdlg.h>

#include <algorithm>

namespace {

constexpr const char* kSetupOptions[] = {"-save", "-load", "-preview"};
constexpr char kExtension[] = "tcsetup";

SetupResult NoDriver(uint32_t status) {
    return {SetupNoDriver, SetupNoDriverText(status)};
}

// The file is checked first, then the running window's connection: a closed
// one is not opened behind the view's back, which opens it when the driver
// arrives. A result when either stops the load.
std::optional<SetupResult> PrepareLoad(const std::string& path, Setup& setup) {
    if (std::optional<SetupResult> unusable = ReadSetupFile(path, setup))
        return unusable;
    if (!gDrv.m_hDevice)
        return NoDriver(DRVSTATUS_NOT_OPEN);
    return std::nullopt;
}

std::string FileName(const std::string& path) {
    const size_t slash = path.find_last_of("\\/");
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// The standard file dialog over the owner; false when the user cancelled.
bool AskForFile(HWND owner, bool save, std::string& path) {
    std::string filter = LoadResString(IDS_SETUP_FILTER);
    std::replace(filter.begin(), filter.end(), '|', '\0');
    char file[MAX_PATH * 4] = "";
    OPENFILENAMEA dialog{};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = owner;
    dialog.lpstrFilter = filter.c_str();
    dialog.lpstrFile = file;
    dialog.nMaxFile = sizeof file;
    dialog.lpstrDefExt = kExtension;
    dialog.Flags = OFN_EXPLORER | OFN_HIDEREADONLY | OFN_NOCHANGEDIR | OFN_PATHMUSTEXIST |
                   (save ? OFN_OVERWRITEPROMPT : OFN_FILEMUSTEXIST);
    const BOOL chosen = save ? ::GetSaveFileNameA(&dialog) : ::GetOpenFileNameA(&dialog);
    path = file;
    return chosen && !path.empty();
}

// The channel pages read whether ASIO names begin with the device's only
// when they are made, and the driver tells no event when a load changes it:
// they are told here.
void ReloadPages() {
    CIXO_CPLView* view = CIXO_CPLView::FromApp();
    if (!view)
        return;
    view->UpdateAllPages();
    uint32_t include = 0;
    if (gDrv.GetIncludeDeviceName(&include) != DRVSTATUS_SUCCESS)
        return;
    gDrv.m_IncludeDeviceName = include != 0 ? 1 : 0;
    ::SendMessageA(view->m_hWnd, WM_APP_INCLUDE_DEVICE_NAME,
                   include != 0 ? BST_CHECKED : BST_UNCHECKED, 0);
}

SetupResult RunWithoutWindow(bool save, const std::string& path) {
    Setup setup;
    if (!save)
        if (std::optional<SetupResult> unusable = ReadSetupFile(path, setup))
            return *unusable;
    const uint32_t status = gDrv.Open();
    if (status != 0)
        return NoDriver(status);
    const SetupResult result = save ? SaveSetup(gDrv, path) : *LoadSetup(gDrv, path, setup, {});
    gDrv.Close();
    return result;
}

} // namespace

SetupResult SaveSetup(CDriver& driver, const std::string& path) {
    SetupRead read = ReadSetup(driver);
    const std::vector<SetupPlace> leftOut = SetupFile::LeaveOutUnwritable(read.setup);
    const DWORD error = SetupDisk::Save(path, SetupFile::Write(read.setup));
    if (error != 0)
        return {SetupFileUnusable,
                FormatResString(IDS_SETUP_NOT_WRITTEN, {path, SetupStatusText(error)})};
    return {read.failures.empty() && leftOut.empty() ? SetupDone : SetupPart,
            SetupSaveSummary(path, read.failures, leftOut)};
}

std::optional<SetupResult> ReadSetupFile(const std::string& path, Setup& setup) {
    SetupDisk::Loaded loaded = SetupDisk::Load(path);
    if (loaded.error != 0)
        return SetupResult{SetupFileUnusable, SetupNotReadText(path, loaded.error)};
    if (loaded.result.problem != SetupFile::Problem::None)
        return SetupResult{SetupFileUnusable, SetupProblemText(path, loaded.result)};
    setup = std::move(loaded.result.setup);
    return std::nullopt;
}

std::optional<SetupResult> LoadSetup(CDriver& driver, const std::string& path, const Setup& setup,
                                     const std::function<bool(const SetupPlan&)>& confirm) {
    const SetupPlan plan = PlanSetup(ReadDriverState(driver), setup);
    if (confirm && !confirm(plan))
        return std::nullopt;
    const std::vector<uint32_t> statuses = ApplySetupPlan(driver, plan);
    return SetupResult{AppliedWhole(plan, statuses) ? SetupDone : SetupPart,
                       SetupLoadSummary(path, plan, statuses)};
}

// A quit during the preview leaves no window to show the result over.
void ShowSetupResult(HWND owner, const SetupResult& result) {
    if (::IsWindow(owner))
        AfxMessageBox(result.summary,
                      result.code == SetupDone ? MB_ICONINFORMATION : MB_ICONEXCLAMATION);
}

const char* FindSetupOption(const char* cmdLine, std::string* path) {
    for (const char* option : kSetupOptions)
        if (FindCmdLineOption(cmdLine, option, path, true))
            return option;
    return nullptr;
}

int RunSetupCommandLine(const char* option, const std::string& path) {
    if (path.empty()) {
        PrintToConsole(FormatResString(IDS_SETUP_USAGE, {option}));
        return SetupFileUnusable;
    }
    const bool save = std::string(option) == "-save";
    SetupResult result{};
    HWND running = save ? nullptr : CIXO_CPLApp::FindRunningInstance();
    Setup setup;
    if (running) {
        // A file that cannot be used is told here; the running window gets
        // only what it can load.
        if (std::optional<SetupResult> unusable = ReadSetupFile(path, setup))
            result = *unusable;
        else if (!HandSetupOver(running, SetupAction::Load, path, &result.code, &result.summary))
            result = RunWithoutWindow(save, path);
    } else {
        result = RunWithoutWindow(save, path);
    }
    PrintToConsole(result.summary);
    return result.code;
}

void SaveSetupFromMenu(HWND owner) {
    std::string path;
    if (!AskForFile(owner, true, path))
        return;
    const SetupResult result =
        gDrv.m_hDevice ? SaveSetup(gDrv, path) : NoDriver(DRVSTATUS_NOT_OPEN);
    if (result.code != SetupDone)
        ShowSetupResult(owner, result);
    else if (CMainFrame* frame = CMainFrame::FromApp())
        frame->SetMessageText(result.summary);
}

void LoadSetupFromMenu(HWND owner) {
    std::string path;
    if (AskForFile(owner, false, path))
        PreviewSetup(owner, path);
}

void PreviewSetup(HWND owner, const std::string& path) {
    Setup setup;
    std::optional<SetupResult> result = PrepareLoad(path, setup);
    if (!result) {
        const std::string name = FileName(path);
        result = LoadSetup(gDrv, path, setup, [&name](const SetupPlan& plan) {
            CDlgLoadSetup dialog(plan, name);
            return dialog.DoModal() == IDOK;
        });
        if (!result)
            return;
        ReloadPages();
    }
    ShowSetupResult(owner, *result);
}

SetupResult LoadHandedSetup(const std::string& path) {
    Setup setup;
    if (std::optional<SetupResult> stopped = PrepareLoad(path, setup))
        return *stopped;
    const SetupResult result = *LoadSetup(gDrv, path, setup, {});
    ReloadPages();
    return result;
}
