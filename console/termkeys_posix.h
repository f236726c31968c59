// Terminal keyboard input: the bytes that xterm-like terminals, tmux and the
// Linux console send, turned into the key events a Windows console reports
// for the same keys, so that the shared key logic applies unchanged.
//
// A pure function of the bytes and the time they came: the caller reads the
// terminal and feeds what it got, with a clock reading in milliseconds. The
// terminal's answers to questions (cursor reports, the grapheme-cluster
// mode's) are no keys: they are queued for whoever asked, who tells the
// decoder until when answers are awaited.
#pragma once

#include <cstdint>
#include <deque>
#include <vector>
#include <string>
#include <string_view>

#include "backend.h"

// How long an Esc waits for the rest of a sequence before it counts as the
// Esc key on its own, unless ESCDELAY says otherwise (EscapeDelayFrom).
constexpr int EscapeWaitMs = 100;
// How long a sequence that has begun its parameters (ESC [ 1 ...) waits for
// its end: only a terminal sends those, and a slow link splits them.
constexpr int SequenceWaitMs = 2000;
// How long an unfinished paste is read on after its last bytes when the
// terminal is given back.
constexpr int PasteGapMs = 1000;
constexpr std::string_view PasteEnd = "\x1b[201~";

// The escape time for ESCDELAY's value (milliseconds, as curses reads it):
// EscapeWaitMs when it is unset or no number.
int EscapeDelayFrom(const char* value);

// An answer seen in the input: a cursor report (ESC [ Row ; Column R,
// 1-based), or the grapheme-cluster mode's (Mode 0-4; -1 for a report).
struct TerminalAnswer {
    int Row = 0;
    int Column = 0;
    int Mode = -1;
};

struct TermKeyDecoder {
    bool Utf8 = false;              // input is UTF-8: only whole characters get through
    int EscapeWait = EscapeWaitMs;  // ms
    // Told by whoever asks: 0 when no answer is awaited; else a report is
    // an answer however late, and till then its start waits for its end.
    std::int64_t AnswersAwaitedUntil = 0;
    std::vector<TerminalAnswer> Answers;  // seen and not yet taken
    bool InPaste = false;           // between the bracketed paste's start and end
    bool PasteCut = false;          // its line break came: the rest is dropped
    bool DropPastes = false;        // pasted text gives no keys at all
    bool InString = false;          // inside a terminal's string answer (OSC, DCS ...)
    bool InLongSequence = false;    // inside a sequence longer than any key's
    std::string Pending;            // the start of a sequence not yet complete
    std::size_t Dropped = 0;        // its first bytes came in a dropped burst: no key
    std::int64_t PendingSince = 0;  // when its last byte came
};

// A decoder for input in UTF-8 (or not), with that escape time (ms).
TermKeyDecoder MakeDecoder(bool utf8, int escapeWait);
// From now on pasted text gives no keys.
void DropPastedText(TermKeyDecoder& decoder);

// Takes the bytes read at nowMs and appends the events of every key that is
// complete. Call it with no bytes to let an unfinished sequence time out.
void DecodeKeys(TermKeyDecoder& decoder, std::string_view bytes, std::int64_t nowMs,
                std::deque<ConsoleEvent>& events);

// When the unfinished sequence will be given up (and a lone Esc delivered);
// -1 when nothing is waiting.
std::int64_t DecodeDeadline(const TermKeyDecoder& decoder);

// Answers are awaited until the time (0: none is).
void AwaitAnswers(TermKeyDecoder& decoder, std::int64_t until);
// The answers seen since the last call, taken.
std::vector<TerminalAnswer> TakeDecodedAnswers(TermKeyDecoder& decoder);

// Until when input must still be read before the terminal is given back:
// the rest of a paste or of a string answer, the end of a sequence; -1
// when nothing is owed.
std::int64_t InputOwedUntil(const TermKeyDecoder& decoder, std::int64_t nowMs);
// Inside a bracketed paste (read in a fault's handler).
bool PasteUnderWay(const TermKeyDecoder& decoder);

// The unfinished sequence belongs to input that is dropped: whatever its
// rest makes of it when it comes gives no key.
void DropPendingInput(TermKeyDecoder& decoder);
