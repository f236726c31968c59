// The one-line editor and the small routines on NUL-terminated text that it
// shares with fillin.
#pragma once

#include <cstdint>

constexpr int EditCapacity = 2048;  // 2047 characters and the terminator

// Edits Buffer in place at the console cursor. True with the edited text
// after Enter, or with the prepared starting text when the time-out runs
// out before the first key; false with an empty text after Ctrl+C. Always
// ends the line itself. Buffer must hold min(MaxLength, 2047) + 1 bytes.
bool EditLine(char* Buffer, std::int32_t MaxLength, std::int32_t TimeoutSeconds,
              bool MaskInput, bool UpperCase, bool NumericOnly, bool Overtype,
              bool CursorAtStart);

// Indexes count from 0; the caller guarantees room.
void StrTruncate(char* text, int count);
void StrDeleteAt(char* text, int index, int count);
void StrInsertAt(const char* source, char* dest, int index);
