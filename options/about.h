// What a program prints about itself: its usage text, its version, and an
// error line that points to the usage text.
#pragma once

#include <string_view>
#include <vector>

struct ProgramAbout {
    const char* Name;                // --version prints it before the version
    std::vector<const char*> Usage;  // the usage text, a line to an element
};

// --version, --help or /? as the first argument (or no arguments at all,
// when usageWhenNone) prints the version or the usage text and ends the
// process with exit code 0; anything else returns.
void AnswerAboutArgs(const ProgramAbout& about, bool usageWhenNone);
[[noreturn]] void ShowUsage(const ProgramAbout& about);
[[noreturn]] void ShowVersion(const ProgramAbout& about);
// A long option (GetOpt's LongOption, the word in OptionArg): --help is
// the usage text, --version the version; any other is a command-line error,
// ended with exitCode.
[[noreturn]] void AnswerLongOption(const ProgramAbout& about, int exitCode);
// The message and "Use -h for help" (WriteMessage), then the end with
// exitCode.
[[noreturn]] void ErrorExit(std::string_view message, int exitCode);
