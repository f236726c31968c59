// Placeholder system console for Windows: standard output only.
#include <windows.h>

#include <string>

#include "console.h"

int ScreenWidth = 80;
int ScreenHeight = 25;

namespace {
HANDLE StdOut = GetStdHandle(STD_OUTPUT_HANDLE);
}

void ConsoleOpen() {}
bool HaveConsole() { return false; }
int WhereX() { return 1; }
int WhereY() { return 1; }
void GotoXY(int, int) {}
int InputEventCount() { return 0; }
bool ReadInputEvent(ConsoleEvent&) { return false; }
void WaitForInput(int milliseconds) { Sleep(milliseconds); }

void WriteOut(std::string_view text)
{
    DWORD written = 0;
    if (!text.empty() && (!WriteFile(StdOut, text.data(), static_cast<DWORD>(text.size()), &written, nullptr) ||
                          written != text.size()))
        RuntimeError(DiskWriteError);
}

void ExitProgram(int code) { ExitProcess(code); }

void RuntimeError(int code)
{
    std::string line = "Runtime error " + std::to_string(code) + "\r\n";
    DWORD written;
    WriteFile(StdOut, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
    ExitProcess(code);
}

UtcTime ReadUtcTime()
{
    SYSTEMTIME now;
    GetSystemTime(&now);
    return {now.wHour, now.wMinute, now.wSecond, now.wMilliseconds};
}
