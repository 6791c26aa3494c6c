// The simulated driver filled to its capacity: 64 devices, each with four
// input and four output channels, so that both directions hold 256.
#pragma once

#include "Simulator.h"

#include <cstddef>

class CCapacityDriver {
public:
    // Replaces the default set-up; the first device is the clock master.
    static void Fill(CSimulator& sim);
    static size_t ChannelCount(CSimulator& sim, bool input);
};
