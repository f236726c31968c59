// Running a program's procedures in a unit test: the command line is set,
// the option scanner and the virtual console start fresh, and the process's
// end (which the virtual console throws) is caught and recorded.
#pragma once

#include <cstdlib>
#include <string>
#include <vector>

#include "args.h"
#include "getopt.h"
#include "virtual_console.h"

using Words = std::vector<std::string>;

struct RunOutcome {
    bool Exited = false;
    int Code = -1;        // the exit code; -1 when the procedures returned
    std::string Output;   // everything written
    double Seconds = 0;   // virtual time until the end
};

// The argument list "program words...", a fresh scanner (read as the
// system reads a command line, or as syntax says) and console.
inline void SetCommandLine(const std::string& program, const Words& words,
                           OptionSyntax syntax = SystemOptionSyntax())
{
    Words args = {program};
    args.insert(args.end(), words.begin(), words.end());
    ArgsSet(args);
    ResetOptionScanner(syntax);
    VirtualConsoleReset();
}

// Runs body() until it returns or the program ends.
template <class Body>
RunOutcome RunProgram(Body body)
{
    RunOutcome outcome;
    double start = VirtualClock();
    try {
        body();
    } catch (const ProgramExit& exit) {
        outcome.Exited = true;
        outcome.Code = exit.Code;
    }
    outcome.Output = OutputBytes;
    outcome.Seconds = VirtualClock() - start;
    return outcome;
}

// The words for a failure message, each cut to `width` characters.
inline std::string ShowWords(const Words& words, std::size_t width = 20)
{
    std::string shown;
    for (const std::string& w : words)
        shown += "[" + w.substr(0, width) + "] ";
    return shown;
}

// Sets a variable of the process's environment.
inline void SetEnvironment(const char* name, const char* value)
{
#ifdef _WIN32
    _putenv_s(name, value);
#else
    setenv(name, value, 1);
#endif
}
