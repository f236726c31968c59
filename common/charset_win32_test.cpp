#include <gtest/gtest.h>

#include <windows.h>

#include "charset.h"
#include "charset_win32.h"

namespace {

using Chars = std::vector<std::string>;

// Windows 9x with Shift-JIS (932): 日 93 FA, ソ 83 5C, ビ 83 72 ("r").
TEST(CharsetWin32, DoubleByteCharactersStayWhole)
{
    SetLocaleIsUtf8(0);
    SetLeadByteCodePage(932);
    EXPECT_EQ(SplitChars("\x93\xfa" "a\x83\x5c\x83"), (Chars{"\x93\xfa", "a", "\x83\x5c", "\x83"}));
    EXPECT_EQ(CharWidth("\x93\xfa"), 2);
    EXPECT_EQ(UpperCaseText("\x83\x72" "a"), "\x83\x72" "A");  // a trail byte is no letter
    SetLocaleIsUtf8(-1);
}

// The NT family: a character is a code point; upper case by the system.
TEST(CharsetWin32, NtTextIsUtf8CodePoints)
{
    SetLocaleIsUtf8(1);
    EXPECT_EQ(SplitChars("д😀e\xcc\x81"), (Chars{"д", "😀", "e", "\xcc\x81"}));
    EXPECT_EQ(UpperCaseText("дн straße é"), "ДН STRAßE É");
    EXPECT_EQ(Utf8FromWide(WideFromUtf8("日本😀")), "日本😀");
    SetLocaleIsUtf8(-1);
}

// What a file gets without a console: the OEM code page, never a best fit.
TEST(CharsetWin32, OutputCodePageRefusesWhatItCannotHold)
{
    if (GetConsoleOutputCP() != 0 || GetOEMCP() != 437)
        GTEST_SKIP() << "needs OEM 437 and no console (LC_ALL=C.UTF-8 under Wine)";
    SetLocaleIsUtf8(1);
    struct Case {
        const char* Text;
        const char* Bytes;
        bool Lossless;
    } cases[] = {
        {"a é", "a \x82", true}, {"я", "?", false}, {"ā", "?", false}, {"😀", "?", false},
    };
    for (const Case& c : cases) {
        bool lossless;
        std::string bytes = OutputCodePageText(c.Text, lossless);
        EXPECT_EQ(lossless, c.Lossless) << c.Text;
        if (c.Lossless) {
            EXPECT_EQ(bytes, c.Bytes) << c.Text;
        }
    }
    SetLocaleIsUtf8(-1);
}

}  // namespace
