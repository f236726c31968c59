#include "keys.h"

#include "backend.h"
#include "charset.h"
#include "console.h"

namespace {

// What KeyPressed found and ReadKey has not yet handed out: a key code,
// then the rest of the key's text, byte by byte.
struct KeyState {
    std::uint8_t PendingKey = 0;
    bool PendingExtended = false;
    std::string Rest;
    std::string Lead;  // a double-byte character's lead byte, waiting for its trail
    bool AltNumpadActive = false;
    std::uint8_t AltNumpadValue = 0;
};
KeyState Keys;

constexpr std::uint16_t VkReturn = 0x0D;
constexpr std::uint16_t VkShift = 0x10;
constexpr std::uint16_t VkControl = 0x11;
constexpr std::uint16_t VkMenu = 0x12;
constexpr std::uint16_t VkCapital = 0x14;
constexpr std::uint16_t VkNumpad0 = 0x60;
constexpr std::uint16_t VkNumpad9 = 0x69;
constexpr std::uint16_t VkNumLock = 0x90;
constexpr std::uint16_t VkScroll = 0x91;

// Ctrl with the cursor block and keypad, scan codes 0x47..0x53.
constexpr std::uint8_t CtrlKeypadCodes[13] = {
    0x77, 0x8D, 0x84, 0x8E, 0x73, 0x8F, 0x74, 0x4E, 0x75, 0x91, 0x76, 0x92, 0x93,
};

bool IsNumpadDigit(std::uint16_t vk)
{
    std::uint8_t low = vk & 0xFF;
    return low >= VkNumpad0 && low <= VkNumpad9;
}

}  // namespace

bool IsModifierKey(std::uint8_t vk)
{
    return vk == VkShift || vk == VkControl || vk == VkMenu || vk == VkCapital ||
           vk == VkNumLock || vk == VkScroll;
}

std::uint8_t TranslateScanCode(std::uint16_t scanCode, std::uint32_t controlKeyState,
                               std::uint16_t virtualKey)
{
    bool alt = (controlKeyState & (RightAltPressed | LeftAltPressed)) != 0;
    bool ctrl = (controlKeyState & (RightCtrlPressed | LeftCtrlPressed)) != 0;
    bool shift = (controlKeyState & ShiftPressed) != 0;
    unsigned s = scanCode;

    if (alt && virtualKey >= VkNumpad0 && virtualKey <= VkNumpad9) {
        Keys.AltNumpadActive = true;
        Keys.AltNumpadValue = static_cast<std::uint8_t>(Keys.AltNumpadValue * 10 + virtualKey - VkNumpad0);
    }

    unsigned code = s;
    if (alt) {
        if (s >= 0x02 && s <= 0x0D) code = s + 0x76;
        else if (s == 0x1C) code = 0xA6;
        else if (s == 0x35) code = 0xA4;
        else if (s >= 0x3B && s <= 0x44) code = s + 0x2D;
        else if (s >= 0x47 && s <= 0x49) code = s + 0x50;
        else if (s == 0x4B) code = 0x9B;
        else if (s == 0x4D) code = 0x9D;
        else if (s >= 0x4F && s <= 0x53) code = s + 0x50;
        else if (s >= 0x57 && s <= 0x58) code = s + 0x34;
    } else if (ctrl) {
        if (s == 0x0F) code = 0x94;
        else if (s == 0x35) code = 0x95;
        else if (s == 0x37) code = 0x96;
        else if (s >= 0x3B && s <= 0x44) code = s + 0x23;
        else if (s >= 0x47 && s <= 0x53) code = CtrlKeypadCodes[s - 0x47];
        else if (s >= 0x57 && s <= 0x58) code = s + 0x32;
    } else if (shift) {
        if (s >= 0x3B && s <= 0x44) code = s + 0x19;
        else if (s >= 0x57 && s <= 0x58) code = s + 0x30;
    } else {
        if (s >= 0x57 && s <= 0x58) code = s + 0x2E;
    }
    return static_cast<std::uint8_t>(code & 0xFF);
}

void ResetKeyState()
{
    Keys = KeyState();
}

