#include "CDiagnosticsReport.h"

#include "CDlgPgDropOuts.h"
#include "CDlgPgStreams.h"
#include "Clock.h"
#include "DriverCodes.h"
#include "EmptyListText.h"
#include "ResString.h"
#include "SynchTexts.h"
#include "TextFormat.h"
#include "Version.h"
#include "resource.h"

namespace {

constexpr char kLineEnd[] = "\r\n";

// The report is read by whoever helps, who may not read the user's language:
// every text of it is English.
const LANGID kReportLanguage = MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US);

std::string Text(UINT id) {
    return LoadResString(id, kReportLanguage);
}

std::string Hex(uint32_t value) {
    return FormatText("0x%08X", static_cast<unsigned>(value));
}

// What a line shows instead of the value of a request that failed.
std::string FailedText(uint32_t status) {
    return Text(IDS_DIAG_FAILED) + " " + Hex(status);
}

std::string Microseconds(uint32_t value) {
    return std::to_string(value) + " " + Text(IDS_DIAG_MICROSECONDS);
}

std::string TimeText(const SYSTEMTIME& time) {
    return FormatText("%04u-%02u-%02u %02u:%02u:%02u", time.wYear, time.wMonth, time.wDay,
                      time.wHour, time.wMinute, time.wSecond);
}

std::string ConnectionText(const CDriver& connection) {
    std::string text = Text(connection.m_hDevice ? IDS_DIAG_OPEN : IDS_DIAG_CLOSED);
    if (connection.IsStalled())
        text += ", " + Text(IDS_DIAG_NOT_RESPONDING);
    return text;
}

// A plug as its cell on the streams page reads, with the error text of a
// failed connection; a state without a text of its own shows its number.
std::string PlugText(const PlugStatus& plug) {
    std::string text = CDlgPgStreams::GetPlugStateText(plug, kReportLanguage);
    if (plug.State == PLUG_STATE_CONNECT_FAILED)
        return text + " (" + CDlgPgStreams::GetPlugErrorText(plug.ErrorCode, kReportLanguage) + ")";
    if (text.empty())
        text = Text(IDS_DIAG_PLUG_STATE) + " " + std::to_string(plug.State);
    return text;
}

// A depth with its samples (when known), minimum and step.
std::string BufferText(uint32_t depth, const std::string& samples, uint32_t minDepth,
                       uint32_t step) {
    std::string text = Microseconds(depth);
    if (!samples.empty())
        text += ", " + samples;
    return text + "; " + Text(IDS_DIAG_MINIMUM) + " " + Microseconds(minDepth) + ", " +
           Text(IDS_DIAG_STEP) + " " + Microseconds(step);
}

std::string SamplesText(uint32_t samples) {
    return std::to_string(samples) + " " + Text(IDS_UNIT_SAMPLES);
}

} // namespace

CDiagnosticsReport::CDiagnosticsReport(CDriver& settings, const CNotificator& listener)
    : m_Driver(settings), m_Listener(listener) {}

std::string CDiagnosticsReport::Build(const SYSTEMTIME& time) {
    m_Text.clear();
    m_DeviceNames.clear();
    m_CurrentRate = 0;
    AddProgram(time);
    AddConnections();
    AddDevices();
    AddChannels();
    AddClock();
    AddSamplingRate();
    AddBuffers();
    return m_Text;
}

void CDiagnosticsReport::AddLine(UINT label, const std::string& value) {
    m_Text += Text(label) + ": " + value + kLineEnd;
}

void CDiagnosticsReport::AddProgram(const SYSTEMTIME& time) {
    m_Text += Text(IDS_MAIN_TITLE) + " - " + Text(IDS_DIAG_HEADING) + kLineEnd;
    AddLine(IDS_DIAG_TIME, TimeText(time));
    AddLine(IDS_DIAG_PROGRAM, std::string(DEMTREL_VERSION_TEXT) + ", " +
                                  std::to_string(8 * sizeof(void*)) + Text(IDS_DIAG_BITS));
    DriverVersion version{};
    const uint32_t status = m_Driver.GetInterfaceVersion(&version);
    AddLine(IDS_DIAG_INTERFACE,
            status != 0 ? FailedText(status)
                        : std::to_string(version.Major) + "." + std::to_string(version.Minor));
}

