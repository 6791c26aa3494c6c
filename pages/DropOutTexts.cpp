#include "DropOutTexts.h"

#include "Clock.h"
#include "ResString.h"
#include "resource.h"

namespace {

std::string Number(uint64_t value) {
    return std::to_string(value);
}

} // namespace

std::string MillisecondsText(uint32_t microseconds) {
    return Number(microseconds / 1000) + "." + Number(microseconds % 1000 / 100);
}

std::string DurationText(int64_t seconds) {
    if (seconds < 0)
        seconds = 0;
    if (seconds < 60)
        return FormatResString(IDS_DURATION_SECONDS, {Number(static_cast<uint64_t>(seconds))});
    const uint64_t minutes = static_cast<uint64_t>(seconds) / 60;
    if (minutes < 60)
        return FormatResString(IDS_DURATION_MINUTES, {Number(minutes)});
    return FormatResString(IDS_DURATION_HOURS, {Number(minutes / 60), Number(minutes % 60)});
}

std::string LastDropOutText(const DropOutHistory& history, int64_t now) {
    const DropOutHistory::Event* last = history.LastDropOut();
    if (!last)
        return LoadResString(IDS_DROPOUTS_NONE_YET);
    return FormatResString(IDS_DROPOUTS_AGO,
                           {LocalTimeText(last->Time, true), DurationText(now - last->Time)});
}

std::string GraphDescription(const DropOutHistory::HourSummary& summary) {
    if (summary.DropOuts == 0)
        return LoadResString(IDS_GRAPH_NONE);
    const std::string at = LocalTimeText(summary.MostAt);
    if (summary.DropOuts == 1)
        return FormatResString(IDS_GRAPH_DESCRIPTION_ONE, {at});
    return FormatResString(IDS_GRAPH_DESCRIPTION,
                           {Number(summary.DropOuts), Number(summary.MostInOneMinute), at});
}

std::string TrayStateText(const DropOutHistory& history) {
    const std::string since = LocalTimeText(history.WatchingSince());
    if (history.SinceReset() == 1)
        return FormatResString(IDS_TRAY_STATE_ONE, {since});
    return FormatResString(IDS_TRAY_STATE, {Number(history.SinceReset()), since});
}

std::string BalloonText(uint64_t dropOuts, int64_t at, uint32_t asioUs) {
    const std::string time = LocalTimeText(at);
    if (dropOuts == 1)
        return FormatResString(IDS_BALLOON_TEXT_ONE, {time, MillisecondsText(asioUs)});
    return FormatResString(IDS_BALLOON_TEXT, {Number(dropOuts), time, MillisecondsText(asioUs)});
}

std::string EventCountText(const DropOutHistory::Event& event) {
    switch (event.Kind) {
    case DropOutHistory::EventKind::Jump:
        return FormatResString(IDS_EVENT_JUMP, {Number(event.Count)});
    case DropOutHistory::EventKind::DriverRestarted:
        return FormatResString(IDS_EVENT_RESTART, {Number(event.Count)});
    case DropOutHistory::EventKind::DropOuts:
        break;
    }
    return Number(event.Count);
}

// The buffer page's slider stands on whole steps: the next one up from the
// step the depth is on.
uint32_t NextAsioDepth(const AudioBufferDepth& asio, uint32_t maximum) {
    if (asio.Step == 0)
        return 0;
    const uint64_t next = (uint64_t{asio.Depth} / asio.Step + 1) * asio.Step;
    return next <= maximum ? static_cast<uint32_t>(next) : 0;
}
