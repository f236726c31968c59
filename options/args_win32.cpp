#include "args.h"

#include <windows.h>

// The C runtime's own splitting differs (single quotes group words here),
// so the list is built from the command line the process was given.
void ArgsInit(int, char**)
{
    char path[MAX_PATH + 1] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::vector<std::string> args = SplitCommandLine(GetCommandLineA());
    args.insert(args.begin(), path);
    ArgsSet(args);
}
