#include <gtest/gtest.h>

#include "charset.h"
#include "fillin.h"

namespace {

using namespace fillin;

TEST(FillinEscaping, Examples)
{
    struct Case {
        std::string Value;
        int Limit;
        std::string OnWinNT;
        std::string Elsewhere;  // Win9x and other platforms alike
        bool Utf8 = false;
    } cases[] = {
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
        {"", 5, "", ""},
        // Shorter than the limit: the carets do not make it look full.
        {"a&b%c", 8, "a^^^&b%%c", "a&b%%c"},
        // The percent cut may end inside a caret group; the partial group goes.
        {"%&xyz", 5, "%%", "%%&xy"},
        {"%^xyz", 5, "%%", "%%^xy"},
        {"%^xyzw", 6, "%%^^^^", "%%^xyz"},
        {"&%&", 3, "^^^&%%", "&%%"},
        // In UTF-8 the limit counts characters: a value that fills it loses
        // whole characters to its doubled percent signs, never part of one.
        {"\xC3\xA4%\xC3\xB6%", 4, "\xC3\xA4%%", "\xC3\xA4%%", true},  // ä%ö% fills 4: two go
        {"\xC3\xA4%\xC3\xB6%", 5, "\xC3\xA4%%\xC3\xB6%%", "\xC3\xA4%%\xC3\xB6%%", true},
        {"\xE4\xB8\xAD%e\xCC\x81x", 4, "\xE4\xB8\xAD%%e\xCC\x81", "\xE4\xB8\xAD%%e\xCC\x81", true},  // é whole
    };
    for (const PlatformFlags& platform : {PlatformFlags{false, true}, PlatformFlags{true, false}, PlatformFlags{}}) {
        Platform = platform;
        for (const Case& c : cases) {
            SetLocaleIsUtf8(c.Utf8 ? 1 : -1);
            std::string text = c.Value;
            EscapeValue(text, c.Limit);
            EXPECT_EQ(text, platform.IsWinNT ? c.OnWinNT : c.Elsewhere)
                << c.Value.substr(0, 10) << " limit " << c.Limit << " NT " << platform.IsWinNT;
            EXPECT_TRUE(!c.Utf8 || IsValidUtf8(text)) << c.Value;
        }
    }
    SetLocaleIsUtf8(-1);
    Platform = PlatformFlags();
}

// Shorter than its limit, and so never cut, however far it grows.
TEST(FillinEscaping, KeepsAValueThatGrowsPastTheEditor)
{
    Platform = PlatformFlags{false, true};
    std::string text = std::string(2039, '&') + "%";
    EscapeValue(text, 2041);
    EXPECT_EQ(text.size(), 2039u * 4 + 2);
    EXPECT_EQ(text.substr(text.size() - 6), "^^^&%%");
    Platform = PlatformFlags();
}

}  // namespace
