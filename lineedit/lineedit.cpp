// The one-line editor. The field starts at the cell where the caller left
// the cursor and wraps at the right edge; text position i is the i-th cell
// from there. Between keys the console cursor stands on the cell of Cursor,
// and every change repaints from the cursor to the end of the field in one
// write, so nothing needs to know where the field starts.
#include <cstring>
#include <string>

#include "console.h"
#include "output.h"
#include "letters.h"
#include "lineedit.h"
#include "stopwatch.h"

namespace {

constexpr int MostCharacters = EditCapacity - 1;

// Key codes.
constexpr std::uint8_t KeyCtrlC = 3;
constexpr std::uint8_t KeyBackspace = 8;
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

// The state of the one edit that runs at a time.
struct EditorState {
    char EditText[EditCapacity];
    char InitialText[EditCapacity];  // the prepared starting text, for restore
    int MaxLength;
    int Cursor;       // 1-based; 1..n+1, n+1 being after the last character
    bool InsertMode;
    int ShownLength;  // cells the field occupies; never lowered during an edit
    bool Accepted;
    bool MaskInput, UpperCase, NumericOnly, CursorAtStart;
};
EditorState Edit;

int TextLength()
{
    return static_cast<int>(std::strlen(Edit.EditText));
}

bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

bool IsDelimiter(char c)
{
    return c == '\t' || c == ' ' || c == '/' || c == ';' || c == '\\';
}

// What the cell of a character shows. A control character written as it
// stands would move the cursor (tab, line end) or start a terminal command,
// and the field would no longer be one cell per character.
char ShownChar(char c)
{
    unsigned char byte = static_cast<unsigned char>(c);
    if (Edit.MaskInput)
        return '*';
    if (byte < 32 || byte == 127)
        return '?';
    return c;
}

// The screen moves: cell by cell, wrapping between rows, then one GotoXY.
void CursorBack(int k)
{
    if (k <= 0)
        return;
    int x = WhereX(), y = WhereY();
    for (int i = 0; i < k; i++) {
        if (x > 1) {
            x--;
        } else if (y > 1) {
            x = ScreenWidth;
            y--;
        }
    }
    GotoXY(x, y);
}

void CursorForward(int k)
{
    if (k <= 0)
        return;
    int x = WhereX(), y = WhereY();
    for (int i = 0; i < k; i++) {
        if (x < ScreenWidth) {
            x++;
        } else if (y < ScreenHeight) {
            x = 1;
            y++;
        }
    }
    GotoXY(x, y);
}

// Repaints from Cursor to the end of the field, blanking cells that a longer
// earlier text occupied, and brings the cursor back.
void Redraw()
{
    int from = Edit.Cursor - 1;
    if (from >= Edit.ShownLength)
        return;
    int n = TextLength();
    std::string cells(Edit.ShownLength - from, ' ');
    for (int i = from; i < n; i++)
        cells[i - from] = ShownChar(Edit.EditText[i]);
    WriteOut(cells);
    CursorBack(static_cast<int>(cells.size()));
}

// The moves stop at the ends of the text.
void MoveLeft(int k)
{
    if (k > Edit.Cursor - 1)
        k = Edit.Cursor - 1;
    if (k <= 0)
        return;
    CursorBack(k);
    Edit.Cursor -= k;
}

void MoveRight(int k)
{
    int room = TextLength() + 1 - Edit.Cursor;
    if (k > room)
        k = room;
    if (k <= 0)
        return;
    CursorForward(k);
    Edit.Cursor += k;
}

void MoveHome()
{
    MoveLeft(Edit.Cursor - 1);
}

void MoveEnd()
{
    MoveRight(TextLength() + 1 - Edit.Cursor);
}

// Positions p are 1-based: the character at p is EditText[p - 1], and the
// one at n + 1 is the terminator, which is no delimiter.
bool WordStartsAt(int p)
{
    return IsDelimiter(Edit.EditText[p - 2]) && !IsDelimiter(Edit.EditText[p - 1]);
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
    MoveLeft(Edit.Cursor - p);
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
    MoveRight(p - Edit.Cursor);
}

void DeleteAtCursor()
{
    if (Edit.Cursor > TextLength())
        return;
    StrDeleteAt(Edit.EditText, Edit.Cursor - 1, 1);
    Redraw();
}

void DeleteBeforeCursor()
{
    if (Edit.Cursor <= 1)
        return;
    MoveLeft(1);
    DeleteAtCursor();
}

void ClearLine()
{
    if (TextLength() == 0)
        return;  // the cells are blank already
    MoveHome();
    Edit.EditText[0] = 0;
    Redraw();
}

void DeleteToStart()
{
    if (Edit.Cursor <= 1)
        return;
    StrDeleteAt(Edit.EditText, 0, Edit.Cursor - 1);
    MoveHome();
    Redraw();
}

void DeleteToEnd()
{
    if (Edit.Cursor > TextLength())
        return;
    StrTruncate(Edit.EditText, Edit.Cursor - 1);
    Redraw();
}

// Brings back the prepared starting text. One repaint from position 1
// covers both the old text and the restored one.
void RestoreText()
{
    MoveHome();
    std::strcpy(Edit.EditText, Edit.InitialText);
    Redraw();
    if (!Edit.CursorAtStart)
        MoveEnd();
}

void TypeChar(char ch)
{
    int n = TextLength();
    if (Edit.InsertMode ? n >= Edit.MaxLength : Edit.Cursor > Edit.MaxLength)
        return;
    if (Edit.UpperCase)
        ch = UpperCaseChar(ch);
    if (Edit.NumericOnly && !IsDigit(ch))
        return;

    if (Edit.InsertMode) {
        char one[2] = {ch, 0};
        StrInsertAt(one, Edit.EditText, Edit.Cursor - 1);
    } else {
        Edit.EditText[Edit.Cursor - 1] = ch;
        if (Edit.Cursor == n + 1)
            Edit.EditText[n + 1] = 0;
    }
    WriteOut(std::string(1, ShownChar(ch)));
    Edit.Cursor++;
    if (TextLength() > Edit.ShownLength)
        Edit.ShownLength = TextLength();
    Redraw();
}

// "^C" covers the two cells at the cursor; the line ends after the text or
// after the "^C", whichever is further on.
void AbortEdit()
{
    WriteOut("^C");
    Edit.Cursor += 2;
    MoveEnd();
    Edit.EditText[0] = 0;
    Edit.Accepted = false;
    WriteLine();
}

void FinishEdit()
{
    MoveEnd();
    WriteLine();
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
            TypeChar(static_cast<char>(key));
        break;  // other control keys do nothing
    }
}