void CDiagnosticsReport::AddConnections() {
    AddLine(IDS_DIAG_SETTINGS_CONNECTION, ConnectionText(m_Driver));
    AddLine(IDS_DIAG_EVENT_CONNECTION,
            ConnectionText(m_Listener) + ", " +
                Text(m_Listener.m_hThread ? IDS_DIAG_LISTENING : IDS_DIAG_NOT_LISTENING));
}

void CDiagnosticsReport::AddDevices() {
    DeviceList list{};
    const uint32_t status = m_Driver.GetDeviceList(&list);
    const std::string why = EmptyReasonReportText(
        DriverState::Of(m_Driver, status != 0 ? -1 : static_cast<int>(list.Count)),
        kReportLanguage);
    if (!why.empty())
        AddLine(IDS_DIAG_DRIVER, why);
    if (status != 0) {
        AddLine(IDS_DIAG_DEVICES, FailedText(status));
        return;
    }
    AddLine(IDS_DIAG_DEVICES, std::to_string(list.Count));
    m_Text += Text(IDS_DIAG_PLUG_ORDER) + kLineEnd;
    // More devices than the record holds: those it holds are listed.
    const uint32_t count = ClampedCount(list.Count, list.DeviceIds);
    for (uint32_t i = 0; i < count; ++i)
        AddDevice(list.DeviceIds[i]);
}

// Two lines a device, short ones: the report stays small with every device
// the driver can hold.
void CDiagnosticsReport::AddDevice(uint32_t deviceId) {
    m_Text += DeviceText(deviceId) + "; " + Text(IDS_DIAG_MODE) + " " + SynchModeText(deviceId) +
              kLineEnd;
    m_Text += "  " + PlugsText(deviceId) + kLineEnd;
}

std::string CDiagnosticsReport::DeviceText(uint32_t deviceId) {
    DeviceProperties device{};
    const uint32_t status = m_Driver.GetDeviceProperties(deviceId, &device);
    if (status != 0)
        return Text(IDS_DIAG_DEVICE) + " " + Hex(deviceId) + ": " + FailedText(status);
    const std::string name = FieldText(device.DeviceName);
    m_DeviceNames.emplace_back(deviceId, name);
    return Text(IDS_DIAG_RANK) + " " + std::to_string(device.Rank) + ": " + name + ", " +
           FieldText(device.SerialNumber);
}

std::string CDiagnosticsReport::SynchModeText(uint32_t deviceId) {
    DeviceSynchModes modes{};
    const uint32_t status = m_Driver.GetDeviceSynchMode(deviceId, &modes);
    return status != 0 ? FailedText(status) : GetSynchModeText(modes.Current, kReportLanguage);
}

std::string CDiagnosticsReport::PlugsText(uint32_t deviceId) {
    StreamStatus stream{};
    const uint32_t status = m_Driver.GetStreamStatus(deviceId, &stream);
    if (status != 0)
        return FailedText(status);
    return PlugText(stream.AudioOut) + ", " + PlugText(stream.AudioIn) + ", " +
           PlugText(stream.SynchOut) + ", " + PlugText(stream.SynchIn);
}

void CDiagnosticsReport::AddChannels() {
    ChannelList list{};
    const uint32_t status = m_Driver.GetChannelList(&list);
    AddLine(IDS_DIAG_INPUT_CHANNELS,
            status != 0 ? FailedText(status) : std::to_string(list.Inputs.Count));
    AddLine(IDS_DIAG_OUTPUT_CHANNELS,
            status != 0 ? FailedText(status) : std::to_string(list.Outputs.Count));
}

void CDiagnosticsReport::AddClock() {
    SynchSource source{};
    const uint32_t status = m_Driver.GetSynchSource(&source);
    if (status != 0) {
        AddLine(IDS_DIAG_CLOCK_SOURCE, FailedText(status));
        return;
    }
    std::string kind = GetSynchSourceText(source.SourceKind, kReportLanguage);
    if (kind.empty())
        kind = std::to_string(source.SourceKind);
    AddLine(IDS_DIAG_CLOCK_SOURCE, kind);
    AddLine(IDS_DIAG_CLOCK_MASTER, ClockMasterText(source));
}

