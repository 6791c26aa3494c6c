// Display texts of clock sources, synchronisation modes and sampling rates,
// shared by the synchronisation page and the synchronisation mode dialog.
#pragma once

#include "DriverRecords.h"

#include <windows.h>

#include <cstdint>
#include <string>

// "Internal" for the PC driver (0), "External" for a device (1), else empty.
// Both texts below are in the user's language, or in the given one (a
// LANGID; 0: the user's).
std::string GetSynchSourceText(uint32_t sourceKind, LANGID language = 0);

// The text of the mode's kind, followed by " (name)" when the mode has a
// name. An unknown kind has no text of its own; its name is still shown.
std::string GetSynchModeText(const SynchMode& mode, LANGID language = 0);

// A rate in Hz as kilohertz with one decimal: the hundreds digit of the
// remainder, never rounded (44100 reads "44.1 kHz", 44190 also "44.1 kHz").
std::string GetSampleRateText(uint32_t rateHz);
