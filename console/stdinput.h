// Standard input as the source of the answer, for a run without a console
// or terminal to read keys from (stdinput_posix.cpp, stdinput_win32.cpp).
// Standard input that is itself a terminal is not read: it is not ours.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

enum class InputRead { Key, TimeUp, End };

// The next key of standard input: the text of one character as the
// programs hold text (empty when its bytes are none), decoded from UTF-8
// where the text is UTF-8 and read in the OEM code page on Windows. Waits
// for its first byte up to timeoutSeconds (none below 1). End at the end
// of the input, on a failed read, and for a terminal.
InputRead ReadInputKey(std::string& key, std::int32_t timeoutSeconds);

// Writes the line and a line end to standard error.
void WriteErrorLine(std::string_view line);
