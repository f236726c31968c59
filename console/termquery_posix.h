// What the terminal's answers and pastes ask of the program, apart from
// the system calls: how long a lone Esc waits (ESCDELAY), the bookkeeping
// of cursor-position queries, and what input is still owed before the
// terminal is given back (at exit, at a stop, on a signal), so that
// nothing meant for the program is left for the shell.
#pragma once

#include <cstdint>

#include "termkeys_posix.h"

// How long a cursor move waits for the terminal's report.
constexpr int CursorQueryWaitMs = 300;
// How long after the query a report is still awaited when the terminal is
// given back, and its start held back from the keys.
constexpr int LateReportMs = 2000;
// How long an unfinished paste is read on after its last bytes when the
// terminal is given back.
constexpr int PasteGapMs = 1000;

// The escape time for ESCDELAY's value (milliseconds, as curses reads it):
// EscapeWaitMs when it is unset or no number.
int EscapeDelayFrom(const char* value);

// A cursor-position query went out at nowMs.
void NoteQuerySent(TermKeyDecoder& decoder, std::int64_t nowMs);

// Every query sent is answered; the last answer (the one to the latest
// query, as a terminal answers in order) is in ReportRow, ReportColumn.
bool QueryAnswered(const TermKeyDecoder& decoder);

// Until when input must still be read before the terminal is given back:
// a report on its way, the rest of a paste or of a string answer, the end
// of a sequence; -1 when nothing is owed.
std::int64_t OwedUntil(const TermKeyDecoder& decoder, std::int64_t nowMs);
