// What the drop-out monitor says, in the user's language: the page, the tray
// and the graph's description build their texts here from the history.
#pragma once

#include "DriverRecords.h"
#include "DropOutHistory.h"

#include <windows.h>

#include <cstdint>
#include <string>

// Microseconds as milliseconds with one decimal, cut, never rounded: "4.5".
std::string MillisecondsText(uint32_t microseconds);
// "12 s", "3 min", "2 h 5 min".
std::string DurationText(int64_t seconds);
// "14:02:33 (3 min ago)", or that there was none.
std::string LastDropOutText(const DropOutHistory& history, int64_t now);
// The graph in words, for a screen reader.
std::string GraphDescription(const DropOutHistory::HourSummary& summary);
// The tray tip's second line: "3 drop-outs since 14:00".
std::string TrayStateText(const DropOutHistory& history);
// The balloon's text for drop-outs found at a time with an ASIO buffer.
std::string BalloonText(uint64_t dropOuts, int64_t at, uint32_t asioUs);
// An event's count as the list shows it: a number, or what the count did.
std::string EventCountText(const DropOutHistory::Event& event);

// The next ASIO depth up the driver's grid that the buffer page can set, or 0
// when there is none (the depth is at the page's maximum, or no step).
uint32_t NextAsioDepth(const AudioBufferDepth& asio, uint32_t maximum);
