#include "screenmodel_posix.h"

#include <algorithm>

#include "charset.h"

namespace {

// Where the model stands in an escape sequence: such bytes take no cell.
enum EscapeState { NoEscape, AfterEsc, InCsi, InString, StringEsc, InCharsetSelect };

bool Printing(unsigned char c)
{
    return c >= 0x20 && c != 0x7F;
}

void NextRow(ScreenModel& screen)
{
    if (screen.Y < screen.Height)
        screen.Y++;  // at the bottom the screen scrolls instead
}

void FollowEscape(ScreenModel& screen, unsigned char c)
{
    switch (screen.Escape) {
    case AfterEsc:
        if (c == '[')
            screen.Escape = InCsi;
        else if (c == ']' || c == 'P' || c == 'X' || c == '^' || c == '_')
            screen.Escape = InString;
        else if (c >= 0x20 && c <= 0x2F)
            screen.Escape = InCharsetSelect;
        else if (c != 0x1B)
            screen.Escape = NoEscape;
        break;
    case InCsi:
        if (c == 0x1B)
            screen.Escape = AfterEsc;
        else if (c >= 0x40 && c <= 0x7E)
            screen.Escape = NoEscape;
        break;
    case InString:
        if (c == 0x07)
            screen.Escape = NoEscape;
        else if (c == 0x1B)
            screen.Escape = StringEsc;
        break;
    case StringEsc:
        screen.Escape = NoEscape;
        break;
    case InCharsetSelect:
        if (c >= 0x30 && c <= 0x7E)
            screen.Escape = NoEscape;
        break;
    }
}

// Text only: the row is left for a new one, as the terminal's line feed does.
void NewRow(ScreenModel& screen, std::string& out)
{
    out += "\r\n";
    screen.X = 1;
    screen.Row.clear();
    NextRow(screen);
}

// The character that starts in a column of the row; a blank past its end.
std::string_view CellAt(const ScreenModel& screen, int column)
{
    return column - 1 < static_cast<int>(screen.Row.size()) ? std::string_view(screen.Row[column - 1]) : " ";
}

// Text only: a character placed in the row, on a new row where it does not fit.
void DumbPut(ScreenModel& screen, std::string_view character, int width, std::string& out)
{
    std::vector<std::string>& row = screen.Row;
    if (width == 0) {
        // A mark joins the character before it.
        int column = std::min<int>(screen.X - 1, static_cast<int>(row.size()));
        while (column > 1 && row[column - 1].empty())
            column--;
        if (column >= 1)
            row[column - 1] += character;
        out += character;
        return;
    }
    if (screen.X + width - 1 > screen.Width)
        NewRow(screen, out);
    out += character;
    int at = screen.X - 1;
    if (static_cast<int>(row.size()) < at + width)
        row.resize(at + width, " ");
    // A wide character partly covered is blanked whole.
    int start = at;
    while (start > 0 && row[start].empty())
        start--;
    for (int i = start; i < at; i++)
        row[i] = " ";
    for (int i = at + width; i < static_cast<int>(row.size()) && row[i].empty(); i++)
        row[i] = " ";
    row[at] = character;
    for (int i = 1; i < width; i++)
        row[at + i].clear();
    screen.X += width;
    if (screen.X > screen.Width)
        NewRow(screen, out);
}

}  // namespace

std::string ScreenWrite(ScreenModel& screen, std::string_view text, bool textOnly)
{
    std::string out;
    out.reserve(text.size() + 2);
    for (std::size_t i = 0; i < text.size();) {
        unsigned char c = text[i];
        if (screen.Escape != NoEscape || !Printing(c)) {
            out += static_cast<char>(c);
            i++;
        }
        if (screen.Escape != NoEscape) {
            FollowEscape(screen, c);
            continue;
        }
        if (Printing(c) && textOnly) {
            std::size_t length = CharLength(text.substr(i));
            DumbPut(screen, text.substr(i, length), CharWidth(text.substr(i, length)), out);
            i += length;
            continue;
        }
        if (Printing(c)) {
            std::size_t length = CharLength(text.substr(i));
            int width = CharWidth(text.substr(i, length));
            out.append(text.substr(i, length));
            i += length;
            if (width == 0)
                continue;  // a mark joins the cell before it
            if (screen.X + LeadWidth(text.substr(i - length, length)) - 1 > screen.Width) {
                // A wide character does not start in the last column: the
                // terminal moves it to the next row by itself.
                screen.X = 1;
                NextRow(screen);
            }
            screen.X += width;
            if (screen.X <= screen.Width)
                continue;
            if (screen.X > screen.Width + 1) {
                // Placed code point by code point, its rest went on to the
                // next row.
                screen.X -= screen.Width;
                NextRow(screen);
                continue;
            }
            // The terminal holds the cursor in the last column until another
            // character comes; otherwise move it on ourselves.
            if (i == text.size() || !Printing(text[i]))
                out += "\r\n";
            screen.X = 1;
            NextRow(screen);
            continue;
        }
        switch (c) {
        case '\r':
            screen.X = 1;
            break;
        case '\n':
            screen.Row.clear();
            NextRow(screen);
            if (screen.LineFeedReturns)
                screen.X = 1;
            break;
        case '\v':
        case '\f':
            NextRow(screen);
            break;
        case '\b':
            if (screen.X > 1)
                screen.X--;
            break;
        case '\t':
            screen.X = std::min(screen.Width, (screen.X - 1) / 8 * 8 + 9);
            break;
        case 0x1B:
            screen.Escape = AfterEsc;
            break;
        }
    }
    return out;
}

void ScreenMoveTo(ScreenModel& screen, int x, int y)
{
    screen.X = x;
    screen.Y = y;
}

std::string DumbMoveTo(ScreenModel& screen, int x)
{
    auto text = [&screen](int from, int to) {
        std::string cells;
        for (int column = from; column < to; column++)
            cells += CellAt(screen, column);
        return cells;
    };
    std::string out;
    bool narrow = x < screen.X;  // every character in between one cell wide
    for (int column = x + 1; narrow && column <= screen.X; column++)
        narrow = !CellAt(screen, column).empty();
    std::string again = "\r" + text(1, x);
    if (x > screen.X && !CellAt(screen, screen.X).empty())
        out = text(screen.X, x);
    else if (narrow && screen.X - x <= static_cast<int>(again.size()))
        out.assign(screen.X - x, '\b');
    else if (x != screen.X)
        out = again;
    screen.X = x;
    return out;
}
