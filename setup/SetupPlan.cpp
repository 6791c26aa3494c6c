#include "SetupPlan.h"

#include "DriverRecords.h"

#include <algorithm>
#include <cstring>
#include <utility>

namespace {

template <size_t N> void PutName(char (&field)[N], const std::string& name) {
    std::memset(field, 0, N);
    std::memcpy(field, name.data(), std::min(name.size(), N - 1));
}

// A depth the driver's slider can stand on: at or above its minimum, on its
// grid of steps.
bool DepthOffered(uint32_t depth, uint32_t minimum, uint32_t step) {
    return step != 0 && depth % step == 0 && depth / step >= minimum / step;
}

class Planner {
public:
    Planner(const DriverState& state, const Setup& file) : m_State(state), m_File(file) {}
    SetupPlan Plan();

private:
    using Send = std::function<uint32_t(CDriver&)>;
    size_t AddStep(const char* request, Send send, bool needsStoppedStreams);
    void Change(const SetupPlace& place, SetupValue current, SetupValue wanted, size_t step);
    void Unavailable(const SetupPlace& place, SetupValue wanted, SetupUnavailable::Why why);
    SetupPlace Place(SetupSetting setting, const DriverDevice* device = nullptr) const;
    static SetupValue DeviceValue(const DriverDevice* device);
    const DriverDevice* DeviceOfId(uint32_t deviceId) const;

    void PlanClock();
    void PlanRateMode();
    void PlanSynchMode(const SetupDevice& file, const DriverDevice& device);
    template <typename Record>
    void PlanDepth(SetupSetting setting, const std::optional<uint32_t>& wanted,
                   const std::optional<Record>& record, const char* request,
                   uint32_t (CDriver::*set)(const Record*), bool needsStoppedStreams);
    void PlanRate();
    void PlanDeviceProperties(const SetupDevice& file, const DriverDevice& device);
    void PlanIncludeDeviceName();
    void PlanChannels(const SetupDevice& file, const DriverDevice& device);
    void PlanDevices(void (Planner::*plan)(const SetupDevice&, const DriverDevice&));
    void ListMissingAndUntouched();

