#include <gtest/gtest.h>

#include "charset.h"
#include "fillin.h"

namespace {

using namespace fillin;

// The batch file's line for X, without its CR LF.
TEST(FillinEscaping, Lines)
{
    struct Case {
        std::string Value;
        std::string OnWinNT, Exact;  // Exact: "" when the same as OnWinNT
        std::string Elsewhere;       // Win9x and other platforms alike, -e or not
        bool Utf8 = false;
    } cases[] = {
        {"a&b", "SET X=a^^^&b", "SET X=a^&b", "SET X=a&b"},
        {"(x)", "SET X=^^^(x^^^)", "SET X=^(x^)", "SET X=(x)"},
        {"^", "SET X=^^^^", "SET X=^^", "SET X=^"},
        {"50%", "SET X=50%%", "", "SET X=50%%"},
        {"%%%", "SET X=%%%%%%", "", "SET X=%%%%%%"},
        {"a&b%c", "SET X=a^^^&b%%c", "SET X=a^&b%%c", "SET X=a&b%%c"},
        {"", "SET X=", "", "SET X="},
        // Between quotes cmd keeps every character, carets too.
        {"say \"hi & bye\"", "SET X=say \"hi & bye\"", "", "SET X=say \"hi & bye\""},
        {"a&\"b&\"c&", "SET X=a^^^&\"b&\"c^^^&", "SET X=a^&\"b&\"c^&", "SET X=a&\"b&\"c&"},
        {"a\"b&c", "SET X=a\"b&c", "", "SET X=a\"b&c"},
        // With a "!" one branch for each mode of delayed expansion; no quote
        // opens in either.
        {"Hello!", "IF \"!!\"==\"\" (SET X=Hello^^!) ELSE SET X=Hello!", "", "SET X=Hello!"},
        {"a&b!", "IF \"!!\"==\"\" (SET X=a^^^^^&b^^!) ELSE SET X=a^^^&b!",
         "IF \"!!\"==\"\" (SET X=a^&b^^!) ELSE SET X=a^&b!", "SET X=a&b!"},
        {"\"x\"!%", "IF \"!!\"==\"\" (SET X=^\"x^\"^^!%%) ELSE SET X=^\"x^\"!%%", "", "SET X=\"x\"!%%"},
        {"\"(^)\"!", "IF \"!!\"==\"\" (SET X=^\"^(^^^^^)^\"^^!) ELSE SET X=^\"^(^^^)^\"!", "",
         "SET X=\"(^)\"!"},
    };
    for (const PlatformFlags& platform : {PlatformFlags{false, true}, PlatformFlags{true, false}, PlatformFlags{}}) {
        Platform = platform;
        for (const Case& c : cases) {
            SetLocaleIsUtf8(c.Utf8 ? 1 : -1);
            for (bool exact : {false, true}) {
                std::string expected = !platform.IsWinNT           ? c.Elsewhere
                                       : exact && !c.Exact.empty() ? c.Exact
                                                                   : c.OnWinNT;
                EXPECT_EQ(BatchLine("X", c.Value, exact), expected + "\r\n")
                    << c.Value << " NT " << platform.IsWinNT << " exact " << exact;
            }
        }
    }
    SetLocaleIsUtf8(-1);
    Platform = PlatformFlags();
}

// Written whole however far the escapes grow it, up to what cmd reads.
TEST(FillinEscaping, LongLines)
{
    Platform = PlatformFlags{false, true};
    std::string line = BatchLine("X", std::string(2039, '&') + "%", false);
    EXPECT_EQ(line.substr(line.size() - 8), "^^^&%%\r\n");
    EXPECT_TRUE(LineFits(line));
    // "IF ... (SET X=" and ") ELSE SET X=" take 32 characters, each "^"
    // 8 + 4, the "!" 3 + 1, each "a" 1 + 1: 8190 in all, and one "a" more
    // is one past what cmd reads.
    std::string full = "!" + std::string(679, '^') + "aaa";
    EXPECT_EQ(BatchLine("X", full, false).size(), 8190u + 2);
    EXPECT_TRUE(LineFits(BatchLine("X", full, false)));
    EXPECT_FALSE(LineFits(BatchLine("X", full + "a", false)));
    EXPECT_TRUE(LineFits(BatchLine("X", full + "a", true)));  // one caret less each
    Platform = PlatformFlags();
}

}  // namespace
