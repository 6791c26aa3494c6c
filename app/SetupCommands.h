// Saving and loading setups, three ways: from the File menu of the window
// (standard file dialogs, the preview, a summary), from the command line with
// no window ("-save FILE", "-load FILE": a summary on the console and an exit
// code), and from a second start that hands its file to the running window
// ("-load FILE" while an instance runs, "-preview FILE" when a setup file is
// opened in Explorer).
#pragma once

#include "CDriver.h"
#include "SetupPlan.h"

#include <windows.h>

#include <functional>
#include <optional>
#include <string>

// Exit codes of "-save FILE" and "-load FILE".
enum SetupExitCode : int {
    SetupDone = 0,
    SetupPart = 1,         // something refused, not connected or not told
    SetupFileUnusable = 2, // the file could not be read, written or used; nothing was sent
    SetupNoDriver = 3,
};

struct SetupResult {
    int code;
    std::string summary;
};

// Every setting read afresh from an open connection, written to the file.
SetupResult SaveSetup(CDriver& driver, const std::string& path);
// The whole file read and checked into setup; when it cannot be used, why
// (with SetupFileUnusable).
std::optional<SetupResult> ReadSetupFile(const std::string& path, Setup& setup);
// Plans what differs from the driver and applies it once confirm (when
// given) accepts the plan; nothing when it declined.
std::optional<SetupResult> LoadSetup(CDriver& driver, const std::string& path, const Setup& setup,
                                     const std::function<bool(const SetupPlan&)>& confirm);

// "-save FILE", "-load FILE" or "-preview FILE" on the command line: the
// option found (null for none) and its file.
const char* FindSetupOption(const char* cmdLine, std::string* path);
// Runs "-save" or "-load" with no window and gives the exit code; a load is
// handed to the running window when there is one.
int RunSetupCommandLine(const char* option, const std::string& path);

// The File menu's commands, with their dialogs over the owner.
void SaveSetupFromMenu(HWND owner);
void LoadSetupFromMenu(HWND owner);
// The preview over the owner, then the load and its summary.
void PreviewSetup(HWND owner, const std::string& path);
// A load handed over by a second start: at once; the caller tells the result.
SetupResult LoadHandedSetup(const std::string& path);
// The result in a message box over the owner, as loading from the menu does.
void ShowSetupResult(HWND owner, const SetupResult& result);
