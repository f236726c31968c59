// The integer conversion used for numeric option values.
#pragma once

#include <cstdint>
#include <string_view>

// Blanks and tabs before the number are skipped, one "+" or "-" may lead,
// and the digits are decimal, or hexadecimal after "$", octal after "&",
// binary after "%". At least one digit, nothing after the digits. A decimal
// value must fit in a signed 32-bit integer; the other bases take up to 32
// bits, which wrap into the signed range ($FFFFFFFF is -1).
bool StrToInt(std::string_view text, std::int32_t& value);
