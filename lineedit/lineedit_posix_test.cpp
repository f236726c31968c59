// The editor on a UTF-8 terminal: characters are what the user sees as one,
// as wide as terminals draw them.
#include "lineedit.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "charset.h"
#include "virtual_console.h"

namespace {

constexpr int Ext = 0x100;
constexpr int Backspace = 8, Enter = 13, CtrlC = 3, Esc = 27, CtrlU = 21;
constexpr int Home = Ext + 71, Left = Ext + 75, Right = Ext + 77, End = Ext + 79, Ins = Ext + 82,
              Del = Ext + 83, CtrlLeft = Ext + 115, CtrlEnd = Ext + 117, CtrlHome = Ext + 119;

// A key: a character typed (its UTF-8 bytes) or an extended key.
struct Key {
    std::string Text;
    int Code = 0;
    Key(const char* text) : Text(text) {}
    Key(int code) : Code(code) {}
};
using Keys = std::vector<Key>;

const std::string Zhong = "\xE4\xB8\xAD";  // 中, wide
const std::string Wen = "\xE6\x96\x87";    // 文, wide
const std::string De = "\xD0\xB4";          // д
const std::string EAcute = "e\xCC\x81";     // e and a combining acute
const std::string Thumb = "\xF0\x9F\x91\x8D\xF0\x9F\x8F\xBD";
const std::string Family = "\xF0\x9F\x91\xA8\xE2\x80\x8D\xF0\x9F\x91\xA9\xE2\x80\x8D\xF0\x9F\x91\xA7";
const std::string Flag = "\xF0\x9F\x87\xA9\xF0\x9F\x87\xAA";
const std::string Thai = "\xE0\xB8\x99\xE0\xB9\x89\xE0\xB8\xB3";  // two cells, both narrow

struct Outcome {
    bool Accepted;
    std::string Text;
};

Outcome RunEdit(const std::string& start, const Keys& keys, int limit = 2047, const char* flags = "",
                int width = 20, int x = 5)
{
    VirtualConsoleReset(width, 6, x, 2);
    VirtualConsoleSetUtf8(true);
    VirtualConsoleSetPresent(false);
    double at = 0;  // typed 10 ms apart
    for (const Key& key : keys) {
        if (key.Code >= Ext)
            PushExtended(static_cast<std::uint8_t>(key.Code - Ext), at);
        else if (key.Code != 0)
            PushKeys(std::string(1, static_cast<char>(key.Code)), at);
        else
            PushKeys(key.Text, at);
        at += 0.01;
    }
    std::string text = start;
    auto has = [&](char flag) { return std::string(flags).find(flag) != std::string::npos; };
    bool accepted = EditLine(text, limit, 0, {has('m'), has('u'), has('n'), has('o'), has('b')});
    return {accepted, text};
}

std::string Row(int y)
{
    std::string row = ScreenRow(y);
    return row.substr(0, row.find_last_not_of(' ') + 1);
}

// Each case: keys then Enter for the text and the field's row; keys then
// Ctrl+C, whose "^C" shows where the cursor stood.
TEST(EditLineUtf8, Characters)
{
    struct Case {
        const char* Name;
        std::string Start;
        Keys Typed;
        int Limit;
        const char* Flags;
        std::string Text;
        std::string Shown;    // row 2 after Enter, from column 5
        std::string CtrlCAt;  // row 2 after Ctrl+C instead
    } cases[] = {
        {"Cyrillic typed", "", {De.c_str(), "a"}, 2047, "", De + "a", De + "a", De + "a^C"},
        {"CJK typed, Left over a wide character", "", {Zhong.c_str(), Wen.c_str(), Left}, 2047, "",
         Zhong + Wen, Zhong + Wen, Zhong + "^C"},
        {"Backspace removes a whole wide character", Zhong + Wen, {Left, Backspace}, 2047, "", Wen, Wen, "^C"},
        {"Del removes a letter with its mark", "a" + EAcute + "b", {Home, Right, Del}, 2047, "", "ab", "ab",
         "a^C"},
        {"a mark typed joins the letter before", "", {"e", "\xCC\x81", Left}, 2047, "", EAcute, EAcute, "^C"},
        {"emoji with a skin tone is one character", Thumb + "x", {Left, Left, Del}, 2047, "", "x", "x", "^C"},
        {"a family is one character", "a" + Family, {Backspace}, 2047, "", "a", "a", "a^C"},
        {"a flag is one character", Flag + "z", {Home, Del}, 2047, "", "z", "z", "^C"},
        {"Home, End and Ctrl+Left count characters", Zhong + " " + De + De, {Home, End, CtrlLeft}, 2047, "",
         Zhong + " " + De + De, Zhong + " " + De + De, Zhong + " ^C"},
        {"Ctrl+Home deletes characters before", Zhong + Wen + "ab", {Left, Left, CtrlHome}, 2047, "", "ab", "ab",
         "^C"},
        {"Ctrl+End deletes from the cursor", Zhong + Wen + "ab", {Home, Right, CtrlEnd}, 2047, "", Zhong, Zhong,
         Zhong + "^C"},
        {"overtype a wide character with a narrow one", Zhong + Wen, {Home, Ins, "x"}, 2047, "", "x" + Wen,
         "x" + Wen, "x^C"},
        {"Esc, then restore", Zhong + De, {Esc, "q", CtrlU}, 2047, "", Zhong + De, Zhong + De, Zhong + De + "^C"},
        {"the limit counts characters", "", {Zhong.c_str(), Wen.c_str(), De.c_str()}, 2, "", Zhong + Wen,
         Zhong + Wen, Zhong + Wen + "^C"},
        {"a mark still joins at the limit", "e", {"\xCC\x81"}, 1, "", EAcute, EAcute, EAcute + "^C"},
        {"masked: one star per character", "", {Zhong.c_str(), EAcute.c_str(), Thumb.c_str()}, 2047, "m",
         Zhong + EAcute + Thumb, "***", "***^C"},
        {"upper case maps every letter", "", {De.c_str(), "\xC3\xA9", "\xCE\xB1"}, 2047, "u",
         "\xD0\x94\xC3\x89\xCE\x91", "\xD0\x94\xC3\x89\xCE\x91", "\xD0\x94\xC3\x89\xCE\x91^C"},
        {"digits only: ASCII digits, no others", "", {"\xD9\xA3", "7", "\xEF\xBC\x91"}, 2047, "n", "7", "7",
         "7^C"},
        {"a start text that is a mark alone shows ?", "\xCC\x81", {}, 2047, "", "\xCC\x81", "?", "?^C"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        Keys keys = c.Typed;
        keys.push_back(Enter);
        Outcome done = RunEdit(c.Start, keys, c.Limit, c.Flags);
        EXPECT_TRUE(done.Accepted);
        EXPECT_EQ(done.Text, c.Text);
        EXPECT_EQ(Row(2), "    " + c.Shown);
        keys.back() = CtrlC;
        RunEdit(c.Start, keys, c.Limit, c.Flags);
        EXPECT_EQ(Row(2), "    " + c.CtrlCAt);
    }
}

// A wide character that does not fit in the last column starts the next
// row; the cell it leaves stays blank, also after the text moves on.
TEST(EditLineUtf8, WideCharacterAtTheRightEdge)
{
    // Field from column 5 of a 10-column screen: columns 5..10 hold
    // a b c d e, then the wide 中 does not fit in column 10.
    Outcome out = RunEdit("abcde" + Zhong + "f", {Enter}, 2047, "", 10, 5);
    EXPECT_EQ(out.Text, "abcde" + Zhong + "f");
    EXPECT_EQ(ScreenRow(2), "    abcde ");
    EXPECT_EQ(Row(3), Zhong + "f");

    // Left from f goes to 中 at column 1; Left again to e in column 9.
    RunEdit("abcde" + Zhong + "f", {Left, Left, CtrlC}, 2047, "", 10, 5);
    EXPECT_EQ(Row(3), "^Cf");
    RunEdit("abcde" + Zhong + "f", {Left, Left, Left, CtrlC}, 2047, "", 10, 5);
    EXPECT_EQ(ScreenRow(2), "    abcd^C");

    // Deleting a narrow character lets 中 come back into row 2, and the
    // blank cell is painted over; inserting one pushes it out again.
    RunEdit("abcde" + Zhong + "f", {Home, Del, Enter}, 2047, "", 10, 5);
    EXPECT_EQ(ScreenRow(2), "    bcde" + Zhong);
    EXPECT_EQ(Row(3), "f");
    RunEdit("abcd" + Zhong + "f", {Home, "x", Enter}, 2047, "", 10, 5);
    EXPECT_EQ(ScreenRow(2), "    xabcd ");
    EXPECT_EQ(Row(3), Zhong + "f");

    // A Thai character of two narrow parts is split by the row's end, as
    // terminals place its code points; Backspace before it joins it again.
    RunEdit("abcde" + Thai + "f", {Enter}, 2047, "", 10, 5);
    EXPECT_EQ(ScreenRow(2), "    abcde" + Thai);
    EXPECT_EQ(Row(3), "f");
    RunEdit("abcde" + Thai + "f", {Left, Left, Backspace, Enter}, 2047, "", 10, 5);
    EXPECT_EQ(ScreenRow(2), "    abcd" + Thai);
    EXPECT_EQ(Row(3), "f");
    RunEdit("abcde" + Thai + "f", {Left, CtrlC}, 2047, "", 10, 5);
    EXPECT_EQ(Row(3), "^C");
}

// The echo of a character typed at the end of a long field is that
// character's bytes, with no cursor move.
TEST(EditLineUtf8, TypingAtTheEndWritesOnlyTheCharacter)
{
    std::string start;
    for (int i = 0; i < 100; i++)
        start += Zhong;
    RunEdit(start, {Enter}, 2047, "", 80, 1);
    std::size_t bytes = OutputBytes.size();
    int moves = CursorMoves;
    RunEdit(start, {Wen.c_str(), Enter}, 2047, "", 80, 1);
    EXPECT_EQ(OutputBytes.size() - bytes, Wen.size());
    EXPECT_EQ(CursorMoves, moves);
}

}  // namespace
