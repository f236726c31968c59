// The Windows console: the console's own input and screen buffers, opened
// by name so that redirected standard handles do not matter. Text output
// goes to the standard output the process was started with, or to the
// screen buffer when standard output carries a result.
#include "console_win32.h"

#include <cstdlib>
#include <string>
#include <vector>

#include "backend.h"
#include "charset.h"
#include "charset_win32.h"
#include "clock.h"
#include "console.h"
#include "keys.h"
#include "output.h"

// 80 x 25 stands when there is no screen buffer to ask.
int ScreenWidth = 80;
int ScreenHeight = 25;

namespace {

struct ConsoleState {
    HANDLE In = INVALID_HANDLE_VALUE;
    HANDLE Out = INVALID_HANDLE_VALUE;
    CONSOLE_SCREEN_BUFFER_INFO Info = {};
    DWORD InputMode = 0;
    bool InputModeRead = false;
    wchar_t HighSurrogate = 0;  // the first half of a character still to come
};
ConsoleState Console;

// Taken before ConsoleOpen points the standard handles at the console, so
// that output follows a redirection of standard output.
HANDLE InheritedOut = GetStdHandle(STD_OUTPUT_HANDLE);

// Where the dialogue goes: standard output, or the screen buffer.
HANDLE* DialogueOut = &InheritedOut;

bool CanWrite(HANDLE out)
{
    return out != nullptr && out != INVALID_HANDLE_VALUE;
}

// The console is shared with the command interpreter and the rest of the
// batch file: give back the input mode found at start, or Ctrl+C would stay
// a plain key for the commands that follow.
void RestoreInputMode()
{
    if (Console.InputModeRead)
        SetConsoleMode(Console.In, Console.InputMode);
}

HANDLE OpenConsoleBuffer(const char* name)
{
    return CreateFileA(name, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                       OPEN_EXISTING, 0, nullptr);
}

}  // namespace

BOOL WINAPI ConsoleCtrlHandler(DWORD controlType)
{
    // Ctrl+Break is swallowed; everything else goes on to the next handler.
    return controlType == CTRL_BREAK_EVENT ? TRUE : FALSE;
}

void ConsoleOpen()
{
    Console.In = OpenConsoleBuffer("CONIN$");
    Console.Out = OpenConsoleBuffer("CONOUT$");
    SetStdHandle(STD_INPUT_HANDLE, Console.In);
    SetStdHandle(STD_OUTPUT_HANDLE, Console.Out);
    SetConsoleCtrlHandler(ConsoleCtrlHandler, TRUE);

    // Ctrl+C must reach the key loops as the key code 3.
    Console.InputModeRead = GetConsoleMode(Console.In, &Console.InputMode) != 0;
    SetConsoleMode(Console.In, Console.InputMode & ~static_cast<DWORD>(ENABLE_PROCESSED_INPUT));
    if (Console.InputModeRead)
        std::atexit(RestoreInputMode);  // a return from main ends here too

    if (GetConsoleScreenBufferInfo(Console.Out, &Console.Info)) {
        ScreenWidth = Console.Info.dwSize.X;
        ScreenHeight = Console.Info.dwSize.Y;
    }
}

bool HaveConsole()
{
    return Console.In != INVALID_HANDLE_VALUE;
}

// The console buffer knows the cursor and keeps its text through a resize.
void WantCursorPosition()
{
}

// One byte is one cell: nothing to learn.
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
    GetConsoleScreenBufferInfo(Console.Out, &Console.Info);
    return Console.Info.dwCursorPosition.X + 1;
}

int WhereY()
{
    GetConsoleScreenBufferInfo(Console.Out, &Console.Info);
    return Console.Info.dwCursorPosition.Y + 1;
}

void GotoXY(int x, int y)
{
    if (x < 1 || x > ScreenWidth || y < 1 || y > ScreenHeight)
        return;
    COORD place = {static_cast<SHORT>(x - 1), static_cast<SHORT>(y - 1)};
    SetConsoleCursorPosition(Console.Out, place);
}

