#include "stopwatch.h"

#include <algorithm>

#include "clock.h"
#include "console.h"
#include "countdown.h"

namespace {

constexpr float SecondsPerDay = 86400.0f;
constexpr float HalfDay = 43200.0f;

// Longest sleep between two looks at the clock and the keyboard.
constexpr int WaitSliceMs = 250;

void Update(Stopwatch& watch)
{
    float reading = SecondsOfDay();
    if (watch.Running) {
        float sum = watch.Elapsed + reading;
        if (reading >= watch.LastReading) {
            watch.Elapsed = sum - watch.LastReading;
        } else if (reading < watch.LastReading - HalfDay) {
            // The reading starts again at 0 at midnight UTC: count the day.
            watch.Elapsed = (sum + SecondsPerDay) - watch.LastReading;
        }
        // Any smaller step back is the system clock being set back: that
        // interval counts as nothing, not as most of a day.
    }
    watch.LastReading = reading;
}

}  // namespace

float SecondsOfDay()
{
    UtcTime now = ReadUtcTime();
    int whole = now.Hour * 3600 + now.Minute * 60 + now.Second;
    return static_cast<float>(whole + now.Millisecond / 1000.0);
}

void StopwatchInit(Stopwatch& watch, float limit)
{
    watch.Limit = limit;
    StopwatchReset(watch);
    watch.Running = true;
}

void StopwatchReset(Stopwatch& watch)
{
    watch.LastReading = SecondsOfDay();
    watch.Elapsed = 0;
}

void StopwatchStart(Stopwatch& watch)
{
    Update(watch);
    watch.Running = true;
}

bool StopwatchExpired(Stopwatch& watch)
{
    Update(watch);
    return watch.Elapsed >= watch.Limit;
}

WaitEnd WaitForKeyOrTime(Stopwatch& watch, float wakeAt)
{
    for (;;) {
        if (StopwatchExpired(watch))
            return KeyPressed() ? WaitEnd::Key : WaitEnd::TimeUp;
        if (KeyPressed())
            return WaitEnd::Key;
        if (ScreenChangePending())
            return WaitEnd::ScreenChanged;
        if (watch.Elapsed >= wakeAt)
            return WaitEnd::Wake;
        // Clamped before the conversion: a long limit overflows an int.
        float left = (std::min(watch.Limit, wakeAt) - watch.Elapsed) * 1000.0f + 1.0f;
        float ms = std::clamp(left, 1.0f, static_cast<float>(WaitSliceMs));
        WaitForInput(static_cast<int>(ms));
    }
}

bool TimeRunsOut(std::int32_t seconds, void (*showAgain)(), Countdown* countdown)
{
    if (seconds <= 0)
        return false;
    Stopwatch watch;
    StopwatchInit(watch, static_cast<float>(seconds));
    StopwatchStart(watch);
    for (;;) {
        float wakeAt = countdown != nullptr ? CountdownDue(*countdown, watch.Elapsed) : watch.Limit;
        WaitEnd end = WaitForKeyOrTime(watch, wakeAt);
        if (end == WaitEnd::Wake) {
            CountdownShow(*countdown, seconds, watch.Elapsed);
        } else if (end == WaitEnd::ScreenChanged) {
            if (TakeScreenChange()) {
                showAgain();
                if (countdown != nullptr)
                    CountdownMoved(*countdown);
            }
        } else {
            // Blanked before the key or the time-out writes anything.
            if (countdown != nullptr)
                CountdownHide(*countdown);
            return end == WaitEnd::TimeUp;
        }
    }
}
