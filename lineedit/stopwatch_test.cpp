#include "stopwatch.h"

#include <gtest/gtest.h>

#include "console.h"
#include "virtual_console.h"

namespace {

// The virtual clock moves only while the program waits.
void Pass(double seconds)
{
    WaitForInput(static_cast<int>(seconds * 1000 + 0.5));
}

TEST(SecondsOfDay, ReadsTheClockInSinglePrecision)
{
    VirtualConsoleReset(80, 25, 1, 1, 12 * 3600 + 34 * 60 + 56.789);
    EXPECT_NEAR(SecondsOfDay(), 45296.789, 1.0 / 256);
}

// A 5-second limit started at various times of day, midnight UTC included.
TEST(Stopwatch, ExpiresAfterTheLimitAtAnyTimeOfDay)
{
    const double starts[] = {45296.789, 65535.99, 86398.5, 86399.999};
    for (double start : starts) {
        SCOPED_TRACE(start);
        VirtualConsoleReset(80, 25, 1, 1, start);
        Stopwatch watch;
        StopwatchInit(watch, 5);
        StopwatchStart(watch);
        // Polled every quarter second, as the time-out wait does.
        for (int i = 0; i < 19; i++) {
            Pass(0.25);
            ASSERT_FALSE(StopwatchExpired(watch)) << "after " << (i + 1) * 0.25 << " s";
        }
        // From 65536 s on, single precision holds the seconds of day to
        // 1/128 s, and x87 and SSE arithmetic round them differently: the
        // limit holds to within 20 ms, not to the millisecond.
        Pass(0.23);
        EXPECT_FALSE(StopwatchExpired(watch));
        Pass(0.04);
        EXPECT_TRUE(StopwatchExpired(watch));
        Pass(1);
        EXPECT_TRUE(StopwatchExpired(watch));
    }
}

// The system clock set back a little must neither end the time-out at once
// (as counting a whole day would) nor make it count backwards.
TEST(Stopwatch, ClockSetBackCountsNothing)
{
    VirtualConsoleReset(80, 25, 1, 1, 45000.0);
    Stopwatch watch;
    StopwatchInit(watch, 5);
    StopwatchStart(watch);
    Pass(1);
    EXPECT_FALSE(StopwatchExpired(watch));
    VirtualConsoleReset(80, 25, 1, 1, 44990.0);
    EXPECT_FALSE(StopwatchExpired(watch));
    EXPECT_NEAR(watch.Elapsed, 1, 0.01);
    Pass(3.9);
    EXPECT_FALSE(StopwatchExpired(watch));
    Pass(0.1);
    EXPECT_TRUE(StopwatchExpired(watch));
}

struct WaitCase {
    const char* Name;
    float Limit;
    double KeyAt;  // seconds; below 0 for no key
    bool TimedOut;
    double Clock;  // seconds waited when the wait ends
    double Start = 45296.789;
};

TEST(WaitForKeyOrTime, EndsOnTheLimitOrAKey)
{
    const WaitCase cases[] = {
        {"no key", 5, -1, true, 5},
        {"key at once", 5, 0, false, 0},
        {"key well before the limit", 5, 2, false, 2},
        {"key just before the limit", 5, 4.99, false, 4.99},
        {"key at the limit wins", 5, 5, false, 5},
        {"key after the limit", 5, 5.5, true, 5},
        {"limit 0, no key", 0, -1, true, 0},
        {"limit 0, key ready", 0, 0, false, 0},
        {"limit across midnight", 8, -1, true, 8, 86396.0},
        {"key after midnight", 8, 6, false, 6, 86396.0},
    };
    for (const WaitCase& c : cases) {
        SCOPED_TRACE(c.Name);
        VirtualConsoleReset(80, 25, 1, 1, c.Start);
        if (c.KeyAt >= 0)
            PushKeys("x", c.KeyAt);
        Stopwatch watch;
        StopwatchInit(watch, c.Limit);
        StopwatchStart(watch);
        EXPECT_EQ(WaitForKeyOrTime(watch), c.TimedOut ? WaitEnd::TimeUp : WaitEnd::Key);
        EXPECT_NEAR(WaitedSeconds, c.Clock, 0.005);
        // The wait never takes the key: it is left for the editor.
        if (c.KeyAt >= 0 && !c.TimedOut) {
            EXPECT_TRUE(KeyPressed());
            EXPECT_EQ(ReadKey(), 'x');
        }
    }
}

// The wait sleeps between looks instead of spinning: a few looks a second.
TEST(WaitForKeyOrTime, SleepsBetweenPolls)
{
    VirtualConsoleReset();
    Stopwatch watch;
    StopwatchInit(watch, 30);
    StopwatchStart(watch);
    EXPECT_EQ(WaitForKeyOrTime(watch), WaitEnd::TimeUp);
    EXPECT_NEAR(WaitedSeconds, 30, 0.01);
    EXPECT_LE(WaitCalls, 30 * 4 + 2);
}

// A limit far beyond any real time-out must still wait, not overflow.
TEST(WaitForKeyOrTime, HugeLimitStillWaits)
{
    VirtualConsoleReset();
    PushKeys("x", 60);
    Stopwatch watch;
    StopwatchInit(watch, 2147483647.0f);
    StopwatchStart(watch);
    EXPECT_EQ(WaitForKeyOrTime(watch), WaitEnd::Key);
    EXPECT_NEAR(WaitedSeconds, 60, 0.01);
    EXPECT_LE(WaitCalls, 60 * 4 + 2);
}

}  // namespace
