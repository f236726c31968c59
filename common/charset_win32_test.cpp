#include <gtest/gtest.h>

#include "charset.h"
#include "charset_win32.h"

namespace {

// Windows 9x with Shift-JIS (932): 日 93 FA, ソ 83 5C, ビ 83 72 ("r").
TEST(CharsetWin32, DoubleByteCharactersStayWhole)
{
    SetLocaleIsUtf8(0);
    SetLeadByteCodePage(932);
    EXPECT_EQ(SplitChars("\x93\xfa" "a\x83\x5c\x83"), (std::vector<std::string>{"\x93\xfa", "a", "\x83\x5c", "\x83"}));
    EXPECT_EQ(CharWidth("\x93\xfa"), 2);
    EXPECT_EQ(UpperCaseText("\x83\x72" "a"), "\x83\x72" "A");  // a trail byte is no letter
    SetLocaleIsUtf8(-1);
}

}  // namespace
