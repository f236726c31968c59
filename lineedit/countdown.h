// A count-down beside a prompt: while a time-out waits for the first key,
// the whole seconds it has left, rounded up, one cell right of the cell
// where the answer goes (left blank), on the console only (WriteCellsAt).
// Written again when the number changes, blanked when the wait ends.
#pragma once

#include <cstdint>
#include <string>

struct Countdown {
    std::string Key;                // the time-out's key: "(N in 10s)"; empty: "(10s)"
    void (*Place)(int& x, int& y);  // the cell where the answer goes
    std::int64_t Shown = 0;         // the number last shown; 0: not yet placed
    int X = 0, Y = 0;               // its first cell
    int Cells = 0;                  // the cells it covers; 0: not shown
};

std::string CountdownText(const std::string& key, std::int64_t seconds);

// When the wait is to wake next for the count-down, in elapsed seconds of
// its stopwatch: at once before it is placed, then at each whole second;
// never where it is not shown.
float CountdownDue(const Countdown& countdown, float elapsed);
// Shows what a time-out of `seconds` has left after `elapsed`, where that
// differs from what is shown; the first time at its place, where it fits.
void CountdownShow(Countdown& countdown, std::int32_t seconds, float elapsed);
// Blanks what is shown.
void CountdownHide(Countdown& countdown);
// The screen changed under the prompt and took what was shown with it:
// the next show places it again.
void CountdownMoved(Countdown& countdown);