    const DriverState& m_State;
    const Setup& m_File;
    SetupPlan m_Plan;
};

SetupPlan Planner::Plan() {
    PlanClock();
    PlanRateMode();
    PlanDevices(&Planner::PlanSynchMode);
    PlanDepth(SetupSetting::StreamBuffer, m_File.StreamBufferUs, m_State.StreamBuffer,
              "SetStreamBufferDepth", &CDriver::SetStreamBufferDepth, true);
    PlanDepth(SetupSetting::WdmBuffer, m_File.WdmBufferUs, m_State.WdmBuffer, "SetWdmBufferDepth",
              &CDriver::SetWdmBufferDepth, true);
    PlanRate();
    PlanDepth(SetupSetting::AsioBuffer, m_File.AsioBufferUs, m_State.AsioBuffer,
              "SetAsioBufferDepth", &CDriver::SetAsioBufferDepth, false);
    PlanDevices(&Planner::PlanDeviceProperties);
    PlanIncludeDeviceName();
    PlanDevices(&Planner::PlanChannels);
    ListMissingAndUntouched();
    m_Plan.Failures = m_State.Failures;
    return std::move(m_Plan);
}

size_t Planner::AddStep(const char* request, Send send, bool needsStoppedStreams) {
    m_Plan.Steps.push_back({request, std::move(send), needsStoppedStreams});
    return m_Plan.Steps.size() - 1;
}

void Planner::Change(const SetupPlace& place, SetupValue current, SetupValue wanted, size_t step) {
    m_Plan.Changes.push_back({place, std::move(current), std::move(wanted), step});
}

void Planner::Unavailable(const SetupPlace& place, SetupValue wanted, SetupUnavailable::Why why) {
    m_Plan.Unavailable.push_back({place, std::move(wanted), why});
}

SetupPlace Planner::Place(SetupSetting setting, const DriverDevice* device) const {
    SetupPlace place{setting, {}, {}, false, 0};
    if (device) {
        place.Serial = FieldText(device->Properties.SerialNumber);
        place.DeviceName = FieldText(device->Properties.DeviceName);
    }
    return place;
}

SetupValue Planner::DeviceValue(const DriverDevice* device) {
    if (!device)
        return {};
    return {0, SetupDeviceText(FieldText(device->Properties.DeviceName),
                               FieldText(device->Properties.SerialNumber))};
}

const DriverDevice* Planner::DeviceOfId(uint32_t deviceId) const {
    for (const DriverDevice& device : m_State.Devices)
        if (device.Properties.DeviceId == deviceId)
            return &device;
    return nullptr;
}

// Source and master travel in one record, so one request makes both changes.
void Planner::PlanClock() {
    if (!m_State.Source)
        return;
    SynchSource wanted = *m_State.Source;
    const uint32_t source = wanted.SourceKind != 0 ? 1 : 0;
    std::vector<SetupChange> changes;
    if (m_File.ClockSource && *m_File.ClockSource != source) {
        wanted.SourceKind = *m_File.ClockSource;
        changes.push_back(
            {Place(SetupSetting::ClockSource), {source, {}}, {*m_File.ClockSource, {}}, 0});
    }
    if (m_File.ClockMaster) {
        const DriverDevice* master = m_State.DeviceOf(*m_File.ClockMaster);
        if (!master)
            Unavailable(Place(SetupSetting::ClockMaster), {0, *m_File.ClockMaster},
                        SetupUnavailable::Why::NoSuchDevice);
        else if (master->Properties.DeviceId != wanted.MasterDeviceId) {
            changes.push_back({Place(SetupSetting::ClockMaster),
                               DeviceValue(DeviceOfId(wanted.MasterDeviceId)), DeviceValue(master),
                               0});
            wanted.MasterDeviceId = master->Properties.DeviceId;
        }
    }
    if (changes.empty())
        return;
    const size_t step = AddStep(
        "SetSynchSource", [wanted](CDriver& driver) { return driver.SetSynchSource(&wanted); },
        true);
    for (SetupChange& change : changes)
        Change(change.Place, std::move(change.Current), std::move(change.Wanted), step);
}

void Planner::PlanRateMode() {
    if (!m_File.SampleRateMode || !m_State.RateMode || *m_File.SampleRateMode == *m_State.RateMode)
        return;
    const uint32_t mode = *m_File.SampleRateMode;
    Change(Place(SetupSetting::SampleRateMode), {*m_State.RateMode, {}}, {mode, {}},
           AddStep(
               "SetSampleRateMode",
               [mode](CDriver& driver) { return driver.SetSampleRateMode(mode); }, true));
}

// A mode is the same mode only by its id and its name together: a mode the
// device no longer offers is reported, never guessed at.
void Planner::PlanSynchMode(const SetupDevice& file, const DriverDevice& device) {
    if (!file.Mode || !device.Modes)
        return;
    const DeviceSynchModes& modes = *device.Modes;
    SetupValue wanted{file.Mode->ModeId, file.Mode->Name, std::nullopt};
    const SetupValue current{modes.Current.ModeId, FieldText(modes.Current.Name),
                             modes.Current.Kind};
    if (current == wanted)
        return;
    const SetupPlace place = Place(SetupSetting::SynchMode, &device);
    for (uint32_t i = 0; i < ClampedCount(modes.ModeCount, modes.Modes); ++i) {
        const SynchMode& mode = modes.Modes[i];
        if (mode.ModeId != wanted.Number || FieldText(mode.Name) != wanted.Text)
            continue;
        const SynchModeSelection selection{device.Properties.DeviceId, mode.Kind, mode.ModeId};
        wanted.ModeKind = mode.Kind;
        Change(place, current, wanted,
               AddStep(
                   "SetDeviceSynchMode",
                   [selection](CDriver& driver) { return driver.SetDeviceSynchMode(&selection); },
                   true));
        return;
    }
    Unavailable(place, wanted, SetupUnavailable::Why::NotOffered);
}

template <typename Record>
void Planner::PlanDepth(SetupSetting setting, const std::optional<uint32_t>& wanted,
                        const std::optional<Record>& record, const char* request,
                        uint32_t (CDriver::*set)(const Record*), bool needsStoppedStreams) {
    if (!wanted || !record || *wanted == record->Depth)
        return;
    if (!DepthOffered(*wanted, record->MinDepth, record->Step)) {
        Unavailable(Place(setting), {*wanted, {}}, SetupUnavailable::Why::NotOffered);
        return;
    }
    Record sent = *record;
    sent.Depth = *wanted;
    Change(Place(setting), {record->Depth, {}}, {*wanted, {}},
           AddStep(
               request, [sent, set](CDriver& driver) { return (driver.*set)(&sent); },
               needsStoppedStreams));
}

// While the clock master sets the rate, the file's rate is not the driver's
// to take.
void Planner::PlanRate() {
    if (!m_File.SampleRate || !m_State.Rates || *m_File.SampleRate == m_State.Rates->CurrentRate)
        return;
    const uint32_t rate = *m_File.SampleRate;
    const SetupPlace place = Place(SetupSetting::SampleRate);
    const std::optional<uint32_t> mode =
        m_File.SampleRateMode ? m_File.SampleRateMode : m_State.RateMode;
    if (mode.value_or(0) != 0) {
        Unavailable(place, {rate, {}}, SetupUnavailable::Why::RateFollowsMaster);
        return;
    }
    const SampleRates& rates = *m_State.Rates;
    const uint32_t* end = rates.Rates + ClampedCount(rates.RateCount, rates.Rates);
    if (std::find(rates.Rates, end, rate) == end) {
        Unavailable(place, {rate, {}}, SetupUnavailable::Why::NotOffered);
        return;
    }
    Change(place, {rates.CurrentRate, {}}, {rate, {}},
           AddStep(
               "SetSampleRate", [rate](CDriver& driver) { return driver.SetSampleRate(rate); },
               false));
}

// Rank and name travel in one record, so one request makes both changes.
void Planner::PlanDeviceProperties(const SetupDevice& file, const DriverDevice& device) {
    DeviceProperties sent = device.Properties;
    std::vector<SetupChange> changes;
    if (file.Rank && *file.Rank != sent.Rank) {
        changes.push_back(
            {Place(SetupSetting::DeviceRank, &device), {sent.Rank, {}}, {*file.Rank, {}}, 0});
        sent.Rank = *file.Rank;
    }
    const std::string name = FieldText(sent.DeviceName);
    if (file.Name && *file.Name != name) {
        changes.push_back(
            {Place(SetupSetting::DeviceName, &device), {0, name}, {0, *file.Name}, 0});
        PutName(sent.DeviceName, *file.Name);
    }
    if (changes.empty())
        return;
    const size_t step = AddStep(
        "SetDeviceProperties",
        [sent](CDriver& driver) { return driver.SetDeviceProperties(&sent); }, false);
    for (SetupChange& change : changes)
        Change(change.Place, std::move(change.Current), std::move(change.Wanted), step);
}

void Planner::PlanIncludeDeviceName() {
    if (!m_File.IncludeDeviceName || !m_State.IncludeDeviceName)
        return;
    const uint32_t include = *m_File.IncludeDeviceName ? 1 : 0;
    if (include == *m_State.IncludeDeviceName)
        return;
    Change(Place(SetupSetting::IncludeDeviceName), {*m_State.IncludeDeviceName, {}}, {include, {}},
           AddStep(
               "SetIncludeDeviceName",
               [include](CDriver& driver) { return driver.SetIncludeDeviceName(include); }, false));
}

void Planner::PlanChannels(const SetupDevice& file, const DriverDevice& device) {
    const size_t index = static_cast<size_t>(&device - m_State.Devices.data());
    for (const SetupChannel& channel : file.Channels) {
        SetupPlace place = Place(SetupSetting::ChannelName, &device);
        place.Output = channel.Output;
        place.Position = channel.Position;
        const auto found = std::find_if(
            m_State.Channels.begin(), m_State.Channels.end(), [&](const DriverChannel& c) {
                return c.Device == index && c.Output == channel.Output &&
                       c.Position == channel.Position;
            });
        if (found == m_State.Channels.end()) {
            Unavailable(place, {0, channel.Name}, SetupUnavailable::Why::NoSuchChannel);
            continue;
        }
        const std::string name = FieldText(found->Properties.ChannelName);
        if (name == channel.Name)
            continue;
        ChannelProperties sent = found->Properties;
        PutName(sent.ChannelName, channel.Name);
        Change(place, {0, name}, {0, channel.Name},
               AddStep(
                   "SetChannelProperties",
                   [sent](CDriver& driver) { return driver.SetChannelProperties(&sent); }, false));
    }
}

void Planner::PlanDevices(void (Planner::*plan)(const SetupDevice&, const DriverDevice&)) {
    for (const SetupDevice& file : m_File.Devices)
        if (const DriverDevice* device = m_State.DeviceOf(file.Serial))
            (this->*plan)(file, *device);
}

void Planner::ListMissingAndUntouched() {
    for (const SetupDevice& file : m_File.Devices)
        if (!m_State.DeviceOf(file.Serial))
            m_Plan.MissingDevices.push_back(
                {SetupSetting::DeviceName, file.Serial, file.Name.value_or(""), false, 0});
    for (const DriverDevice& device : m_State.Devices) {
        const std::string serial = FieldText(device.Properties.SerialNumber);
        if (std::none_of(m_File.Devices.begin(), m_File.Devices.end(),
                         [&](const SetupDevice& file) { return file.Serial == serial; }))
            m_Plan.UntouchedDevices.push_back(Place(SetupSetting::DeviceName, &device));
    }
}

} // namespace

