// Option values, prompts, key lists, file names and messages are short
// strings: at most 255 characters, and anything longer keeps its first 255.
// A cut never splits a character.
#pragma once

#include <string>
#include <string_view>

#include "charset.h"

constexpr std::size_t ShortStringMax = 255;

inline std::string ShortString(std::string_view text)
{
    return FirstChars(text, ShortStringMax);
}

inline void ShortAppend(std::string& dest, std::string_view text)
{
    std::size_t length = CharCount(dest);
    if (length < ShortStringMax)
        dest += FirstChars(text, ShortStringMax - length);
}
