#include <gtest/gtest.h>

#include "charset.h"
#include "screenmodel_posix.h"

namespace {

ScreenModel Screen10x3(int x, int y)
{
    ScreenModel screen;
    screen.Width = 10;
    screen.Height = 3;
    screen.X = x;
    screen.Y = y;
    return screen;
}

TEST(ScreenModel, WritesMoveTheCursorAsAScreenBufferDoes)
{
    struct Case {
        int X, Y;
        const char* Text;
        const char* Sent;
        int EndX, EndY;
    };
    const Case cases[] = {
        {1, 1, "abc", "abc", 4, 1},
        {1, 1, "abcdefghi", "abcdefghi", 10, 1},
        // Filling the last column: the cursor goes on to the next row at once.
        {1, 1, "abcdefghij", "abcdefghij\r\n", 1, 2},
        {1, 1, "abcdefghijkl", "abcdefghijkl", 3, 2},  // the terminal wraps by itself
        {1, 1, "abcdefghij\r\n", "abcdefghij\r\n\r\n", 1, 3},
        {8, 2, "xyz\x1b[0m", "xyz\r\n\x1b[0m", 1, 3},
        {10, 3, "x", "x\r\n", 1, 3},  // bottom row: scrolls
        {1, 3, "\n\n", "\n\n", 1, 3},
        {5, 1, "\r", "\r", 1, 1},
        {5, 1, "\n", "\n", 1, 2},
        {1, 1, "\b", "\b", 1, 1},
        {4, 1, "\b\b", "\b\b", 2, 1},
        {1, 1, "\t", "\t", 9, 1},
        {9, 1, "\t", "\t", 10, 1},
        {1, 1, "\a\x7f", "\a\x7f", 1, 1},
        {1, 1, "\xe9\xff", "\xe9\xff", 3, 1},
        // Escape sequences take no cells.
        {1, 1, "\x1b[1;31mhi\x1b[0m", "\x1b[1;31mhi\x1b[0m", 3, 1},
        {1, 1, "\x1b]0;title\ahi", "\x1b]0;title\ahi", 3, 1},
        {1, 1, "\x1b]0;t\x1b\\hi", "\x1b]0;t\x1b\\hi", 3, 1},
        {1, 1, "\x1b(Bhi", "\x1b(Bhi", 3, 1},
        {1, 1, "\x1b" "7hi", "\x1b" "7hi", 3, 1},
    };
    for (const Case& c : cases) {
        ScreenModel screen = Screen10x3(c.X, c.Y);
        EXPECT_EQ(ScreenWrite(screen, c.Text, false), c.Sent) << testing::PrintToString(std::string(c.Text));
        EXPECT_EQ(screen.X, c.EndX) << testing::PrintToString(std::string(c.Text));
        EXPECT_EQ(screen.Y, c.EndY) << testing::PrintToString(std::string(c.Text));
    }
}

TEST(ScreenModel, LineFeedWithoutOutputProcessingKeepsTheColumn)
{
    ScreenModel screen = Screen10x3(5, 1);
    screen.LineFeedReturns = false;
    ScreenWrite(screen, "\n", false);
    EXPECT_EQ(screen.X, 5);
    EXPECT_EQ(screen.Y, 2);
}

TEST(ScreenModel, StateCarriesAcrossWrites)
{
    ScreenModel screen = Screen10x3(1, 1);
    ScreenWrite(screen, "\x1b[3", false);
    ScreenWrite(screen, "1mab", false);
    EXPECT_EQ(screen.X, 3);

    // One character at a time, as the line editor echoes: each that fills
    // the last column moves on by itself.
    screen = Screen10x3(9, 1);
    EXPECT_EQ(ScreenWrite(screen, "a", false), "a");
    EXPECT_EQ(ScreenWrite(screen, "b", false), "b\r\n");
    EXPECT_EQ(ScreenWrite(screen, "c", false), "c");
    EXPECT_EQ(screen.X, 2);
    EXPECT_EQ(screen.Y, 2);
}

// A dumb terminal's row: what was written, then a move to a column, in
// UTF-8 (a wide 中, a spacing-mark cluster हि, é with a combining mark).
TEST(ScreenModel, DumbMovesWriteCrBsAndTheRowAgain)
{
    struct Case {
        const char* Written;
        int To;
        const char* Sent;
    };
    const Case cases[] = {
        {"V:abc", 5, "\b"},
        {"V:abc", 3, "\b\b\b"},
        {"V:abcdef", 3, "\rV:"},          // shorter than six BS
        {"V:abc\b\b", 6, "bc"},           // to the right: the text again
        {"V:abc\b\b\b", 9, "abc   "},     // blanks past the row's end
        {"V:\xE4\xB8\xAD", 3, "\rV:"},     // never BS over a wide character
        {"V:\xE4\xB8\xADx\b", 3, "\rV:"},
        {"V:\xE4\xB8\xAD\ra", 5, ":\xE4\xB8\xAD"},
        {"V:e\xCC\x81x", 4, "\b"},         // a mark stays with its letter
        {"V:e\xCC\x81x\r", 4, "V:e\xCC\x81"},
        {"V:ab\rV:\xE4\xB8\xAD", 3, "\rV:"},  // a wide character over narrow ones
        {"V:\xE4\xB8\xAD\rV:x\r", 5, "V:x "},  // a narrow one over half a wide one
        {"V:abc", 6, ""},
    };
    SetLocaleIsUtf8(1);
    for (const Case& c : cases) {
        ScreenModel screen = Screen10x3(1, 1);
        ScreenWrite(screen, c.Written, true);
        EXPECT_EQ(DumbMoveTo(screen, c.To), c.Sent) << testing::PrintToString(std::string(c.Written)) << c.To;
        EXPECT_EQ(screen.X, c.To);
    }
    SetLocaleIsUtf8(-1);
}

// Text that reaches the row's end goes on in a new line, which the model
// keeps apart from the one before.
TEST(ScreenModel, DumbRowsEndInALineFeed)
{
    ScreenModel screen = Screen10x3(1, 3);
    EXPECT_EQ(ScreenWrite(screen, "abcdefghijkl", true), "abcdefghij\r\nkl");
    EXPECT_EQ(screen.X, 3);
    EXPECT_EQ(screen.Y, 3);
    EXPECT_EQ(DumbMoveTo(screen, 2), "\b");
    EXPECT_EQ(ScreenWrite(screen, "\r\n", true), "\r\n");
    EXPECT_EQ(DumbMoveTo(screen, 3), "  ");
}

}  // namespace
