#include "SetupTexts.h"

#include "DriverCodes.h"
#include "DropOutTexts.h"
#include "ResString.h"
#include "TextFormat.h"
#include "SynchTexts.h"
#include "resource.h"

#include <algorithm>
#include <cstring>

namespace {

constexpr char kNewLine[] = "\r\n";

struct SettingText {
    SetupSetting setting;
    UINT name;
};

constexpr SettingText kSettingNames[] = {
    {SetupSetting::ClockSource, IDS_SETTING_CLOCK_SOURCE},
    {SetupSetting::ClockMaster, IDS_SETTING_CLOCK_MASTER},
    {SetupSetting::SampleRateMode, IDS_SETTING_RATE_MODE},
    {SetupSetting::SynchMode, IDS_SETTING_SYNCH_MODE},
    {SetupSetting::StreamBuffer, IDS_SETTING_STREAM_BUFFER},
    {SetupSetting::WdmBuffer, IDS_SETTING_WDM_BUFFER},
    {SetupSetting::SampleRate, IDS_SETTING_RATE},
    {SetupSetting::AsioBuffer, IDS_SETTING_ASIO_BUFFER},
    {SetupSetting::DeviceRank, IDS_SETTING_RANK},
    {SetupSetting::DeviceName, IDS_SETTING_DEVICE_NAME},
    {SetupSetting::IncludeDeviceName, IDS_SETTING_INCLUDE_NAME},
};

struct ProblemText {
    SetupFile::Problem problem;
    UINT text;
};

constexpr ProblemText kProblems[] = {
    {SetupFile::Problem::TooLarge, IDS_PROBLEM_TOO_LARGE},
    {SetupFile::Problem::NotASetup, IDS_PROBLEM_NOT_A_SETUP},
    {SetupFile::Problem::NewerVersion, IDS_PROBLEM_NEWER_VERSION},
    {SetupFile::Problem::NotUtf8, IDS_PROBLEM_NOT_UTF8},
    {SetupFile::Problem::NoSection, IDS_PROBLEM_NO_SECTION},
    {SetupFile::Problem::UnknownSection, IDS_PROBLEM_UNKNOWN_SECTION},
    {SetupFile::Problem::UnknownKey, IDS_PROBLEM_UNKNOWN_KEY},
    {SetupFile::Problem::NoEquals, IDS_PROBLEM_NO_EQUALS},
    {SetupFile::Problem::DuplicateKey, IDS_PROBLEM_DUPLICATE},
    {SetupFile::Problem::BadNumber, IDS_PROBLEM_BAD_NUMBER},
    {SetupFile::Problem::BadChoice, IDS_PROBLEM_BAD_CHOICE},
    {SetupFile::Problem::NameTooLong, IDS_PROBLEM_NAME_TOO_LONG},
    {SetupFile::Problem::NotInCodePage, IDS_PROBLEM_NOT_IN_CODE_PAGE},
    {SetupFile::Problem::NoSerial, IDS_PROBLEM_NO_SERIAL},
    {SetupFile::Problem::ControlCharacter, IDS_PROBLEM_CONTROL_CHARACTER},
};

// The settings a failed read request leaves unknown.
struct RequestSettings {
    const char* request;
    UINT first;
    UINT second; // 0 for none
};

constexpr RequestSettings kRequestSettings[] = {
    {"GetDeviceList", IDS_SETTING_DEVICES, 0},
    {"GetDeviceProperties", IDS_SETTING_DEVICES, 0},
    {"GetDeviceSynchMode", IDS_SETTING_SYNCH_MODE, 0},
    {"GetSynchSource", IDS_SETTING_CLOCK_SOURCE, IDS_SETTING_CLOCK_MASTER},
    {"GetSampleRateMode", IDS_SETTING_RATE_MODE, 0},
    {"GetSampleRates", IDS_SETTING_RATE, 0},
    {"GetStreamBufferDepth", IDS_SETTING_STREAM_BUFFER, 0},
    {"GetAsioBufferDepth", IDS_SETTING_ASIO_BUFFER, 0},
    {"GetWdmBufferDepth", IDS_SETTING_WDM_BUFFER, 0},
    {"GetIncludeDeviceName", IDS_SETTING_INCLUDE_NAME, 0},
    {"GetChannelList", IDS_SETTING_CHANNELS, 0},
    {"GetChannelProperties", IDS_SETTING_CHANNELS, 0},
};

struct StatusMessage {
    uint32_t status;
    UINT text;
};

constexpr StatusMessage kStatusMessages[] = {
    {DRVSTATUS_TIMEOUT, IDS_DRIVER_NOT_RESPONDING},
    {DRVSTATUS_WDM_DEVICE_IN_USE, IDS_WDM_DEVICE_IN_USE},
    {DRVSTATUS_SAMPLE_RATE_NOT_SUPPORTED, IDS_ERR_RATE_NOT_SUPPORTED},
    {DRVSTATUS_FCP_REJECTED, IDS_ERR_FCP_REJECTED},
};

std::string Quoted(const std::string& text) {
    return "\"" + text + "\"";
}

// The system's words for its error, on one line.
std::string SystemMessage(DWORD error) {
    char text[512] = "";
    const DWORD length =
        ::FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, error,
                         0, text, sizeof text, nullptr);
    std::string message(text, length);
    while (!message.empty() && (message.back() == '\n' || message.back() == '\r' ||
                                message.back() == ' ' || message.back() == '.'))
        message.pop_back();
    return message;
}

