// How POSIX terminals draw the characters whose width they disagree on:
// emoji sequences, their kinds and the rules a terminal may draw them by,
// and spacing marks. The console learns how this terminal draws them
// (termquery_posix.h) and writes it here; CharWidth follows it.
#pragma once

#include <functional>
#include <map>
#include <string>
#include <string_view>
#include <vector>

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

// The code points of a character of general category Mc (spacing marks:
// Devanagari, Bengali, Tamil vowel signs and the like), each as its bytes:
// terminals give them one cell or none.
std::vector<std::string_view> SpacingMarks(std::string_view character);

// What the console learned of how the terminal draws the characters that
// terminals disagree on: the rule for each kind of emoji sequence (Sum
// until the terminal says otherwise; always for None), or Whole for every
// character once the terminal draws clusters whole; the cells of each
// spacing mark asked about (by its bytes); and the cells of characters that
// no rule gives, as the terminal drew them, which CharWidth takes first.
struct LearnedWidths {
    EmojiRule ByKind[EmojiKinds] = {};
    bool Whole = false;
    std::map<std::string, int, std::less<>> Marks;
    std::map<std::string, int, std::less<>> Characters;
};
// The one record of it, for the run.
LearnedWidths& TerminalWidths();
