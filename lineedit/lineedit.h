// The one-line editor.
#pragma once

#include <cstdint>
#include <string>

constexpr int EditCapacity = 2048;  // at most 2047 characters

// How the line is edited; all off: insert mode, the cursor at the end.
struct EditFlags {
    bool MaskInput = false;      // the text shows as asterisks
    bool UpperCase = false;      // typed letters go in as capitals
    bool NumericOnly = false;    // only 0-9 can be typed
    bool Overtype = false;       // starts in overtype mode
    bool CursorAtStart = false;  // the cursor starts before the text
    bool ShowCountdown = false;  // the seconds a time-out has left shown after the text
};

// The editor's rules for one typed character, also where a line comes from
// standard input instead of the keyboard. Overtype replaces the character
// at the cursor; MaxLength counts characters (at most 2047).
struct TypingRules {
    EditFlags Flags;
    std::int32_t MaxLength = EditCapacity - 1;
    bool (*Acceptable)(const std::string& c) = nullptr;
    bool (*Fits)(const std::string& text) = nullptr;
};

// Types c into text at byte `at` and moves `at` past it, as the rules allow:
// -n takes digits only, -u upper-cases, and Acceptable, the length and Fits
// may refuse it. False when it is refused: text and at stay as they were.
bool TypeInto(std::string& text, std::size_t& at, std::string c, const TypingRules& rules);
// The starting text as the flags and the length allow it: empty under
// MaskInput, and under NumericOnly when it holds a non-digit.
std::string PreparedText(const std::string& start, std::int32_t maxLength, const EditFlags& flags);

// Edits Text in place at the console cursor. True with the edited text
// after Enter, or with the prepared starting text when the time-out runs
// out before the first key; false with an empty text after Ctrl+C. Always
// ends the line itself. MaxLength counts characters (at most 2047). A typed
// character that Acceptable (when given) refuses is ignored like any other
// key that types nothing. An edit whose whole text Fits (when given)
// refuses changes nothing either; the starting text is the caller's to
// check.
bool EditLine(std::string& Text, std::int32_t MaxLength, std::int32_t TimeoutSeconds,
              const EditFlags& Flags, bool (*Acceptable)(const std::string& c) = nullptr,
              bool (*Fits)(const std::string& text) = nullptr);
