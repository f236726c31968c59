// Character sets. Inside the programs one byte is one character. Where the
// terminal speaks UTF-8, that byte is an ISO-8859-1 character, converted at
// the boundaries.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// The UTF-8 character at the start of text (not empty): Valid with its code
// point and length in bytes; Incomplete when the text ends inside it (more
// bytes may complete it); Invalid otherwise, with the length of the broken
// start to skip (at least 1; never a byte that may begin a character).
// Overlong forms, surrogates and code points past U+10FFFF are invalid.
enum class Utf8Status { Valid, Incomplete, Invalid };
Utf8Status DecodeUtf8(std::string_view text, char32_t& code, std::size_t& length);

// True when the whole text is valid UTF-8.
bool IsValidUtf8(std::string_view text);

// Converts UTF-8 text to ISO-8859-1. Returns false, leaving out unchanged,
// when the text is not valid UTF-8 or holds a character beyond U+00FF.
bool Utf8ToLatin1(std::string_view text, std::string& out);

// Converts ISO-8859-1 text to UTF-8; always succeeds.
std::string Latin1ToUtf8(std::string_view text);

// True where the terminal's character set is UTF-8 (the locale's, on POSIX).
// Windows consoles take the code page's bytes as they are. The one place
// that knows the console's character set.
bool LocaleIsUtf8();
