#include <gtest/gtest.h>

#include "charset.h"
#include "charset_win32.h"
#include "virtual_console.h"

namespace {

ConsoleEvent Key(std::string text, bool down = true, std::uint16_t vk = 0, std::uint32_t state = 0)
{
    ConsoleEvent event;
    event.Text = std::move(text);
    event.KeyDown = down;
    event.VirtualKey = vk;
    event.ControlKeyState = state;
    return event;
}

// The keys' texts as the programs read them: ReadKey, then ReadKeyText.
std::vector<std::string> Texts()
{
    std::vector<std::string> texts;
    while (KeyPressed()) {
        std::uint8_t code = ReadKey();
        texts.push_back(code == 0 ? "ext " + std::to_string(ReadKey()) : ReadKeyText(code));
    }
    return texts;
}

// ReadConsoleInputA of Windows 9x gives a double-byte character as two
// presses, lead byte first: they are one key.
TEST(KeysWin32, DoubleByteLeadAndTrailAreOneKey)
{
    VirtualConsoleReset();
    SetLeadByteCodePage(932);
    PushEvent(Key("\x93"));
    PushEvent(Key("\x93", false));
    PushEvent(Key("\xfa"));
    PushEvent(Key("a"));
    PushEvent(Key("\x83"));  // a lead byte before a key with no text is dropped
    ConsoleEvent left = Key("", true, 0x25);
    left.ScanCode = 0x4B;
    PushEvent(left);
    EXPECT_EQ(Texts(), (std::vector<std::string>{"\x93\xfa", "a", "ext 75"}));
}

}  // namespace
