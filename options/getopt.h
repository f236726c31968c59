// Single-letter switches opened by "-" or "/", handed out one at a time.
#pragma once

#include <string>
#include <string_view>

constexpr unsigned char NoMoreOptions = 255;

// The value of the option GetOpt returned last; empty for one without.
// Like every option value it keeps its first 255 characters.
extern std::string OptionArg;
// The same value whole, however long: for a file name, where a cut would
// name another file.
extern std::string WholeOptionArg;

// The next option letter, "?" for an unknown letter or a missing value,
// NoMoreOptions at the end. A letter followed by ":" in optionString takes
// a value.
unsigned char GetOpt(std::string_view optionString);

// Starts the scan again from the first argument (tests).
void ResetOptionScanner();