// Straight into the screen buffer, which moves no cursor and scrolls
// nothing; a file or pipe is no screen buffer.
bool WriteCellsAt(int x, int y, std::string_view text)
{
    DWORD mode;
    if (!CellsFit(x, y, text) || !CanWrite(*DialogueOut) || !GetConsoleMode(*DialogueOut, &mode))
        return false;
    COORD place = {static_cast<SHORT>(x - 1), static_cast<SHORT>(y - 1)};
    DWORD written = 0;
    if (LocaleIsUtf8()) {
        std::wstring wide = WideFromUtf8(text);
        return WriteConsoleOutputCharacterW(*DialogueOut, wide.data(), static_cast<DWORD>(wide.size()), place,
                                            &written) != 0;
    }
    return WriteConsoleOutputCharacterA(*DialogueOut, text.data(), static_cast<DWORD>(text.size()), place,
                                        &written) != 0;
}

int InputEventCount()
{
    DWORD count = 0;
    if (!GetNumberOfConsoleInputEvents(Console.In, &count))
        return 0;
    return static_cast<int>(count);
}

namespace {

bool IsHighSurrogate(wchar_t c)
{
    return c >= 0xD800 && c <= 0xDBFF;
}

bool IsLowSurrogate(wchar_t c)
{
    return c >= 0xDC00 && c <= 0xDFFF;
}

// The character of a key as UTF-8; a surrogate pair comes as two key
// presses and becomes one character with the second. False for the first
// half, which is no key of its own.
bool KeyText(const KEY_EVENT_RECORD& key, std::string& text)
{
    wchar_t c = key.uChar.UnicodeChar;
    if (!key.bKeyDown) {
        // Only a release of Alt carries a character: Alt+keypad's.
        if (c != 0 && !IsHighSurrogate(c) && !IsLowSurrogate(c))
            text = Utf8FromWide(std::wstring_view(&c, 1));
        return true;
    }
    if (IsHighSurrogate(c)) {
        Console.HighSurrogate = c;
        return false;
    }
    wchar_t high = Console.HighSurrogate;
    Console.HighSurrogate = 0;
    if (IsLowSurrogate(c)) {
        if (high == 0)
            return false;
        const wchar_t pair[2] = {high, c};
        text = Utf8FromWide(std::wstring_view(pair, 2));
    } else if (c != 0) {
        text = Utf8FromWide(std::wstring_view(&c, 1));
    }
    return true;
}

}  // namespace

// Blocks while nothing is pending: the key loop asks InputEventCount first.
// The NT family reads keys as UTF-16, Windows 9x in the console's code page.
bool ReadInputEvent(ConsoleEvent& event)
{
    INPUT_RECORD record;
    DWORD read = 0;
    bool unicode = LocaleIsUtf8();
    if (!(unicode ? ReadConsoleInputW(Console.In, &record, 1, &read) : ReadConsoleInputA(Console.In, &record, 1, &read)) ||
        read == 0)
        return false;
    event = ConsoleEvent();
    if (record.EventType != KEY_EVENT) {
        event.IsKey = false;
        return true;
    }
    const KEY_EVENT_RECORD& key = record.Event.KeyEvent;
    event.KeyDown = key.bKeyDown != 0;
    event.RepeatCount = key.wRepeatCount;
    event.VirtualKey = key.wVirtualKeyCode;
    event.ScanCode = key.wVirtualScanCode;
    event.ControlKeyState = key.dwControlKeyState;
    if (!unicode) {
        if (key.uChar.AsciiChar != 0)
            event.Text.assign(1, key.uChar.AsciiChar);
    } else if (!KeyText(key, event.Text)) {
        event.IsKey = false;
    }
    return true;
}

