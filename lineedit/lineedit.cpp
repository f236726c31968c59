// The one-line editor. The field starts at the cell where the caller left
// the cursor and wraps at the right edge. A character takes one cell, or
// on a UTF-8 terminal as many as the terminal draws it in; one whose wide
// first part would start in a row's last column starts the next row
// instead, and the editor blanks the cell it leaves, as a terminal does. Positions in the field are counted
// in cells from its first one; the editor follows the screen row of the
// field's first row as the screen scrolls. Between keys the console cursor
// stands on the first cell of the character at Cursor, and every change
// repaints from the first changed character to the end of the field in one
// write. A field longer than the screen shows the rows around the cursor.
#include <algorithm>
#include <string>
#include <vector>

#include "charset.h"
#include "console.h"
#include "countdown.h"
#include "lineedit.h"
#include "output.h"
#include "stopwatch.h"

namespace {

constexpr int MostCharacters = EditCapacity - 1;

// Key codes.
constexpr std::uint8_t KeyCtrlC = 3;
constexpr std::uint8_t KeyBackspace = 8;
constexpr std::uint8_t KeyLineFeed = 10;  // Ctrl+J
constexpr std::uint8_t KeyEnter = 13;
constexpr std::uint8_t KeyCtrlU = 21;
constexpr std::uint8_t KeyCtrlZ = 26;
constexpr std::uint8_t KeyEsc = 27;
constexpr std::uint8_t KeyDelete127 = 127;

// Extended key codes, after the 0.
constexpr std::uint8_t KeyHome = 71;
constexpr std::uint8_t KeyLeft = 75;
constexpr std::uint8_t KeyRight = 77;
constexpr std::uint8_t KeyEnd = 79;
constexpr std::uint8_t KeyIns = 82;
constexpr std::uint8_t KeyDel = 83;
constexpr std::uint8_t KeyCtrlLeft = 115;
constexpr std::uint8_t KeyCtrlRight = 116;
constexpr std::uint8_t KeyCtrlEnd = 117;
constexpr std::uint8_t KeyCtrlHome = 119;

using Chars = std::vector<std::string>;

// The state of the one edit that runs at a time.
struct EditorState {
    std::string Prompt;  // what the line showed before the field
    Chars Text;        // one entry per character
    Chars Initial;     // the prepared starting text, for restore
    int MaxLength;     // in characters
    int Cursor;        // 1-based; 1..n+1, n+1 being after the last character
    bool InsertMode;
    int StartColumn;   // the column of the field's first cell
    int TopY;          // the screen row of the field's first row (below 1: scrolled off)
    int CursorCell;    // the cell the console cursor stands on
    int ShownCells;    // cells the field occupies; never lowered during an edit
    bool Accepted;
    EditFlags Flags;
    bool (*Acceptable)(const std::string& c);
    bool (*Fits)(const std::string& text);  // the whole text after an edit
};
EditorState Edit;

bool TextFits(const std::string& text)
{
    return Edit.Fits == nullptr || Edit.Fits(text);
}

int TextLength()
{
    return static_cast<int>(Edit.Text.size());
}

std::string Joined(const Chars& chars)
{
    std::string text;
    for (const std::string& c : chars)
        text += c;
    return text;
}

bool IsDigit(const std::string& c)
{
    return c.size() == 1 && c[0] >= '0' && c[0] <= '9';
}

bool IsDelimiter(const std::string& c)
{
    return c == "\t" || c == " " || c == "/" || c == ";" || c == "\\";
}

// What the cells of a character show. A control character written as it
// stands would move the cursor (tab, line end) or start a terminal command,
// and a mark with nothing to combine with would take no cell of its own.
// A character that ends in a ZWJ (a sequence being typed) gets a zero-width
// space after it: some terminals (tmux) join whatever comes next into the
// ZWJ's cell, wherever the cursor has gone meanwhile.
std::string Shown(const std::string& c)
{
    if (Edit.Flags.MaskInput)
        return "*";
    if (CharWidth(c) == 0)
        return "?";
    constexpr std::string_view Zwj = "\xE2\x80\x8D";
    bool joins = c.size() > Zwj.size() && c.compare(c.size() - Zwj.size(), Zwj.size(), Zwj) == 0;
    return joins ? c + "\xE2\x80\x8B" : c;
}

int ShownWidth(const std::string& c)
{
    return Edit.Flags.MaskInput ? 1 : std::max(1, CharWidth(c));
}

// The cells of the part of a character that the terminal moves to the
// next row when it does not fit.
int ShownLead(const std::string& c)
{
    return Edit.Flags.MaskInput || CharWidth(c) < 2 ? 1 : LeadWidth(c);
}

// The column of a cell of the field.
int ColumnOf(int cell)
{
    return (Edit.StartColumn - 1 + cell) % ScreenWidth + 1;
}

// Blank cells before the character that starts at this cell: a wide first
// part (its lead) does not start in a row's last column.
int GapBefore(int cell, int lead)
{
    return lead > 1 && ColumnOf(cell) + lead - 1 > ScreenWidth ? ScreenWidth - ColumnOf(cell) + 1 : 0;
}

// Where the cells for position p begin, its gap included; p = n+1 gives
// the cell after the text.
int SlotStart(int p)
{
    int cell = 0;
    for (int i = 1; i < p && i <= TextLength(); i++) {
        const std::string& c = Edit.Text[i - 1];
        cell += GapBefore(cell, ShownLead(c)) + ShownWidth(c);
    }
    return cell;
}

// The first cell of the character at p (the cell after the text for n+1).
int CellOf(int p)
{
    int cell = SlotStart(p);
    return p <= TextLength() ? cell + GapBefore(cell, ShownLead(Edit.Text[p - 1])) : cell;
}

// The row of a cell, counted from the field's first row.
int RowOf(int cell)
{
    return (Edit.StartColumn - 1 + cell) / ScreenWidth;
}

// Text was written and the console cursor now stands on this cell: the
// screen row of the field's first row follows (it moves up as the screen
// scrolls).
void Wrote(int cell)
{
    Edit.CursorCell = cell;
    Edit.TopY = WhereY() - RowOf(cell);
}

// The last `cells` cells of the prompt, as they were shown.
std::string PromptTail(int cells)
{
    Chars prompt = SplitChars(Edit.Prompt);
    std::string tail;
    int width = 0;
    for (auto c = prompt.rbegin(); c != prompt.rend() && width < cells; ++c) {
        int w = std::max(1, CharWidth(*c));
        if (width + w > cells)
            break;
        tail.insert(0, CharWidth(*c) == 0 ? "?" : *c);
        width += w;
    }
    return std::string(cells - width, ' ') + tail;
}

// Shows the rows of a field longer than the screen from row `first` on,
// that one on the top row: the part around the cursor. The bottom-right
// cell is left as it is, since writing it would scroll the screen.
void ShowRows(int first)
{
    int begin = std::max(0, first) * ScreenWidth - (Edit.StartColumn - 1);
    int end = begin + ScreenWidth * ScreenHeight - 1;
    std::string cells = begin < 0 ? PromptTail(-begin) : "";
    int cell = 0;
    for (const std::string& c : Edit.Text) {
        int width = ShownWidth(c);
        for (int gap = GapBefore(cell, ShownLead(c)); gap > 0; gap--, cell++) {
            if (cell >= begin && cell < end)
                cells += ' ';
        }
        if (cell + width > end)
            break;
        if (cell >= begin)
            cells += Shown(c);
        cell += width;
    }
    for (; cell < end; cell++) {  // below the field the screen is blank
        if (cell >= begin)
            cells += ' ';
    }
    GotoXY(1, 1);
    WriteOut(cells);
    Wrote(std::max(cell, begin));
}

// Moves the console cursor to a cell of the field; one that is off the
// screen is first brought onto it.
void CursorToCell(int cell)
{
    int y = Edit.TopY + RowOf(cell);
    if (y < 1)
        ShowRows(RowOf(cell));
    else if (y > ScreenHeight)
        ShowRows(RowOf(cell) - (ScreenHeight - 1));
    y = Edit.TopY + RowOf(cell);
    int x = ColumnOf(cell);
    if (x != WhereX() || y != WhereY())
        GotoXY(x, y);
    Edit.CursorCell = cell;
}

// The cells of the characters from p on, gaps included, and where they end.
std::string CellsFrom(int p, int& endCell)
{
    std::string cells;
    int cell = SlotStart(p);
    for (int i = p; i <= TextLength(); i++) {
        const std::string& c = Edit.Text[i - 1];
        int width = ShownWidth(c);
        int gap = GapBefore(cell, ShownLead(c));
        cells.append(gap, ' ');
        cells += Shown(c);
        cell += gap + width;
    }
    endCell = cell;
    return cells;
}

// Repaints from the character at `from` to the end of the field, blanking
// cells that a longer earlier text occupied, and puts the cursor on the
// character at Cursor. Nothing before `from` may have changed.
void Redraw(int from)
{
    int start = SlotStart(from);
    if (start < Edit.ShownCells || from <= TextLength()) {
        CursorToCell(start);
        int end;
        std::string cells = CellsFrom(from, end);
        if (end < Edit.ShownCells)
            cells.append(Edit.ShownCells - end, ' ');
        Edit.ShownCells = std::max(Edit.ShownCells, end);
        WriteOut(cells);
        Wrote(Edit.ShownCells);
    }
    CursorToCell(CellOf(Edit.Cursor));
}

// Makes `text` the field's text, with the cursor on the character that
// holds byte `cursorByte` or begins there (characters may have joined or
// split), and repaints what changed.
void SetText(const std::string& text, std::size_t cursorByte)
{
    Chars old = std::move(Edit.Text);
    Edit.Text = SplitChars(text);
    int same = 0;
    while (same < TextLength() && same < static_cast<int>(old.size()) && old[same] == Edit.Text[same])
        same++;
    std::size_t byte = 0;
    Edit.Cursor = 1;
    while (Edit.Cursor <= TextLength() && byte < cursorByte)
        byte += Edit.Text[Edit.Cursor++ - 1].size();
    Redraw(same + 1);
}

std::size_t ByteOf(int p)
{
    std::size_t byte = 0;
    for (int i = 1; i < p; i++)
        byte += Edit.Text[i - 1].size();
    return byte;
}

// The moves stop at the ends of the text.
void MoveTo(int p)
{
    Edit.Cursor = std::max(1, std::min(p, TextLength() + 1));
    CursorToCell(CellOf(Edit.Cursor));
}

// Positions p are 1-based: the character at p is Text[p - 1], and the one
// at n + 1 is the end, which is no delimiter.
bool WordStartsAt(int p)
{
    return IsDelimiter(Edit.Text[p - 2]) && (p > TextLength() || !IsDelimiter(Edit.Text[p - 1]));
}

// To the first character of the word the cursor is in, or of the word
// before when it is already there; or to position 1.
void WordLeft()
{
    int p = Edit.Cursor;
    if (p > 1) {
        do
            p--;
        while (p > 1 && !WordStartsAt(p));
    }
    MoveTo(p);
}

// To the first character of the next word, or after the last character.
void WordRight()
{
    int n = TextLength();
    int p = Edit.Cursor;
    if (p <= n) {
        do
            p++;
        while (p < n + 1 && !WordStartsAt(p));
    }
    MoveTo(p);
}

// The text without the character at p (one that is there).
std::string WithoutChar(int p)
{
    std::string text = Joined(Edit.Text);
    return text.erase(ByteOf(p), Edit.Text[p - 1].size());
}

void DeleteAtCursor()
{
    if (Edit.Cursor > TextLength() || !TextFits(WithoutChar(Edit.Cursor)))
        return;
    SetText(WithoutChar(Edit.Cursor), ByteOf(Edit.Cursor));
}

void DeleteBeforeCursor()
{
    if (Edit.Cursor <= 1 || !TextFits(WithoutChar(Edit.Cursor - 1)))
        return;
    MoveTo(Edit.Cursor - 1);
    DeleteAtCursor();
}

void ClearLine()
{
    if (TextLength() == 0)
        return;  // the cells are blank already
    MoveTo(1);
    SetText("", 0);
}

void DeleteToStart()
{
    if (Edit.Cursor <= 1)
        return;
    std::string rest = Joined(Edit.Text).substr(ByteOf(Edit.Cursor));
    if (!TextFits(rest))
        return;
    MoveTo(1);
    Edit.Text.clear();  // every character moves: repaint from the first
    SetText(rest, 0);
}

void DeleteToEnd()
{
    std::string kept = Joined(Edit.Text).substr(0, ByteOf(Edit.Cursor));
    if (Edit.Cursor > TextLength() || !TextFits(kept))
        return;
    SetText(kept, ByteOf(Edit.Cursor));
}

// Deletes the characters from position `from` to the one before `to`,
// leaving the cursor at `from`.
void DeleteSpan(int from, int to)
{
    if (from >= to)
        return;
    std::string text = Joined(Edit.Text);
    std::size_t at = ByteOf(from);
    text.erase(at, ByteOf(to) - at);
    if (!TextFits(text))
        return;  // nothing goes
    MoveTo(from);
    SetText(text, at);
}

// The word before the cursor goes, up to where WordLeft would move; the
// word after it up to where WordRight would.
void DeleteWordLeft()
{
    int end = Edit.Cursor;
    WordLeft();
    DeleteSpan(Edit.Cursor, end);
}

void DeleteWordRight()
{
    int start = Edit.Cursor;
    WordRight();
    DeleteSpan(start, Edit.Cursor);
}

// Brings back the prepared starting text, repainted from the first
// character that differs.
void RestoreText()
{
    std::string initial = Joined(Edit.Initial);
    SetText(initial, Edit.Flags.CursorAtStart ? 0 : initial.size());
}

void TypeChar(const std::string& typed)
{
    TypingRules rules{Edit.Flags, Edit.MaxLength, Edit.Acceptable, Edit.Fits};
    rules.Flags.Overtype = !Edit.InsertMode;
    std::string text = Joined(Edit.Text);
    std::size_t at = ByteOf(Edit.Cursor);
    std::size_t end = at;
    if (!TypeInto(text, end, typed, rules))
        return;
    std::string c = text.substr(at, end - at);
    Chars split = SplitChars(text);
    if (!Edit.Flags.MaskInput)
        LearnWidths(text);  // c may have joined the character before it

    // The usual case, a new character at the cursor with all before it
    // unchanged: echo it, then repaint what follows.
    int cursor = Edit.Cursor;
    if (cursor <= static_cast<int>(split.size()) && split[cursor - 1] == c &&
        std::equal(Edit.Text.begin(), Edit.Text.begin() + (cursor - 1), split.begin())) {
        Edit.Text = std::move(split);
        int slot = SlotStart(cursor);
        CursorToCell(slot);
        WriteOut(std::string(GapBefore(slot, ShownLead(c)), ' ') + Shown(c));
        Wrote(SlotStart(cursor + 1));
        Edit.ShownCells = std::max(Edit.ShownCells, Edit.CursorCell);
        Edit.Cursor = cursor + 1;
        Redraw(cursor + 1);
        return;
    }
    SetText(text, at + c.size());
}

// "^C" covers the two cells at the cursor; the line ends after the text or
// after the "^C", whichever is further on.
void AbortEdit()
{
    WriteOut("^C");
    Wrote(Edit.CursorCell + 2);
    if (Edit.CursorCell < SlotStart(TextLength() + 1))
        CursorToCell(SlotStart(TextLength() + 1));
    Edit.Text.clear();
    Edit.Accepted = false;
    WriteLine();
}

void FinishEdit()
{
    MoveTo(TextLength() + 1);
    WriteLine();
}

// The screen changed under the field (a resize, a stop): the cursor stands
// at the start of a fresh line. Show the prompt and the field again there,
// with the cursor on its character.
void ShowAgain()
{
    std::size_t cursorByte = ByteOf(Edit.Cursor);
    std::string text = Joined(Edit.Text);
    WriteOut(Edit.Prompt);
    Edit.StartColumn = WhereX();
    Edit.TopY = WhereY();
    Edit.CursorCell = 0;
    Edit.ShownCells = 0;
    Edit.Text.clear();
    SetText(text, cursorByte);
}

void PlainKey(std::uint8_t key)
{
    switch (key) {
    case KeyBackspace: DeleteBeforeCursor(); break;
    case KeyCtrlU:
    case KeyCtrlZ: RestoreText(); break;
    case KeyEsc: ClearLine(); break;
    default:
        if (key >= 32 && key != KeyDelete127)
            TypeChar(ReadKeyText(key));
        break;  // other control keys do nothing
    }
}

void ExtendedKey(std::uint8_t key)
{
    switch (key) {
    case KeyHome: MoveTo(1); break;
    case KeyLeft: MoveTo(Edit.Cursor - 1); break;
    case KeyRight: MoveTo(Edit.Cursor + 1); break;
    case KeyEnd: MoveTo(TextLength() + 1); break;
    case KeyIns: Edit.InsertMode = !Edit.InsertMode; break;
    case KeyDel: DeleteAtCursor(); break;
    case KeyCtrlLeft: WordLeft(); break;
    case KeyCtrlRight: WordRight(); break;
    case KeyCtrlEnd: DeleteToEnd(); break;
    case KeyCtrlHome: DeleteToStart(); break;
    case KeyDeleteWordLeft: DeleteWordLeft(); break;
    case KeyDeleteWordRight: DeleteWordRight(); break;
    case KeyScreenChanged:
        if (TakeScreenChange())
            ShowAgain();
        break;
    default: break;
    }
}

// Below 1 nothing may be typed; a negative limit would cut the text before
// its start.
int ClampedLength(std::int32_t maxLength)
{
    return maxLength > MostCharacters ? MostCharacters : maxLength < 0 ? 0 : maxLength;
}

}  // namespace

