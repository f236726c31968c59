#include "charset.h"

Utf8Status DecodeUtf8(std::string_view text, char32_t& code, std::size_t& length)
{
    unsigned char lead = text[0];
    length = 1;
    if (lead < 0x80) {
        code = lead;
        return Utf8Status::Valid;
    }
    std::size_t size = lead >= 0xC2 && lead <= 0xDF ? 2 : lead >= 0xE0 && lead <= 0xEF ? 3
                     : lead >= 0xF0 && lead <= 0xF4 ? 4 : 0;
    if (size == 0)
        return Utf8Status::Invalid;  // a continuation byte, C0, C1 or F5..FF
    char32_t value = lead & (0x7F >> size);
    for (std::size_t i = 1; i < size; i++) {
        if (i == text.size())
            return Utf8Status::Incomplete;
        unsigned char next = text[i];
        // The second byte's range also excludes overlong forms, surrogates
        // and values past U+10FFFF.
        unsigned char low = 0x80, high = 0xBF;
        if (i == 1) {
            if (lead == 0xE0) low = 0xA0;
            if (lead == 0xED) high = 0x9F;
            if (lead == 0xF0) low = 0x90;
            if (lead == 0xF4) high = 0x8F;
        }
        if (next < low || next > high) {
            length = i;
            return Utf8Status::Invalid;
        }
        value = (value << 6) | (next & 0x3F);
    }
    code = value;
    length = size;
    return Utf8Status::Valid;
}

bool IsValidUtf8(std::string_view text)
{
    while (!text.empty()) {
        char32_t code;
        std::size_t length;
        if (DecodeUtf8(text, code, length) != Utf8Status::Valid)
            return false;
        text.remove_prefix(length);
    }
    return true;
}

bool IsConsoleText(std::string_view text)
{
    return !LocaleIsUtf8() || IsValidUtf8(text);
}

int LeadWidth(std::string_view character)
{
    int whole = CharWidth(character);
    char32_t code;
    std::size_t length;
    if (!LocaleIsUtf8() || DecodeUtf8(character, code, length) != Utf8Status::Valid || length == character.size())
        return whole;
    // Drawn code point by code point, the character is as wide as its code
    // points are on their own; otherwise the terminal draws it whole.
    std::size_t first = length;
    int sum = 0;
    for (std::string_view rest = character; !rest.empty(); rest.remove_prefix(length)) {
        if (DecodeUtf8(rest, code, length) != Utf8Status::Valid)
            return whole;
        sum += CharWidth(rest.substr(0, length));
    }
    return sum == whole ? CharWidth(character.substr(0, first)) : whole;
}

std::vector<std::string> SplitChars(std::string_view text)
{
    std::vector<std::string> chars;
    while (!text.empty()) {
        std::size_t length = CharLength(text);
        chars.emplace_back(text.substr(0, length));
        text.remove_prefix(length);
    }
    return chars;
}

std::size_t CharCount(std::string_view text)
{
    std::size_t count = 0;
    for (; !text.empty(); count++)
        text.remove_prefix(CharLength(text));
    return count;
}

std::string FirstChars(std::string_view text, std::size_t count)
{
    std::size_t end = 0;
    for (; count > 0 && end < text.size(); count--)
        end += CharLength(text.substr(end));
    return std::string(text.substr(0, end));
}
