// The set-up the simulated driver starts with: two audio interfaces on one
// bus, one of them the clock master, one plug that failed to connect.
#pragma once

#include "SimModel.h"

class CSimDefaultSetup {
public:
    // Clears the model and fills it with the two interfaces and their settings.
    static void Apply(CSimModel& model);
    // A plain interface with numbered analog channels, as plugged in later;
    // returns its id, or 0 when the driver is full.
    static uint32_t AddPlainInterface(CSimModel& model, const std::string& name,
                                      const std::string& serialNumber, uint32_t inputs,
                                      uint32_t outputs);

private:
    static void AddQuadra(CSimModel& model);
    static void AddDuo(CSimModel& model);
    static void AddChannels(CSimModel& model, uint32_t deviceId, bool input, const char* prefix,
                            uint32_t count, const char* const* userNames, size_t userNameCount);
    static SynchMode Mode(uint32_t kind, uint32_t modeId, const char* name);
    static PlugStatus Connected(uint32_t streamNumber, uint32_t rateCount, uint32_t rate);
    static PlugStatus Failed(uint32_t errorCode);
};
