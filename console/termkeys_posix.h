// Terminal keyboard input: the bytes that xterm-like terminals, tmux and the
// Linux console send, turned into the key events a Windows console reports
// for the same keys, so that the shared key logic applies unchanged.
//
// A pure function of the bytes and the time they came: the caller reads the
// terminal and feeds what it got, with a clock reading in milliseconds.
#pragma once

#include <cstdint>
#include <deque>
#include <string>
#include <string_view>

#include "backend.h"

// How long an Esc waits for the rest of a sequence before it counts as the
// Esc key on its own, unless ESCDELAY says otherwise (termquery_posix.h).
constexpr int EscapeWaitMs = 100;
// How long a sequence that has begun its parameters (ESC [ 1 ...) waits for
// its end: only a terminal sends those, and a slow link splits them.
constexpr int SequenceWaitMs = 2000;

struct TermKeyDecoder {
    bool Utf8 = false;              // input is UTF-8: only whole characters get through
    int EscapeWait = EscapeWaitMs;  // ms
    int QueriesOutstanding = 0;     // cursor-position queries sent and not answered
    std::int64_t HoldReportsUntil = 0;  // till then a report's start waits for its end
    bool ReportReady = false;       // one came: ReportRow, ReportColumn (1-based)
    int ReportRow = 0;
    int ReportColumn = 0;
    bool InPaste = false;           // between the bracketed paste's start and end
    bool PasteCut = false;          // its line break came: the rest is dropped
    bool DropPastes = false;        // pasted text gives no keys at all
    bool InString = false;          // inside a terminal's string answer (OSC, DCS ...)
    int ClusterMode = -1;           // the answer about the grapheme-cluster mode, once it came
    std::string Pending;            // the start of a sequence not yet complete
    std::int64_t PendingSince = 0;  // when its last byte came
};

// Takes the bytes read at nowMs and appends the events of every key that is
// complete. Call it with no bytes to let an unfinished sequence time out.
void DecodeKeys(TermKeyDecoder& decoder, std::string_view bytes, std::int64_t nowMs,
                std::deque<ConsoleEvent>& events);

// When the unfinished sequence will be given up (and a lone Esc delivered);
// -1 when nothing is waiting.
std::int64_t DecodeDeadline(const TermKeyDecoder& decoder);
