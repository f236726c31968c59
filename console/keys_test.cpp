#include <gtest/gtest.h>

#include <vector>

#include "keys.h"
#include "virtual_console.h"

namespace {

constexpr std::uint32_t NumLockOn = 0x0020;

ConsoleEvent Down(std::uint16_t vk, std::uint16_t scan, std::uint8_t ch, std::uint32_t state = 0)
{
    ConsoleEvent event;
    event.VirtualKey = vk;
    event.ScanCode = scan;
    if (ch != 0)
        event.Text.assign(1, static_cast<char>(ch));
    event.ControlKeyState = state;
    return event;
}

ConsoleEvent Up(std::uint16_t vk, std::uint16_t scan, std::uint8_t ch, std::uint32_t state = 0)
{
    ConsoleEvent event = Down(vk, scan, ch, state);
    event.KeyDown = false;
    return event;
}

ConsoleEvent NotAKey()
{
    ConsoleEvent event = Down('A', 0x1E, 'a');
    event.IsKey = false;
    return event;
}

// A keypad digit typed while the left Alt key is held.
std::vector<ConsoleEvent> AltDigit(int digit)
{
    std::uint16_t vk = static_cast<std::uint16_t>(0x60 + digit);
    const std::uint16_t scans[] = {0x52, 0x4F, 0x50, 0x51, 0x4B, 0x4C, 0x4D, 0x47, 0x48, 0x49};
    return {Down(vk, scans[digit], 0, LeftAltPressed | NumLockOn),
            Up(vk, scans[digit], 0, LeftAltPressed | NumLockOn)};
}

std::vector<ConsoleEvent> AltKeypad(std::vector<int> digits, std::uint8_t releaseChar)
{
    std::vector<ConsoleEvent> events = {Down(0x12, 0x38, 0, LeftAltPressed)};
    for (int digit : digits)
        for (const ConsoleEvent& event : AltDigit(digit))
            events.push_back(event);
    events.push_back(Up(0x12, 0x38, releaseChar, NumLockOn));
    return events;
}

// The key codes the events yield, read as the programs read them: ReadKey
// once KeyPressed reports a key. A late "~" ends any ReadKey that would
// otherwise wait for ever, and shows up in the result.
std::vector<int> CodesFor(const std::vector<ConsoleEvent>& events)
{
    VirtualConsoleReset();
    for (const ConsoleEvent& event : events)
        PushEvent(event);
    PushEvent(Down(0xC0, 0x29, '~'), 1000);
    std::vector<int> codes;
    while (KeyPressed() && codes.size() < 20)
        codes.push_back(ReadKey());
    return codes;
}

using Codes = std::vector<int>;

TEST(TranslateScanCode, EveryRowOfEveryGroup)
{
    // Each row: a modifier state, a run of scan codes, and the code of the
    // run's first scan code; later ones count up from it.
    struct Row {
        std::uint32_t State;
        unsigned FirstScan, LastScan, FirstCode;
    } rows[] = {
        {LeftAltPressed, 0x02, 0x0D, 0x78},  {RightAltPressed, 0x02, 0x0D, 0x78},
        {LeftAltPressed, 0x1C, 0x1C, 0xA6},  {LeftAltPressed, 0x35, 0x35, 0xA4},
        {LeftAltPressed, 0x3B, 0x44, 0x68},  {LeftAltPressed, 0x47, 0x49, 0x97},
        {LeftAltPressed, 0x4B, 0x4B, 0x9B},  {LeftAltPressed, 0x4D, 0x4D, 0x9D},
        {LeftAltPressed, 0x4F, 0x53, 0x9F},  {LeftAltPressed, 0x57, 0x58, 0x8B},
        {LeftCtrlPressed, 0x0F, 0x0F, 0x94}, {LeftCtrlPressed, 0x35, 0x35, 0x95},
        {LeftCtrlPressed, 0x37, 0x37, 0x96}, {LeftCtrlPressed, 0x3B, 0x44, 0x5E},
        {RightCtrlPressed, 0x3B, 0x44, 0x5E}, {LeftCtrlPressed, 0x57, 0x58, 0x89},
        {ShiftPressed, 0x3B, 0x44, 0x54},    {ShiftPressed, 0x57, 0x58, 0x87},
        {0, 0x57, 0x58, 0x85},
        // The first group that applies wins: Alt before Ctrl before Shift.
        {LeftAltPressed | LeftCtrlPressed, 0x3B, 0x3B, 0x68},
        {LeftCtrlPressed | ShiftPressed, 0x3B, 0x3B, 0x5E},
        // Enhanced and lock bits pick no group.
        {EnhancedKey | NumLockOn, 0x57, 0x57, 0x85},
    };
    for (const Row& row : rows)
        for (unsigned scan = row.FirstScan; scan <= row.LastScan; scan++)
            EXPECT_EQ(TranslateScanCode(scan, row.State, 0), row.FirstCode + scan - row.FirstScan)
                << std::hex << "scan " << scan << " state " << row.State;
}

TEST(TranslateScanCode, CtrlWithTheCursorBlockAndKeypad)
{
    struct Case {
        const char* Key;
        std::uint16_t Scan;
        unsigned Expected;
    } cases[] = {
        {"Home", 0x47, 0x77}, {"Up", 0x48, 0x8D},     {"PgUp", 0x49, 0x84}, {"keypad -", 0x4A, 0x8E},
        {"Left", 0x4B, 0x73}, {"keypad 5", 0x4C, 0x8F}, {"Right", 0x4D, 0x74},
        {"keypad + unchanged", 0x4E, 0x4E},            {"End", 0x4F, 0x75},  {"Down", 0x50, 0x91},
        {"PgDn", 0x51, 0x76}, {"Ins", 0x52, 0x92},    {"Del", 0x53, 0x93},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(TranslateScanCode(c.Scan, LeftCtrlPressed, 0), c.Expected) << "Ctrl+" << c.Key;
        EXPECT_EQ(TranslateScanCode(c.Scan, RightCtrlPressed | EnhancedKey, 0), c.Expected) << "Ctrl+" << c.Key;
    }
}

TEST(TranslateScanCode, ScanCodesInNoRowComeBackUnchanged)
{
    struct Case {
        std::uint16_t Scan;
        std::uint32_t State;
        unsigned Expected;
    } cases[] = {
        {0x2D, LeftAltPressed, 0x2D},   // Alt+X
        {0x01, LeftAltPressed, 0x01},   {0x0E, LeftAltPressed, 0x0E},
        {0x4A, LeftAltPressed, 0x4A},   {0x4C, LeftAltPressed, 0x4C},
        {0x4E, LeftAltPressed, 0x4E},   {0x59, LeftAltPressed, 0x59},
        {0x1C, LeftCtrlPressed, 0x1C},  {0x46, LeftCtrlPressed, 0x46},
        {0x54, LeftCtrlPressed, 0x54},  {0x0F, ShiftPressed, 0x0F},
        {0x48, ShiftPressed, 0x48},     {0x3B, 0, 0x3B},
        {0x48, 0, 0x48},                {0x53, 0, 0x53},
        {0x00, 0, 0x00},
        // Only the low byte comes back, after a row test on the whole code.
        {0x13B, ShiftPressed, 0x3B},    {0x148, 0, 0x48},
    };
    for (const Case& c : cases)
        EXPECT_EQ(TranslateScanCode(c.Scan, c.State, 0), c.Expected)
            << std::hex << "scan " << c.Scan << " state " << c.State;
}

TEST(ReadKey, KeyEventsToKeyCodes)
{
    struct Case {
        const char* Name;
        std::vector<ConsoleEvent> Events;
        Codes Expected;
    } cases[] = {
        {"letter", {Down('A', 0x1E, 'a')}, {'a'}},
        {"Up", {Down(0x26, 0x48, 0, EnhancedKey)}, {0, 72}},
        {"Up without the enhanced flag", {Down(0x26, 0x48, 0)}, {0, 72}},
        {"Ctrl+Home", {Down(0x24, 0x47, 0, LeftCtrlPressed | EnhancedKey)}, {0, 0x77}},
        {"Shift+F1", {Down(0x70, 0x3B, 0, ShiftPressed)}, {0, 0x54}},
        {"F11", {Down(0x7A, 0x57, 0)}, {0, 0x85}},
        {"Alt+1 on the top row", {Down('1', 0x02, '1', LeftAltPressed)}, {0, 0x78}},
        {"Ctrl+Tab with character 0", {Down(0x09, 0x0F, 0, LeftCtrlPressed)}, {0, 0x94}},
        {"Alt+X", {Down('X', 0x2D, 'x', LeftAltPressed)}, {0, 0x2D}},
        {"Enter", {Down(0x0D, 0x1C, 13)}, {13}},
        {"keypad Enter", {Down(0x0D, 0x1C, 13, EnhancedKey | NumLockOn)}, {13}},
        {"left Alt+Enter with 13", {Down(0x0D, 0x1C, 13, LeftAltPressed)}, {13}},
        {"left Alt+Enter with 0", {Down(0x0D, 0x1C, 0, LeftAltPressed)}, {0, 0xA6}},
        {"13 from another key with left Alt", {Down('M', 0x32, 13, LeftAltPressed | LeftCtrlPressed)}, {0, 0x32}},
        {"keypad slash", {Down(0x6F, 0x35, '/', EnhancedKey)}, {0, 0x35}},
        {"main slash", {Down(0xBF, 0x35, '/')}, {'/'}},
        {"AltGr character", {Down('Q', 0x10, '@', RightAltPressed | LeftCtrlPressed)}, {'@'}},
        {"right Alt character", {Down('E', 0x12, 0x80, RightAltPressed)}, {0x80}},
        {"Ctrl+C", {Down('C', 0x2E, 3, LeftCtrlPressed)}, {3}},
        {"Escape", {Down(0x1B, 0x01, 27)}, {27}},
        {"Escape with character 0", {Down(0x1B, 0x01, 0)}, {0, 0x01}},
        {"Backspace", {Down(0x08, 0x0E, 8)}, {8}},
        {"repeat count above 1", {[] { ConsoleEvent e = Down('A', 0x1E, 'a'); e.RepeatCount = 3; return e; }()}, {'a'}},
        {"keypad digit without Alt", {Down(0x66, 0x4D, '6', NumLockOn)}, {'6'}},
        {"modifiers and locks alone",
         {Down(0x10, 0x2A, 0, ShiftPressed), Up(0x10, 0x2A, 0), Down(0x11, 0x1D, 0, LeftCtrlPressed),
          Up(0x11, 0x1D, 0), Down(0x12, 0x38, 0, LeftAltPressed), Up(0x12, 0x38, 0),
          Down(0x14, 0x3A, 0, 0x0080), Up(0x14, 0x3A, 0, 0x0080), Down(0x90, 0x45, 0, NumLockOn | EnhancedKey),
          Up(0x90, 0x45, 0, NumLockOn), Down(0x91, 0x46, 0, 0x0040), Up(0x91, 0x46, 0, 0x0040)},
         {}},
        {"modifier with a high byte in its virtual-key code", {Down(0x0110, 0x2A, 0, ShiftPressed)}, {}},
        {"releases alone", {Up('A', 0x1E, 'a'), Up(0x0D, 0x1C, 13), Up(0x26, 0x48, 0, EnhancedKey)}, {}},
        {"events that are not keys", {NotAKey(), NotAKey()}, {}},
        {"keys among other events",
         {NotAKey(), Down('A', 0x1E, 'a'), Up('A', 0x1E, 'a'), NotAKey(), Down(0x26, 0x48, 0, EnhancedKey),
          Up(0x26, 0x48, 0, EnhancedKey), Down(0x10, 0x2A, 0, ShiftPressed), Down('B', 0x30, 'B', ShiftPressed)},
         {'a', 0, 72, 'B'}},
        {"Alt+keypad 6 5", AltKeypad({6, 5}, 'A'), {65}},
        {"Alt+keypad 3 0 0", AltKeypad({3, 0, 0}, ','), {44}},
        {"Alt+keypad 0 alone", AltKeypad({0}, 0), {}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(CodesFor(c.Events), c.Expected) << c.Name;
}

TEST(ReadKey, AltKeypadGoesOnFromZeroAfterALoneZero)
{
    std::vector<ConsoleEvent> events = AltKeypad({0}, 0);
    for (const ConsoleEvent& event : AltKeypad({6, 6}, 'B'))
        events.push_back(event);
    events.push_back(Down('A', 0x1E, 'a'));
    EXPECT_EQ(CodesFor(events), (Codes{66, 'a'}));
}

TEST(ReadKey, AltKeypadStartsAfreshAfterAComposedKey)
{
    std::vector<ConsoleEvent> events = AltKeypad({6, 5}, 'A');
    for (const ConsoleEvent& event : AltKeypad({9, 7}, 'a'))
        events.push_back(event);
    EXPECT_EQ(CodesFor(events), (Codes{65, 97}));
}

TEST(KeyPressed, ConsumesEventsUpToTheFirstKeyOnly)
{
    VirtualConsoleReset();
    EXPECT_FALSE(KeyPressed());
    PushEvent(NotAKey());
    PushEvent(Down('A', 0x1E, 'a'));
    PushEvent(Up('A', 0x1E, 'a'));
    PushEvent(Down('B', 0x30, 'b'));
    EXPECT_TRUE(KeyPressed());
    EXPECT_EQ(QueuedEvents(), 2);
    EXPECT_TRUE(KeyPressed());  // the pending key, nothing more read
    EXPECT_EQ(QueuedEvents(), 2);
    EXPECT_EQ(ReadKey(), 'a');
    EXPECT_EQ(ReadKey(), 'b');
    EXPECT_EQ(QueuedEvents(), 0);
    EXPECT_FALSE(KeyPressed());
}

TEST(ReadKey, SecondHalfOfAnExtendedKeyComesWithTheNextEventOrWithinASecond)
{
    VirtualConsoleReset();
    PushEvent(Down(0x26, 0x48, 0, EnhancedKey));
    PushEvent(Up(0x26, 0x48, 0, EnhancedKey), 0.25);
    EXPECT_EQ(ReadKey(), 0);
    EXPECT_TRUE(KeyPressed());
    EXPECT_EQ(WaitedSeconds, 0);
    EXPECT_EQ(ReadKey(), 72);
    EXPECT_DOUBLE_EQ(WaitedSeconds, 0.25);

    VirtualConsoleReset();
    PushEvent(Down(0x26, 0x48, 0, EnhancedKey));
    EXPECT_EQ(ReadKey(), 0);
    EXPECT_EQ(ReadKey(), 72);
    EXPECT_DOUBLE_EQ(WaitedSeconds, 1.0);
}

TEST(ReadKey, ExtendedKeyTranslatingToZeroGivesTheZeroAlone)
{
    VirtualConsoleReset();
    PushEvent(Down(0, 0, 0));
    PushEvent(Down('A', 0x1E, 'a'), 2.5);
    EXPECT_EQ(ReadKey(), 0);
    EXPECT_EQ(WaitedSeconds, 0);
    EXPECT_EQ(ReadKey(), 'a');
    EXPECT_DOUBLE_EQ(WaitedSeconds, 2.5);
}

TEST(ReadKey, WaitsWithoutLimitForAKey)
{
    VirtualConsoleReset();
    PushEvent(Down('A', 0x1E, 'a'), 3600);
    EXPECT_EQ(ReadKey(), 'a');
    EXPECT_DOUBLE_EQ(WaitedSeconds, 3600);
}

TEST(ReadKey, WithoutAConsoleEndsAsCtrlC)
{
    VirtualConsoleReset();
    VirtualConsoleSetPresent(false);
    EXPECT_FALSE(KeyPressed());
    EXPECT_EQ(ReadKey(), 3);
    EXPECT_DOUBLE_EQ(WaitedSeconds, 1.0);
}

// A key's text is handed out whole by ReadKeyText, byte by byte by ReadKey
// alone; it never takes the next key's text with it.
TEST(ReadKey, KeyTextWhole)
{
    VirtualConsoleReset();
    PushKeys("\xc3\xa9");  // two characters on a single-byte console
    ConsoleEvent two = Down(0, 0, 0);
    two.Text = "\x93\xfa";
    PushEvent(two);
    EXPECT_EQ(ReadKey(), 0xC3);
    EXPECT_EQ(ReadKeyText(0xC3), "\xc3");
    EXPECT_EQ(ReadKey(), 0xA9);
    EXPECT_EQ(ReadKey(), 0x93);
    EXPECT_EQ(ReadKeyText(0x93), "\x93\xfa");
    EXPECT_FALSE(KeyPressed());
}

}  // namespace
