#include "console.h"

void WriteLine(std::string_view text)
{
    WriteOut(text);
    WriteOut("\r\n");
}
