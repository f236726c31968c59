// Test-only: prints the key codes that KeyPressed and ReadKey deliver, one
// line per key, until Enter twice in a row or Ctrl+C; "?" shows the cursor
// and "@" moves it to column 5 of row 3.
#include <string>

#include "args.h"
#include "console.h"
#include "output.h"

int main(int argc, char** argv)
{
    ArgsInit(argc, argv);
    ConsoleOpen();
    AskCursorPosition();
    WriteLine("ready");
    int enters = 0;
    for (;;) {
        std::uint8_t key = ReadKey();
        std::string line = std::to_string(key);
        if (key == 0)
            line += " " + std::to_string(ReadKey());
        if (key == '?')
            line += " at " + std::to_string(WhereX()) + "," + std::to_string(WhereY());
        if (key == '@') {
            GotoXY(5, 3);
            line += " moved " + std::to_string(WhereX()) + "," + std::to_string(WhereY());
        }
        WriteLine(line);
        enters = key == 13 ? enters + 1 : 0;
        if (key == 3 || enters == 2)
            ExitProgram(key == 3 ? 255 : 0);
    }
}
