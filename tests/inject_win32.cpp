// Test-only: puts exact key events into the console input buffer and runs a
// program on the same console, for the keys a terminal cannot deliver
// (Escape with its character, Ctrl+C as a key, enhanced keypad keys,
// Alt+keypad digits).
//
//   inject EVENT... -- PROGRAM [ARGUMENT...]
//
// EVENT is d,VK,SCAN,CHAR,STATE for a key press, u,... for a release (the
// numbers in hex), or f for a focus event. The events are written once the
// program has changed the console's input mode (it is then reading keys)
// and moved the cursor (a prompt is out), or after some seconds. When the program ends, a line tells whether the input
// mode is back as it was, and the program's exit code becomes ours.
// Exit codes of our own: 124 the program did not end within 10 seconds,
// 125 no console or a bad command line.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

namespace {

[[noreturn]] void Fail(const char* message)
{
    std::printf("inject: %s\n", message);
    std::fflush(stdout);
    ExitProcess(125);
}

bool ParseEvent(const char* text, INPUT_RECORD& record)
{
    std::memset(&record, 0, sizeof record);
    if (std::strcmp(text, "f") == 0) {
        record.EventType = FOCUS_EVENT;
        record.Event.FocusEvent.bSetFocus = TRUE;
        return true;
    }
    unsigned vk, scan, ch, state;
    char kind;
    if (std::sscanf(text, "%c,%x,%x,%x,%x", &kind, &vk, &scan, &ch, &state) != 5 || (kind != 'd' && kind != 'u'))
        return false;
    record.EventType = KEY_EVENT;
    KEY_EVENT_RECORD& key = record.Event.KeyEvent;
    key.bKeyDown = kind == 'd';
    key.wRepeatCount = 1;
    key.wVirtualKeyCode = static_cast<WORD>(vk);
    key.wVirtualScanCode = static_cast<WORD>(scan);
    key.uChar.AsciiChar = static_cast<CHAR>(ch);
    key.dwControlKeyState = state;
    return true;
}

std::string Quoted(const char* word)
{
    std::string text = word;
    return text.find(' ') == std::string::npos && !text.empty() ? text : "\"" + text + "\"";
}

void MakeInheritable(DWORD which)
{
    SetHandleInformation(GetStdHandle(which), HANDLE_FLAG_INHERIT, HANDLE_FLAG_INHERIT);
}

std::pair<int, int> CursorAt(HANDLE screen)
{
    CONSOLE_SCREEN_BUFFER_INFO info;
    if (!GetConsoleScreenBufferInfo(screen, &info))
        return {-1, -1};
    return {info.dwCursorPosition.X, info.dwCursorPosition.Y};
}

}  // namespace

int main(int argc, char** argv)
{
    std::vector<INPUT_RECORD> events;
    int arg = 1;
    for (; arg < argc && std::strcmp(argv[arg], "--") != 0; arg++) {
        INPUT_RECORD record;
        if (!ParseEvent(argv[arg], record))
            Fail("bad event");
        events.push_back(record);
    }
    if (arg + 1 >= argc)
        Fail("no program after --");
    std::string commandLine;
    for (arg++; arg < argc; arg++)
        commandLine += (commandLine.empty() ? "" : " ") + Quoted(argv[arg]);

    HANDLE input = CreateFileA("CONIN$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                               nullptr, OPEN_EXISTING, 0, nullptr);
    DWORD modeBefore = 0;
    if (input == INVALID_HANDLE_VALUE || !GetConsoleMode(input, &modeBefore))
        Fail("no console");

    HANDLE screen = CreateFileA("CONOUT$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                nullptr, OPEN_EXISTING, 0, nullptr);
    std::pair<int, int> cursorBefore = CursorAt(screen);

    // The program writes where we write, also when that is a file.
    MakeInheritable(STD_INPUT_HANDLE);
    MakeInheritable(STD_OUTPUT_HANDLE);
    MakeInheritable(STD_ERROR_HANDLE);
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    startup.hStdOutput = GetStdHandle(STD_OUTPUT_HANDLE);
    startup.hStdError = GetStdHandle(STD_ERROR_HANDLE);
    PROCESS_INFORMATION process;
    std::fflush(stdout);
    if (!CreateProcessA(nullptr, &commandLine[0], nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &process))
        Fail("cannot start the program");

    DWORD mode = modeBefore;
    for (int i = 0; i < 500 && mode == modeBefore; i++) {
        if (WaitForSingleObject(process.hProcess, 10) == WAIT_OBJECT_0)
            break;
        GetConsoleMode(input, &mode);
    }
    // pickit drops keys typed ahead of its prompt: the events go once the
    // prompt is out (the cursor has moved), or after a while for a program
    // that shows nothing first.
    for (int i = 0; i < 200 && CursorAt(screen) == cursorBefore; i++) {
        if (WaitForSingleObject(process.hProcess, 10) == WAIT_OBJECT_0)
            break;
    }
    DWORD written = 0;
    if (!events.empty())
        WriteConsoleInputA(input, events.data(), static_cast<DWORD>(events.size()), &written);

    if (WaitForSingleObject(process.hProcess, 10000) != WAIT_OBJECT_0) {
        TerminateProcess(process.hProcess, 124);
        std::printf("inject: the program did not end\n");
        return 124;
    }
    DWORD exitCode = 0;
    GetExitCodeProcess(process.hProcess, &exitCode);
    DWORD modeAfter = 0;
    GetConsoleMode(input, &modeAfter);
    if (modeAfter == modeBefore)
        std::printf("input mode restored\n");
    else
        std::printf("input mode %lx, was %lx\n", static_cast<unsigned long>(modeAfter),
                    static_cast<unsigned long>(modeBefore));
    std::fflush(stdout);
    return static_cast<int>(exitCode);
}