void ExtendedKey(std::uint8_t key)
{
    switch (key) {
    case KeyHome: MoveHome(); break;
    case KeyLeft: MoveLeft(1); break;
    case KeyRight: MoveRight(1); break;
    case KeyEnd: MoveEnd(); break;
    case KeyIns: Edit.InsertMode = !Edit.InsertMode; break;
    case KeyDel: DeleteAtCursor(); break;
    case KeyCtrlLeft: WordLeft(); break;
    case KeyCtrlRight: WordRight(); break;
    case KeyCtrlEnd: DeleteToEnd(); break;
    case KeyCtrlHome: DeleteToStart(); break;
    default: break;
    }
}

// The starting text as the options allow it, changed in the caller's buffer.
void PrepareText(char* Buffer)
{
    if (Edit.MaskInput)
        Buffer[0] = 0;
    if (Edit.NumericOnly) {
        for (const char* c = Buffer; *c != 0; c++) {
            if (!IsDigit(*c)) {
                Buffer[0] = 0;
                break;
            }
        }
    }
    if (Edit.UpperCase) {
        for (char* c = Buffer; *c != 0; c++)
            *c = UpperCaseChar(*c);
    }
    StrTruncate(Buffer, Edit.MaxLength);
}

}  // namespace

bool EditLine(char* Buffer, std::int32_t MaxLength, std::int32_t TimeoutSeconds, bool MaskInput,
              bool UpperCase, bool NumericOnly, bool Overtype, bool CursorAtStart)
{
    // Below 1 nothing may be typed; a negative limit would cut the text
    // before its start.
    Edit.MaxLength = MaxLength > MostCharacters ? MostCharacters : MaxLength < 0 ? 0 : MaxLength;
    Edit.MaskInput = MaskInput;
    Edit.UpperCase = UpperCase;
    Edit.NumericOnly = NumericOnly;
    Edit.CursorAtStart = CursorAtStart;
    Edit.Accepted = true;
    Edit.InsertMode = !Overtype;
    Edit.Cursor = 1;

    PrepareText(Buffer);
    std::strcpy(Edit.EditText, Buffer);
    std::strcpy(Edit.InitialText, Buffer);
    Edit.ShownLength = TextLength();
    Redraw();
    if (!CursorAtStart)
        MoveEnd();

    bool timedOut = false;
    if (TimeoutSeconds > 0) {
        Stopwatch watch;
        StopwatchInit(watch, static_cast<float>(TimeoutSeconds));
        StopwatchStart(watch);
        timedOut = WaitTimedOut(watch);
    }

    if (timedOut) {
        FinishEdit();
    } else {
        // Once a key has come there is no time limit any more.
        for (;;) {
            std::uint8_t key = ReadKey();
            if (key == 0) {
                ExtendedKey(ReadKey());
            } else if (key == KeyEnter) {
                FinishEdit();
                break;
            } else if (key == KeyCtrlC) {
                AbortEdit();
                break;
            } else {
                PlainKey(key);
            }
        }
    }
    std::strcpy(Buffer, Edit.EditText);
    return Edit.Accepted;
}
