// A console for unit tests, linked in place of the system one: scripted key
// events in, a grid of cells and a cursor out, and a clock that moves only
// while the program waits.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "backend.h"
#include "clock.h"
#include "console.h"
#include "output.h"

// ExitProgram throws this instead of ending the process.
struct ProgramExit {
    int Code;
};
// The exit code of a program left waiting for keys that never come.
constexpr int StalledExitCode = -1;

// A fresh screen of width x height blanks, the cursor at (x, y), no keys,
// no output, the clock at the given seconds of the day.
void VirtualConsoleReset(int width = 80, int height = 25, int x = 1, int y = 1,
                         double clockSeconds = 45296.789);
void VirtualConsoleSetPresent(bool present);
// Ctrl+J accepts a line as on a terminal (VirtualConsoleReset: as on Windows).
void VirtualConsoleSetLineFeedIsEnter(bool enter);
// The console is a single-byte one, as on Windows, until this makes it
// speak UTF-8 (VirtualConsoleReset goes back to single bytes).
void VirtualConsoleSetUtf8(bool utf8);

// Scripted input. A key becomes ready once the clock reaches its time
// (seconds from now); by default at once. As on a real console, keys that
// are ready together came in one burst, as a paste does: keys typed one at
// a time are pushed at times apart.
void PushEvent(const ConsoleEvent& event, double atSeconds = 0);
void PushKeys(std::string_view characters, double atSeconds = 0);  // plain key codes, at once
void PushTyped(std::string_view characters, double atSeconds = 0); // 10 ms apart
void PushExtended(std::uint8_t code, double atSeconds = 0);          // 0, then code
int QueuedEvents();

// What the program did.
std::string ScreenRow(int y);          // the row's cells, trailing blanks kept
std::string ScreenCell(int x, int y);  // "" where a wide character covers it
extern std::string OutputBytes;        // everything written, in order
extern int OutputWrites;               // number of WriteOut calls
extern std::string ResultBytes;        // written by WriteResultLine
extern bool DialogueOnTerminal;        // DialogueToTerminal was called
extern int CursorMoves;                // number of GotoXY calls that moved
// Each WriteCellsAt that wrote, as "x,y:text"; in the screen's cells too.
extern std::vector<std::string> CellWrites;
extern double WaitedSeconds;           // virtual time spent in WaitForInput
extern int WaitCalls;                  // number of WaitForInput calls
double VirtualClock();
