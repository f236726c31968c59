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

}  // namespace

std::string ScreenWrite(ScreenModel& screen, std::string_view text)
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
