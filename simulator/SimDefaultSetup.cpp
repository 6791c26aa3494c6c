#include "SimDefaultSetup.h"

#include "DriverCodes.h"

#include <cstring>
#include <string>

void CSimDefaultSetup::Apply(CSimModel& model) {
    model.Clear();
    AddQuadra(model);
    AddDuo(model);
    model.Source.SourceKind = 1;
    model.Source.MasterDeviceId = model.Devices[0].Id;
    model.SampleRateMode = 0;
    model.StreamBuffer = SimBuffer{2000, 500, 10000, 250};
    model.AsioBuffer = SimBuffer{4000, 1000, 40000, 500};
    model.WdmBuffer = SimBuffer{10000, 2000, 40000, 1000};
    model.IncludeDeviceName = 1;
    model.SetRate(48000);
}

uint32_t CSimDefaultSetup::AddPlainInterface(CSimModel& model, const std::string& name,
                                             const std::string& serialNumber, uint32_t inputs,
                                             uint32_t outputs) {
    const uint32_t id = model.AddDevice(name, serialNumber);
    if (id == 0)
        return 0;
    SimDevice& device = *model.FindDevice(id);
    device.DriverData = "fw 1.0";
    device.Modes = {Mode(1, 1, ""), Mode(5, 2, "Word Clock")};
    device.Current = device.Modes[0];
    const uint32_t stream = static_cast<uint32_t>(2 * model.Devices.size());
    device.Stream.AudioOut = Connected(stream, 3, model.CurrentRate);
    device.Stream.AudioIn = Connected(stream + 1, 3, model.CurrentRate);
    AddChannels(model, id, true, "Analog In ", inputs, nullptr, 0);
    AddChannels(model, id, false, "Analog Out ", outputs, nullptr, 0);
    return id;
}

void CSimDefaultSetup::AddQuadra(CSimModel& model) {
    const uint32_t id = model.AddDevice("Tarnet Quadra 1818", "TQ18-2207-0413");
    SimDevice& device = *model.FindDevice(id);
    device.DriverData = "fw 3.21 / dice 2";
    device.Modes = {Mode(0, 0, ""),
                    Mode(1, 1, "Internal crystal"),
                    Mode(2, 2, "Audio stream"),
                    Mode(4, 3, "S/PDIF"),
                    Mode(4, 4, "ADAT"),
                    Mode(5, 5, "Word Clock")};
    device.Current = device.Modes[1];
    device.Stream.AudioOut = Connected(0, 7, 48000);
    device.Stream.AudioIn = Connected(1, 7, 48000);
    device.Stream.SynchOut = Connected(4, 7, 48000);

    static const char* const inputNames[] = {"Vocal", "Guitar DI", "Bass DI", "", "Kick", "Snare"};
    static const char* const outputNames[] = {"Main L", "Main R", "Monitor L", "Monitor R"};
    AddChannels(model, id, true, "Analog In ", 8, inputNames, 6);
    AddChannels(model, id, true, "ADAT In ", 8, nullptr, 0);
    model.AddChannel(id, true, "S/PDIF In L", "S/PDIF In L");
    model.AddChannel(id, true, "S/PDIF In R", "S/PDIF In R");
    AddChannels(model, id, false, "Analog Out ", 8, outputNames, 4);
    AddChannels(model, id, false, "ADAT Out ", 8, nullptr, 0);
    model.AddChannel(id, false, "S/PDIF Out L", "DAT L");
    model.AddChannel(id, false, "S/PDIF Out R", "DAT R");
}

void CSimDefaultSetup::AddDuo(CSimModel& model) {
    const uint32_t id = model.AddDevice("Tarnet Duo 8", "TD08-1911-0077");
    SimDevice& device = *model.FindDevice(id);
    device.DriverData = "fw 1.07";
    device.Modes = {Mode(1, 1, ""), Mode(3, 2, "Synch stream"), Mode(4, 3, "S/PDIF")};
    device.Current = device.Modes[1];
    device.Stream.AudioOut = Connected(2, 5, 48000);
    device.Stream.AudioIn = Failed(DRVSTATUS_BANDWIDTH_ALLOCATION_FAILED);
    device.Stream.SynchIn = Connected(3, 5, 48000);

    static const char* const inputNames[] = {"Room L", "Room R"};
    AddChannels(model, id, true, "Analog In ", 6, inputNames, 2);
    model.AddChannel(id, true, "S/PDIF In L", "S/PDIF In L");
    model.AddChannel(id, true, "S/PDIF In R", "S/PDIF In R");
    AddChannels(model, id, false, "Analog Out ", 6, nullptr, 0);
    model.AddChannel(id, false, "Phones Out L", "Headphones L");
    model.AddChannel(id, false, "Phones Out R", "Headphones R");
}

void CSimDefaultSetup::AddChannels(CSimModel& model, uint32_t deviceId, bool input,
                                   const char* prefix, uint32_t count, const char* const* userNames,
                                   size_t userNameCount) {
    for (uint32_t i = 0; i < count; ++i) {
        // A channel nobody named yet carries its hardware name.
        const std::string hardwareName = prefix + std::to_string(i + 1);
        const bool named = i < userNameCount && userNames[i][0] != '\0';
        model.AddChannel(deviceId, input, hardwareName, named ? userNames[i] : hardwareName);
    }
}

SynchMode CSimDefaultSetup::Mode(uint32_t kind, uint32_t modeId, const char* name) {
    SynchMode mode{};
    mode.Kind = kind;
    mode.ModeId = modeId;
    strncpy(mode.Name, name, sizeof(mode.Name) - 1);
    return mode;
}

PlugStatus CSimDefaultSetup::Connected(uint32_t streamNumber, uint32_t rateCount, uint32_t rate) {
    PlugStatus plug{};
    plug.State = PLUG_STATE_CONNECTED;
    plug.StreamNumber = streamNumber;
    plug.SampleRate = rate;
    plug.RateCount = rateCount;
    for (uint32_t i = 0; i < rateCount && i < 7; ++i)
        plug.SupportedRates[i] = CSimModel::Rates[i];
    return plug;
}

PlugStatus CSimDefaultSetup::Failed(uint32_t errorCode) {
    PlugStatus plug{};
    plug.State = PLUG_STATE_CONNECT_FAILED;
    plug.ErrorCode = errorCode;
    return plug;
}
