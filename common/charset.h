// The console's characters. On POSIX where the locale names a single-byte
// codeset, one byte is one character and one cell. Where the terminal
// speaks UTF-8, a character is what the user sees as one: a grapheme
// cluster (a letter with its combining marks, an emoji with its modifiers,
// a flag), as many cells wide as the terminal draws it; text inside the
// programs is the terminal's own bytes, never converted. On the Windows NT
// family text inside is UTF-8 too, a character one code point as wide as
// the console draws it; on Windows 9x it is the console's code page, a
// character one byte or a double-byte pair.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

// True where the text inside is UTF-8 (on POSIX decided by the locale's
// name, on Windows by the family: NT, once). The one place that knows the
// console's character set.
bool LocaleIsUtf8();
// Overrides that decision (tests): 1 UTF-8, 0 single bytes, -1 decide
// again from the environment.
void SetLocaleIsUtf8(int utf8);

// The UTF-8 character at the start of text (not empty): Valid with its code
// point and length in bytes; Incomplete when the text ends inside it (more
// bytes may complete it); Invalid otherwise, with the length of the broken
// start to skip (at least 1; never a byte that may begin a character).
// Overlong forms, surrogates and code points past U+10FFFF are invalid.
enum class Utf8Status { Valid, Incomplete, Invalid };
Utf8Status DecodeUtf8(std::string_view text, char32_t& code, std::size_t& length);

// True when the whole text is valid UTF-8.
bool IsValidUtf8(std::string_view text);

// True when the text is whole characters of the console's character set:
// valid UTF-8 where the terminal speaks it; any bytes elsewhere.
bool IsConsoleText(std::string_view text);

// The length in bytes of the first character of text (not empty). A byte
// that is not valid UTF-8 is a character of its own.
std::size_t CharLength(std::string_view text);

// The cells a character takes as the terminal draws it: 1 or more; 0 for
// a control character, an invalid byte or a mark with nothing to combine
// with, which cannot be shown as they stand.
int CharWidth(std::string_view character);

// The cells of the first part of a character that the terminal places on
// its own: a terminal that places code points one by one moves only a wide
// first one to the next row when it does not fit, and lets the rest follow
// it there; a character drawn whole moves whole.
int LeadWidth(std::string_view character);

// The text cut into characters; their number; the first count of them.
std::vector<std::string> SplitChars(std::string_view text);
std::size_t CharCount(std::string_view text);
std::string FirstChars(std::string_view text, std::size_t count);

// Upper case by Unicode's simple one-to-one mapping: every letter that has
// one in UTF-8 (ß has none); only "a" to "z" elsewhere (other bytes may be
// letters of some code page).
std::string UpperCaseText(std::string_view text);

// The text as a file or pipe that the console's command interpreter reads
// takes it: on the Windows NT family in the console's output code page (the
// OEM one without a console; UTF-8 under 65001); elsewhere unchanged.
// lossless is false when a character has no place there.
std::string OutputCodePageText(std::string_view text, bool& lossless);
