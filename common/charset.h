// Inside the programs one byte is one character. Where the terminal speaks
// UTF-8, that byte is an ISO-8859-1 character, converted at the boundaries.
#pragma once

#include <string>
#include <string_view>

// Converts UTF-8 text to ISO-8859-1. Returns false, leaving out unchanged,
// when the text is not valid UTF-8 or holds a character beyond U+00FF.
bool Utf8ToLatin1(std::string_view text, std::string& out);

// Converts ISO-8859-1 text to UTF-8; always succeeds.
std::string Latin1ToUtf8(std::string_view text);

// True where the terminal's character set is UTF-8 (the locale's, on POSIX).
// Windows consoles take the code page's bytes as they are.
bool LocaleIsUtf8();
