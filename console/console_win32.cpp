// The Windows console: the console's own input and screen buffers, opened
// by name so that redirected standard handles do not matter. Text output
// goes to the standard output the process was started with.
#include "console_win32.h"

#include <cstdlib>
#include <string>

#include "backend.h"
#include "clock.h"
#include "console.h"
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
};
ConsoleState Console;

// Taken before ConsoleOpen points the standard handles at the console, so
// that output follows a redirection of standard output.
HANDLE InheritedOut = GetStdHandle(STD_OUTPUT_HANDLE);

bool CanWrite()
{
    return InheritedOut != nullptr && InheritedOut != INVALID_HANDLE_VALUE;
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
void AskCursorPosition()
{
}

// One byte is one cell: nothing to learn.
void LearnWidths(std::string_view)
{
}

bool ScreenChanged()
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

int InputEventCount()
{
    DWORD count = 0;
    if (!GetNumberOfConsoleInputEvents(Console.In, &count))
        return 0;
    return static_cast<int>(count);
}

// Blocks while nothing is pending: the key loop asks InputEventCount first.
bool ReadInputEvent(ConsoleEvent& event)
{
    INPUT_RECORD record;
    DWORD read = 0;
    if (!ReadConsoleInputA(Console.In, &record, 1, &read) || read == 0)
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
    event.Char = static_cast<std::uint8_t>(key.uChar.AsciiChar);
    event.ControlKeyState = key.dwControlKeyState;
    return true;
}

void WaitForInput(int milliseconds)
{
    // Without a console the wait would return at once; sleep instead.
    if (HaveConsole())
        WaitForSingleObject(Console.In, milliseconds);
    else
        Sleep(milliseconds);
}

void WriteOut(std::string_view text)
{
    NoteLine(text);
    if (text.empty() || !CanWrite())
        return;
    DWORD written = 0;
    if (!WriteFile(InheritedOut, text.data(), static_cast<DWORD>(text.size()), &written, nullptr)) {
        // A process started without standard output still does its job.
        if (GetLastError() == ERROR_INVALID_HANDLE) {
            InheritedOut = INVALID_HANDLE_VALUE;
            return;
        }
        RuntimeError(DiskWriteError);
    }
    if (written != text.size())
        RuntimeError(DiskWriteError);
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
    if (CanWrite()) {
        std::string line = "Runtime error " + std::to_string(code) + "\r\n";
        DWORD written;
        WriteFile(InheritedOut, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
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
