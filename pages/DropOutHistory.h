// What the drop-out monitor makes of the driver's running total of drop-outs,
// read about once a second: a count since a moment the user chose, drop-outs
// per minute, and a list of the readings that found new ones. It knows no
// window and no driver; times are whole seconds of the caller's clock.
#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <vector>

// The buffers and sampling rate in force when drop-outs were found, as the
// driver gave them; 0 where it gave nothing.
struct AudioSetup {
    uint32_t AsioUs = 0;
    uint32_t StreamUs = 0;
    uint32_t WdmUs = 0;
    uint32_t SampleRate = 0;
};

class DropOutHistory {
public:
    // Bounds of what is kept for the program's lifetime.
    static constexpr size_t MinutesKept = 24 * 60;
    static constexpr size_t EventsKept = 1000;
    // More drop-outs between two readings than a driver can count in a
    // second, even at its smallest buffer: such a jump is a fault of the
    // count, not audio, and is shown as a jump rather than as drop-outs.
    static constexpr uint32_t AbsurdJump = 100000;

    struct Minute {
        int64_t Start = 0;     // the minute's first second
        uint32_t DropOuts = 0; // drop-outs found in it, jumps left out
        bool Asked = false;    // the driver answered in it; else a gap
        bool Jump = false;     // a jump of the count was found in it
    };
    enum class EventKind : uint8_t {
        DropOuts,        // Count new drop-outs
        Jump,            // the count jumped by Count, counted as nothing
        DriverRestarted, // the count went down to Count: the new baseline
    };
    struct Event {
        int64_t Time = 0;
        uint32_t Count = 0;
        EventKind Kind = EventKind::DropOuts;
        AudioSetup Setup;
    };
    // What the last hour's graph tells in words.
    struct HourSummary {
        uint64_t DropOuts = 0;
        uint32_t MostInOneMinute = 0;
        int64_t MostAt = 0; // the start of the first minute with that many
    };

    // Watching starts now; the first reading is the baseline.
    explicit DropOutHistory(int64_t now);

    // A reading of the driver's total. The setup is asked for only when the
    // reading found something to keep as an event. Returns the drop-outs
    // the reading added to the count. A total past 2^32 wraps; one that
    // went down means the driver started counting again, and counts nothing.
    template <typename ReadSetup> uint32_t Read(int64_t now, uint32_t total, ReadSetup readSetup);
    // The driver could not be asked: a minute with no answer stays a gap.
    void ReadFailed(int64_t now);
    // Counting and history start again now, from the last total read.
    void Reset(int64_t now);

    uint64_t SinceReset() const { return m_SinceReset; }
    int64_t WatchingSince() const { return m_WatchingSince; }
    // The last total the driver reported; false before the first reading.
    bool DriverTotal(uint32_t& total) const;
    // The newest event with drop-outs, or null.
    const Event* LastDropOut() const;
    // Oldest first.
    const std::deque<Event>& Events() const { return m_Events; }
    // How many events were ever kept, those dropped or reset away too: a
    // reader that knows how many it has seen finds the new ones at the end.
    uint64_t EventsEver() const { return m_EventsEver; }
    // The count minutes up to and with the one of now, oldest first; minutes
    // before watching started or with no answer are gaps.
    std::vector<Minute> LastMinutes(int64_t now, size_t count) const;
    static HourSummary Summarise(const std::vector<Minute>& minutes);
    // Drop-outs found since the given time.
    bool DropOutsSince(int64_t time) const;

private:
    // What one reading did.
    struct Change {
        bool Keep = false; // worth an event
        EventKind Kind = EventKind::DropOuts;
        uint32_t Count = 0;
        uint32_t Added = 0;
    };
    Change Apply(int64_t now, uint32_t total);
    Minute& MinuteOf(int64_t now);
    void Keep(const Event& event);
    // A clock that went back counts as still standing at the latest time.
    int64_t Steady(int64_t now);

    int64_t m_WatchingSince;
    int64_t m_Latest;
    bool m_HaveTotal = false;
    uint32_t m_Total = 0;
    uint64_t m_SinceReset = 0;
    std::deque<Minute> m_Minutes; // consecutive, oldest first
    std::deque<Event> m_Events;   // oldest first
    uint64_t m_EventsEver = 0;
};

template <typename ReadSetup>
uint32_t DropOutHistory::Read(int64_t now, uint32_t total, ReadSetup readSetup) {
    const Change change = Apply(now, total);
    if (change.Keep)
        Keep(Event{m_Latest, change.Count, change.Kind, readSetup()});
    return change.Added;
}