// The PC driver, or the device the driver names, found among those listed.
std::string CDiagnosticsReport::ClockMasterText(const SynchSource& source) {
    if (source.SourceKind == 0)
        return Text(IDS_PC_DRIVER);
    for (const auto& device : m_DeviceNames)
        if (device.first == source.MasterDeviceId)
            return device.second;
    return Text(IDS_DIAG_DEVICE_ID) + " " + Hex(source.MasterDeviceId) + ", " +
           Text(IDS_DIAG_NOT_LISTED);
}

void CDiagnosticsReport::AddSamplingRate() {
    uint32_t mode = 0;
    const uint32_t modeStatus = m_Driver.GetSampleRateMode(&mode);
    AddLine(IDS_DIAG_RATE_MODE, modeStatus != 0
                                    ? FailedText(modeStatus)
                                    : Text(mode != 0 ? IDS_DIAG_AUTOMATIC : IDS_DIAG_MANUAL));
    SampleRates rates{};
    const uint32_t status = m_Driver.GetSampleRates(&rates);
    if (status != 0) {
        AddLine(IDS_DIAG_RATE, FailedText(status));
        return;
    }
    m_CurrentRate = rates.CurrentRate;
    const std::string hertz = " " + Text(IDS_DIAG_HERTZ);
    AddLine(IDS_DIAG_RATE, std::to_string(rates.CurrentRate) + hertz);
    std::string selectable;
    const uint32_t count = ClampedCount(rates.RateCount, rates.Rates);
    for (uint32_t i = 0; i < count; ++i)
        selectable += (i ? ", " : "") + std::to_string(rates.Rates[i]);
    AddLine(IDS_DIAG_SELECTABLE_RATES, selectable + hertz);
}

void CDiagnosticsReport::AddBuffers() {
    StreamBufferDepth stream{};
    uint32_t status = m_Driver.GetStreamBufferDepth(&stream);
    // The driver gives the stream buffer in time only; its samples follow
    // from the current rate when that could be read.
    const std::string streamSamples =
        m_CurrentRate == 0 ? std::string()
                           : SamplesText(static_cast<uint32_t>(static_cast<uint64_t>(stream.Depth) *
                                                               m_CurrentRate / 1000000u));
    AddLine(IDS_DIAG_STREAM_BUFFER,
            status != 0 ? FailedText(status)
                        : BufferText(stream.Depth, streamSamples, stream.MinDepth, stream.Step));
    AudioBufferDepth audio{};
    status = m_Driver.GetAsioBufferDepth(&audio);
    AddLine(IDS_DIAG_ASIO_BUFFER, status != 0 ? FailedText(status)
                                              : BufferText(audio.Depth, SamplesText(audio.Samples),
                                                           audio.MinDepth, audio.Step));
    audio = {};
    status = m_Driver.GetWdmBufferDepth(&audio);
    AddLine(IDS_DIAG_WDM_BUFFER, status != 0 ? FailedText(status)
                                             : BufferText(audio.Depth, SamplesText(audio.Samples),
                                                          audio.MinDepth, audio.Step));
    AsioStatistics statistics{};
    status = m_Driver.GetAsioStatistics(&statistics);
    AddLine(IDS_DIAG_DROPOUTS,
            status != 0 ? FailedText(status) : std::to_string(statistics.DropOuts));
}

std::string CDiagnosticsReport::MonitorSection(const DropOutHistory& history, int64_t now) {
    std::string text = Text(IDS_DIAG_MONITOR) + kLineEnd;
    text += Text(IDS_DIAG_SINCE) + " " + LocalTimeText(history.WatchingSince(), true) + ": " +
            std::to_string(history.SinceReset()) + kLineEnd;
    const DropOutHistory::Event* last = history.LastDropOut();
    text += Text(IDS_DIAG_LAST_DROPOUT) + ": " +
            (last ? LocalTimeText(last->Time, true) + ", " + std::to_string(last->Count)
                  : Text(IDS_DIAG_NONE)) +
            kLineEnd;
    std::string minutes;
    for (const DropOutHistory::Minute& minute :
         history.LastMinutes(now, CDlgPgDropOuts::GraphMinutes))
        if (minute.DropOuts != 0)
            minutes += (minutes.empty() ? "" : ", ") + LocalTimeText(minute.Start) + " " +
                       std::to_string(minute.DropOuts);
    text += Text(IDS_DIAG_PER_MINUTE) + ": " + (minutes.empty() ? Text(IDS_DIAG_NONE) : minutes) +
            kLineEnd;
    return text;
}
