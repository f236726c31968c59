// Single-letter switches opened by "-" or "/", handed out one at a time.
#pragma once

#include <string>
#include <string_view>

constexpr unsigned char NoMoreOptions = 255;

// The value of the option GetOpt returned last; empty for one without.
extern std::string OptionArg;

// The next option letter, "?" for an unknown letter or a missing value,
// NoMoreOptions at the end. A letter followed by ":" in optionString takes
// a value.
unsigned char GetOpt(std::string_view optionString);

// Starts the scan again from the first argument (tests).
void ResetOptionScanner();
