// Emoji sequences, whose width terminals disagree on, and how this
// terminal draws them: asked once per kind and run, where the text holds
// one, and taken from its answer for the rest of the run. Built and read
// here; console_posix.cpp sends and receives them on the query path of the
// cursor position:
//
//   ESC [ ? 2027 $ p         does the terminal know the grapheme-cluster
//                            mode? (sent with the first question only)
//   ESC [ ? 2027 ; v $ y     its answer: v 0 unknown, 1 on, 2 off, 3 always
//                            on, 4 always off
//   ESC [ ? 2027 h / l       the mode on (where it is off) and back off
//   ESC 7 cluster ESC [ 6 n ESC 8 blanks ESC 8
//                            draws a cluster of a kind not yet asked, asks
//                            where the cursor landed (ESC [ row ; col R),
//                            puts the cursor back where it was and blanks
//                            the cells the cluster may have taken
#pragma once

#include <string>
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

// The rule for a character: Whole for all once the terminal draws
// clusters whole; for an emoji sequence its kind's; Sum otherwise.
EmojiRule RuleFor(std::string_view character);

// The cells a character (a valid UTF-8 grapheme cluster) takes by a rule;
// defined beside the code points' widths in charset_posix.cpp.
int CellsByRule(std::string_view character, EmojiRule rule);

// The first character of text whose kind has not been asked about; empty
// when there is none.
std::string_view UnaskedCharacter(std::string_view text);

// The cells a question about the character may take on the screen: it is
// asked only where that many fit before the row's last column.
int QuestionCells(std::string_view character);

// The bytes that ask about the character's kind, which counts as asked
// from now on: with the first question also whether the mode is known.
std::string QuestionFor(std::string_view character);

// The mode's answer, from the body of ESC [ body y ("?2027;2$"): its value,
// or -1 when the body is no such answer.
int ParseModeReport(std::string_view body);

// Takes the mode's answer (-1: none came) and returns what to send: the
// mode switched on where the terminal can; it must be switched off (with
// ClusterModeOff) at every exit then.
std::string TakeModeAnswer(int value);
constexpr const char* ClusterModeOff = "\x1b[?2027l";

// Takes the cells the character took: how far the cursor moved on its row
// (-1: no answer, or not on the same row). The rule that gives that many
// cells counts for its kind, the default first.
void TakeQuestionAnswer(std::string_view character, int cells);

// Forgets every answer (tests).
void ResetEmojiWidths();
