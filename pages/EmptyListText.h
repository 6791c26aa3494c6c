// Why the lists of devices, streams and channels are empty, said once for all
// of them: the driver is missing, too old or of an unsupported version, does
// not answer, could not be opened, or has no audio interface connected.
#pragma once

#include "CDriver.h"

#include <windows.h>

#include <cstdint>
#include <string>

enum class EmptyReason {
    None, // the driver is there and has interfaces: a list is not empty for want of them
    NotInstalled,
    TooOld,
    Unsupported,
    NotResponding,
    NoInterface,
    NotOpened,
};

// What decides the reason, as a connection tells it.
struct DriverState {
    bool Open;
    bool Stalled;
    uint32_t OpenStatus;
    DriverVersion Found;
    int Devices; // negative: not known

    // The connection's state with the number of devices it reported.
    static DriverState Of(const CDriver& driver, int devices);
};

EmptyReason WhyEmpty(const DriverState& state);

// A sentence for the empty area of the devices list, and a shorter one for
// the other lists; empty when there is no reason. In the user's language, or
// in the given one (a LANGID; 0: the user's).
std::string EmptyListText(const DriverState& state, LANGID language = 0);
std::string BriefEmptyListText(const DriverState& state, LANGID language = 0);
// The value of the diagnostics report's driver line; empty when there is no
// reason.
std::string EmptyReasonReportText(const DriverState& state, LANGID language);

// The reason as gDrv has it now: what the pages show in an empty list.
DriverState CurrentDriverState();
