// The console on a POSIX terminal: keys and cursor on the controlling
// terminal (/dev/tty) whatever standard input and output are; the process's
// text on standard output (lines end in LF there unless it is the
// terminal), or on the terminal when standard output carries a result (on
// standard error without a terminal).
//
// What goes to the terminal is decided once, when it is known where the
// dialogue goes: with the dialogue on a file or pipe nothing does (keys are
// still read); on a terminal that takes no escape sequence (TERM dumb,
// emacs, cons25) the text alone, with CR LF, CR and BS; elsewhere:
//   ESC [ 6 n          where is the cursor? (only once a position is
//                      needed; answered ESC [ row ; col R)
//   ESC [ row ; col H  move the cursor, where its row is known
//   ESC [ n A / B / C  move it up, down, right, where the row is not known
//   CR LF              after text that ends in the last column, so that
//                      the cursor moves on as a screen buffer's does
//   ESC [ row ; col H  also to text written beside the dialogue and back
//                      (WriteCellsAt), only where the row is known
//   ESC [ J            blank the screen from the cursor, before a redraw
//                      on a fresh line after a resize or a stop
//   ESC [ ? 2004 h / l bracketed paste on while keys are read, off before
//                      the terminal is given back
//   the questions about widths (emoji sequences, spacing marks) and the
//   grapheme-cluster mode, and that mode on and off, as termquery_posix.h
//   lists them
// Keys, pastes and the cursor report are decoded by termkeys_posix.cpp;
// what to ask and what is owed is ruled by termquery_posix.cpp. Signals
// (signals_posix.cpp) give the terminal back here before a stop or an end,
// taking a report or paste on its way off the input; in a fault's handler
// with bytes read and not decoded.
#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <ctime>
#include <deque>
#include <string>

#include <fcntl.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include "charset.h"
#include "backend.h"
#include "clock.h"
#include "console.h"
#include "output.h"
#include "screenmodel_posix.h"
#include "signals_posix.h"
#include "streams_posix.h"
#include "termkeys_posix.h"
#include "termquery_posix.h"

int ScreenWidth = 80;
int ScreenHeight = 25;

