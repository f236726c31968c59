// Test-only: prints the key codes that KeyPressed and ReadKey deliver, one
// line per key (a character beyond ASCII: its bytes in the console's code
// page, one a line), until Enter twice in a row or Ctrl+C; "?" shows the cursor
// and "@" moves it to column 5 of row 3.
#include <string>

#include "args.h"
#include "charset.h"
#include "console.h"
#include "output.h"

int main(int argc, char** argv)
{
    ArgsInit(argc, argv);
    ConsoleOpen();
    WantCursorPosition();
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
        if (key >= 0x80) {
            // A character's bytes in the console's code page, one a line.
            bool lossless;
            std::string bytes = OutputCodePageText(ReadKeyText(key), lossless);
            for (std::size_t i = 0; i + 1 < bytes.size(); i++)
                WriteLine(std::to_string(static_cast<unsigned char>(bytes[i])));
            if (!bytes.empty())
                line = std::to_string(static_cast<unsigned char>(bytes.back()));
        }
        WriteLine(line);
        enters = key == 13 ? enters + 1 : 0;
        if (key == 3 || enters == 2)
            ExitProgram(key == 3 ? 255 : 0);
    }
}
