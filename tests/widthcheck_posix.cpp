// Holds a terminal's own widths against the program's: writes characters
// one to a row, each after the emoji widths were learnt as the editor
// learns them, asks where the cursor landed and prints one line per
// character to the file named: its bytes in hex, the terminal's width and
// the program's. Exits with 1 when any differ (tests/e2e/widths.sh).
//
// Sent besides the console's own: ESC [ 6 n, answered ESC [ row ; col R,
// on a second descriptor of the terminal, read here.
#include <cstdio>
#include <string>

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include "charset.h"
#include "console.h"
#include "output.h"

namespace {

// Thai, Lao, Devanagari, Bengali, Tamil, Hangul, CJK, a combining mark;
// two of each kind of emoji sequence: the first teaches, the second checks.
const char* const Characters[] = {
    "\xE0\xB8\x99\xE0\xB9\x89\xE0\xB8\xB3", "\xE0\xBA\x99\xE0\xBB\x89\xE0\xBA\xB3",
    "\xE0\xA4\xB9\xE0\xA4\xBF", "\xE0\xA4\xA8\xE0\xA5\x8D", "\xE0\xA6\x95\xE0\xA6\xBF",
    "\xE0\xAE\x95\xE0\xAF\x88", "\xED\x95\x9C", "\xE1\x84\x92\xE1\x85\xA1\xE1\x86\xAB",
    "\xE4\xB8\xAD", "e\xCC\x81",
    "\xE2\x9D\xA4\xEF\xB8\x8F", "\xE2\x98\xBA\xEF\xB8\x8F",
    "1\xEF\xB8\x8F\xE2\x83\xA3", "#\xEF\xB8\x8F\xE2\x83\xA3",
    "\xF0\x9F\x91\x8D\xF0\x9F\x8F\xBD", "\xF0\x9F\x91\x8B\xF0\x9F\x8F\xBF",
    "\xF0\x9F\x91\xA8\xE2\x80\x8D\xF0\x9F\x91\xA9\xE2\x80\x8D\xF0\x9F\x91\xA7",
    "\xF0\x9F\x8F\xB3\xEF\xB8\x8F\xE2\x80\x8D\xF0\x9F\x8C\x88",
    "\xF0\x9F\x87\xA9\xF0\x9F\x87\xAA", "\xF0\x9F\x87\xAB\xF0\x9F\x87\xB7",
};

// The column the terminal reports for its cursor; 0 without an answer.
int ReportedColumn(int tty)
{
    if (write(tty, "\x1b[6n", 4) != 4)
        return 0;
    std::string answer;
    pollfd p{tty, POLLIN, 0};
    char c;
    while (answer.size() < 32 && poll(&p, 1, 2000) > 0 && read(tty, &c, 1) == 1) {
        answer += c;
        if (c == 'R')
            break;
    }
    int row, column;
    std::size_t at = answer.find("\x1b[");
    return at != std::string::npos && std::sscanf(answer.c_str() + at + 2, "%d;%dR", &row, &column) == 2 ? column
                                                                                                          : 0;
}

// The character's bytes in hex, for the report.
std::string Hex(std::string_view text)
{
    std::string hex;
    for (unsigned char c : text)
        hex += "0123456789ABCDEF"[c >> 4] + std::string(1, "0123456789ABCDEF"[c & 15]);
    return hex;
}

}  // namespace

// The file is written under another name and renamed when complete.
int main(int argc, char** argv)
{
    ConsoleOpen();
    int tty = open("/dev/tty", O_RDWR | O_CLOEXEC);
    std::string name = argc > 1 ? argv[1] : "", part = name + ".part";
    FILE* out = std::fopen(part.c_str(), "w");
    if (tty < 0 || name.empty() || !out)
        return 2;
    WhereX();  // the console asks where the cursor is
    int differ = 0;
    for (const char* c : Characters) {
        WriteOut("\r");
        LearnWidths(c);
        WriteOut(c);
        int terminal = ReportedColumn(tty) - 1;
        std::fprintf(out, "%s %d %d\n", Hex(c).c_str(), terminal, CharWidth(c));
        differ += terminal != CharWidth(c);
        WriteOut("\r\n");
    }
    std::fclose(out);
    std::rename(part.c_str(), name.c_str());
    ExitProgram(differ > 0);
}
