#include "charset.h"

#include <gtest/gtest.h>

TEST(Charset, Utf8ToLatin1)
{
    struct Case {
        std::string In;
        bool Ok;
        std::string Out;
    } cases[] = {
        {"plain", true, "plain"},
        {"caf\xC3\xA9", true, "caf\xE9"},
        {"\xC2\xA0", true, "\xA0"},
        {"\xE2\x82\xAC", false, ""},   // euro sign: beyond U+00FF
        {"\xC3", false, ""},           // cut short
        {"\xC3(", false, ""},          // bad continuation
        {"\xA9", false, ""},           // a lone Latin-1 byte is not UTF-8
    };
    for (const Case& c : cases) {
        std::string out = "unchanged";
        EXPECT_EQ(Utf8ToLatin1(c.In, out), c.Ok) << c.In;
        EXPECT_EQ(out, c.Ok ? c.Out : "unchanged") << c.In;
    }
}

TEST(Charset, RoundTrip)
{
    std::string all;
    for (int c = 1; c < 256; c++)
        all += static_cast<char>(c);
    std::string back;
    ASSERT_TRUE(Utf8ToLatin1(Latin1ToUtf8(all), back));
    EXPECT_EQ(back, all);
}
