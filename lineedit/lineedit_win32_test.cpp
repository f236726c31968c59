#include "lineedit.h"

#include <gtest/gtest.h>

#include "charset_win32.h"
#include "virtual_console.h"

namespace {

void Press(const std::string& text)
{
    ConsoleEvent event;
    event.Text = text;
    PushEvent(event);
}

// Windows 9x, Shift-JIS: 日 93 FA, 本 96 7B, 語 8C EA, ソ 83 5C. Backspace
// takes a whole character, the cursor moves over whole ones and a
// character typed as lead and trail byte goes in whole; each takes two
// cells, and the cursor stays on a character's first.
TEST(LineEditWin32, DoubleByteCharactersAreEditedWhole)
{
    VirtualConsoleReset(20, 4, 1, 1);
    SetLeadByteCodePage(932);
    PushKeys("\x08");
    PushExtended(75);  // Left
    Press("\x83");
    Press("\x5c");
    std::string text = "\x93\xfa\x96\x7b\x8c\xea";
    VirtualConsoleSetPresent(false);  // out of keys: ends as Ctrl+C, leaving the screen
    EditLine(text, 10, 0, {});
    // "^C" covers 本 at the cursor.
    EXPECT_EQ(ScreenRow(1).substr(0, 8), "\x93\xfa\x83\x5c^C  ");
    EXPECT_EQ(ScreenCell(3, 1), "\x83\x5c");
    EXPECT_EQ(ScreenCell(4, 1), "");
}

}  // namespace
