// Wall-clock seconds against a limit, for input time-outs.
#pragma once

#include <cstdint>
#include <limits>

struct Countdown;

struct Stopwatch {
    bool Running = false;
    float Limit = 0;
    float Elapsed = 0;
    float LastReading = 0;
};

// Seconds since midnight UTC, in single precision.
float SecondsOfDay();

void StopwatchInit(Stopwatch& watch, float limit);
void StopwatchReset(Stopwatch& watch);
void StopwatchStart(Stopwatch& watch);
bool StopwatchExpired(Stopwatch& watch);

// How a time-out wait ended: a key is ready, the time ran out, the screen
// changed under the program (TakeScreenChange tells whether to show the text
// again; the wait then goes on), or the time to wake came.
enum class WaitEnd { Key, TimeUp, ScreenChanged, Wake };

// The time-out wait of both programs: polls Expired, then KeyPressed, and
// sleeps on the console input in between. A key that is ready when the
// limit is reached wins. Only a key ends it before its time, or a change
// of the screen, or the watch reaching wakeAt elapsed seconds.
WaitEnd WaitForKeyOrTime(Stopwatch& watch, float wakeAt = std::numeric_limits<float>::infinity());

// The wait before the first key of both programs: up to seconds (none
// below 1), showAgain redrawing after a change of the screen, with the
// count-down shown while it runs where one is given. True when the time
// ran out with no key; the key is then still to be read.
bool TimeRunsOut(std::int32_t seconds, void (*showAgain)(), Countdown* countdown = nullptr);
