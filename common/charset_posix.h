// How POSIX terminals draw emoji sequences, whose width they disagree on:
// the kinds of sequence and the rules a terminal may draw them by. The
// console learns this terminal's rules (termquery_posix.h) and hands them
// down; CharWidth follows them.
#pragma once

#include <string_view>

// A character with U+FE0F, a keycap, a skin-tone modifier, a ZWJ sequence,
// a flag; None for every other character.
enum class EmojiKind { None, Presentation, Keycap, SkinTone, Joined, Flag };
constexpr int EmojiKinds = 6;

EmojiKind EmojiKindOf(std::string_view character);

// How a terminal draws a character: code point by code point (the
// default, and what tmux, GNU screen and xterm do with most kinds), the
// same but a code point after a ZWJ taking no cell (tmux), or whole as
// Unicode's clusters say (two cells for an emoji sequence; the mode 2027).
enum class EmojiRule { Sum, ZwjJoins, Whole };

// The cells a character (a valid UTF-8 grapheme cluster) takes by a rule.
int CellsByRule(std::string_view character, EmojiRule rule);

// The rule for each kind (Sum until the terminal says otherwise; always
// for None), or Whole for every character once the terminal draws
// clusters whole.
struct EmojiRules {
    EmojiRule ByKind[EmojiKinds] = {};
    bool Whole = false;
};
void SetEmojiRules(const EmojiRules& rules);
