// A line typed from standard input instead of the keyboard, for runs
// without a terminal: the editor's rules without the editor.
#pragma once

#include <cstdint>
#include <string>

#include "lineedit.h"

enum class InputLine {
    Typed,   // a line (up to LF, or the last one) with a character in it
    Empty,   // a line with nothing but control characters, or none
    TimeUp,  // no byte came in time
    End,     // the input ended before a byte
};

// Reads a line of standard input and types each of its characters into
// text at byte `at`, as the rules allow it. Control characters (a CR
// before the LF among them) are dropped. Only the first byte is waited for
// up to timeoutSeconds (none below 1).
InputLine TypeInputLine(std::string& text, std::size_t at, const TypingRules& rules, std::int32_t timeoutSeconds);
