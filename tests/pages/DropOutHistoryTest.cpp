#include "Clock.h"
#include "DropOutHistory.h"
#include "DropOutTexts.h"
#include "ResString.h"
#include "resource.h"

#include <gtest/gtest.h>

namespace {

constexpr int64_t kStart = 1800000000; // a whole minute
constexpr uint32_t kAbsurd = DropOutHistory::AbsurdJump;

AudioSetup Setup(uint32_t asioUs) {
    AudioSetup setup;
    setup.AsioUs = asioUs;
    setup.SampleRate = 48000;
    return setup;
}

// Reads a total and counts how often the setup was asked for.
struct Reader {
    DropOutHistory history{kStart};
    int setupsRead = 0;
    uint32_t Read(int64_t at, uint32_t total, uint32_t asioUs = 4000) {
        return history.Read(
            at, total,
            [&] {
                ++setupsRead;
                return Setup(asioUs);
            });
    }
};

} // namespace

TEST(DropOutHistory, TheFirstTotalIsTheBaselineAndLaterRisesAreDropOutsWithTheirSetup) {
    Reader r;
    uint32_t total = 1;
    EXPECT_FALSE(r.history.DriverTotal(total));
    EXPECT_EQ(0u, r.Read(kStart + 1, 500));
    EXPECT_EQ(0u, r.Read(kStart + 2, 500));
    EXPECT_EQ(0, r.setupsRead);
    EXPECT_EQ(3u, r.Read(kStart + 3, 503, 5000));
    EXPECT_EQ(1, r.setupsRead);
    EXPECT_EQ(2u, r.Read(kStart + 70, 505));
    EXPECT_EQ(5u, r.history.SinceReset());
    ASSERT_TRUE(r.history.DriverTotal(total));
    EXPECT_EQ(505u, total);
    ASSERT_EQ(2u, r.history.Events().size());
    const DropOutHistory::Event& first = r.history.Events().front();
    EXPECT_EQ(kStart + 3, first.Time);
    EXPECT_EQ(3u, first.Count);
    EXPECT_EQ(5000u, first.Setup.AsioUs);
    ASSERT_NE(nullptr, r.history.LastDropOut());
    EXPECT_EQ(kStart + 70, r.history.LastDropOut()->Time);
    EXPECT_TRUE(r.history.DropOutsSince(kStart + 70));
    EXPECT_FALSE(r.history.DropOutsSince(kStart + 71));
}

TEST(DropOutHistory, ResetStartsCountAndHistoryAgainFromTheCurrentTotal) {
    Reader r;
    r.Read(kStart, 10);
    r.Read(kStart + 5, 14);
    r.history.Reset(kStart + 90);
    EXPECT_EQ(0u, r.history.SinceReset());
    EXPECT_EQ(kStart + 90, r.history.WatchingSince());
    EXPECT_TRUE(r.history.Events().empty());
    EXPECT_EQ(nullptr, r.history.LastDropOut());
    EXPECT_FALSE(r.history.LastMinutes(kStart + 90, 2)[0].Asked);
    EXPECT_EQ(0u, r.Read(kStart + 91, 14));
    EXPECT_EQ(2u, r.Read(kStart + 92, 16));
    EXPECT_EQ(2u, r.history.SinceReset());
}

TEST(DropOutHistory, ATotalPast32BitsWrapsAndOneThatWentDownIsANewBaseline) {
    Reader r;
    r.Read(kStart, 0xFFFFFFFEu);
    EXPECT_EQ(5u, r.Read(kStart + 1, 3));
    EXPECT_EQ(0u, r.Read(kStart + 2, 1)); // the driver started again
    const DropOutHistory::Event& restart = r.history.Events().back();
    EXPECT_EQ(DropOutHistory::EventKind::DriverRestarted, restart.Kind);
    EXPECT_EQ(1u, restart.Count);
    EXPECT_EQ(4u, r.Read(kStart + 3, 5));
    EXPECT_EQ(9u, r.history.SinceReset());
}

TEST(DropOutHistory, AnAbsurdJumpIsKeptAsAJumpAndLeavesCountsAndScaleAlone) {
    Reader r;
    r.Read(kStart, 10);
    EXPECT_EQ(kAbsurd, r.Read(kStart + 1, 10 + kAbsurd)); // as high as a driver can count
    EXPECT_EQ(0u, r.Read(kStart + 61, 11 + 2 * kAbsurd));
    EXPECT_EQ(uint64_t{kAbsurd}, r.history.SinceReset());
    const DropOutHistory::Event& jump = r.history.Events().back();
    EXPECT_EQ(DropOutHistory::EventKind::Jump, jump.Kind);
    EXPECT_EQ(kAbsurd + 1, jump.Count);
    EXPECT_EQ(kStart + 1, r.history.LastDropOut()->Time);
    const auto minutes = r.history.LastMinutes(kStart + 61, 2);
    EXPECT_TRUE(minutes[1].Jump);
    EXPECT_EQ(0u, minutes[1].DropOuts);
    EXPECT_EQ(kAbsurd, DropOutHistory::Summarise(minutes).MostInOneMinute);
}

