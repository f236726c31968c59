#include "charset.h"

#include <gtest/gtest.h>

TEST(Charset, DecodeUtf8)
{
    struct Case {
        std::string In;
        Utf8Status Status;
        char32_t Code;       // when valid
        std::size_t Length;  // bytes used, or to skip when invalid
    } cases[] = {
        {"a", Utf8Status::Valid, U'a', 1},
        {"\xC3\xA9x", Utf8Status::Valid, U'\u00E9', 2},
        {"\xE2\x82\xAC", Utf8Status::Valid, U'\u20AC', 3},
        {"\xF0\x9F\x91\x8D", Utf8Status::Valid, U'\U0001F44D', 4},
        {"\xF4\x8F\xBF\xBF", Utf8Status::Valid, U'\U0010FFFF', 4},
        {"\xE2\x82", Utf8Status::Incomplete, 0, 0},
        {"\xF0", Utf8Status::Incomplete, 0, 0},
        {"\x80", Utf8Status::Invalid, 0, 1},            // a continuation byte alone
        {"\xC0\xAF", Utf8Status::Invalid, 0, 1},        // overlong "/"
        {"\xE0\x80\xAF", Utf8Status::Invalid, 0, 1},    // overlong, three bytes
        {"\xED\xA0\x80", Utf8Status::Invalid, 0, 1},    // a surrogate
        {"\xF4\x90\x80\x80", Utf8Status::Invalid, 0, 1},  // past U+10FFFF
        {"\xF5\x80\x80\x80", Utf8Status::Invalid, 0, 1},
        {"\xE2\x82(", Utf8Status::Invalid, 0, 2},       // "(" starts the next character
        {"\xFF", Utf8Status::Invalid, 0, 1},
    };
    for (const Case& c : cases) {
        char32_t code = 0;
        std::size_t length = 99;
        Utf8Status status = DecodeUtf8(c.In, code, length);
        EXPECT_EQ(status, c.Status) << c.In;
        if (status == Utf8Status::Valid) {
            EXPECT_EQ(code, c.Code) << c.In;
        }
        if (status != Utf8Status::Incomplete) {
            EXPECT_EQ(length, c.Length) << c.In;
        }
    }
}
