// Wall-clock seconds against a limit, for input time-outs.
#pragma once

#include <cstdint>

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

// How a time-out wait ended: a key is ready, the time ran out, or the
// screen changed under the program (TakeScreenChange tells whether to show
// the text again; the wait then goes on).
enum class WaitEnd { Key, TimeUp, ScreenChanged };

// The time-out wait of both programs: polls Expired, then KeyPressed, and
// sleeps on the console input in between. A key that is ready when the
// limit is reached wins. Only a key ends it before its time, or a change
// of the screen.
WaitEnd WaitForKeyOrTime(Stopwatch& watch);

// The wait before the first key of both programs: up to seconds (none
// below 1), showAgain redrawing after a change of the screen. True when
// the time ran out with no key; the key is then still to be read.
bool TimeRunsOut(std::int32_t seconds, void (*showAgain)());