namespace {

constexpr char PasteOn[] = "\x1b[?2004h";
constexpr char PasteOff[] = "\x1b[?2004l";

// What may be sent to the terminal.
enum class Sending { Everything, TextOnly, Nothing };

struct Terminal {
    int Fd = -1;                // the controlling terminal; -1 without one
    bool Dumb = false;          // TERM names a terminal that takes no escape sequence
    Sending Send = Sending::Nothing;
    bool Taken = false;         // Saved and Raw are set: we were in the foreground
    termios Saved{};            // its settings as found in the foreground
    termios Raw{};              // ours
    bool PasteAsked = false;    // bracketed paste is on
    bool OutputIsTerminal = false;  // the dialogue's text goes to that terminal
    bool DialogueOnTerminal = false;  // written to the terminal, not standard output
    bool Utf8 = false;
    bool Changed = false;       // resized, or continued after a stop
    int Columns = 80;           // its size as it told it
    int Rows = 25;
};
Terminal Tty;
volatile std::sig_atomic_t RawMode = 0;  // our settings are in force (read in a fault)
volatile std::sig_atomic_t ClusterModeSet = 0;  // we switched the grapheme-cluster mode on

TermKeyDecoder Decoder;
std::deque<ConsoleEvent> Events;
ScreenModel Screen;
CursorQuery Cursor;
WidthQuestions Widths;

std::int64_t NowMs()
{
    timespec now;
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<std::int64_t>(now.tv_sec) * 1000 + now.tv_nsec / 1000000;
}

bool Foreground()
{
    return tcgetpgrp(Tty.Fd) == getpgrp();
}

// The grapheme-cluster mode, where we switched it on, is the terminal's
// own setting again while the shell has it.
void ClusterModeBack(bool on)
{
    if (ClusterModeSet)
        (void)!write(Tty.Fd, on ? ClusterModeOn : ClusterModeOff, sizeof ClusterModeOff - 1);
}

// Puts the terminal's settings back, with no questions asked; safe in a
// signal handler.
void RestoreSettings()
{
    ClusterModeBack(false);
    if (RawMode) {
        if (Tty.PasteAsked)
            (void)!write(Tty.Fd, PasteOff, sizeof PasteOff - 1);
        tcsetattr(Tty.Fd, TCSANOW, &Tty.Saved);
        RawMode = 0;
    }
}

// In a signal handler: reads the input, bytes only, until what is owed
// has come (a report's final R, a paste's end) or its time is up.
void SkipOwedInput()
{
    constexpr char PasteEnd[] = "\x1b[201~";
    int reports = Decoder.QueriesOutstanding;
    bool paste = Decoder.InPaste;
    std::size_t matched = 0;
    std::int64_t until = paste ? NowMs() + PasteGapMs : Decoder.HoldReportsUntil;
    for (std::int64_t now = NowMs(); (reports > 0 || paste) && now < until; now = NowMs()) {
        pollfd p{Tty.Fd, POLLIN, 0};
        char buffer[256];
        ssize_t n = 0;
        if (poll(&p, 1, static_cast<int>(until - now)) <= 0 || (n = read(Tty.Fd, buffer, sizeof buffer)) <= 0)
            return;
        for (ssize_t i = 0; i < n; i++) {
            if (!paste) {
                reports -= buffer[i] == 'R';
                continue;
            }
            matched = buffer[i] == PasteEnd[matched] ? matched + 1 : buffer[i] == PasteEnd[0];
            paste = matched < sizeof PasteEnd - 1;
        }
        if (paste)
            until = NowMs() + PasteGapMs;
        else if (reports > 0)
            until = Decoder.HoldReportsUntil;
    }
}

// In a fault's handler: the terminal back as found, at once.
void RestoreAfterFault()
{
    if (RawMode) {
        if (Tty.PasteAsked)
            (void)!write(Tty.Fd, PasteOff, sizeof PasteOff - 1);
        Tty.PasteAsked = false;
        SkipOwedInput();
    }
    RestoreSettings();
}

void WriteTerminal(std::string_view bytes);
void PumpInput();
void PollTerminal(int milliseconds, bool takeSignals);

// The terminal went away (hung up): from now on there is no console.
void LoseTerminal()
{
    RawMode = 0;
    close(Tty.Fd);
    Tty.Fd = -1;
}

// In the foreground: takes the terminal's settings (the first time) and
// switches to ours. In the background nothing: it is the shell's.
void TakeTerminal()
{
    if (Tty.Fd < 0 || RawMode || !Foreground())
        return;
    if (!Tty.Taken) {
        if (tcgetattr(Tty.Fd, &Tty.Saved) != 0)
            return;
        Screen.LineFeedReturns = (Tty.Saved.c_oflag & OPOST) && (Tty.Saved.c_oflag & ONLCR);
        // Keys as they come, with no signals, echo, flow control or CR-to-LF.
        Tty.Raw = Tty.Saved;
        Tty.Raw.c_lflag &= ~(ISIG | ICANON | ECHO | IEXTEN);
        Tty.Raw.c_iflag &= ~(IXON | ICRNL | INLCR | IGNCR | ISTRIP);
        Tty.Raw.c_cc[VMIN] = 1;
        Tty.Raw.c_cc[VTIME] = 0;
        Tty.Taken = true;
    }
    if (tcsetattr(Tty.Fd, TCSANOW, &Tty.Raw) == 0)
        RawMode = 1;
}

// Gives the terminal back as it was found: bracketed paste off, then what
// the terminal still owes us is read off its input (a report on its way,
// the rest of a paste), then its settings.
void GiveTerminalBack()
{
    if (!RawMode)
        return;
    if (Tty.PasteAsked)
        WriteTerminal(PasteOff);
    Tty.PasteAsked = false;
    for (std::int64_t now = NowMs(), until; Tty.Fd >= 0 && (until = OwedUntil(Decoder, now)) >= 0; now = NowMs()) {
        PollTerminal(static_cast<int>(until - now), false);
        PumpInput();
    }
    RestoreSettings();
}

// Continued after a stop: the shell may have reset the terminal, and has
// written on the screen. Continued in the background, that waits for the
// foreground (PumpInput).
void Continued()
{
    // After a stop we did not see (SIGSTOP) our settings may be gone, or,
    // continued in the background, not ours to keep.
    if (RawMode && Foreground())
        tcsetattr(Tty.Fd, TCSANOW, &Tty.Raw);
    else
        RestoreSettings();
    Tty.PasteAsked = false;
    TakeTerminal();
    if (RawMode)
        ClusterModeBack(true);
    Tty.Changed = Tty.Changed || RawMode;
}

// Keys are read: pastes are to come bracketed.
void AskForPastes()
{
    if (RawMode && !Tty.PasteAsked && Tty.Send == Sending::Everything) {
        Tty.PasteAsked = true;
        WriteTerminal(PasteOn);
    }
}

// Waits until fd can take more bytes (it was opened non-blocking).
bool WaitWritable(int fd)
{
    pollfd p{fd, POLLOUT, 0};
    return poll(&p, 1, -1) > 0 && !(p.revents & (POLLERR | POLLHUP | POLLNVAL));
}

bool WriteAll(int fd, std::string_view bytes)
{
    while (!bytes.empty()) {
        ssize_t n = write(fd, bytes.data(), bytes.size());
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 && errno == EAGAIN && WaitWritable(fd))
            continue;
        if (n <= 0)
            return false;
        bytes.remove_prefix(n);
    }
    return true;
}

