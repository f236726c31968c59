// Placeholder system console for POSIX: standard output only.
#include <cerrno>
#include <cstdlib>
#include <ctime>
#include <string>
#include <unistd.h>

#include "console.h"

int ScreenWidth = 80;
int ScreenHeight = 25;

void ConsoleOpen() {}
bool HaveConsole() { return false; }
int WhereX() { return 1; }
int WhereY() { return 1; }
void GotoXY(int, int) {}
int InputEventCount() { return 0; }
bool ReadInputEvent(ConsoleEvent&) { return false; }
void WaitForInput(int milliseconds) { usleep(milliseconds * 1000); }

void WriteOut(std::string_view text)
{
    while (!text.empty()) {
        ssize_t n = write(1, text.data(), text.size());
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            RuntimeError(DiskWriteError);
        text.remove_prefix(n);
    }
}

void ExitProgram(int code) { _exit(code); }

void RuntimeError(int code)
{
    std::string line = "Runtime error " + std::to_string(code) + "\r\n";
    (void)!write(1, line.data(), line.size());
    _exit(code);
}

UtcTime ReadUtcTime()
{
    timespec now;
    clock_gettime(CLOCK_REALTIME, &now);
    std::tm utc;
    gmtime_r(&now.tv_sec, &utc);
    return {utc.tm_hour, utc.tm_min, utc.tm_sec, static_cast<int>(now.tv_nsec / 1000000)};
}
