// Option values, prompts, key lists, file names and messages are short
// strings: at most 255 characters, and anything longer keeps its first 255.
#pragma once

#include <string>
#include <string_view>

constexpr std::size_t ShortStringMax = 255;

inline std::string ShortString(std::string_view text)
{
    return std::string(text.substr(0, ShortStringMax));
}

inline void ShortAppend(std::string& dest, std::string_view text)
{
    if (dest.size() < ShortStringMax)
        dest.append(text.substr(0, ShortStringMax - dest.size()));
}
