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
// The message and "Use -h for help", then the end with exitCode.
[[noreturn]] void ErrorExit(std::string_view message, int exitCode);
