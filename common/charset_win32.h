// Windows only: UTF-16 conversions for the edges of the programs, and the
// double-byte code page of the ANSI path (Windows 9x).
#pragma once

#include <string>
#include <string_view>

std::wstring WideFromUtf8(std::string_view text);
std::string Utf8FromWide(std::wstring_view text);
// Windows 9x: text held in the OEM code page, as the ANSI functions take it.
std::string AnsiFromOem(const std::string& oem);

// The code page whose lead bytes begin two-byte characters where text is
// not UTF-8: decided with LocaleIsUtf8 (the console's); tests set another
// (0: single bytes only).
void SetLeadByteCodePage(unsigned codePage);
