// The argument list: argument 0 is the program's file, 1..ArgCount() the
// words of the command line.
#pragma once

#include <string>
#include <vector>

// Builds the list once at start. On Windows it comes from the process's
// command line (SplitCommandLine); elsewhere it is argv, unchanged.
void ArgsInit(int argc, char** argv);

int ArgCount();
const std::string& ArgStr(int index);

// Replaces the list (tests).
void ArgsSet(const std::vector<std::string>& args);

// Splits a command line into words: separators are the characters 1..32,
// double and single quotes group, "" and '' add nothing. The first word
// (the program name as typed) is scanned but not returned.
std::vector<std::string> SplitCommandLine(const char* line);
