// What saving and loading a setup say, in the user's language: the names and
// values of settings in the preview, why a file cannot be used, and the
// summaries, which the window shows in a message box and the command line
// prints.
#pragma once

#include "SetupFile.h"
#include "SetupPlan.h"

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

// "Rank of Tarnet Duo 8", "Input 3 of Tarnet Duo 8", "Sampling rate".
std::string SetupSettingName(const SetupPlace& place);
// "4.0 ms", "48000 Hz", "External", a name in quotes.
std::string SetupValueText(SetupSetting setting, const SetupValue& value);
// A driver status or a system error as a short text.
std::string SetupStatusText(uint32_t status);
// That the driver could not be opened, and why.
std::string SetupNoDriverText(uint32_t status);
// Why the file at path cannot be used, with the line when there is one.
std::string SetupProblemText(const std::string& path, const SetupFile::Result& result);
std::string SetupNotReadText(const std::string& path, DWORD error);
// Every part of the plan that is not a change: devices skipped and left
// alone, settings the driver cannot take, settings it did not tell.
std::string SetupPlanNotes(const SetupPlan& plan);
// What loading did, with everything refused or not taken.
std::string SetupLoadSummary(const std::string& path, const SetupPlan& plan,
                             const std::vector<uint32_t>& statuses);
// What saving did, with every setting left out: those the driver did not
// tell, and those a file cannot hold.
std::string SetupSaveSummary(const std::string& path, const std::vector<SetupReadFailure>& failures,
                             const std::vector<SetupPlace>& leftOut);
