#include "DropOutHistory.h"

#include <algorithm>
#include <limits>

namespace {

constexpr int64_t kMinute = 60;

// The first second of the minute a time falls in, for times before the
// clock's zero as well.
int64_t MinuteStart(int64_t time) {
    const int64_t into = time % kMinute;
    return time - (into < 0 ? into + kMinute : into);
}

} // namespace

DropOutHistory::DropOutHistory(int64_t now) : m_WatchingSince(now), m_Latest(now) {}

int64_t DropOutHistory::Steady(int64_t now) {
    m_Latest = std::max(m_Latest, now);
    return m_Latest;
}

DropOutHistory::Change DropOutHistory::Apply(int64_t now, uint32_t total) {
    Minute& minute = MinuteOf(Steady(now));
    minute.Asked = true;
    Change change;
    const uint32_t last = m_Total;
    const bool baseline = !m_HaveTotal;
    m_HaveTotal = true;
    m_Total = total;
    // Unsigned: a total that passed 2^32 since the last reading gives the
    // right difference.
    const uint32_t difference = total - last;
    if (baseline || difference == 0)
        return change;
    change.Keep = true;
    change.Count = difference;
    if (total < last && difference > AbsurdJump) {
        change.Kind = EventKind::DriverRestarted;
        change.Count = total;
    } else if (difference > AbsurdJump) {
        change.Kind = EventKind::Jump;
        minute.Jump = true;
    } else {
        change.Added = difference;
        const uint64_t inMinute = uint64_t{minute.DropOuts} + difference;
        minute.DropOuts = static_cast<uint32_t>(
            std::min<uint64_t>(inMinute, std::numeric_limits<uint32_t>::max()));
        m_SinceReset += difference;
    }
    return change;
}

void DropOutHistory::ReadFailed(int64_t now) {
    MinuteOf(Steady(now));
}

void DropOutHistory::Reset(int64_t now) {
    m_WatchingSince = Steady(now);
    m_SinceReset = 0;
    m_Minutes.clear();
    m_Events.clear();
}

DropOutHistory::Minute& DropOutHistory::MinuteOf(int64_t now) {
    const int64_t start = MinuteStart(now);
    const int64_t kept = static_cast<int64_t>(MinutesKept) * kMinute;
    if (!m_Minutes.empty() && start - m_Minutes.back().Start >= kept)
        m_Minutes.clear();
    if (m_Minutes.empty())
        m_Minutes.push_back(Minute{start});
    while (m_Minutes.back().Start < start)
        m_Minutes.push_back(Minute{m_Minutes.back().Start + kMinute});
    while (m_Minutes.size() > MinutesKept)
        m_Minutes.pop_front();
    return m_Minutes.back();
}

void DropOutHistory::Keep(const Event& event) {
    ++m_EventsEver;
    m_Events.push_back(event);
    if (m_Events.size() > EventsKept)
        m_Events.pop_front();
}

bool DropOutHistory::DriverTotal(uint32_t& total) const {
    total = m_Total;
    return m_HaveTotal;
}

const DropOutHistory::Event* DropOutHistory::LastDropOut() const {
    const auto found = std::find_if(m_Events.rbegin(), m_Events.rend(), [](const Event& event) {
        return event.Kind == EventKind::DropOuts;
    });
    return found == m_Events.rend() ? nullptr : &*found;
}

bool DropOutHistory::DropOutsSince(int64_t time) const {
    const Event* last = LastDropOut();
    return last && last->Time >= time;
}

std::vector<DropOutHistory::Minute> DropOutHistory::LastMinutes(int64_t now, size_t count) const {
    std::vector<Minute> minutes(count);
    const int64_t newest = MinuteStart(std::max(now, m_Latest));
    for (size_t i = 0; i < count; ++i) {
        Minute& minute = minutes[i];
        minute.Start = newest - static_cast<int64_t>(count - 1 - i) * kMinute;
        if (m_Minutes.empty() || minute.Start < m_Minutes.front().Start ||
            minute.Start > m_Minutes.back().Start)
            continue;
        minute = m_Minutes[static_cast<size_t>((minute.Start - m_Minutes.front().Start) / kMinute)];
    }
    return minutes;
}

DropOutHistory::HourSummary DropOutHistory::Summarise(const std::vector<Minute>& minutes) {
    HourSummary summary;
    for (const Minute& minute : minutes) {
        summary.DropOuts += minute.DropOuts;
        if (minute.DropOuts > summary.MostInOneMinute) {
            summary.MostInOneMinute = minute.DropOuts;
            summary.MostAt = minute.Start;
        }
    }
    return summary;
}
