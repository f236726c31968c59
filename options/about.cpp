#include "about.h"

#include <string>

#include "args.h"
#include "getopt.h"
#include "output.h"

void AnswerAboutArgs(const ProgramAbout& about, bool usageWhenNone)
{
    if (ArgStr(1) == "--version")
        ShowVersion(about);
    if ((usageWhenNone && ArgCount() == 0) || ArgStr(1) == "/?" || ArgStr(1) == "--help")
        ShowUsage(about);
}

void ShowUsage(const ProgramAbout& about)
{
    for (const char* line : about.Usage)
        WriteLine(line);
    ExitProgram(0);
}

void ShowVersion(const ProgramAbout& about)
{
    WriteLine(std::string(about.Name) + " " PROGRAM_VERSION);
    ExitProgram(0);
}

void AnswerLongOption(const ProgramAbout& about, int exitCode)
{
    if (OptionArg == "--help")
        ShowUsage(about);
    if (OptionArg == "--version")
        ShowVersion(about);
    // The word as given, on one line: a control character shows as "?".
    std::string word = OptionArg;
    for (char& c : word) {
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F)
            c = '?';
    }
    ErrorExit("Unknown option " + word, exitCode);
}

void ErrorExit(std::string_view message, int exitCode)
{
    WriteMessage(message);
    WriteMessage("Use -h for help");
    ExitProgram(exitCode);
}
