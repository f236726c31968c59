#include "virtual_console.h"

#include <algorithm>
#include <deque>
#include <vector>

#include "charset.h"
#include "keys.h"

int ScreenWidth = 80;
int ScreenHeight = 25;

std::string OutputBytes;
int OutputWrites = 0;
std::string ResultBytes;
bool DialogueOnTerminal = false;
int CursorMoves = 0;
std::vector<std::string> CellWrites;
double WaitedSeconds = 0;
int WaitCalls = 0;

namespace {

struct TimedEvent {
    double At;
    ConsoleEvent Event;
};

// A row is its cells; a cell holds the character shown there, or nothing
// when a wide character to its left covers it.
using Row = std::vector<std::string>;

struct VirtualScreen {
    std::vector<Row> Rows;
    int X = 1, Y = 1;
    // The last character written filled the last column and the cursor went
    // on to the next row: a zero-width character still joins it, as on a
    // terminal, which holds the wrap until the next character that takes a
    // cell.
    bool Wrapped = false;
    bool Present = true;
    bool LineFeedIsEnter = false;
    double Clock = 0;
    std::deque<TimedEvent> Input;
};
VirtualScreen Screen;

void NewLine()
{
    if (Screen.Y < ScreenHeight) {
        Screen.Y++;
    } else {
        Screen.Rows.erase(Screen.Rows.begin());
        Screen.Rows.push_back(Row(ScreenWidth, " "));
    }
}

bool EventReady()
{
    return !Screen.Input.empty() && Screen.Input.front().At <= Screen.Clock;
}

}  // namespace

void VirtualConsoleReset(int width, int height, int x, int y, double clockSeconds)
{
    ScreenWidth = width;
    ScreenHeight = height;
    Screen = VirtualScreen();
    Screen.Rows.assign(height, Row(width, " "));
    Screen.X = x;
    Screen.Y = y;
    Screen.Clock = clockSeconds;
    OutputBytes.clear();
    OutputWrites = 0;
    ResultBytes.clear();
    DialogueOnTerminal = false;
    CursorMoves = 0;
    CellWrites.clear();
    WaitedSeconds = 0;
    WaitCalls = 0;
    ResetKeyState();
    SetLocaleIsUtf8(false);
}

void VirtualConsoleSetUtf8(bool utf8)
{
    SetLocaleIsUtf8(utf8);
}

void VirtualConsoleSetPresent(bool present)
{
    Screen.Present = present;
}

void VirtualConsoleSetLineFeedIsEnter(bool enter)
{
    Screen.LineFeedIsEnter = enter;
}

bool LineFeedIsEnter()
{
    return Screen.LineFeedIsEnter;
}

void PushEvent(const ConsoleEvent& event, double atSeconds)
{
    Screen.Input.push_back({Screen.Clock + atSeconds, event});
}

namespace {

// One event per character: a code point where the console speaks UTF-8
// (bytes that are no UTF-8 one each), else a character of the code page;
// each `gap` seconds after the one before.
void PushCharacters(std::string_view characters, double atSeconds, double gap)
{
    while (!characters.empty()) {
        std::size_t length = 1;
        char32_t code;
        if (!LocaleIsUtf8())
            length = CharLength(characters);
        else if (DecodeUtf8(characters, code, length) != Utf8Status::Valid)
            length = 1;
        ConsoleEvent event;
        event.VirtualKey = characters[0] == 13 ? 0x0D : 0x41;
        event.Text = characters.substr(0, length);
        if (event.Text == std::string(1, '\0'))
            event.Text.clear();
        characters.remove_prefix(length);
        PushEvent(event, atSeconds);
        atSeconds += gap;
    }
}

}  // namespace

void PushKeys(std::string_view characters, double atSeconds)
{
    PushCharacters(characters, atSeconds, 0);
}

void PushTyped(std::string_view characters, double atSeconds)
{
    PushCharacters(characters, atSeconds, 0.01);
}

void PushExtended(std::uint8_t code, double atSeconds)
{
    ConsoleEvent event;
    event.VirtualKey = 0x25;
    event.ScanCode = code;
    PushEvent(event, atSeconds);
}

int QueuedEvents()
{
    return static_cast<int>(Screen.Input.size());
}

std::string ScreenRow(int y)
{
    std::string text;
    for (const std::string& cell : Screen.Rows.at(y - 1))
        text += cell;
    return text;
}

std::string ScreenCell(int x, int y)
{
    return Screen.Rows.at(y - 1).at(x - 1);
}

double VirtualClock()
{
    return Screen.Clock;
}

void ConsoleOpen()
{
}

bool HaveConsole()
{
    return Screen.Present;
}

// The console buffer knows the cursor and keeps its text through a resize.
void WantCursorPosition()
{
}

// A screen buffer draws every character as its width says.
void LearnWidths(std::string_view)
{
}

bool TakeScreenChange()
{
    return false;
}

bool ScreenChangePending()
{
    return false;
}

int WhereX()
{
    return Screen.X;
}

int WhereY()
{
    return Screen.Y;
}

void GotoXY(int x, int y)
{
    if (x < 1 || x > ScreenWidth || y < 1 || y > ScreenHeight)
        return;
    Screen.X = x;
    Screen.Y = y;
    Screen.Wrapped = false;
    CursorMoves++;
}