void WriteTerminal(std::string_view bytes)
{
    if (Tty.Fd >= 0 && !WriteAll(Tty.Fd, bytes))
        LoseTerminal();
}

// Reads what the terminal has sent and decodes it; also lets a pending
// sequence time out into a lone Esc. Come to the foreground, it takes the
// terminal first; in the background it reads nothing.
void PumpInput()
{
    if (Tty.Fd < 0)
        return;
    if (!RawMode && Foreground()) {
        // Come to the foreground without a continue (started in the
        // background): shown again there.
        TakeTerminal();
        Tty.Changed = Tty.Changed || RawMode;
    }
    if (!RawMode)
        return;
    char buffer[4096];
    while (Tty.Fd >= 0) {
        ssize_t n = read(Tty.Fd, buffer, sizeof buffer);
        if (n > 0) {
            DecodeKeys(Decoder, std::string_view(buffer, n), NowMs(), Events);
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 && errno == EIO && !Foreground())
            break;  // put in the background meanwhile
        if (n == 0 || errno != EAGAIN)
            LoseTerminal();  // end of file or EIO: hung up
        break;
    }
    DecodeKeys(Decoder, {}, NowMs(), Events);
}

// Sleeps until the terminal sends something, the time is up or a pending
// sequence is due; with takeSignals the handled signals land here too.
// In the background the terminal is not watched.
void PollTerminal(int milliseconds, bool takeSignals)
{
    std::int64_t deadline = DecodeDeadline(Decoder);
    if (deadline >= 0) {
        std::int64_t due = deadline - NowMs();
        milliseconds = static_cast<int>(std::max<std::int64_t>(0, std::min<std::int64_t>(milliseconds, due)));
    }
    bool watch = Tty.Fd >= 0 && RawMode;
    if (Tty.Fd >= 0 && !RawMode)
        milliseconds = std::min(milliseconds, 500);  // look for the foreground now and then
    pollfd p{Tty.Fd, POLLIN, 0};
    timespec wait{milliseconds / 1000, (milliseconds % 1000) * 1000000L};
    int n = ppoll(&p, watch ? 1 : 0, &wait, takeSignals ? SignalWaitMask() : nullptr);
    if (n > 0 && (p.revents & (POLLHUP | POLLERR | POLLNVAL)) && !(p.revents & POLLIN))
        LoseTerminal();
    if (takeSignals)
        HandleSignals();
}

// The window's size, as the terminal tells it.
void ReadSize()
{
    winsize size{};
    if (ioctl(Tty.Fd, TIOCGWINSZ, &size) == 0 && size.ws_col > 0 && size.ws_row > 0) {
        Tty.Columns = size.ws_col;
        Tty.Rows = size.ws_row;
    }
    ScreenWidth = Tty.Columns;
    ScreenHeight = Tty.Rows;
    if (Screen.Dumb) {
        // One row, one cell narrower than the terminal: its own wrap,
        // whatever it does, never comes.
        ScreenWidth = std::max(1, ScreenWidth - 1);
        ScreenHeight = 1;
    }
    Screen.Width = ScreenWidth;
    Screen.Height = ScreenHeight;
}

// Where the dialogue goes decides what the terminal is sent.
void DecideSending()
{
    Tty.Send = !Tty.OutputIsTerminal ? Sending::Nothing : Tty.Dumb ? Sending::TextOnly : Sending::Everything;
    Screen.Dumb = Tty.Send == Sending::TextOnly;
    if (Screen.Dumb && Cursor.State == Query::None) {
        // Nothing can be asked: the dialogue starts in column 1, and every
        // text is followed from there.
        Cursor.State = Query::Placed;
        ScreenMoveTo(Screen, 1, 1);
    }
    ReadSize();
}

