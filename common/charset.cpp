#include "charset.h"

bool Utf8ToLatin1(std::string_view text, std::string& out)
{
    std::string result;
    result.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); i++) {
        unsigned char c = text[i];
        if (c < 0x80) {
            result += static_cast<char>(c);
            continue;
        }
        // Only C2 and C3 lead bytes encode U+0080..U+00FF.
        if ((c != 0xC2 && c != 0xC3) || i + 1 >= text.size())
            return false;
        unsigned char next = text[i + 1];
        if ((next & 0xC0) != 0x80)
            return false;
        result += static_cast<char>(((c & 0x03) << 6) | (next & 0x3F));
        i++;
    }
    out = std::move(result);
    return true;
}

std::string Latin1ToUtf8(std::string_view text)
{
    std::string result;
    result.reserve(text.size());
    for (unsigned char c : text) {
        if (c < 0x80) {
            result += static_cast<char>(c);
        } else {
            result += static_cast<char>(0xC0 | (c >> 6));
            result += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return result;
}
