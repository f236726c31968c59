#include <gtest/gtest.h>

#include "charset.h"
#include "charset_win32.h"
#include "fillin.h"

namespace {

using namespace fillin;

// Shift-JIS trail bytes 5C, 5E and 7C (ソ 83 5C, タ 83 5E, ポ 83 7C) are
// never cmd's special characters: on Windows 9x nor in the NT family's
// UTF-8, where the same letters are no ASCII bytes at all.
TEST(FillinEscapingWin32, DoubleByteTrailBytesAreNoSpecialCharacters)
{
    struct Case {
        int Utf8;
        std::string Value, Escaped, CaretsRemoved;
        int Refused;  // members of "<>|" in the value
    } cases[] = {
        {0, "\x83\x5c\x83\x5e\x83\x7c&", "SET X=\x83\x5c\x83\x5e\x83\x7c^^^&\r\n", "\x83\x5c\x83\x5e\x83\x7c&", 0},
        {0, "\x83\x5e^&|", "SET X=\x83\x5e^^^^^^^&^^^|\r\n", "\x83\x5e&|", 1},
        {1, "ソタポ^&", "SET X=ソタポ^^^^^^^&\r\n", "ソタポ&", 0},
    };
    Platform = PlatformFlags{false, true};
    for (const Case& c : cases) {
        SetLocaleIsUtf8(c.Utf8);
        SetLeadByteCodePage(c.Utf8 ? 0 : 932);
        EXPECT_EQ(BatchLine("X", c.Value, false), c.Escaped) << c.Value;
        std::string removed = c.Value;
        RemoveCarets(removed);
        EXPECT_EQ(removed, c.CaretsRemoved) << c.Value;
        EXPECT_EQ(CountCharsInSet(c.Value, Win9xIllegalChars), c.Refused) << c.Value;
    }
    SetLocaleIsUtf8(-1);
    Platform = PlatformFlags();
}

}  // namespace
