// Wall-clock seconds against a limit, for input time-outs.
#pragma once

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

// The time-out wait of both programs: polls Expired, then KeyPressed, and
// sleeps on the console input in between. True when the time ran out with
// no key ready; a key that is ready when the limit is reached wins. Also
// ends, false, when the screen changed (ScreenChanged tells): the caller
// shows its text again and waits on.
bool WaitTimedOut(Stopwatch& watch);
