// Where the terminal's cursor is, kept by counting what is written to it,
// with the screen buffer's manners: a character written in the last column
// leaves the cursor in column 1 of the next row (scrolling at the bottom)
// at once, where a terminal would wait for the next character to wrap.
#pragma once

#include <string>
#include <string_view>

struct ScreenModel {
    int Width = 80;
    int Height = 25;
    int X = 1;  // 1-based column and row
    int Y = 1;
    bool LineFeedReturns = true;  // the terminal turns LF into CR LF on output
    int Escape = 0;               // inside an escape sequence written to it
};

// Moves the model's cursor past the text and returns the bytes to send
// for it: the text itself, with CR LF added after a character that fills a
// row's last column where the terminal would not wrap by itself.
std::string ScreenWrite(ScreenModel& screen, std::string_view text);

// A cursor move that the terminal was told to make (1-based; inside the screen).
void ScreenMoveTo(ScreenModel& screen, int x, int y);