// Asks where the cursor is; in the background the answer would go to the
// shell, so nothing is asked there.
void SendQuery()
{
    if (!RawMode || Tty.Send != Sending::Everything)
        return;
    Cursor.SentAt = NowMs();
    NoteQuerySent(Decoder, Cursor.SentAt);
    Cursor.State = Query::Sent;
    WriteTerminal(CursorQuestion);
}

// Reads input until the report comes or `until` passes. Keys typed
// meanwhile are kept in order; signals wait for the next wait for keys.
void AwaitReport(std::int64_t until)
{
    for (;;) {
        PumpInput();
        std::int64_t left = until - NowMs();
        if (Tty.Fd < 0 || !RawMode || QueryAnswered(Decoder) || left <= 0)
            return;
        PollTerminal(static_cast<int>(left), false);
    }
}

// Where the cursor is: asks the terminal unless that was done, takes the
// answer (which tells where the cursor was before the text written since)
// and follows that text from there.
void PlaceCursor()
{
    if (Cursor.State == Query::Placed || Tty.Fd < 0)
        return;
    if (Cursor.State != Query::Sent)
        SendQuery();
    if (Cursor.State == Query::Sent)
        AwaitReport(Cursor.SentAt + CursorQueryWaitMs);
    Cursor.State = Query::Placed;
    if (!QueryAnswered(Decoder)) {
        // No answer: the cursor is taken to be in column 1 of the bottom
        // row, and moves are made relative to it (see GotoXY). Where nothing
        // was asked, since the dialogue went elsewhere, the terminal's
        // cursor stays where it is, taken to be the top-left cell, as a
        // file's text starts there.
        Cursor.PositionKnown = false;
        ScreenMoveTo(Screen, 1, Tty.Send == Sending::Nothing ? 1 : ScreenHeight);
    } else {
        Decoder.ReportReady = false;
        Cursor.PositionKnown = true;
        int x = std::max(1, Decoder.ReportColumn);
        int y = std::min(std::max(1, Decoder.ReportRow), ScreenHeight);
        // Some terminals report the column past the last while a wrap is
        // pending: the next character starts the next row.
        if (x > ScreenWidth)
            ScreenMoveTo(Screen, 1, std::min(y + 1, ScreenHeight));
        else
            ScreenMoveTo(Screen, x, y);
    }
    // The text is plain characters: the model adds at most the line end
    // that a row-filling last character needs, and only that is sent now.
    std::string placed = ScreenWrite(Screen, Cursor.Unplaced);
    if (placed.size() > Cursor.Unplaced.size())
        WriteTerminal(placed.substr(Cursor.Unplaced.size()));
    Cursor.Unplaced.clear();
}

// Text with nothing but printing characters: the model can follow it later.
bool Plain(std::string_view text)
{
    for (unsigned char c : text) {
        if (c < 0x20 || c == 0x7F)
            return false;
    }
    return true;
}

// What the terminal is sent for text: in UTF-8, C1 control characters and
// bytes that are not UTF-8 show as "?", so that it never receives a broken
// character or a control sequence it did not ask for.
std::string Showable(std::string_view text)
{
    std::string bytes;
    if (!Tty.Utf8) {
        bytes = text;
    } else {
        bytes.reserve(text.size());
        while (!text.empty()) {
            char32_t code;
            std::size_t length;
            if (DecodeUtf8(text, code, length) != Utf8Status::Valid || (code >= 0x80 && code <= 0x9F) ||
                (code == 0x1B && Screen.Dumb))
                bytes += '?';
            else
                bytes.append(text.substr(0, length));
            text.remove_prefix(length);
        }
    }
    return bytes;
}

// The bytes to send for text on the terminal, with the cursor model kept.
// Plain text after a query that is not yet answered goes out at once and is
// placed when the answer comes; other text needs the position now.
std::string TerminalText(std::string_view text)
{
    std::string bytes = Showable(text);
    if (Cursor.State == Query::None)
        return bytes;  // no position needed yet: nothing to follow
    if (Cursor.State == Query::Wanted && Plain(bytes))
        SendQuery();
    if (Cursor.State == Query::Sent && Plain(bytes)) {
        Cursor.Unplaced += bytes;
        return bytes;
    }
    PlaceCursor();
    return ScreenWrite(Screen, bytes);
}

}  // namespace

