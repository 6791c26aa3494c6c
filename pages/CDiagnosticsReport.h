// A plain-text report of the whole set-up, for a musician to hand over when
// asking for help: program and driver versions, both connections, every
// device with its plugs, channel counts, clock, sampling rate, buffers and
// drop-outs. Everything is asked of the driver afresh, with the requests the
// pages use, into records of its own: the pages' un-applied edits in gDrv
// stay as they are. A request that fails shows its status instead of a value.
#pragma once

#include "CDriver.h"
#include "CNotificator.h"
#include "DropOutHistory.h"

#include <windows.h>

#include <string>
#include <utility>
#include <vector>

class CDiagnosticsReport {
public:
    // settings is the connection the pages use, listener the event listener's.
    CDiagnosticsReport(CDriver& settings, const CNotificator& listener);

    // The report, each line ended with CR LF as the clipboard expects, with
    // the given local time as the time of the report.
    std::string Build(const SYSTEMTIME& time);
    // The drop-out monitor's part of the report: the count since reset and
    // since when, the last drop-out, and the minutes of the last hour that
    // had any. Told by the program, not asked of the driver.
    static std::string MonitorSection(const DropOutHistory& history, int64_t now);

private:
    void AddLine(UINT label, const std::string& value);
    void AddProgram(const SYSTEMTIME& time);
    void AddConnections();
    void AddDevices();
    void AddDevice(uint32_t deviceId);
    void AddChannels();
    void AddClock();
    void AddSamplingRate();
    void AddBuffers();

    // "Rank r: name, serial number", or the device's id with the failure.
    std::string DeviceText(uint32_t deviceId);
    std::string SynchModeText(uint32_t deviceId);
    std::string PlugsText(uint32_t deviceId);
    std::string ClockMasterText(const SynchSource& source);

    CDriver& m_Driver;
    const CNotificator& m_Listener;
    std::string m_Text;
    // What this report has read, for the lines that refer back to it: the
    // devices by id with their names, and the current rate (0 when unknown).
    std::vector<std::pair<uint32_t, std::string>> m_DeviceNames;
    uint32_t m_CurrentRate = 0;
};
