#include "lineedit.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "virtual_console.h"

namespace {

// Keys: a plain code as it stands, an extended one as Ext + its code.
constexpr int Ext = 0x100;
constexpr int CtrlC = 3, Backspace = 8, Tab = 9, Enter = 13, CtrlU = 21, CtrlZ = 26, Esc = 27;
constexpr int Home = Ext + 71, Left = Ext + 75, Right = Ext + 77, End = Ext + 79, Ins = Ext + 82,
              Del = Ext + 83, CtrlLeft = Ext + 115, CtrlRight = Ext + 116, CtrlEnd = Ext + 117,
              CtrlHome = Ext + 119, DelWordLeft = Ext + 253, DelWordRight = Ext + 254;
using Keys = std::vector<int>;
constexpr int Behind = 0x200;  // a plain key in one burst with the key before it

// Typed keys come 10 ms apart, a key Behind at once with the one before.
void Queue(const Keys& keys, double atSeconds = 0)
{
    double at = atSeconds - 0.01;
    for (int key : keys) {
        if (key < Behind)
            at += 0.01;
        if (key >= Behind)
            PushKeys(std::string(1, static_cast<char>(key - Behind)), at);
        else if (key >= Ext)
            PushExtended(static_cast<std::uint8_t>(key - Ext), at);
        else
            PushKeys(std::string(1, static_cast<char>(key)), at);
    }
}

Keys Pasted(const std::string& text)  // the characters in one burst
{
    Keys keys;
    for (unsigned char c : text)
        keys.push_back(keys.empty() ? c : Behind + c);
    return keys;
}

Keys Repeat(int key, int times)
{
    return Keys(times, key);
}

Keys operator+(Keys a, const Keys& b)
{
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

// The editor's options, written as editdemo takes them: m u n o b; and j,
// a terminal's Ctrl+J that accepts.
struct Options {
    int MaxLength = 2047;
    const char* Flags = "";
    int Timeout = 0;
};

bool Has(const Options& options, char flag)
{
    return std::string(options.Flags).find(flag) != std::string::npos;
}

struct Screen {
    int Width = 20, Height = 6, X = 5, Y = 2;  // the field starts at (X, Y)
};

struct Outcome {
    bool Accepted;
    std::string Text;
};

// One edit on a fresh virtual screen. Without a terminal, running out of
// keys ends the edit as Ctrl+C does instead of waiting for ever.
Outcome RunEdit(const std::string& start, const Options& options, const Keys& keys,
                const Screen& screen = {}, bool present = false)
{
    VirtualConsoleReset(screen.Width, screen.Height, screen.X, screen.Y);
    VirtualConsoleSetPresent(present);
    VirtualConsoleSetLineFeedIsEnter(Has(options, 'j'));
    Queue(keys);
    std::string text = start;
    EditFlags flags = {Has(options, 'm'), Has(options, 'u'), Has(options, 'n'), Has(options, 'o'),
                       Has(options, 'b')};
    bool accepted = EditLine(text, options.MaxLength, options.Timeout, flags);
    return {accepted, text};
}

// The cells from (x, y) to the bottom of the screen, row after row.
std::string CellsFrom(int x, int y)
{
    std::string cells;
    for (int row = y; row <= ScreenHeight; row++)
        cells += ScreenRow(row).substr(row == y ? x - 1 : 0);
    return cells;
}

// The field shows the text (or stars; "?" for a control character), then
// blanks to the end of the screen.
std::string FieldOf(const std::string& text, bool masked, const Screen& screen)
{
    std::string cells;
    for (unsigned char c : text)
        cells += masked ? '*' : (c < 32 || c == 127) ? '?' : static_cast<char>(c);
    cells.resize((screen.Height - screen.Y + 1) * screen.Width - screen.X + 1, ' ');
    return cells;
}

// ---- One table for the key actions ----
//
// Each case runs twice: its keys then Enter, for the text and the screen;
// its keys then Ctrl+C, whose "^C" shows where the console cursor stood.

struct EditCase {
    const char* Name;
    std::string Start;
    Options Opt;
    Keys Typed;
    std::string Text;  // after Enter
    int Cursor;        // the position the cursor stood on before Enter
};

const EditCase EditCases[] = {
    {"start text, cursor after it", "hello", {}, {}, "hello", 6},
    {"cursor at start", "hello", {2047, "b"}, {}, "hello", 1},
    {"start text cut to the limit", "hello", {3}, {}, "hel", 4},
    {"masked: start text dropped, typing shown as stars", "abc", {2047, "m"}, {'x', 'y'}, "xy", 3},
    {"digits only keeps a numeric start", "123", {2047, "n"}, {}, "123", 4},
    {"digits only drops 12a, refuses a", "12a", {2047, "n"}, {'a', '7'}, "7", 2},
    {"upper case, bytes above 127 as typed", "abc", {2047, "u"}, {'x', 0xE9}, "ABCX\xE9", 6},
    {"insert at the limit refused", "abc", {3}, {Home, 'x'}, "abc", 1},
    {"overtype inside the text", "abc", {5, "o"}, {Home, 'x', 'y'}, "xyc", 3},
    {"overtype appends up to the limit", "abc", {4, "o"}, {'d', 'e'}, "abcd", 5},
    {"overtype after Esc", "abcdef", {2047, "o"}, {Esc, 'x'}, "x", 2},
    {"Ins switches to overtype", "abc", {}, {Home, Ins, 'x'}, "xbc", 2},
    {"Backspace at position 1", "abc", {2047, "b"}, {Backspace}, "abc", 1},
    {"Backspace in the middle", "abc", {}, {Left, Backspace}, "ac", 2},
    {"Del at the end", "abc", {}, {Del}, "abc", 4},
    {"Del in the middle", "abc", {}, {Home, Right, Del}, "ac", 2},
    {"Left at 1, Right at the end", "abc", {}, {Right, Home, Left, Left}, "abc", 1},
    {"Esc clears and blanks", "abcdef", {}, {Left, Esc}, "", 1},
    {"Ctrl+U restores", "abc", {}, {'x', 'y', Home, Del, Esc, 'q', CtrlU}, "abc", 4},
    {"Ctrl+Z restores, cursor at start", "abc", {2047, "b"}, {'x', 'y', End, CtrlZ}, "abc", 1},
    {"restore gives the prepared text", "hello", {3, "u"}, {Esc, CtrlU}, "HEL", 4},
    {"Ctrl+Home from position 4", "abcdef", {2047, "b"}, {Right, Right, Right, CtrlHome}, "def", 1},
    {"Ctrl+End from position 4", "abcdef", {2047, "b"}, {Right, Right, Right, CtrlEnd}, "abc", 4},
    {"word before the cursor deleted", "foo bar baz", {}, {DelWordLeft}, "foo bar ", 9},
    {"inside a word: its start to the cursor", "foo bar", {}, {Left, Left, DelWordLeft}, "foo ar", 5},
    {"word after the cursor deleted", "foo bar baz", {}, {Home, DelWordRight}, "bar baz", 1},
    {"word deletes at the ends do nothing", "ab", {2047, "b"}, {DelWordLeft, End, DelWordRight}, "ab", 3},
    {"extended keys 3, 13 and F1 ignored", "abc", {}, {Ext + 3, Ext + 13, Ext + 59, 'd'}, "abcd", 5},
    {"control keys ignored", "abc", {}, {Tab, 1, 127, 31, 28}, "abc", 4},
    {"limit 0: nothing may be typed", "abc", {0}, {'x'}, "", 1},
    {"negative limit taken as 0", "abc", {-5, "o"}, {'x'}, "", 1},
    {"control character shown as ?", "a\tb", {}, {Left, 'x'}, "a\txb", 4},
};

TEST(EditLine, CtrlJAcceptsOnATerminalOnly)
{
    EXPECT_EQ(RunEdit("ab", {2047, "j"}, {'x', 10, 'y', Enter}).Text, "abx");
    EXPECT_EQ(RunEdit("ab", {}, {'x', 10, 'y', Enter}).Text, "abxy");
}

TEST(EditLine, KeyTable)
{
    Screen screen;
    for (const EditCase& c : EditCases) {
        SCOPED_TRACE(c.Name);
        bool masked = Has(c.Opt, 'm');

        Outcome done = RunEdit(c.Start, c.Opt, c.Typed + Keys{Enter}, screen);
        EXPECT_TRUE(done.Accepted);
        EXPECT_EQ(done.Text, c.Text);
        EXPECT_EQ(CellsFrom(screen.X, screen.Y), FieldOf(c.Text, masked, screen));
        EXPECT_EQ(QueuedEvents(), 0);

        Outcome aborted = RunEdit(c.Start, c.Opt, c.Typed + Keys{CtrlC}, screen);
        EXPECT_FALSE(aborted.Accepted);
        EXPECT_EQ(aborted.Text, "");
        std::string field = FieldOf(c.Text, masked, screen);
        field.replace(c.Cursor - 1, 2, "^C");
        EXPECT_EQ(CellsFrom(screen.X, screen.Y), field);
    }
}

// A line break with more of its burst behind it does not accept, and the
// rest of the burst is dropped; keys typed one by one work as before.
TEST(EditLine, Bursts)
{
    const struct { Keys Input; bool Accepted; std::string Text; int Left; } cases[] = {
        {Pasted("abc\rdef\r") + Keys{'x', Enter}, true, "abcx", 0},
        {Pasted("abc\ndef\n") + Keys{Enter}, true, "abc", 0},
        {Pasted("abc\r\n") + Keys{Enter}, true, "abc", 0},
        {Pasted("abc\r"), true, "abc", 0},
        {Pasted("ab\x03" "cd"), false, "", 0},
        {Keys{'a', 'b', 'c', Enter, 'd', Enter}, true, "abc", 2},
    };
    for (const auto& c : cases) {
        Outcome out = RunEdit("", {}, c.Input);
        EXPECT_EQ(out.Accepted, c.Accepted) << c.Text;
        EXPECT_EQ(out.Text, c.Text);
        EXPECT_EQ(QueuedEvents(), c.Left) << c.Text;
    }
}

// ---- Word moves ----

struct WordCase {
    std::string Text;
    const char* Flags;
    int Key;
    std::vector<int> Stops;  // the position after each press
};

TEST(EditLine, WordMoves)
{
    const WordCase cases[] = {
        {"foo bar;baz", "", CtrlLeft, {9, 5, 1, 1}},
        {"foo bar;baz", "b", CtrlRight, {5, 9, 12, 12}},
        {"a  b", "", CtrlLeft, {4, 1}},
        {"a  b", "b", CtrlRight, {4, 5}},
        {"x/y\\z\tw", "", CtrlLeft, {7, 5, 3, 1}},
        {"  lead", "", CtrlLeft, {3, 1}},
        {"", "", CtrlLeft, {1}},
        {"", "", CtrlRight, {1}},
    };
    for (const WordCase& c : cases) {
        for (size_t presses = 1; presses <= c.Stops.size(); presses++) {
            SCOPED_TRACE(c.Text + " presses " + std::to_string(presses));
            RunEdit(c.Text, {2047, c.Flags}, Repeat(c.Key, static_cast<int>(presses)));
            EXPECT_EQ(CellsFrom(5, 2).find("^C"), static_cast<size_t>(c.Stops[presses - 1] - 1));
        }
    }
    // From inside a word, Ctrl+Left goes to its start.
    RunEdit("foo bar", {}, {Left, Left, CtrlLeft});
    EXPECT_EQ(CellsFrom(5, 2).find("^C"), 4u);
}

// ---- The field across the right edge and the bottom row ----

TEST(EditLine, FieldWrapsAtTheRightEdge)
{
    Screen narrow{10, 6, 7, 2};
    Outcome out = RunEdit("abcdefgh", {}, {Enter}, narrow);
    EXPECT_EQ(out.Text, "abcdefgh");
    EXPECT_EQ(ScreenRow(2), "      abcd");
    EXPECT_EQ(ScreenRow(3), "efgh      ");
    // The line ends after the text, on the field's last row.
    EXPECT_EQ(WhereX(), 1);
    EXPECT_EQ(WhereY(), 4);

    // Left from column 1 goes to the last column of the row above.
    RunEdit("abcdefgh", {}, Keys{Home} + Repeat(Right, 4) + Keys{Left}, narrow);
    EXPECT_EQ(ScreenRow(2), "      abc^");
    EXPECT_EQ(ScreenRow(3), "Cfgh      ");

    // Text moves across the edge both ways.
    RunEdit("abcdefgh", {}, {Home, Right, 'X', Enter}, narrow);
    EXPECT_EQ(ScreenRow(2), "      aXbc");
    EXPECT_EQ(ScreenRow(3), "defgh     ");
    RunEdit("abcdefgh", {}, Keys{Home} + Repeat(Right, 4) + Keys{Backspace, Enter}, narrow);
    EXPECT_EQ(ScreenRow(2), "      abce");
    EXPECT_EQ(ScreenRow(3), "fgh       ");
}

TEST(EditLine, FieldAtTheBottomRowScrolls)
{
    Screen bottom{10, 4, 7, 4};
    RunEdit("abcdefgh", {}, {Enter}, bottom);
    EXPECT_EQ(ScreenRow(2), "      abcd");
    EXPECT_EQ(ScreenRow(3), "efgh      ");
    EXPECT_EQ(ScreenRow(4), "          ");
    EXPECT_EQ(WhereX(), 1);
    EXPECT_EQ(WhereY(), 4);

    // Home after the scroll finds the field's first cell on the row above.
    RunEdit("abcdefgh", {}, {Home}, bottom);
    EXPECT_EQ(ScreenRow(2), "      ^Ccd");
    EXPECT_EQ(ScreenRow(3), "efgh      ");

    // Typing into the bottom-right cell scrolls; Left comes back over it.
    RunEdit("abc", {}, {'d', 'e', Left, Left}, bottom);
    EXPECT_EQ(ScreenRow(2), "      abc^");
    EXPECT_EQ(ScreenRow(3), "C         ");
}

// "^C" written in the bottom-right cell: the second character goes to a new
// row, and the line still ends below it.
TEST(EditLine, CtrlCInTheBottomRightCell)
{
    Screen bottom{10, 4, 7, 4};
    Outcome out = RunEdit("abc", {}, {CtrlC}, bottom);
    EXPECT_FALSE(out.Accepted);
    EXPECT_EQ(out.Text, "");
    EXPECT_EQ(ScreenRow(2), "      abc^");
    EXPECT_EQ(ScreenRow(3), "C         ");
    EXPECT_EQ(WhereX(), 1);
    EXPECT_EQ(WhereY(), 4);
}

TEST(EditLine, CtrlCInsideTheText)
{
    Outcome out = RunEdit("abcdef", {}, {Home, Right, Right, CtrlC});
    EXPECT_FALSE(out.Accepted);
    EXPECT_EQ(out.Text, "");
    EXPECT_EQ(ScreenRow(2), "    ab^Cef          ");
    EXPECT_EQ(OutputBytes.substr(OutputBytes.size() - 4), "^C\r\n");
    EXPECT_EQ(WhereX(), 1);
    EXPECT_EQ(WhereY(), 3);

    // The line ends right after the text: below its row when the text
    // fills the last column, on the next row when it stops one short.
    Screen narrow{10, 6, 7, 2};
    RunEdit("abcd", {}, {Home, CtrlC}, narrow);
    EXPECT_EQ(ScreenRow(2), "      ^Ccd");
    EXPECT_EQ(WhereY(), 4);
    RunEdit("abc", {}, {Home, CtrlC}, narrow);
    EXPECT_EQ(ScreenRow(2), "      ^Cc ");
    EXPECT_EQ(WhereY(), 3);
}

// ---- Time-out ----

TEST(EditLine, TimeOutAcceptsThePreparedText)
{
    Outcome out = RunEdit("hello", {3, "ub", 5}, {}, {}, true);
    EXPECT_TRUE(out.Accepted);
    EXPECT_EQ(out.Text, "HEL");
    EXPECT_NEAR(WaitedSeconds, 5, 0.01);
    EXPECT_EQ(ScreenRow(2), "    HEL             ");
    EXPECT_EQ(WhereX(), 1);
    EXPECT_EQ(WhereY(), 3);

    out = RunEdit("secret", {2047, "m", 5}, {}, {}, true);
    EXPECT_TRUE(out.Accepted);
    EXPECT_EQ(out.Text, "");
}

// A key before the limit, or at it, ends the time limit for good; a time-out
// of 0 or less means none.
TEST(EditLine, KeyBeforeTheTimeOutEndsTheLimit)
{
    const double keyTimes[] = {0.0, 4.99, 5.0, 50.0, 50.0};
    const int timeouts[] = {5, 5, 5, 0, -1};
    for (int i = 0; i < 5; i++) {
        double at = keyTimes[i];
        SCOPED_TRACE(at);
        VirtualConsoleReset(20, 6, 5, 2);
        Queue({'x'}, at);
        Queue({Enter}, at + 100);  // long after the limit
        std::string text = "hello";
        EXPECT_TRUE(EditLine(text, 2047, timeouts[i], {}));
        EXPECT_EQ(text, "hellox");
        EXPECT_NEAR(WaitedSeconds, at + 100, 0.01);
    }
}

// The count-down starts one cell right of the cell after the text, in that
// cell's row, where it fits and there is a console; at the first key or
// the time-out it is blanked.
TEST(EditLine, CountdownBesideTheText)
{
    const struct {
        const char* Name;
        std::string Start;
        Options Opt;
        Keys Typed;  // a second into the wait
        bool Present;
        std::vector<std::string> Writes;
    } cases[] = {
        {"runs out", "abc", {2047, "", 3}, {}, true, {"9,2:(3s)", "9,2:(2s)", "9,2:(1s)", "9,2:    "}},
        {"a key blanks it", "abc", {2047, "", 3}, {'x', Enter}, true, {"9,2:(3s)", "9,2:(2s)", "9,2:    "}},
        {"masked: after the empty field", "abc", {2047, "m", 2}, {}, true, {"6,2:(2s)", "6,2:(1s)", "6,2:    "}},
        {"the text fills its row", std::string(16, 'a'), {2047, "", 1}, {}, true, {"2,3:(1s)", "2,3:    "}},
        {"no room left in the row", std::string(12, 'a'), {2047, "", 1}, {}, true, {}},
        {"no console", "abc", {2047, "", 1}, {}, false, {}},
        {"no time-out", "abc", {2047, "", 0}, {'x', Enter}, true, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        VirtualConsoleReset(20, 6, 5, 2);
        VirtualConsoleSetPresent(c.Present);
        Queue(c.Typed, 1.5);
        std::string text = c.Start;
        EditFlags flags;
        flags.MaskInput = Has(c.Opt, 'm');
        flags.ShowCountdown = true;
        EditLine(text, c.Opt.MaxLength, c.Opt.Timeout, flags);
        EXPECT_EQ(CellWrites, c.Writes);
    }
}

// ---- Limits and output ----

TEST(EditLine, LimitAbove2047IsTaken2047)
{
    Screen big{80, 40, 1, 1};
    std::string start(2100, 'a');
    Outcome out = RunEdit(start, {5000}, {'x', Enter}, big);
    EXPECT_EQ(out.Text, std::string(2047, 'a'));
    out = RunEdit("", {2048}, Repeat('b', 2050) + Keys{Enter}, big);
    EXPECT_EQ(out.Text, std::string(2047, 'b'));
}

// A change is one write and one cursor move; the echo is a write of its own.
TEST(EditLine, OneWriteAndOneMovePerChange)
{
    std::string text(30, 'a');
    RunEdit(text, {}, {Home, Enter});
    int writes = OutputWrites, moves = CursorMoves;
    size_t bytes = OutputBytes.size();
    RunEdit(text, {}, {Home, 'x', Enter});
    EXPECT_EQ(OutputWrites - writes, 2);
    EXPECT_EQ(CursorMoves - moves, 1);
    EXPECT_EQ(OutputBytes.size() - bytes, 31u);

    RunEdit(text, {}, {Enter});
    writes = OutputWrites, moves = CursorMoves;
    RunEdit(text, {}, {'x', Enter});
    EXPECT_EQ(OutputWrites - writes, 1);
    EXPECT_EQ(CursorMoves - moves, 0);
}

// ---- Random key streams ----
//
// After every prefix of a stream: the text fits the limit, the screen shows
// the text (or stars) and blanks, and the console cursor stands on the cell
// of Cursor. Cursor is read by Ctrl+Home (which deletes what lies before
// it), the console cursor by where Ctrl+C writes "^C".

TEST(EditLine, RandomKeyStreamsKeepScreenAndCursorTrue)
{
    const int keyPool[] = {'a', 'b', 'Z', '1', '7', ' ', ';', '/', 0xC8, Tab, 127, 1, Backspace, Esc,
                           CtrlU, CtrlZ, Home, Left, Left, Right, Right, End, Ins, Del, CtrlLeft,
                           CtrlRight, CtrlEnd, CtrlHome, Ext + 59, Ext + 13, DelWordLeft, DelWordRight};
    const char* startPool[] = {"", "abc", "12 34", "x/y;z w", "a\tb", "hello world", "9876543210"};
    const char* flagPool[] = {"", "m", "u", "n", "o", "b", "ob", "mo", "ub", "nb"};
    const int limitPool[] = {1, 2, 5, 12, 40};
    std::mt19937 random(20261207);
    Screen screen{13, 12, 1, 2};

    for (int stream = 0; stream < 40; stream++) {
        Options options{limitPool[random() % 5], flagPool[random() % 10]};
        std::string start = startPool[random() % 7];
        screen.X = 1 + static_cast<int>(random() % 13);
        Keys keys;
        for (int i = 0; i < 60; i++)
            keys.push_back(keyPool[random() % (sizeof keyPool / sizeof keyPool[0])]);
        bool masked = Has(options, 'm');

        for (size_t length = 0; length <= keys.size(); length++) {
            SCOPED_TRACE("stream " + std::to_string(stream) + " after " + std::to_string(length) + " keys");
            Keys prefix(keys.begin(), keys.begin() + length);

            Outcome done = RunEdit(start, options, prefix + Keys{Enter}, screen);
            ASSERT_LE(static_cast<int>(done.Text.size()), options.MaxLength);
            ASSERT_EQ(CellsFrom(screen.X, screen.Y), FieldOf(done.Text, masked, screen));

            int n = static_cast<int>(done.Text.size());
            Outcome rest = RunEdit(start, options, prefix + Keys{CtrlHome, Enter}, screen);
            int cursor = n - static_cast<int>(rest.Text.size()) + 1;
            ASSERT_GE(cursor, 1);
            ASSERT_LE(cursor, n + 1);
            ASSERT_EQ(rest.Text, done.Text.substr(cursor - 1));

            RunEdit(start, options, prefix, screen);
            std::string field = FieldOf(done.Text, masked, screen);
            field.replace(cursor - 1, 2, "^C");
            ASSERT_EQ(CellsFrom(screen.X, screen.Y), field);
        }
    }
}

}  // namespace

namespace {

// ---- A field longer than the screen ----
//
// The screen shows the part of the field around the cursor: the cursor's
// character is always on the screen, and typing shows where it lands. The
// keys run out while the editor waits for more, so the screen is seen as
// the user sees it.
TEST(EditLine, FieldLongerThanTheScreen)
{
    std::string text;
    for (int i = 0; i < 6; i++)
        text += "0123456789";  // 60 characters after "N: ", on a 10 x 4 screen
    struct Case {
        const char* Name;
        Keys Typed;
        std::string Rows;  // the screen, rows split by "|"
        int X, Y;          // the cursor
    } cases[] = {
        {"the end after the start", {}, "7890123456|7890123456|7890123456|789       ", 4, 4},
        {"Home shows the first rows", {Home}, "N: 0123456|7890123456|7890123456|789012345 ", 4, 1},
        {"typing at the start lands there", {Home, 'X'}, "N: X012345|6789012345|6789012345|678901234 ", 5, 1},
        {"back to the end", {Home, End}, "7890123456|7890123456|7890123456|789       ", 4, 4},
        {"deleting in the middle", {Home, Right, Right, Right, 'Y', Backspace, Backspace},
         "N: 0134567|8901234567|8901234567|890123456 ", 6, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        VirtualConsoleReset(10, 4, 1, 1);
        WriteOut("N: ");
        Queue(c.Typed);
        std::string edited = text;
        try {
            EditLine(edited, 2047, 0, {});
        } catch (const ProgramExit&) {
        }
        std::string rows;
        for (int y = 1; y <= 4; y++)
            rows += (y > 1 ? "|" : "") + ScreenRow(y);
        EXPECT_EQ(rows, c.Rows);
        EXPECT_EQ(WhereX(), c.X);
        EXPECT_EQ(WhereY(), c.Y);
    }
}

}  // namespace
