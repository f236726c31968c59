#include <gtest/gtest.h>

#include "charset.h"
#include "fillin.h"

namespace {

using namespace fillin;

// On a UTF-8 terminal the doubled percent signs leave every character whole,
// and a value that fills its limit loses none of them.
TEST(FillinEscapingUtf8, KeepsWholeCharacters)
{
    SetLocaleIsUtf8(1);
    Platform = PlatformFlags();
    struct Case {
        std::string Value;
        std::string Escaped;
    } cases[] = {
        {"\xC3\xA4%\xC3\xB6%", "\xC3\xA4%%\xC3\xB6%%"},          // ä%ö%
        {"\xE4\xB8\xAD%e\xCC\x81x", "\xE4\xB8\xAD%%e\xCC\x81x"},  // 中%éx
    };
    for (const Case& c : cases) {
        std::string line = BatchLine("X", c.Value, false);
        EXPECT_EQ(line, "SET X=" + c.Escaped + "\r\n") << c.Value;
        EXPECT_TRUE(IsValidUtf8(line));
    }
    SetLocaleIsUtf8(-1);
}

}  // namespace
