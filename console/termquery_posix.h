// The questions about widths: which characters a terminal draws in a
// number of cells that terminals disagree on (emoji sequences, spacing
// marks), the bytes that ask it (dialogue_posix.h, which sends them, lists
// them) and what its answers teach CharWidth (TerminalWidths in
// charset_posix.h).
#pragma once

#include <cstdint>
#include <set>
#include <string>
#include <string_view>

#include "charset_posix.h"

constexpr char CursorQuestion[] = "\x1b[6n";
constexpr char ClusterModeQuestion[] = "\x1b[?2027$p";
constexpr char ClusterModeOn[] = "\x1b[?2027h";
constexpr char ClusterModeOff[] = "\x1b[?2027l";

// The widths asked about, where the text holds such characters, and taken
// from the answers for the rest of the run: an emoji sequence once per
// kind, and where the answer fits no rule each character of that kind; a
// spacing mark once per code point, since terminals' tables differ mark by
// mark (ि and ी may take no cell where ा takes one), each drawn after the
// letter it stands on.
struct WidthQuestions {
    bool Asked[EmojiKinds] = {};
    bool EachAsked[EmojiKinds] = {};  // no rule gave the answer: each character is asked
    std::set<std::string, std::less<>> CharactersAsked;
    std::set<std::string, std::less<>> MarksAsked;
    bool ModeAsked = false;
    bool ModeTaken = false;
};

// What to ask about first for text: a character whose kind has not been
// asked about, or a letter with a spacing mark not asked about; empty when
// there is nothing.
std::string UnaskedCharacter(const WidthQuestions& questions, std::string_view text);

// The cells a question may take on the screen (its code points each in two
// cells, a code point of no width in one): it is asked only where that
// many fit before the row's last column.
int QuestionCells(std::string_view character);

// The bytes that ask about the character's kind, which counts as asked
// from now on: with the first question also whether the mode is known.
std::string QuestionFor(WidthQuestions& questions, std::string_view character);

// Takes the mode's answer (-1: none came) and returns what to send: the
// mode switched on where the terminal can; it must be switched off (with
// ClusterModeOff) at every exit then.
std::string TakeModeAnswer(WidthQuestions& questions, int value);

// Takes the cells the question's text took: how far the cursor moved on
// its row (-1: no answer, or not on the same row). For an emoji sequence
// the rule that gives that many cells counts for its kind, the default
// first; where none does, the cells count for the character, and each of
// its kind is asked about. A spacing mark takes what the letter before it
// did not.
void TakeQuestionAnswer(WidthQuestions& questions, std::string_view character, int cells);
