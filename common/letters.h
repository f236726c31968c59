// Case folding of the command line, keys and the edit field: only "a" to
// "z" change; other bytes may be letters of some code page and stay.
#pragma once

#include <string>
#include <string_view>

inline char UpperCaseChar(char c)
{
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

inline std::string UpperCaseString(std::string_view text)
{
    std::string result(text);
    for (char& c : result)
        c = UpperCaseChar(c);
    return result;
}
