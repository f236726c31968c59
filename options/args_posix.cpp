#include "args.h"
#include "getopt.h"

// The shell has split the words already; they are the terminal's text as
// typed and are used unchanged.
void ArgsInit(int argc, char** argv)
{
    ArgsSet(std::vector<std::string>(argv, argv + argc));
}

// "/" begins a path here, never a switch; and "--name", as every tool
// takes it, is a long option.
OptionSyntax SystemOptionSyntax()
{
    return PosixSyntax;
}
