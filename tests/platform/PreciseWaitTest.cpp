#include "platform/PreciseWait.h"
#include "platform/sdl/SteadyClock.h"

#include <gtest/gtest.h>

#include <chrono>

using kiv::platform::PreciseWait;
using kiv::platform::SleepOvershoot;
using kiv::platform::sdl::SteadyClock;
using namespace std::chrono_literals;

namespace {

constexpr SleepOvershoot::Settings Bounded{10us, 2ms, 1ms, 95};

} // namespace

TEST(SleepOvershoot, MarginIsTheNearestRankPercentileOfTheLatestSleeps) {
    SleepOvershoot o(Bounded);
    EXPECT_EQ(o.Margin(), 1ms); // nothing measured yet
    o.Add(300us);
    EXPECT_EQ(o.Margin(), 300us);
    // 1 to 100 us, out of order: the 95th percentile is 95 us.
    SleepOvershoot spread(Bounded);
    for (int i = 0; i < 100; ++i)
        spread.Add(std::chrono::microseconds(1 + (i * 37) % 100));
    EXPECT_EQ(spread.Margin(), 95us);
}

TEST(SleepOvershoot, LetsRareStallsGoButFollowsFrequentOnes) {
    // A full window holds 128 sleeps; 95% of them is 122 (rounded up), so six stalls are
    // passed over and a seventh sets the margin.
    SleepOvershoot o(Bounded);
    for (std::size_t i = 0; i < SleepOvershoot::Window - 6; ++i)
        o.Add(100us);
    for (int i = 0; i < 6; ++i)
        o.Add(1500us);
    EXPECT_EQ(o.Count(), SleepOvershoot::Window);
    EXPECT_EQ(o.Margin(), 100us);
    o.Add(1500us); // replaces the oldest quick sleep
    EXPECT_EQ(o.Margin(), 1500us);
    // The window forgets: a full window of quick sleeps later, the stalls are gone.
    for (std::size_t i = 0; i < SleepOvershoot::Window; ++i)
        o.Add(200us);
    EXPECT_EQ(o.Margin(), 200us);
}

TEST(SleepOvershoot, MarginStaysWithinItsBounds) {
    SleepOvershoot o(Bounded);
    o.Add(-50us); // woke early
    EXPECT_EQ(o.Margin(), 10us);
    o.Add(2us);
    EXPECT_EQ(o.Margin(), 10us);
    for (int i = 0; i < 10; ++i)
        o.Add(40ms);
    EXPECT_EQ(o.Margin(), 2ms);
}

TEST(SteadyClockDeadline, IsTheExactMillisecondWhateverTheFractionOfNow) {
    const SteadyClock::TimePoint origin{5s};
    auto at = [&](std::chrono::nanoseconds since) { return origin + since; };
    // A frame whose start read 1000 ms, 700 us into that millisecond, waits to 1016 ms sharp.
    EXPECT_EQ(SteadyClock::DeadlineTime(origin, at(1000700us), 1016), at(1016ms));
    EXPECT_EQ(SteadyClock::DeadlineTime(origin, at(1015999us), 1016), at(1016ms));
    // A deadline that has passed stays behind now, so nothing waits.
    EXPECT_EQ(SteadyClock::DeadlineTime(origin, at(1016300us), 1016), at(1016ms));
    EXPECT_EQ(SteadyClock::DeadlineTime(origin, at(1030ms), 1016), at(1016ms));
}

TEST(SteadyClockDeadline, CrossesTheThirtyTwoBitWrapBothWays) {
    const SteadyClock::TimePoint origin{};
    const std::chrono::milliseconds wrap{std::int64_t{1} << 32};
    // Milliseconds() reads 2^32 - 5: a deadline of 11 lies after the wrap.
    EXPECT_EQ(SteadyClock::DeadlineTime(origin, origin + wrap - 5ms + 300us, 11),
              origin + wrap + 11ms);
    // Milliseconds() reads 3 after the wrap: a deadline of 2^32 - 2 has passed.
    EXPECT_EQ(SteadyClock::DeadlineTime(origin, origin + wrap + 3ms, 0xFFFFFFFEu),
              origin + wrap - 2ms);
}

TEST(PreciseWait, SleepsOnlyWhenTheDeadlineIsBeyondTheMarginAndHoldsIt) {
    PreciseWait wait(SleepOvershoot::Settings{10us, 5ms, 5ms, 95});
    wait.Count(true);
    wait.Until(PreciseWait::Clock::now() - 1ms); // passed
    wait.Until(PreciseWait::Clock::now() + 1ms); // within the margin: spins, learns nothing
    EXPECT_EQ(wait.Overshoot().Count(), 0u);

    const auto deadline = PreciseWait::Clock::now() + 20ms;
    wait.Until(deadline);
    EXPECT_GE(PreciseWait::Clock::now(), deadline);
    EXPECT_EQ(wait.Overshoot().Count(), 1u);
    EXPECT_EQ(wait.Counted().waits, 3u);
}