// A console takes a paste, or what another program writes, into its input
// whole: the events waiting behind the key read came with it.
bool KeyPressWaiting()
{
    DWORD count = 0;
    if (!GetNumberOfConsoleInputEvents(Console.In, &count) || count == 0)
        return false;
    std::vector<INPUT_RECORD> records(count);
    DWORD read = 0;
    if (!PeekConsoleInputA(Console.In, records.data(), count, &read))
        return false;
    for (DWORD i = 0; i < read; i++) {
        const INPUT_RECORD& record = records[i];
        if (record.EventType == KEY_EVENT && record.Event.KeyEvent.bKeyDown &&
            !IsModifierKey(record.Event.KeyEvent.wVirtualKeyCode & 0xFF))
            return true;
    }
    return false;
}

void DropWaitingInput()
{
    FlushConsoleInputBuffer(Console.In);
    Console.HighSurrogate = 0;
}

namespace {

// The NT family's text reaches a console as UTF-16; a file or pipe gets it
// in the console's code page.
bool WriteText(HANDLE out, std::string_view text, DWORD& written, DWORD& expected)
{
    if (LocaleIsUtf8()) {
        DWORD mode;
        if (GetConsoleMode(out, &mode)) {
            std::wstring wide = WideFromUtf8(text);
            expected = static_cast<DWORD>(wide.size());
            return WriteConsoleW(out, wide.data(), expected, &written, nullptr) != 0;
        }
        bool lossless;
        std::string bytes = OutputCodePageText(text, lossless);
        expected = static_cast<DWORD>(bytes.size());
        return WriteFile(out, bytes.data(), expected, &written, nullptr) != 0;
    }
    expected = static_cast<DWORD>(text.size());
    return WriteFile(out, text.data(), expected, &written, nullptr) != 0;
}

}  // namespace

WaitResult WaitForInput(int milliseconds)
{
    // Without a console the wait would return at once; sleep instead.
    if (!HaveConsole()) {
        Sleep(milliseconds);
        return WaitResult::TimeUp;
    }
    return WaitForSingleObject(Console.In, milliseconds) == WAIT_OBJECT_0 ? WaitResult::Input : WaitResult::TimeUp;
}

void DropPastes()
{
}

bool LineFeedIsEnter()
{
    return false;
}

std::string_view LineEnd()
{
    return "\r\n";
}

void DialogueToTerminal()
{
    DialogueOut = &Console.Out;
}

void WriteOut(std::string_view text)
{
    NoteLine(text);
    if (text.empty() || !CanWrite(*DialogueOut))
        return;
    DWORD written = 0;
    DWORD expected = 0;
    if (!WriteText(*DialogueOut, text, written, expected)) {
        // A process started without standard output still does its job.
        if (GetLastError() == ERROR_INVALID_HANDLE) {
            *DialogueOut = INVALID_HANDLE_VALUE;
            return;
        }
        RuntimeError(DiskWriteError);
    }
    if (written != expected)
        RuntimeError(DiskWriteError);
}

void WriteResultLine(std::string_view text)
{
    std::string line(text);
    line += "\r\n";
    DWORD written = 0;
    // Without standard output the value is lost: a failed write.
    if (!CanWrite(InheritedOut) ||
        !WriteFile(InheritedOut, line.data(), static_cast<DWORD>(line.size()), &written, nullptr) ||
        written != line.size())
        RuntimeError(DiskWriteError);
}

// Batch files have always found the messages on standard output.
void WriteMessage(std::string_view text)
{
    WriteLine(text);
}

void ExitProgram(int code)
{
    RestoreInputMode();
    ExitProcess(code);
}

// Writes without checking, so that a failing standard output cannot bring
// us back here.
void RuntimeError(int code)
{
    if (CanWrite(*DialogueOut)) {
        std::string line = "Runtime error " + std::to_string(code) + "\r\n";
        DWORD written;
        WriteFile(*DialogueOut, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
    }
    RestoreInputMode();
    ExitProcess(code);
}

UtcTime ReadUtcTime()
{
    SYSTEMTIME now;
    GetSystemTime(&now);
    return {now.wHour, now.wMinute, now.wSecond, now.wMilliseconds};
}