// The serial number tells two devices of one model apart.
std::string SetupDeviceText(const std::string& name, const std::string& serial) {
    return name.empty() ? serial : name + " (" + serial + ")";
}

SetupPlan PlanSetup(const DriverState& state, const Setup& file) {
    return Planner(state, file).Plan();
}

std::vector<uint32_t> ApplySetupPlan(CDriver& driver, const SetupPlan& plan) {
    std::vector<uint32_t> statuses;
    const bool stops = std::any_of(plan.Steps.begin(), plan.Steps.end(),
                                   [](const SetupStep& step) { return step.NeedsStoppedStreams; });
    const uint32_t stopped = stops ? driver.StopStreaming() : 0;
    bool running = !stops;
    for (const SetupStep& step : plan.Steps) {
        if (!step.NeedsStoppedStreams && !running) {
            if (stopped == 0)
                driver.StartStreaming();
            running = true;
        }
        statuses.push_back(step.NeedsStoppedStreams && stopped != 0 ? stopped : step.Send(driver));
    }
    if (!running && stopped == 0)
        driver.StartStreaming();
    return statuses;
}

bool AppliedWhole(const SetupPlan& plan, const std::vector<uint32_t>& statuses) {
    return plan.MissingDevices.empty() && plan.Unavailable.empty() && plan.Failures.empty() &&
           std::all_of(
               statuses.begin(), statuses.end(), [](uint32_t s) { return s == 0; });
}
