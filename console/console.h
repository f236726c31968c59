// The console: the keyboard and screen of the user's terminal window,
// whatever standard input and output are connected to, plus the process's
// standard output and exit. Everything above this layer talks to the system
// through these procedures only.
//
// One file per platform implements the system side (console_win32.cpp,
// console_posix.cpp); the key logic in keys.cpp is shared. Unit tests link a
// virtual console in place of the system one.
#pragma once

#include <cstdint>
#include <string_view>

// Set-up, once at start, before the program's main body.
void ConsoleOpen();

// False when the process has no console (no terminal, a detached job):
// no key will ever come, and waits for a key end as if Ctrl+C was pressed.
bool HaveConsole();

// The screen buffer's size in cells, read once by ConsoleOpen.
extern int ScreenWidth;
extern int ScreenHeight;

// The cursor: 1-based column and row. GotoXY ignores positions outside
// 1..ScreenWidth, 1..ScreenHeight.
int WhereX();
int WhereY();
void GotoXY(int x, int y);

// ---- Key input (keys.cpp, shared) ----

// True when a key is ready; never blocks.
bool KeyPressed();
// The next key code: a character, or 0 and then the extended key's code.
// Blocks until a key comes. Without a console it returns 3 (Ctrl+C).
std::uint8_t ReadKey();

// Waits in the system until an input event is pending or the time has
// passed, whichever comes first. Never spins.
void WaitForInput(int milliseconds);

// ---- Console input events, as the Windows console reports them ----

// Control-key state bits.
constexpr std::uint32_t RightAltPressed = 0x0001;
constexpr std::uint32_t LeftAltPressed = 0x0002;
constexpr std::uint32_t RightCtrlPressed = 0x0004;
constexpr std::uint32_t LeftCtrlPressed = 0x0008;
constexpr std::uint32_t ShiftPressed = 0x0010;
constexpr std::uint32_t EnhancedKey = 0x0100;

struct ConsoleEvent {
    bool IsKey = true;           // false for mouse, focus, menu, window-size events
    bool KeyDown = true;
    std::uint16_t RepeatCount = 1;
    std::uint16_t VirtualKey = 0;
    std::uint16_t ScanCode = 0;
    std::uint8_t Char = 0;       // in the console's code page
    std::uint32_t ControlKeyState = 0;
};

// How many input events are pending; never blocks.
int InputEventCount();
// Takes the next pending event; false when there is none.
bool ReadInputEvent(ConsoleEvent& event);

// ---- Output: the standard output the process inherited ----

// Writes the bytes unchanged (one byte per character in the console's code
// page), at once. A failed write ends the process through RuntimeError.
void WriteOut(std::string_view text);
// Writes the text and a line end (CR LF).
void WriteLine(std::string_view text = {});

// Ends the process with the exit code, putting the console back as found.
[[noreturn]] void ExitProgram(int code);
// A failed write or close: "Runtime error N" on standard output, exit code N.
[[noreturn]] void RuntimeError(int code);
constexpr int DiskWriteError = 101;

// ---- Clock ----

struct UtcTime {
    int Hour, Minute, Second, Millisecond;
};
UtcTime ReadUtcTime();