std::string ErrorCodeText(uint32_t status) {
    return LoadResString(IDS_ERROR_CODE) + " " +
           FormatText("0x%08X", static_cast<unsigned>(status));
}

// A heading and its lines, each line indented, when there is any line.
void AddList(std::string& text, UINT heading, const std::vector<std::string>& lines) {
    if (lines.empty())
        return;
    text += kNewLine + LoadResString(heading);
    for (const std::string& line : lines)
        text += std::string(kNewLine) + "  " + line;
}

std::string DevicesText(const SetupPlace& place) {
    return SetupDeviceText(place.DeviceName, place.Serial);
}

UINT WhyText(SetupUnavailable::Why why) {
    switch (why) {
    case SetupUnavailable::Why::NotOffered:
        return IDS_WHY_NOT_OFFERED;
    case SetupUnavailable::Why::NoSuchDevice:
        return IDS_WHY_NO_DEVICE;
    case SetupUnavailable::Why::NoSuchChannel:
        return IDS_WHY_NO_CHANNEL;
    case SetupUnavailable::Why::RateFollowsMaster:
        break;
    }
    return IDS_WHY_FOLLOWS_MASTER;
}

// As the synchronisation page shows it when the driver told its kind; a mode
// the device does not offer is shown by its name and id, as the file has it.
std::string SynchModeText(const SetupValue& value) {
    if (value.ModeKind) {
        SynchMode mode{*value.ModeKind, value.Number, {}};
        std::memcpy(mode.Name, value.Text.data(),
                    std::min(value.Text.size(), sizeof mode.Name - 1));
        return GetSynchModeText(mode);
    }
    const std::string id = std::to_string(value.Number);
    return value.Text.empty() ? id : value.Text + " (" + id + ")";
}

std::vector<std::string> FailureLines(const std::vector<SetupReadFailure>& failures) {
    std::vector<std::string> lines;
    for (const SetupReadFailure& failure : failures) {
        std::string names = failure.Request;
        for (const RequestSettings& entry : kRequestSettings)
            if (std::strcmp(entry.request, failure.Request) == 0)
                names = LoadResString(entry.first) +
                        (entry.second ? ", " + LoadResString(entry.second) : std::string());
        lines.push_back(names + " (" + SetupStatusText(failure.Status) + ")");
    }
    return lines;
}

} // namespace

std::string SetupSettingName(const SetupPlace& place) {
    std::string name;
    if (place.Setting == SetupSetting::ChannelName)
        name = FormatResString(place.Output ? IDS_SETTING_OUTPUT : IDS_SETTING_INPUT,
                               {std::to_string(place.Position)});
    for (const SettingText& entry : kSettingNames)
        if (entry.setting == place.Setting)
            name = LoadResString(entry.name);
    if (place.Serial.empty())
        return name;
    return FormatResString(IDS_SETTING_OF,
                           {name, place.DeviceName.empty() ? place.Serial : place.DeviceName});
}

std::string SetupValueText(SetupSetting setting, const SetupValue& value) {
    const std::string number = std::to_string(value.Number);
    switch (setting) {
    case SetupSetting::ClockSource:
        return GetSynchSourceText(value.Number);
    case SetupSetting::ClockMaster:
        return value.Text.empty() ? LoadResString(IDS_VALUE_NONE) : value.Text;
    case SetupSetting::SampleRateMode:
        return LoadResString(value.Number ? IDS_VALUE_AUTOMATIC : IDS_VALUE_MANUAL);
    case SetupSetting::SynchMode:
        return SynchModeText(value);
    case SetupSetting::StreamBuffer:
    case SetupSetting::WdmBuffer:
    case SetupSetting::AsioBuffer:
        return MillisecondsText(value.Number) + " " + LoadResString(IDS_UNIT_MS);
    case SetupSetting::SampleRate:
        return FormatResString(IDS_VALUE_HERTZ, {number});
    case SetupSetting::DeviceRank:
        return number;
    case SetupSetting::IncludeDeviceName:
        return LoadResString(value.Number ? IDS_VALUE_YES : IDS_VALUE_NO);
    case SetupSetting::DeviceName:
    case SetupSetting::ChannelName:
        break;
    }
    return Quoted(value.Text);
}

