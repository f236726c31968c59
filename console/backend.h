// What a console backend (console_win32.cpp, console_posix.cpp, the
// virtual console of the tests) gives the shared key logic in keys.cpp:
// input events as the Windows console reports them. Besides these, a
// backend implements console.h (but KeyPressed and ReadKey), output.h (but
// WriteLine) and clock.h.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

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
    // The character the key types, whole: UTF-8 where LocaleIsUtf8(), else
    // the code page's bytes (one; two for a double-byte character, which a
    // console may also report as two events, lead byte first: keys.cpp joins
    // them). Empty for a key that types nothing.
    std::string Text;
    std::uint32_t ControlKeyState = 0;
};

// How many input events are pending; never blocks.
int InputEventCount();
// Takes the next pending event; false when there is none.
bool ReadInputEvent(ConsoleEvent& event);
// Whether a key press (not a modifier alone) already waits behind the
// events taken so far: it came in one burst with them. Never blocks.
bool KeyPressWaiting();
// Drops the input events already waiting; what comes later is kept.
void DropWaitingInput();

// The line end WriteLine adds to the dialogue's text.
std::string_view LineEnd();

// Every backend's WriteOut tells the text here, for LineSoFar (output.cpp).
void NoteLine(std::string_view text);
// Whether text fits in row y from column x on, every character shown in
// cells of its own: what every backend's WriteCellsAt checks first
// (output.cpp).
bool CellsFit(int x, int y, std::string_view text);