TEST(DropOutHistory, MinutesWithoutAnAnswerAreGapsAndTheHourIsSummarised) {
    Reader r;
    r.Read(kStart + 10, 0);
    r.Read(kStart + 20, 2);            // minute 0: 2
    r.history.ReadFailed(kStart + 70); // minute 1: asked nobody
    r.Read(kStart + 190, 7);           // minute 3: 5, found after the gap
    r.Read(kStart + 250, 12);          // minute 4: 5
    const auto minutes = r.history.LastMinutes(kStart + 250, 6);
    ASSERT_EQ(6u, minutes.size());
    EXPECT_FALSE(minutes[0].Asked); // before watching
    EXPECT_EQ(kStart, minutes[1].Start);
    EXPECT_TRUE(minutes[1].Asked);
    EXPECT_EQ(2u, minutes[1].DropOuts);
    EXPECT_FALSE(minutes[2].Asked);
    EXPECT_FALSE(minutes[3].Asked); // no reading at all
    EXPECT_EQ(5u, minutes[4].DropOuts);
    EXPECT_EQ(kStart + 240, minutes[5].Start);
    const DropOutHistory::HourSummary summary = DropOutHistory::Summarise(minutes);
    EXPECT_EQ(12u, summary.DropOuts);
    EXPECT_EQ(5u, summary.MostInOneMinute);
    EXPECT_EQ(kStart + 180, summary.MostAt);
    // A clock set back counts on from the latest time.
    EXPECT_EQ(1u, r.Read(kStart + 5, 13));
    EXPECT_EQ(kStart + 250, r.history.Events().back().Time);
}

TEST(DropOutHistory, HistoryIsBoundedToADayOfMinutesAndTheNewestEvents) {
    Reader r;
    uint32_t total = 0;
    r.Read(kStart, total);
    const size_t minutes = DropOutHistory::MinutesKept + 30;
    for (size_t i = 1; i <= minutes; ++i)
        r.Read(kStart + static_cast<int64_t>(i) * 60, ++total);
    const int64_t now = kStart + static_cast<int64_t>(minutes) * 60;
    const auto kept = r.history.LastMinutes(now, DropOutHistory::MinutesKept + 1);
    EXPECT_FALSE(kept.front().Asked);
    EXPECT_EQ(1u, kept[1].DropOuts);
    EXPECT_EQ(DropOutHistory::EventsKept, r.history.Events().size());
    EXPECT_EQ(minutes, r.history.EventsEver()) << "dropped ones too";
    EXPECT_EQ(now, r.history.Events().back().Time);
    EXPECT_EQ(minutes, r.history.SinceReset());
    // A day without an answer leaves nothing of the day before.
    r.history.ReadFailed(now + 25 * 3600);
    for (const auto& minute : r.history.LastMinutes(now + 25 * 3600, 60 * 25))
        EXPECT_EQ(0u, minute.DropOuts);
}

TEST(DropOutTexts, NumbersDurationsAndTheNextAsioStep) {
    EXPECT_EQ("4.5", MillisecondsText(4599));
    EXPECT_EQ("0.0", MillisecondsText(99));
    EXPECT_EQ("59 s", DurationText(59));
    EXPECT_EQ("1 min", DurationText(119));
    EXPECT_EQ("2 h 5 min", DurationText(2 * 3600 + 5 * 60 + 59));
    EXPECT_EQ("0 s", DurationText(-5)) << "a clock set back";
    AudioBufferDepth asio{};
    asio.Step = 500;
    asio.Depth = 4000;
    EXPECT_EQ(4500u, NextAsioDepth(asio, 40000));
    asio.Depth = 4100; // off the grid: the next step up from where it stands
    EXPECT_EQ(4500u, NextAsioDepth(asio, 40000));
    asio.Depth = 40000;
    EXPECT_EQ(0u, NextAsioDepth(asio, 40000)) << "nothing beyond the page's maximum";
    asio.Depth = 0xFFFFFFFFu;
    EXPECT_EQ(0u, NextAsioDepth(asio, 40000));
    asio.Step = 0;
    EXPECT_EQ(0u, NextAsioDepth(asio, 40000)) << "no grid, no suggestion";
    // A text with more places than values leaves the rest empty.
    EXPECT_EQ("7 h  min", FormatResString(IDS_DURATION_HOURS, {"7"}));
}

// What a balloon over the tray says: how many, when, and the ASIO buffer in
// force then.
TEST(DropOutTexts, TheBalloonNamesHowManyWhenAndTheAsioBuffer) {
    const int64_t at = 1765000000;
    const std::string time = LocalTimeText(at);
    EXPECT_EQ("3 drop-outs at " + time + ", with an ASIO buffer of 4.5 ms.",
              BalloonText(3, at, 4500));
    EXPECT_EQ("1 drop-out at " + time + ", with an ASIO buffer of 10.0 ms.",
              BalloonText(1, at, 10000));
}
