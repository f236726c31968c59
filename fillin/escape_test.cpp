#include <gtest/gtest.h>

#include "fillin.h"

namespace {

struct Case {
    std::string Value;
    int Limit;
    std::string OnWinNT;
    std::string Elsewhere;  // Win9x and other platforms alike
};

const Case Cases[] = {
    {"a&b", 10, "a^^^&b", "a&b"},
    {"(x)", 10, "^^^(x^^^)", "(x)"},
    {"^", 10, "^^^^", "^"},
    {"50%", 10, "50%%", "50%%"},
    {"50%ab", 5, "50%%a", "50%%a"},     // fills the limit: cut first
    {"50%ab", 10, "50%%ab", "50%%ab"},  // shorter: not cut
    {"%%%", 3, "", ""},
    {"a&bc", 4, "a", "a&bc"},
    {"&&&", 3, "^^^&^^^&^^^&", "&&&"},  // the cut would go below nothing
    {"a&b%c", 10, "a^^^&b%%c", "a&b%%c"},
    {"a&b%c", 5, "a^^^&", "a&b%%"},
    {"plain", 5, "plain", "plain"},
    {"", 5, "", ""},
    // The percent cut may end inside a caret group; the partial group goes.
    {"%&xyz", 5, "%%", "%%&xy"},
    {"%^xyz", 5, "%%", "%%^xy"},
    {"%^xyzw", 6, "%%^^^^", "%%^xyz"},
    // Shorter than the limit: the carets do not make it look full.
    {"a&b%c", 8, "a^^^&b%%c", "a&b%%c"},
    // Full: after an uncut caret step the percent step cuts.
    {"&%&", 3, "^^^&%%", "&%%"},
};

TEST(FillinEscaping, Examples)
{
    for (const PlatformFlags& platform : {PlatformFlags{false, true}, PlatformFlags{true, false}, PlatformFlags{}}) {
        Platform = platform;
        for (const Case& c : Cases) {
            std::string text = c.Value;
            EscapeValue(text, c.Limit);
            EXPECT_EQ(text, platform.IsWinNT ? c.OnWinNT : c.Elsewhere)
                << c.Value << " limit " << c.Limit << " NT " << platform.IsWinNT;
        }
    }
    Platform = PlatformFlags();
}

TEST(FillinEscaping, SeparateSteps)
{
    std::string text = "a&b%c";
    EscapeSpecials(text, 10);
    EXPECT_EQ(text, "a^^^&b%c");
    EscapePercent(text, 10);
    EXPECT_EQ(text, "a^^^&b%%c");
}

// A value shorter than its limit is never cut, however far it grows.
TEST(FillinEscaping, GrowsPastTheEditorsCapacity)
{
    Platform = PlatformFlags{false, true};
    std::string text(2039, '&');
    text += '%';
    EscapeValue(text, 2041);
    EXPECT_EQ(text.size(), 2039u * 4 + 2);
    EXPECT_EQ(text.substr(0, 8), "^^^&^^^&");
    EXPECT_EQ(text.substr(text.size() - 6), "^^^&%%");
    Platform = PlatformFlags();
}

}  // namespace