void ConsoleOpen()
{
    HoldClosedStreams();
    IgnoreBrokenPipe();
    Tty.Utf8 = LocaleIsUtf8();
    Tty.Dumb = IsDumbTerminal(std::getenv("TERM"));
    Decoder.Utf8 = Tty.Utf8;
    Decoder.EscapeWait = EscapeDelayFrom(std::getenv("ESCDELAY"));

    Tty.Fd = open("/dev/tty", O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (Tty.Fd < 0)
        return;  // no controlling terminal
    termios settings;
    if (tcgetattr(Tty.Fd, &settings) != 0) {
        close(Tty.Fd);
        Tty.Fd = -1;
        return;
    }
    Screen.LineFeedReturns = (settings.c_oflag & OPOST) && (settings.c_oflag & ONLCR);
    // A terminal of our own session is our controlling terminal.
    Tty.OutputIsTerminal = isatty(1) && tcgetsid(1) == getsid(0);
    DecideSending();
    CatchSignals({GiveTerminalBack, Continued, TakeTerminal, [] { Tty.Changed = true; }, RestoreAfterFault});
    std::atexit(GiveTerminalBack);
    // Started in the background, the terminal is taken once in the
    // foreground: its settings then are the ones to restore.
    TakeTerminal();
}

bool ScreenChangePending()
{
    return Tty.Changed;
}

bool ScreenChanged()
{
    if (!Tty.Changed)
        return false;
    Tty.Changed = false;
    if (Tty.Fd < 0)
        return false;
    ReadSize();
    if (!Tty.OutputIsTerminal)
        return false;  // the text went to a file or pipe: nothing to redraw
    // The terminal has moved what was shown (a shell's lines, a reflow):
    // ask where the cursor is now, and go to the start of a fresh line.
    Cursor.Unplaced.clear();
    Cursor.State = Query::None;
    PlaceCursor();
    if (Screen.Dumb)
        WriteTerminal(ScreenWrite(Screen, "\r\n"));
    else
        WriteTerminal(ScreenWrite(Screen, Screen.X > 1 ? "\r\n\x1b[J" : "\r\x1b[J"));
    return true;
}

void AskCursorPosition()
{
    if (Tty.Fd >= 0 && Cursor.State == Query::None)
        Cursor.State = Query::Wanted;
}

// Each question is asked at the cursor, where the text will be shown and
// then covers it, and waited for as a cursor query is.
void LearnWidths(std::string_view text)
{
    std::string c;
    while (Tty.Fd >= 0 && Tty.Send == Sending::Everything && Tty.Utf8 &&
           !(c = UnaskedCharacter(Widths, text)).empty()) {
        PlaceCursor();
        // Asked later where it does not fit before the last column (whose
        // report differs while a wrap is pending), or while an earlier
        // answer is late.
        if (!RawMode || !Cursor.PositionKnown || Decoder.QueriesOutstanding > 0 ||
            Screen.X + QuestionCells(c) > ScreenWidth)
            return;
        Cursor.SentAt = NowMs();
        NoteQuerySent(Decoder, Cursor.SentAt);
        WriteTerminal(QuestionFor(Widths, c));
        AwaitReport(Cursor.SentAt + CursorQueryWaitMs);
        bool answered = QueryAnswered(Decoder) && Decoder.ReportRow == Screen.Y;
        Decoder.ReportReady = false;
        TakeQuestionAnswer(Widths, c, answered ? Decoder.ReportColumn - Screen.X : -1);
        std::string mode = TakeModeAnswer(Widths, Decoder.ClusterMode);
        ClusterModeSet = ClusterModeSet || !mode.empty();
        WriteTerminal(mode);
    }
}

bool HaveConsole()
{
    return Tty.Fd >= 0;
}

int WhereX()
{
    PlaceCursor();
    return Screen.X;
}

int WhereY()
{
    PlaceCursor();
    return Screen.Y;
}

void GotoXY(int x, int y)
{
    if (x < 1 || x > ScreenWidth || y < 1 || y > ScreenHeight)
        return;
    PlaceCursor();
    std::string move;
    if (Tty.Send == Sending::Nothing) {
        // The dialogue is elsewhere: the terminal's cursor stays put.
    } else if (Screen.Dumb) {
        move = DumbMoveTo(Screen, x);
    } else if (Cursor.PositionKnown) {
        move = "\x1b[" + std::to_string(y) + ";" + std::to_string(x) + "H";
    } else {
        // Where the rows are is not known: move relative to the cursor.
        if (y < Screen.Y)
            move += "\x1b[" + std::to_string(Screen.Y - y) + "A";
        if (y > Screen.Y)
            move += "\x1b[" + std::to_string(y - Screen.Y) + "B";
        move += "\r";
        if (x > 1)
            move += "\x1b[" + std::to_string(x - 1) + "C";
    }
    WriteTerminal(move);
    ScreenMoveTo(Screen, x, y);
}

// Through the dialogue's own moves: to the cells, the text, and back to
// the cursor. Only where the terminal has told where its cursor is: a
// guessed position could cover the prompt. The text is not followed by the
// model, which would wrap after a last column filled; the move back, to a
// known row and column, ends the wrap a terminal holds pending there.
bool WriteCellsAt(int x, int y, std::string_view text)
{
    if (Tty.Fd < 0 || Tty.Send != Sending::Everything || !CellsFit(x, y, text))
        return false;
    PlaceCursor();
    if (!Cursor.PositionKnown)
        return false;
    int backX = Screen.X;
    int backY = Screen.Y;
    GotoXY(x, y);
    WriteTerminal(Showable(text));
    GotoXY(backX, backY);
    return true;
}

int InputEventCount()
{
    PumpInput();
    AskForPastes();
    return static_cast<int>(Events.size());
}

bool ReadInputEvent(ConsoleEvent& event)
{
    if (Events.empty())
        PumpInput();
    if (Events.empty())
        return false;
    event = Events.front();
    Events.pop_front();
    return true;
}

// A paste, or what another program writes, comes in one read, or is on
// the terminal's input by the time its first key is taken.
bool KeyPressWaiting()
{
    PumpInput();
    return std::any_of(Events.begin(), Events.end(), [](const ConsoleEvent& e) { return e.IsKey && e.KeyDown; });
}

void DropWaitingInput()
{
    PumpInput();
    Events.clear();
}

WaitResult WaitForInput(int milliseconds)
{
    std::int64_t end = NowMs() + milliseconds;
    for (;;) {
        PumpInput();
        AskForPastes();
        if (!Events.empty())
            return WaitResult::Input;
        if (Tty.Changed)
            return WaitResult::ScreenChanged;
        std::int64_t left = end - NowMs();
        if (left <= 0)
            return WaitResult::TimeUp;
        PollTerminal(static_cast<int>(left), true);
    }
}

void DropPastes()
{
    Decoder.DropPastes = true;
}

bool LineFeedIsEnter()
{
    return true;
}

std::string_view LineEnd()
{
    return Tty.OutputIsTerminal ? "\r\n" : "\n";
}

void DialogueToTerminal()
{
    Tty.DialogueOnTerminal = true;
    Tty.OutputIsTerminal = Tty.Fd >= 0;
    DecideSending();
}

void WriteOut(std::string_view text)
{
    NoteLine(text);
    if (Tty.DialogueOnTerminal) {
        // Without a terminal only standard error can take it.
        if (Tty.Fd >= 0)
            WriteTerminal(TerminalText(text));
        else
            (void)WriteAll(2, text);
        return;
    }
    std::string bytes = Tty.OutputIsTerminal && Tty.Fd >= 0 ? TerminalText(text) : std::string(text);
    if (!WriteAll(1, bytes))
        RuntimeError(DiskWriteError);
}

void WriteResultLine(std::string_view text)
{
    std::string line(text);
    line += '\n';
    if (StandardOutputClosed() || !WriteAll(1, line))
        RuntimeError(DiskWriteError);
}

void ExitProgram(int code)
{
    GiveTerminalBack();
    _exit(code);
}

void RuntimeError(int code)
{
    GiveTerminalBack();
    WriteStandardError("Runtime error " + std::to_string(code));
    _exit(code);
}

UtcTime ReadUtcTime()
{
    timespec now;
    clock_gettime(CLOCK_REALTIME, &now);
    std::tm utc;
    gmtime_r(&now.tv_sec, &utc);
    return {utc.tm_hour, utc.tm_min, utc.tm_sec, static_cast<int>(now.tv_nsec / 1000000)};
}
