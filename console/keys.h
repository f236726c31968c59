// The key logic shared by every platform: console key events in, PC-style
// one-byte key codes out.
#pragma once

#include <cstdint>

// Translates an extended key's scan code by its modifiers; also collects
// digits typed on the numeric keypad while Alt is held.
std::uint8_t TranslateScanCode(std::uint16_t scanCode, std::uint32_t controlKeyState,
                               std::uint16_t virtualKey);

// Shift, Ctrl, Alt and the lock keys (the virtual-key code's low byte):
// pressed alone they are no key.
bool IsModifierKey(std::uint8_t virtualKey);

// Forgets any pending key and Alt+keypad digits (for tests).
void ResetKeyState();
