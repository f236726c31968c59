#include "stopwatch.h"

#include <algorithm>

#include "console.h"

namespace {

constexpr float SecondsPerDay = 86400.0f;

// Longest sleep between two looks at the clock and the keyboard.
constexpr int WaitSliceMs = 250;

void Update(Stopwatch& watch)
{
    float reading = SecondsOfDay();
    if (watch.Running) {
        float sum = watch.Elapsed + reading;
        // The reading starts again at 0 at midnight UTC: count the day.
        if (reading < watch.LastReading)
            sum = sum + SecondsPerDay;
        watch.Elapsed = sum - watch.LastReading;
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

void Init(Stopwatch& watch, float limit)
{
    watch.Limit = limit;
    Reset(watch);
    watch.Running = true;
}

void Reset(Stopwatch& watch)
{
    watch.LastReading = SecondsOfDay();
    watch.Elapsed = 0;
}

void Start(Stopwatch& watch)
{
    Update(watch);
    watch.Running = true;
}

bool Expired(Stopwatch& watch)
{
    Update(watch);
    return watch.Elapsed >= watch.Limit;
}

bool WaitTimedOut(Stopwatch& watch)
{
    while (!Expired(watch) && !KeyPressed()) {
        float left = watch.Limit - watch.Elapsed;
        int ms = static_cast<int>(left * 1000.0f) + 1;
        WaitForInput(std::clamp(ms, 1, WaitSliceMs));
    }
    return Expired(watch) && !KeyPressed();
}
