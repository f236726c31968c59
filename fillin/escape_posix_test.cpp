#include <gtest/gtest.h>

#include "charset.h"
#include "fillin.h"

namespace {

using namespace fillin;

// On a UTF-8 terminal the limit counts characters: a value that fills it
// loses whole characters to its doubled percent signs, never part of one.
TEST(FillinEscapingUtf8, CutsWholeCharacters)
{
    SetLocaleIsUtf8(1);
    Platform = PlatformFlags();
    struct Case {
        std::string Value;
        int Limit;
        std::string Escaped;
    } cases[] = {
        {"\xC3\xA4%\xC3\xB6%", 4, "\xC3\xA4%%"},               // ä%ö% fills 4: two characters go
        {"\xC3\xA4%\xC3\xB6%", 5, "\xC3\xA4%%\xC3\xB6%%"},     // shorter than the limit
        {"\xE4\xB8\xAD%e\xCC\x81x", 4, "\xE4\xB8\xAD%%e\xCC\x81"},  // 中%éx: é stays whole
    };
    for (const Case& c : cases) {
        std::string text = c.Value;
        EscapeValue(text, c.Limit);
        EXPECT_EQ(text, c.Escaped) << c.Value;
        EXPECT_TRUE(IsValidUtf8(text));
    }
    SetLocaleIsUtf8(-1);
}

}  // namespace
