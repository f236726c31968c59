// Where the terminal's cursor is, kept by counting what is written to it,
// with the screen buffer's manners: a character written in the last column
// leaves the cursor in column 1 of the next row (scrolling at the bottom)
// at once, where a terminal would wait for the next character to wrap.
//
// On a terminal that takes no escape sequence (text only) the model is of
// one row one cell narrower than the terminal, so that the terminal never
// wraps by itself: a text that reaches its end goes on in a new line (CR
// LF, as a one-row screen buffer scrolls), and the model keeps the row's
// characters, since a move to the left is made by writing them again.
#pragma once

#include <string>
#include <string_view>
#include <vector>

struct ScreenModel {
    int Width = 80;
    int Height = 25;
    int X = 1;  // 1-based column and row
    int Y = 1;
    bool LineFeedReturns = true;  // the terminal turns LF into CR LF on output
    int Escape = 0;               // inside an escape sequence written to it
    // Text only: the character that starts in each column of the row, ""
    // where a wide one before it goes on.
    std::vector<std::string> Row;
};

// Moves the model's cursor past the text and returns the bytes to send
// for it: the text itself, with CR LF added after a character that fills a
// row's last column where the terminal would not wrap by itself. With
// textOnly, only text, CR, LF and BS go to the terminal.
std::string ScreenWrite(ScreenModel& screen, std::string_view text, bool textOnly);

// A cursor move that the terminal was told to make (1-based; inside the screen).
void ScreenMoveTo(ScreenModel& screen, int x, int y);

// Text only: the bytes that move the cursor to column x of its row (1-based;
// inside the row): BS over narrow characters, else CR and the row's text up
// to there, as line editors do on such a terminal; to the right the text
// in between written again. The model's cursor is then at x.
std::string DumbMoveTo(ScreenModel& screen, int x);