bool TypeInto(std::string& text, std::size_t& at, std::string c, const TypingRules& rules)
{
    if (c.empty() || (rules.Flags.NumericOnly && !IsDigit(c)))
        return false;
    if (rules.Flags.UpperCase)
        c = UpperCaseText(c);
    if (rules.Acceptable != nullptr && !rules.Acceptable(c))
        return false;
    std::string typed = text;
    if (!rules.Flags.Overtype || at >= text.size())
        typed.insert(at, c);
    else
        typed.replace(at, CharLength(std::string_view(text).substr(at)), c);
    if (static_cast<int>(CharCount(typed)) > ClampedLength(rules.MaxLength) ||
        (rules.Fits != nullptr && !rules.Fits(typed)))
        return false;
    text = std::move(typed);
    at += c.size();
    return true;
}

std::string PreparedText(const std::string& start, std::int32_t maxLength, const EditFlags& flags)
{
    std::string text = start;
    bool digits = std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
    if (flags.MaskInput || (flags.NumericOnly && !digits))
        text.clear();
    if (flags.UpperCase)
        text = UpperCaseText(text);
    return FirstChars(text, ClampedLength(maxLength));
}

bool EditLine(std::string& Text, std::int32_t MaxLength, std::int32_t TimeoutSeconds,
              const EditFlags& Flags, bool (*Acceptable)(const std::string& c),
              bool (*Fits)(const std::string& text))
{
    Edit.MaxLength = ClampedLength(MaxLength);
    Edit.Flags = Flags;
    Edit.Acceptable = Acceptable;
    Edit.Fits = Fits;
    Edit.Accepted = true;
    Edit.InsertMode = !Flags.Overtype;
    Edit.Prompt = LineSoFar();
    Edit.StartColumn = WhereX();
    Edit.TopY = WhereY();
    Edit.CursorCell = 0;
    Edit.ShownCells = 0;

    Edit.Initial = SplitChars(PreparedText(Text, MaxLength, Flags));
    Edit.Text.clear();
    std::string initial = Joined(Edit.Initial);
    if (!Flags.MaskInput)
        LearnWidths(initial);
    SetText(initial, Flags.CursorAtStart ? 0 : initial.size());

    // The count-down goes one cell right of the cell after the text.
    Countdown countdown{"", [](int& x, int& y) {
        int end = SlotStart(TextLength() + 1);
        x = ColumnOf(end);
        y = Edit.TopY + RowOf(end);
    }};
    if (TimeRunsOut(TimeoutSeconds, ShowAgain, Flags.ShowCountdown ? &countdown : nullptr)) {
        FinishEdit();
    } else {
        // Once a key has come there is no time limit any more.
        for (;;) {
            std::uint8_t key = ReadKey();
            if (key == 0) {
                ExtendedKey(ReadKey());
            } else if ((key == KeyEnter || key == KeyLineFeed) && KeysBehind()) {
                // A line break with more of its burst behind it is a paste
                // going on, not the user's Enter: the text so far stays
                // typed, and the rest is never left for the next reader.
                DropKeysBehind();
            } else if (key == KeyEnter || (key == KeyLineFeed && LineFeedIsEnter())) {
                FinishEdit();
                break;
            } else if (key == KeyCtrlC) {
                DropKeysBehind();
                AbortEdit();
                break;
            } else {
                PlainKey(key);
            }
        }
    }
    Text = Joined(Edit.Text);
    return Edit.Accepted;
}
