// The integer conversion against a plain reference: the same verdict and
// the same value for every text, and the value untouched on failure.
#include <cstdint>
#include <string>

#include "fuzz_check.h"
#include "intconv.h"

namespace {

int DigitValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'z')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'Z')
        return c - 'A' + 10;
    return 99;
}

// Written from the rule, not from the code: leading zeros are dropped
// before the digits are counted, so no arithmetic can overflow.
bool Reference(const std::string& text, std::int64_t& value)
{
    std::size_t i = text.find_first_not_of(" \t");
    if (i == std::string::npos)
        return false;
    bool negative = text[i] == '-';
    if (text[i] == '+' || text[i] == '-')
        i++;
    int base = 10;
    if (i < text.size() && text[i] == '$')
        base = 16;
    else if (i < text.size() && text[i] == '&')
        base = 8;
    else if (i < text.size() && text[i] == '%')
        base = 2;
    if (base != 10)
        i++;
    std::string digits = text.substr(i);
    if (digits.empty())
        return false;
    for (char c : digits) {
        if (DigitValue(c) >= base)
            return false;
    }
    digits.erase(0, digits.find_first_not_of('0'));
    if (digits.size() > 32)  // more than any 32-bit value needs in any base
        return false;
    unsigned __int128 magnitude = 0;
    for (char c : digits)
        magnitude = magnitude * base + DigitValue(c);
    if (base == 10) {
        // Decimal: the signed 32-bit range.
        if (magnitude > (negative ? 2147483648u : 2147483647u))
            return false;
        value = negative ? -static_cast<std::int64_t>(magnitude) : static_cast<std::int64_t>(magnitude);
        return true;
    }
    // Other bases: 32 bits, read as a signed number, then the sign.
    if (magnitude > 0xFFFFFFFFu)
        return false;
    std::uint32_t bits = static_cast<std::uint32_t>(magnitude);
    if (negative)
        bits = 0u - bits;
    value = static_cast<std::int32_t>(bits);
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    std::string text(reinterpret_cast<const char*>(data), size);
    std::int64_t expected = 0;
    bool expectedOk = Reference(text, expected);

    const std::int32_t untouched = 0x5EED;
    std::int32_t value = untouched;
    bool ok = StrToInt(text, value);
    FUZZ_CHECK(ok == expectedOk);
    FUZZ_CHECK(ok ? value == expected : value == untouched);
    return 0;
}