bool WriteCellsAt(int x, int y, std::string_view text)
{
    if (!Screen.Present || !CellsFit(x, y, text))
        return false;
    CellWrites.push_back(std::to_string(x) + "," + std::to_string(y) + ":" + std::string(text));
    Row& row = Screen.Rows[y - 1];
    for (const std::string& c : SplitChars(text)) {
        row[x - 1] = c;
        for (int i = 1; i < CharWidth(c); i++)
            row[x - 1 + i] = "";
        x += CharWidth(c);
    }
    return true;
}

int InputEventCount()
{
    int count = 0;
    for (const TimedEvent& timed : Screen.Input) {
        if (timed.At > Screen.Clock)
            break;
        count++;
    }
    return count;
}

bool ReadInputEvent(ConsoleEvent& event)
{
    if (!EventReady())
        return false;
    event = Screen.Input.front().Event;
    Screen.Input.pop_front();
    return true;
}

// As on both real consoles, whatever is ready behind the events taken
// came with them.
bool KeyPressWaiting()
{
    for (const TimedEvent& timed : Screen.Input) {
        if (timed.At > Screen.Clock)
            break;
        if (timed.Event.IsKey && timed.Event.KeyDown && !IsModifierKey(timed.Event.VirtualKey & 0xFF))
            return true;
    }
    return false;
}

void DropWaitingInput()
{
    while (EventReady())
        Screen.Input.pop_front();
}

void DropPastes()
{
}

WaitResult WaitForInput(int milliseconds)
{
    WaitCalls++;
    if (EventReady())
        return WaitResult::Input;
    // A program waiting a whole day for keys that were never scripted is a
    // test that would hang: end it instead.
    if (Screen.Input.empty() && WaitedSeconds > 86400)
        throw ProgramExit{StalledExitCode};
    double until = Screen.Clock + milliseconds / 1000.0;
    if (!Screen.Input.empty() && Screen.Input.front().At < until)
        until = Screen.Input.front().At;  // exactly, so that the key is then ready
    WaitedSeconds += until - Screen.Clock;
    Screen.Clock = until;
    return EventReady() ? WaitResult::Input : WaitResult::TimeUp;
}

// The screen behaves as a Windows screen buffer: writing the last column
// moves the cursor to column 1 of the next row, scrolling at the bottom.
// A wide character does not start in the last column, as on a terminal.
void WriteOut(std::string_view text)
{
    NoteLine(text);
    OutputBytes.append(text);
    OutputWrites++;
    while (!text.empty()) {
        // A control character is one byte (CR LF would be one character).
        unsigned char first = text[0];
        std::size_t length = first < 0x20 ? 1 : CharLength(text);
        std::string c(text.substr(0, length));
        text.remove_prefix(length);
        bool wrapped = Screen.Wrapped;
        Screen.Wrapped = false;
        if (c == "\r") {
            Screen.X = 1;
            continue;
        }
        if (c == "\n") {
            NewLine();
            continue;
        }
        int width = CharWidth(c);
        if (width == 0 && first >= 0x20 && first != 0x7F && (Screen.X > 1 || wrapped)) {
            // A mark joins the cell before it.
            if (Screen.X > 1)
                Screen.Rows[Screen.Y - 1][Screen.X - 2] += c;
            else
                Screen.Rows[Screen.Y - 2][ScreenWidth - 1] += c;
            Screen.Wrapped = wrapped;
            continue;
        }
        width = std::max(width, 1);  // a control character takes a cell here
        int lead = width > 1 ? LeadWidth(c) : width;
        if (Screen.X + lead - 1 > ScreenWidth) {
            Screen.Rows[Screen.Y - 1][Screen.X - 1] = " ";
            Screen.X = 1;
            NewLine();
        }
        // The character's first cell holds it, the others nothing; cells
        // past its lead go on to the next row as a terminal places them.
        // (A screen one column wide holds only a wide character's first half.)
        for (int i = 0; i < width; i++) {
            if (i > 0 && i >= lead && Screen.X > ScreenWidth) {
                Screen.X = 1;
                NewLine();
            }
            if (Screen.X <= ScreenWidth)
                Screen.Rows[Screen.Y - 1][Screen.X - 1] = i == 0 ? c : "";
            Screen.X++;
        }
        if (Screen.X > ScreenWidth) {
            Screen.X = 1;
            NewLine();
            Screen.Wrapped = Screen.Y > 1;
        }
    }
}

std::string_view LineEnd()
{
    return "\r\n";
}

// The screen stands for the terminal: the dialogue stays there.
void DialogueToTerminal()
{
    DialogueOnTerminal = true;
}

void WriteResultLine(std::string_view text)
{
    ResultBytes.append(text);
    ResultBytes += "\r\n";
}

void ExitProgram(int code)
{
    throw ProgramExit{code};
}

// The screen stands for the terminal, where standard error shows too.
void WriteMessage(std::string_view text)
{
    WriteLine(text);
}

void RuntimeError(int code)
{
    WriteMessage("Runtime error " + std::to_string(code));
    throw ProgramExit{code};
}

UtcTime ReadUtcTime()
{
    long long ms = static_cast<long long>(Screen.Clock * 1000.0 + 0.5) % 86400000LL;
    UtcTime time;
    time.Hour = static_cast<int>(ms / 3600000);
    time.Minute = static_cast<int>(ms / 60000 % 60);
    time.Second = static_cast<int>(ms / 1000 % 60);
    time.Millisecond = static_cast<int>(ms % 1000);
    return time;
}
