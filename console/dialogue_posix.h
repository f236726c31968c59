// The dialogue with a POSIX terminal, apart from the keys: what it may be
// sent, decided once where the dialogue goes; where its cursor is, asked
// and followed by a model of the screen; how wide it draws the characters
// terminals disagree on; and the bytes of text and cursor moves. It reaches
// the terminal only through a port: console_posix.cpp's, or a test's
// script.
//
// With the dialogue on a file or pipe nothing is sent; on a terminal that
// takes no escape sequence (TERM dumb, emacs, cons25) the text alone, with
// CR LF, CR and BS (ESC in the text shows as "?"); elsewhere:
//   ESC [ 6 n          where is the cursor? (only once a position is
//                      needed; answered ESC [ row ; col R)
//   ESC [ row ; col H  move the cursor, where its row is known
//   ESC [ n A / B / C  move it up, down, right, where the row is not known
//   CR LF              after text that ends in the last column, so that
//                      the cursor moves on as a screen buffer's does
//   ESC [ row ; col H  also to text written beside the dialogue and back
//                      (WriteAt), only where the row is known
//   ESC [ J            blank the screen from the cursor, before a redraw
//                      on a fresh line after a resize or a stop
//   ESC [ ? 2027 $ p   does the terminal know the grapheme-cluster mode?
//                      (with the first width question; answered
//                      ESC [ ? 2027 ; v $ y, v 0 unknown, 1 on, 2 off,
//                      3 always on, 4 always off)
//   ESC [ ? 2027 h     the mode on, where it is off
//   ESC 7 text ESC [ 6 n ESC 8 blanks ESC 8
//                      a width question: draws a character of a kind not
//                      yet asked (or a letter and a spacing mark not yet
//                      asked), asks where the cursor landed, puts the
//                      cursor back and blanks the cells it may have taken
#pragma once

#include <csignal>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "screenmodel_posix.h"
#include "termkeys_posix.h"
#include "termquery_posix.h"

enum class Sending { Everything, TextOnly, Nothing };

// How the dialogue reaches the terminal. ReadUntil reads its input until
// some comes or the time (ms) passes (only what has come, once it has
// passed): keys are kept for the program, answers handed to TakeAnswers.
struct TerminalPort {
    bool (*Listening)();  // answers can come: the terminal is ours
    void (*Send)(std::string_view);
    void (*ReadUntil)(std::int64_t);
    std::int64_t (*Now)();
};

// The cursor-position query: not sent; wanted with the next text; sent and
// not yet placed; placed (answered or given up).
enum class Query { None, Wanted, Sent, Placed };

struct CursorQuery {
    Query State = Query::None;
    std::int64_t SentAt = 0;
    std::string Unplaced;        // text written after the query, before its answer
    bool PositionKnown = false;  // the terminal told us where the cursor was
};

struct Dialogue {
    TerminalPort Port;
    Sending Send = Sending::Nothing;
    ScreenModel Screen;
    CursorQuery Cursor;
    WidthQuestions Widths;
    int QueriesOutstanding = 0;     // cursor reports asked for and not come
    std::int64_t AwaitedUntil = 0;  // till then the latest one is awaited
    bool ReportReady = false;       // one came: ReportRow, ReportColumn (1-based)
    int ReportRow = 0;
    int ReportColumn = 0;
    int ClusterMode = -1;           // the mode's answer, once it came
    volatile std::sig_atomic_t ClusterModeSet = 0;  // we switched it on (read in a fault)
};

// Nothing is sent unless the dialogue goes to the terminal; the text alone
// where TERM names one that takes no escape sequence, the cursor then taken
// to start in column 1, and the screen one row, one cell narrower than
// the terminal, whose own wrap then never comes.
void DecideSending(Dialogue& dialogue, bool toTerminal, const char* term);
void SetScreenSize(Dialogue& dialogue, int columns, int rows);

// The procedures behind console.h's WantCursorPosition, WhereX (where the
// cursor is found, asking unless that was done; nothing moves), GotoXY and
// LearnWidths, and the bytes to write for text (plain text after a query
// not yet answered goes out at once and is followed when the answer comes).
void WantCursorPosition(Dialogue& dialogue);
void LocateCursor(Dialogue& dialogue);
void MoveCursor(Dialogue& dialogue, int x, int y);
void LearnWidths(Dialogue& dialogue, std::string_view text);
std::string TextBytes(Dialogue& dialogue, std::string_view text);

// Text in the cells from (x, y), and the cursor back where it was. The
// model does not follow the text, which would wrap after a last column
// filled; the move back, to a known row and column, ends the wrap a
// terminal holds pending there. False where only a terminal that told
// where its cursor is could be sent it: a guessed position could cover
// the prompt.
bool WriteAt(Dialogue& dialogue, int x, int y, std::string_view text);

// After the screen changed: finds the cursor anew and starts a fresh line
// with the screen blank below. False where the dialogue is not on the
// terminal: nothing to show again.
bool StartAfresh(Dialogue& dialogue);

void TakeAnswers(Dialogue& dialogue, const std::vector<TerminalAnswer>& answers);
// Until when answers are awaited, for the decoder (0: none is).
std::int64_t AnswersAwaitedUntil(const Dialogue& dialogue);
