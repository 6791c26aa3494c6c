// The program's shell with what the event tests need of it. Reloads are
// counted in the simulator's request log: one reload of all pages is a fixed
// sequence of requests.
#pragma once

#include "ShellFixture.h"

#include <cstdint>
#include <string>
#include <vector>

class ViewEventFixture : public ShellFixture {
protected:
    // A device-interface notification as the system builds it, sent to the view.
    LRESULT DeviceChange(WPARAM event, const std::string& interfaceName);

    // The request codes of one reload of all pages, taken from the view's own
    // reload in the current state; the log is left empty.
    std::vector<uint32_t> OneReload();
    // The marked log so far.
    std::vector<uint32_t> Logged() const;

    // Runs this thread's messages until the view has drained the driver's
    // queue to its end (the driver answered "no more notifications"), then a
    // little longer so that a stray follow-up would show. False on time-out.
    bool PumpUntilDrained(DWORD timeoutMs = 5000);
};

// GetNotification in a marked log: one that took an event from the queue, and
// one answered "no more notifications". Neither is a control code.
constexpr uint32_t kTookEvent = 1;
constexpr uint32_t kQueueEmpty = 2;
// The log's request codes, GetNotification entries marked by their answer,
// without the drop-out polls.
std::vector<uint32_t> MarkedCodes(const std::vector<SimLogEntry>& log);
