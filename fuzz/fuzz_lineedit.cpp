// The line editor on the virtual screen, fed any starting text, options
// and key codes. After every key, as seen by ending the edit right there
// with Enter and, in a second run, with Ctrl+C: the text keeps within its
// limit and the options, the screen shows exactly the text (or asterisks)
// followed by blanks, and the cursor stands within 1..n+1. On a UTF-8
// console the text stays valid UTF-8 when it started so, the cells show its
// characters in order, and the cursor stands on a character boundary.
#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "fuzz_check.h"
#include "charset.h"
#include "lineedit.h"
#include "virtual_console.h"

namespace {

// A key: a plain code, or 0x100 + an extended key's code.
constexpr int Extended = 0x100;
constexpr int MostKeys = 32;

struct Setup {
    std::string Start;
    std::int32_t MaxLength;
    bool Mask, Upper, Numeric, Overtype, AtStart;
    bool Utf8;
    int Width, Column;
};

struct Run {
    bool Accepted;
    std::string Text;
    std::string Cells;  // from the field's first cell to the end of the screen
    int X, Y;           // the cursor afterwards
};

int Limit(const Setup& setup)
{
    return std::clamp(setup.MaxLength, 0, EditCapacity - 1);
}

Run Edit(const Setup& setup, const std::vector<int>& keys, int timeout)
{
    // Room for every cell the field and a "^C" may take, and the line end.
    int cells = setup.Column - 1 + std::max<int>(setup.Start.size(), Limit(setup)) + 3;
    int height = cells / setup.Width + 2;
    VirtualConsoleReset(setup.Width, height, setup.Column, 1);
    VirtualConsoleSetPresent(false);  // out of keys: Ctrl+C, not a wait for ever
    VirtualConsoleSetUtf8(setup.Utf8);
    double at = 0;  // typed one at a time, not pasted
    for (int key : keys) {
        if (key >= Extended)
            PushExtended(static_cast<std::uint8_t>(key - Extended), at);
        else
            PushKeys(std::string(1, static_cast<char>(key)), at);
        at += 0.01;
    }

    Run run;
    run.Text = setup.Start;
    EditFlags flags = {setup.Mask, setup.Upper, setup.Numeric, setup.Overtype, setup.AtStart};
    run.Accepted = EditLine(run.Text, setup.MaxLength, timeout, flags);
    for (int y = 1; y <= height; y++)
        run.Cells += ScreenRow(y).substr(y == 1 ? setup.Column - 1 : 0);
    run.X = WhereX();
    run.Y = WhereY();
    return run;
}

char Shown(const Setup& setup, char c)
{
    unsigned char byte = c;
    if (setup.Mask)
        return '*';
    return byte < 32 || byte == 127 ? '?' : c;
}

// An edit ended by Enter: the text obeys the options, the screen shows it
// and blanks after it, and the cursor begins the next line.
void CheckAccepted(const Setup& setup, const Run& run)
{
    FUZZ_CHECK(run.Accepted);
    for (char c : run.Text) {
        FUZZ_CHECK(!(setup.Upper && c >= 'a' && c <= 'z'));
        FUZZ_CHECK(!(setup.Numeric && (c < '0' || c > '9')));
    }
    if (setup.Utf8) {
        FUZZ_CHECK(static_cast<int>(CharCount(run.Text)) <= Limit(setup));
        FUZZ_CHECK(!IsValidUtf8(setup.Start) || IsValidUtf8(run.Text));
        // Blanks aside (gaps before wide characters, spaces typed), the
        // cells show the characters in order.
        // A character ending in a ZWJ is followed by a zero-width space.
        std::string shown, cells;
        for (const std::string& c : SplitChars(run.Text)) {
            bool joins = c.size() > 3 && c.compare(c.size() - 3, 3, "\xE2\x80\x8D") == 0;
            shown += setup.Mask ? "*" : CharWidth(c) == 0 ? "?" : joins ? c + "\xE2\x80\x8B" : c;
        }
        shown.erase(std::remove(shown.begin(), shown.end(), ' '), shown.end());
        for (char c : run.Cells) {
            if (c != ' ')
                cells += c;
        }
        FUZZ_CHECK(cells == shown);
        FUZZ_CHECK(run.X == 1);
        return;
    }
    FUZZ_CHECK(static_cast<int>(run.Text.size()) <= Limit(setup));
    for (std::size_t i = 0; i < run.Cells.size(); i++)
        FUZZ_CHECK(run.Cells[i] == (i < run.Text.size() ? Shown(setup, run.Text[i]) : ' '));
    int after = setup.Column - 1 + static_cast<int>(run.Text.size());  // 0-based cell after the text
    FUZZ_CHECK(run.X == 1 && run.Y == after / setup.Width + 2);
}

// Ctrl+Home deletes what lies before the cursor: what is left is the end
// of the text, cut at a character boundary.
void CheckCursorOnBoundary(const Run& accepted, const Run& rest)
{
    std::vector<std::string> whole = SplitChars(accepted.Text), tail = SplitChars(rest.Text);
    FUZZ_CHECK(tail.size() <= whole.size());
    FUZZ_CHECK(std::equal(tail.begin(), tail.end(), whole.end() - tail.size()));
}

// The same keys ended by Ctrl+C: nothing accepted, and "^C" written over
// the two cells at the cursor, which stood within 1..n+1.
void CheckAborted(const Run& accepted, const Run& aborted)
{
    FUZZ_CHECK(!aborted.Accepted && aborted.Text.empty());
    std::size_t first = 0;
    while (first < aborted.Cells.size() && aborted.Cells[first] == accepted.Cells[first])
        first++;
    if (first == aborted.Cells.size())
        return;  // "^C" landed on a "^C" already there: nothing to see
    std::size_t at = aborted.Cells[first] == '^' ? first : first - 1;
    FUZZ_CHECK(aborted.Cells.compare(at, 2, "^C") == 0);
    for (std::size_t i = 0; i < aborted.Cells.size(); i++)
        FUZZ_CHECK(i == at || i == at + 1 || aborted.Cells[i] == accepted.Cells[i]);
    FUZZ_CHECK(at <= accepted.Text.size());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    FuzzedDataProvider input(data, size);
    Setup setup;
    setup.Mask = input.ConsumeBool();
    setup.Upper = input.ConsumeBool();
    setup.Numeric = input.ConsumeBool();
    setup.Overtype = input.ConsumeBool();
    setup.AtStart = input.ConsumeBool();
    setup.Utf8 = input.ConsumeBool();
    setup.MaxLength = input.ConsumeBool() ? input.ConsumeIntegralInRange(-3, 40)
                                          : input.ConsumeIntegralInRange(-3, 2100);
    setup.Width = input.ConsumeIntegralInRange(1, 100);
    setup.Column = input.ConsumeIntegralInRange(1, setup.Width);
    setup.Start = input.ConsumeRandomLengthString(2100);
    setup.Start = setup.Start.c_str();  // the caller's text ends at its NUL

    // Enter and Ctrl+C end the edit: they come only at the end.
    std::vector<int> keys;
    while (input.remaining_bytes() > 0 && keys.size() < MostKeys) {
        int key = input.ConsumeIntegral<std::uint8_t>();
        if (key == 0)
            key = Extended + input.ConsumeIntegral<std::uint8_t>();
        // An extended key whose code is 0 comes as that 0 alone, and the
        // editor takes the next key as its code: keys of their own only.
        if (key != 3 && key != 13 && key != Extended)
            keys.push_back(key);
    }

    Run first;
    for (std::size_t n = 0; n <= keys.size(); n++) {
        std::vector<int> some(keys.begin(), keys.begin() + n);
        some.push_back(13);
        Run accepted = Edit(setup, some, 0);
        CheckAccepted(setup, accepted);
        some.back() = 3;
        Run aborted = Edit(setup, some, 0);
        if (setup.Utf8) {
            FUZZ_CHECK(!aborted.Accepted && aborted.Text.empty());
            some.back() = Extended + 119;  // Ctrl+Home
            some.push_back(13);
            CheckCursorOnBoundary(accepted, Edit(setup, some, 0));
        } else {
            CheckAborted(accepted, aborted);
        }
        if (n == 0)
            first = accepted;
    }

    // No key before the time-out: the prepared text, as Enter gives it.
    Run timedOut = Edit(setup, {}, 1);
    FUZZ_CHECK(timedOut.Accepted && timedOut.Text == first.Text && timedOut.Cells == first.Cells);
    return 0;
}
