#include <string>

#include "output.h"

// One write per line: the text and its line end go out together.
void WriteLine(std::string_view text)
{
    std::string line(text);
    line += "\r\n";
    WriteOut(line);
}
