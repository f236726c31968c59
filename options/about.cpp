#include "about.h"

#include <string>

#include "args.h"
#include "output.h"

void AnswerAboutArgs(const ProgramAbout& about, bool usageWhenNone)
{
    if (ArgStr(1) == "--version") {
        WriteLine(std::string(about.Name) + " " PROGRAM_VERSION);
        ExitProgram(0);
    }
    if ((usageWhenNone && ArgCount() == 0) || ArgStr(1) == "/?" || ArgStr(1) == "--help")
        ShowUsage(about);
}

void ShowUsage(const ProgramAbout& about)
{
    for (const char* line : about.Usage)
        WriteLine(line);
    ExitProgram(0);
}

void ErrorExit(std::string_view message, int exitCode)
{
    WriteLine(message);
    WriteLine("Use -h for help");
    ExitProgram(exitCode);
}
