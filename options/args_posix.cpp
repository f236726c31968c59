#include "args.h"

// The shell has split the words already; they are the terminal's text as
// typed and are used unchanged.
void ArgsInit(int argc, char** argv)
{
    ArgsSet(std::vector<std::string>(argv, argv + argc));
}