std::string SetupStatusText(uint32_t status) {
    for (const StatusMessage& message : kStatusMessages)
        if (message.status == status) {
            // A message box's text may run over two lines; a list's may not.
            std::string text = LoadResString(message.text);
            std::replace(text.begin(), text.end(), '\n', ' ');
            return text;
        }
    // Statuses of the system are small numbers the system has words for.
    const std::string system = status <= 0xFFFF ? SystemMessage(status) : std::string();
    return system.empty() ? ErrorCodeText(status) : system;
}

// A connection that is not open, a driver whose device is not there or one
// too old: the user can only be told to see to the driver.
std::string SetupNoDriverText(uint32_t status) {
    const bool missing = status == DRVSTATUS_NOT_OPEN || status == DRVSTATUS_VERSION_MISMATCH ||
                         status == ERROR_FILE_NOT_FOUND || status == ERROR_PATH_NOT_FOUND;
    return FormatResString(IDS_SETUP_NO_DRIVER,
                           {missing ? LoadResString(IDS_DRIVER_MISSING) : SetupStatusText(status)});
}

std::string SetupProblemText(const std::string& path, const SetupFile::Result& result) {
    std::string reason;
    for (const ProblemText& entry : kProblems)
        if (entry.problem == result.problem)
            reason = LoadResString(entry.text);
    if (result.line == 0)
        return FormatResString(IDS_SETUP_UNUSABLE_FILE, {path, reason});
    return FormatResString(IDS_SETUP_UNUSABLE, {path, std::to_string(result.line), reason});
}

std::string SetupNotReadText(const std::string& path, DWORD error) {
    return FormatResString(IDS_SETUP_NOT_READ, {path, SetupStatusText(error)});
}

std::string SetupPlanNotes(const SetupPlan& plan) {
    std::string text;
    std::vector<std::string> lines;
    for (const SetupPlace& device : plan.MissingDevices)
        lines.push_back(DevicesText(device));
    AddList(text, IDS_SETUP_SKIPPED, lines);
    lines.clear();
    for (const SetupPlace& device : plan.UntouchedDevices)
        lines.push_back(DevicesText(device));
    AddList(text, IDS_SETUP_LEFT_ALONE, lines);
    lines.clear();
    for (const SetupUnavailable& item : plan.Unavailable)
        lines.push_back(SetupSettingName(item.Place) + ": " +
                        SetupValueText(item.Place.Setting, item.Wanted) + " (" +
                        LoadResString(WhyText(item.Reason)) + ")");
    AddList(text, IDS_SETUP_NOT_TAKEN, lines);
    AddList(text, IDS_SETUP_UNREAD, FailureLines(plan.Failures));
    // Every list starts on a line of its own; the first needs no break.
    return text.empty() ? text : text.substr(std::strlen(kNewLine));
}

std::string SetupLoadSummary(const std::string& path, const SetupPlan& plan,
                             const std::vector<uint32_t>& statuses) {
    const bool whole = AppliedWhole(plan, statuses);
    std::string text = FormatResString(whole ? IDS_SETUP_LOADED : IDS_SETUP_LOADED_PART, {path});
    std::vector<std::string> refused;
    for (const SetupChange& change : plan.Changes)
        if (change.Step < statuses.size() && statuses[change.Step] != 0)
            refused.push_back(SetupSettingName(change.Place) + ": " +
                              SetupValueText(change.Place.Setting, change.Wanted) + " (" +
                              SetupStatusText(statuses[change.Step]) + ")");
    // A blank line between the outcome and its lists, each on lines of its own.
    std::string lists;
    AddList(lists, IDS_SETUP_REFUSED, refused);
    const std::string notes = SetupPlanNotes(plan);
    if (!notes.empty())
        lists += kNewLine + notes;
    return lists.empty() ? text : text + kNewLine + lists;
}

std::string SetupSaveSummary(const std::string& path, const std::vector<SetupReadFailure>& failures,
                             const std::vector<SetupPlace>& leftOut) {
    if (failures.empty() && leftOut.empty())
        return FormatResString(IDS_SETUP_SAVED, {path});
    std::string text = FormatResString(IDS_SETUP_SAVED_PART, {path}) + kNewLine;
    AddList(text, IDS_SETUP_UNTOLD, FailureLines(failures));
    std::vector<std::string> unwritable;
    for (const SetupPlace& place : leftOut)
        unwritable.push_back(SetupSettingName(place));
    AddList(text, IDS_SETUP_UNWRITABLE, unwritable);
    return text;
}