// A console with a double-byte code page may report a character as two
// key events, lead byte and then trail byte.
bool IsLoneLeadByte(const std::string& text)
{
    return !LocaleIsUtf8() && text.size() == 1 && CharLength(text + "x") == 2;
}

bool KeyPressed()
{
    if (Keys.PendingKey != 0 || Keys.PendingExtended || !Keys.Rest.empty())
        return true;

    ConsoleEvent event;
    while (InputEventCount() > 0) {
        if (!ReadInputEvent(event))
            break;
        if (!event.IsKey)
            continue;

        if (event.KeyDown) {
            bool altHeld = (event.ControlKeyState & (RightAltPressed | LeftAltPressed)) != 0;
            if (IsModifierKey(event.VirtualKey & 0xFF))
                continue;

            if (!Keys.Lead.empty()) {
                // A trail byte must follow; the lead alone is no character.
                if (event.Text.size() == 1)
                    event.Text.insert(0, Keys.Lead);
                Keys.Lead.clear();
            } else if (IsLoneLeadByte(event.Text) && !(event.ControlKeyState & (LeftAltPressed | EnhancedKey))) {
                Keys.Lead = event.Text;
                continue;
            }

            bool extended = event.Text.empty() || (event.ControlKeyState & (LeftAltPressed | EnhancedKey)) != 0;
            if (event.Text == "\r" && event.VirtualKey == VkReturn)
                extended = false;
            if (extended) {
                Keys.PendingExtended = true;
                Keys.PendingKey = TranslateScanCode(event.ScanCode, event.ControlKeyState, event.VirtualKey);
            } else {
                Keys.PendingExtended = false;
                Keys.PendingKey = static_cast<std::uint8_t>(event.Text[0]);
                Keys.Rest = event.Text.substr(1);
            }

            // An Alt+keypad digit is part of a composed character, not a key.
            if (IsNumpadDigit(event.VirtualKey) && altHeld) {
                Keys.PendingKey = 0;
                Keys.PendingExtended = false;
                Keys.Rest.clear();
                continue;
            }
            // A key is found; an extended key whose code is 0 still counts.
            return true;
        }

        if ((event.VirtualKey & 0xFF) == VkMenu && Keys.AltNumpadActive && Keys.AltNumpadValue != 0) {
            // The console gives the composed character with the release of
            // Alt; one that does not has its code counted here.
            std::string text = event.Text;
            if (text.empty() && (!LocaleIsUtf8() || Keys.AltNumpadValue < 0x80))
                text.assign(1, static_cast<char>(Keys.AltNumpadValue));
            Keys.AltNumpadActive = false;
            Keys.AltNumpadValue = 0;
            if (text.empty())
                continue;
            Keys.PendingKey = static_cast<std::uint8_t>(text[0]);
            Keys.Rest = text.substr(1);
            return true;
        }
    }
    return false;
}

std::uint8_t ReadKey()
{
    bool found = false;
    while (!found) {
        WaitForInput(1000);
        found = KeyPressed();
        if (!found && !HaveConsole())
            return 3;  // no key will ever come: end as on Ctrl+C
        if (!found && ScreenChangePending()) {
            // What the program shows must be shown again: a key of its own.
            Keys.PendingKey = KeyScreenChanged;
            Keys.PendingExtended = true;
            found = true;
        }
    }
    if (Keys.PendingExtended) {
        Keys.PendingExtended = false;
        return 0;
    }
    if (Keys.PendingKey == 0 && !Keys.Rest.empty()) {
        std::uint8_t next = static_cast<std::uint8_t>(Keys.Rest[0]);
        Keys.Rest.erase(0, 1);
        return next;
    }
    std::uint8_t key = Keys.PendingKey;
    Keys.PendingKey = 0;
    return key;
}

std::string ReadKeyText(std::uint8_t first)
{
    std::string text = static_cast<char>(first) + Keys.Rest;
    Keys.Rest.clear();
    return IsConsoleText(text) ? text : std::string();
}

bool KeysBehind()
{
    return Keys.PendingKey != 0 || Keys.PendingExtended || KeyPressWaiting();
}

void DropKeysBehind()
{
    Keys.PendingKey = 0;
    Keys.PendingExtended = false;
    Keys.Rest.clear();
    Keys.Lead.clear();
    DropWaitingInput();
}
