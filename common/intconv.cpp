#include "intconv.h"

bool StrToInt(std::string_view text, std::int32_t& value)
{
    std::size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t'))
        i++;

    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-'))
        negative = text[i++] == '-';

    unsigned base = 10;
    if (i < text.size()) {
        switch (text[i]) {
        case '$': base = 16; i++; break;
        case '&': base = 8; i++; break;
        case '%': base = 2; i++; break;
        }
    }

    if (i == text.size())
        return false;

    // Decimal may reach 2^31 only as the magnitude of a negative number.
    std::uint64_t limit = base == 10 ? (negative ? 0x80000000ull : 0x7FFFFFFFull) : 0xFFFFFFFFull;
    std::uint64_t magnitude = 0;
    for (; i < text.size(); i++) {
        char c = text[i];
        unsigned digit;
        if (c >= '0' && c <= '9')
            digit = c - '0';
        else if (c >= 'a' && c <= 'f')
            digit = c - 'a' + 10;
        else if (c >= 'A' && c <= 'F')
            digit = c - 'A' + 10;
        else
            return false;
        if (digit >= base)
            return false;
        magnitude = magnitude * base + digit;
        if (magnitude > limit)
            return false;
    }

    std::uint32_t bits = static_cast<std::uint32_t>(magnitude);
    if (negative)
        bits = 0u - bits;
    value = static_cast<std::int32_t>(bits);
    return true;
}
