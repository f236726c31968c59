// The one-line editor.
#pragma once

#include <cstdint>
#include <string>

constexpr int EditCapacity = 2048;  // at most 2047 characters

// Edits Text in place at the console cursor. True with the edited text
// after Enter, or with the prepared starting text when the time-out runs
// out before the first key; false with an empty text after Ctrl+C. Always
// ends the line itself. MaxLength counts characters (at most 2047). A typed
// character that Acceptable (when given) refuses is ignored like any other
// key that types nothing.
bool EditLine(std::string& Text, std::int32_t MaxLength, std::int32_t TimeoutSeconds,
              bool MaskInput, bool UpperCase, bool NumericOnly, bool Overtype,
              bool CursorAtStart, bool (*Acceptable)(const std::string& c) = nullptr);

// A check that the whole text must pass after every edit (nullptr: none),
// for the editor's later calls: a key whose edit it refuses changes nothing,
// as a character past MaxLength is not typed. The starting text is the
// caller's to check.
void SetTextCheck(bool (*Fits)(const std::string& Text));
