// The console as the programs see it: the keyboard and screen of the user's
// terminal window, whatever standard input and output are connected to.
// Text output and the process's exit are in output.h.
//
// One file per platform implements it (console_win32.cpp,
// console_posix.cpp) through the narrower interface in backend.h; the key
// logic in keys.cpp is shared. Unit tests link a virtual console instead.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// Set-up, once at start, before the program's main body.
void ConsoleOpen();

// False when the process has no console (no terminal, a detached job):
// no key will ever come, so the programs take their answer from standard
// input instead (stdinput.h); a wait for a key ends as if Ctrl+C was
// pressed.
bool HaveConsole();

// The screen buffer's size in cells, read once by ConsoleOpen.
extern int ScreenWidth;
extern int ScreenHeight;

// The cursor: 1-based column and row. GotoXY ignores positions outside
// 1..ScreenWidth, 1..ScreenHeight.
int WhereX();
int WhereY();
void GotoXY(int x, int y);

// Writes text into the cells from column x of row y on, beside the
// dialogue: the cursor stays where it is and the screen never scrolls.
// False, with nothing written, where it cannot: the dialogue does not go to
// the console's screen (a file, a pipe, no console), the terminal takes
// text alone or has not told where its cursor is, or the text does not fit
// in the row.
bool WriteCellsAt(int x, int y, std::string_view text);

// Says that the cursor's position will be needed. A terminal is then asked
// with the next text written, and its answer taken when the position is
// first needed, so that nothing waits for it before. Elsewhere nothing.
void WantCursorPosition();

// Learns how the terminal draws the characters of text whose width
// terminals disagree on (emoji sequences, spacing marks), before they are
// laid out: asks it once per kind, at the cursor, where the text is about
// to be shown, and takes the width it tells, whatever it is. Elsewhere
// (and where the terminal may be sent text alone, or nothing) nothing.
void LearnWidths(std::string_view text);

// True, once, after the screen changed under the program: the window was
// resized or the program was continued after a stop (a terminal only). The
// cursor then stands at the start of a fresh line with the screen blank
// below, and ScreenWidth and ScreenHeight are the new size: whatever the
// program shows must be shown again. ScreenChangePending tells without
// taking it.
bool TakeScreenChange();
bool ScreenChangePending();

// True when a key is ready; never blocks.
bool KeyPressed();
// The next key code: a character, or 0 and then the extended key's code.
// Blocks until a key comes. Without a console it returns 3 (Ctrl+C). When
// the screen changed under the program meanwhile (see TakeScreenChange), it
// gives 0 and then KeyScreenChanged.
std::uint8_t ReadKey();
constexpr std::uint8_t KeyScreenChanged = 0xFF;
// Extended codes of editing actions that only a terminal's shell keys give
// (Ctrl+W, Alt+Backspace; Alt+D): no Windows key has them.
constexpr std::uint8_t KeyDeleteWordLeft = 0xFD;
constexpr std::uint8_t KeyDeleteWordRight = 0xFE;

// True on a terminal, where Ctrl+J (code 10, a line feed) ends a line as
// Enter does, as in the shell's own line editor; a Windows console gives
// it as an ordinary control key.
bool LineFeedIsEnter();

// The character that a plain key code begins. Where the terminal speaks
// UTF-8, a code of 0x80 and up is the first byte of a character whose
// other bytes are the next codes, read here; elsewhere it is the code
// alone. Empty when the bytes are no character.
std::string ReadKeyText(std::uint8_t first);

// True when more keys already wait behind the key just read: they came
// with it in one burst (a paste, or another program writing input), not
// typed one by one. Never blocks.
bool KeysBehind();
// Drops the rest of that burst, whatever it holds: the input already
// waiting behind the key just read. Keys that come later are kept.
void DropKeysBehind();

// Waits in the system until an input event is pending, the time has
// passed or the screen changed, whichever comes first, and tells which.
// Never spins. Input that gives no key (a terminal's report, a dropped
// paste) ends no wait.
enum class WaitResult { Input, TimeUp, ScreenChanged };
WaitResult WaitForInput(int milliseconds);

// From now on a paste (a terminal's bracketed paste) is read and dropped:
// it types nothing. Elsewhere nothing.
void DropPastes();
