// What the terminal's answers and pastes ask of the program, apart from
// the system calls: how long a lone Esc waits (ESCDELAY), the state of the
// cursor-position query, the questions about widths (emoji sequences and
// spacing marks, which terminals draw differently), and what input
// is still owed before the terminal is given back (at exit, at a stop, on
// a signal), so that nothing meant for the program is left for the shell.
// console_posix.cpp sends what is built here and reads the answers:
//
//   ESC [ 6 n                where is the cursor? (answered ESC [ row ; col R)
//   ESC [ ? 2027 $ p         does the terminal know the grapheme-cluster
//                            mode? (sent with the first width question only)
//   ESC [ ? 2027 ; v $ y     its answer: v 0 unknown, 1 on, 2 off, 3 always
//                            on, 4 always off
//   ESC [ ? 2027 h / l       the mode on (where it is off) and back off
//   ESC 7 text ESC [ 6 n ESC 8 blanks ESC 8
//                            a width question: draws a cluster of a kind not
//                            yet asked (or a letter and a spacing mark not
//                            yet asked), asks where the cursor landed, puts
//                            the cursor back and blanks the cells it may
//                            have taken
#pragma once

#include <cstdint>
#include <set>
#include <string>
#include <string_view>

#include "charset_posix.h"
#include "termkeys_posix.h"

// How long a cursor move waits for the terminal's report.
constexpr int CursorQueryWaitMs = 300;
// How long after the query a report is still awaited when the terminal is
// given back, and its start held back from the keys.
constexpr int LateReportMs = 2000;
// How long an unfinished paste is read on after its last bytes when the
// terminal is given back.
constexpr int PasteGapMs = 1000;

constexpr char CursorQuestion[] = "\x1b[6n";
constexpr char ClusterModeOn[] = "\x1b[?2027h";
constexpr char ClusterModeOff[] = "\x1b[?2027l";

// True for a TERM that names a terminal which cannot move its cursor nor
// take any escape sequence ("dumb", and "emacs" and "cons25", which no
// cursor-addressing terminal is called): there only text, CR, LF and BS go.
bool IsDumbTerminal(const char* term);

// The escape time for ESCDELAY's value (milliseconds, as curses reads it):
// EscapeWaitMs when it is unset or no number.
int EscapeDelayFrom(const char* value);

// The cursor-position query: not sent; wanted with the next text; sent and
// not yet placed; placed (answered or given up).
enum class Query { None, Wanted, Sent, Placed };

struct CursorQuery {
    Query State = Query::None;
    std::int64_t SentAt = 0;
    std::string Unplaced;        // text written after the query, before its answer
    bool PositionKnown = false;  // the terminal told us where the cursor was
};

// A cursor-position query (or a width question) went out at nowMs.
void NoteQuerySent(TermKeyDecoder& decoder, std::int64_t nowMs);

// Every query sent is answered; the last answer (the one to the latest
// query, as a terminal answers in order) is in ReportRow, ReportColumn.
bool QueryAnswered(const TermKeyDecoder& decoder);

// Until when input must still be read before the terminal is given back:
// a report on its way, the rest of a paste or of a string answer, the end
// of a sequence; -1 when nothing is owed.
std::int64_t OwedUntil(const TermKeyDecoder& decoder, std::int64_t nowMs);

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
    LearnedWidths Learned;  // what the answers said, handed to CharWidth
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

// The mode's answer, from the body of ESC [ body y ("?2027;2$"): its value,
// or -1 when the body is no such answer.
int ParseModeReport(std::string_view body);

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
