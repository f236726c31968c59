// Single-letter switches, handed out one at a time: opened by "-" or "/" on
// Windows, by "-" alone on POSIX, where a word that begins with "/" is a
// path and "--name" is one long option.
#pragma once

#include <string>
#include <string_view>

constexpr unsigned char NoMoreOptions = 255;
// A word "--name" where long options are known; OptionArg holds the word.
// (Option strings hold ASCII letters: 254 and 255 are never one.)
constexpr unsigned char LongOption = 254;

// How a command line marks its switches.
struct OptionSyntax {
    const char* Prefixes;  // the characters that open a cluster of letters
    bool LongOptions;      // "--name" is one word of its own, not a cluster
};
constexpr OptionSyntax WindowsSyntax = {"-/", false};
constexpr OptionSyntax PosixSyntax = {"-", true};
// This system's (args_win32.cpp, args_posix.cpp).
OptionSyntax SystemOptionSyntax();

// The value of the option GetOpt returned last; empty for one without.
// Like every option value it keeps its first 255 characters.
extern std::string OptionArg;
// The same value whole, however long: for a file name, where a cut would
// name another file.
extern std::string WholeOptionArg;

// The next option letter, "?" for an unknown letter or a missing value,
// LongOption, NoMoreOptions at the end. A letter followed by ":" in optionString takes
// a value.
unsigned char GetOpt(std::string_view optionString);

// Starts the scan again from the first argument (tests).
void ResetOptionScanner(OptionSyntax syntax = SystemOptionSyntax());
