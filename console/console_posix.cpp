// The console on a POSIX terminal: keys and cursor on the controlling
// terminal (/dev/tty) whatever standard input and output are; the process's
// text on standard output.
//
// Sent to the terminal:
//   ESC [ 6 n          where is the cursor? (only once a position is
//                      needed; answered ESC [ row ; col R)
//   ESC [ row ; col H  move the cursor, where its row is known
//   ESC [ n A / B / C  move it up, down, right, where the row is not known
//   CR LF              after text that ends in the last column, so that
//                      the cursor moves on as a screen buffer's does
//   ESC [ J            blank the screen from the cursor, before a redraw
//                      on a fresh line after a resize or a stop
//   the questions about emoji widths and the grapheme-cluster mode, and
//   that mode on and off, as emojiwidth_posix.h lists them
// Keys and the cursor report are decoded by termkeys_posix.cpp.
#include <algorithm>
#include <cerrno>
#include <csignal>
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
#include "emojiwidth_posix.h"
#include "output.h"
#include "screenmodel_posix.h"
#include "termkeys_posix.h"

int ScreenWidth = 80;
int ScreenHeight = 25;

namespace {

// How long a cursor move waits for the terminal's report.
constexpr int CursorQueryWaitMs = 300;
// How long after the query a late report is still recognised (and taken
// off the input, also at exit, so that the shell never reads it).
constexpr int LateReportMs = 2000;

// The cursor position query: not sent; wanted with the next text; sent and
// not yet placed; placed (answered or given up).
enum class Query { None, Wanted, Sent, Placed };

struct Terminal {
    int Fd = -1;                // the controlling terminal; -1 without one
    termios Saved{};            // its settings as found
    termios Raw{};              // ours
    bool OutputIsTerminal = false;  // standard output goes to that terminal
    bool Utf8 = false;
    bool PositionKnown = false;     // the terminal told us where the cursor was
    Query QueryState = Query::None;
    std::int64_t QuerySentAt = 0;
    std::string Unplaced;           // text written after the query, before its answer
};
Terminal Tty;
volatile std::sig_atomic_t RawMode = 0;  // our settings are in force
volatile std::sig_atomic_t Changed = 0;  // resized, or continued after a stop
volatile std::sig_atomic_t ClusterModeOn = 0;  // we switched the grapheme-cluster mode on

TermKeyDecoder Decoder;
std::deque<ConsoleEvent> Events;
ScreenModel Screen;

std::int64_t NowMs()
{
    timespec now;
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<std::int64_t>(now.tv_sec) * 1000 + now.tv_nsec / 1000000;
}

// The grapheme-cluster mode, where we switched it on, is the terminal's
// own setting again while the shell has it.
void ClusterModeBack(bool on)
{
    if (ClusterModeOn)
        (void)!write(Tty.Fd, on ? "\x1b[?2027h" : ClusterModeOff, 8);
}

void RestoreTerminal()
{
    ClusterModeBack(false);
    if (RawMode) {
        tcsetattr(Tty.Fd, TCSANOW, &Tty.Saved);
        RawMode = 0;
    }
}

void RestoreAtExit()
{
    RestoreTerminal();
}

// Sets the handler of a signal; SIG_DFL and SIG_IGN work too.
bool SetHandler(int number, void (*handler)(int))
{
    struct sigaction action {};
    action.sa_handler = handler;
    sigemptyset(&action.sa_mask);
    return sigaction(number, &action, nullptr) == 0;
}

// Catches a signal unless whoever started us ignores it (nohup): then it
// stays ignored.
void Catch(int number, void (*handler)(int))
{
    struct sigaction old;
    if (sigaction(number, nullptr, &old) == 0 && old.sa_handler != SIG_IGN)
        SetHandler(number, handler);
}

// Ended from outside (or by abort): put the terminal back, then end as the
// signal would.
void OnEndSignal(int number)
{
    ClusterModeBack(false);
    if (RawMode)
        tcsetattr(Tty.Fd, TCSANOW, &Tty.Saved);
    SetHandler(number, SIG_DFL);
    raise(number);
}

// Stopped from outside: the user gets the terminal back as it was while we
// are stopped. Whether we were stopped or not (a stop sent to an orphaned
// process group is discarded), we go on in raw mode.
void OnStopSignal(int)
{
    int savedErrno = errno;
    ClusterModeBack(false);
    if (RawMode)
        tcsetattr(Tty.Fd, TCSANOW, &Tty.Saved);
    SetHandler(SIGTSTP, SIG_DFL);
    raise(SIGTSTP);
    sigset_t stop;
    sigemptyset(&stop);
    sigaddset(&stop, SIGTSTP);
    sigprocmask(SIG_UNBLOCK, &stop, nullptr);  // stops here until continued
    SetHandler(SIGTSTP, OnStopSignal);
    if (RawMode)
        tcsetattr(Tty.Fd, TCSANOW, &Tty.Raw);
    errno = savedErrno;
}

// Continued (after any stop): the shell may have reset the terminal, and
// has written on the screen.
void OnContinue(int)
{
    int savedErrno = errno;
    if (RawMode)
        tcsetattr(Tty.Fd, TCSANOW, &Tty.Raw);
    ClusterModeBack(true);
    Changed = 1;
    errno = savedErrno;
}

void OnResize(int)
{
    Changed = 1;
}

void CatchSignals()
{
    for (int number : {SIGTERM, SIGHUP, SIGINT, SIGQUIT, SIGABRT})
        Catch(number, OnEndSignal);
    Catch(SIGTSTP, OnStopSignal);
    SetHandler(SIGCONT, OnContinue);
    Catch(SIGWINCH, OnResize);
}

// The terminal went away (hung up): from now on there is no console.
void LoseTerminal()
{
    RestoreTerminal();
    close(Tty.Fd);
    Tty.Fd = -1;
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
// sequence time out into a lone Esc.
void PumpInput()
{
    if (Tty.Fd < 0)
        return;
    char buffer[256];
    for (;;) {
        ssize_t n = read(Tty.Fd, buffer, sizeof buffer);
        if (n > 0) {
            DecodeKeys(Decoder, std::string_view(buffer, n), NowMs(), Events);
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        if (n == 0 || errno != EAGAIN)
            LoseTerminal();  // end of file or EIO: hung up
        break;
    }
    std::int64_t now = NowMs();
    DecodeKeys(Decoder, {}, now, Events);
    if (Decoder.QueryOutstanding && now >= Tty.QuerySentAt + LateReportMs)
        Decoder.QueryOutstanding = false;
}

// Sleeps in poll until the terminal sends something, the time is up or a
// pending sequence is due.
void PollTerminal(int milliseconds)
{
    std::int64_t deadline = DecodeDeadline(Decoder);
    if (deadline >= 0) {
        std::int64_t due = deadline - NowMs();
        milliseconds = static_cast<int>(std::max<std::int64_t>(0, std::min<std::int64_t>(milliseconds, due)));
    }
    pollfd p{Tty.Fd, POLLIN, 0};
    if (poll(&p, 1, milliseconds) > 0 && (p.revents & (POLLHUP | POLLERR | POLLNVAL)) && !(p.revents & POLLIN))
        LoseTerminal();
}

void Sleep(int milliseconds)
{
    timespec left{milliseconds / 1000, (milliseconds % 1000) * 1000000L};
    while (nanosleep(&left, &left) != 0 && errno == EINTR) {
    }
}

// The window's size, as the terminal tells it.
void ReadSize()
{
    winsize size{};
    if (ioctl(Tty.Fd, TIOCGWINSZ, &size) == 0 && size.ws_col > 0 && size.ws_row > 0) {
        ScreenWidth = size.ws_col;
        ScreenHeight = size.ws_row;
    }
    Screen.Width = ScreenWidth;
    Screen.Height = ScreenHeight;
}

void SendQuery()
{
    Decoder.QueryOutstanding = true;
    Decoder.ReportReady = false;
    Tty.QuerySentAt = NowMs();
    Tty.QueryState = Query::Sent;
    WriteTerminal("\x1b[6n");
}

// Reads input until the report comes or `until` passes. Keys typed
// meanwhile are kept in order.
void AwaitReport(std::int64_t until)
{
    for (;;) {
        PumpInput();
        std::int64_t left = until - NowMs();
        if (Tty.Fd < 0 || Decoder.ReportReady || !Decoder.QueryOutstanding || left <= 0)
            return;
        PollTerminal(static_cast<int>(left));
    }
}

// Where the cursor is: asks the terminal unless that was done, takes the
// answer (which tells where the cursor was before the text written since)
// and follows that text from there.
void PlaceCursor()
{
    if (Tty.QueryState == Query::Placed || Tty.Fd < 0)
        return;
    if (Tty.QueryState != Query::Sent)
        SendQuery();
    AwaitReport(Tty.QuerySentAt + CursorQueryWaitMs);
    Tty.QueryState = Query::Placed;
    if (!Decoder.ReportReady) {
        // No answer: the cursor is taken to be in column 1 of the bottom
        // row, and moves are made relative to it (see GotoXY).
        Tty.PositionKnown = false;
        ScreenMoveTo(Screen, 1, ScreenHeight);
    } else {
        Decoder.ReportReady = false;
        Tty.PositionKnown = true;
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
    std::string placed = ScreenWrite(Screen, Tty.Unplaced);
    if (placed.size() > Tty.Unplaced.size())
        WriteTerminal(placed.substr(Tty.Unplaced.size()));
    Tty.Unplaced.clear();
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
            if (DecodeUtf8(text, code, length) != Utf8Status::Valid || (code >= 0x80 && code <= 0x9F))
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
    if (Tty.QueryState == Query::None)
        return bytes;  // no position needed yet: nothing to follow
    if (Tty.QueryState == Query::Wanted && Plain(bytes))
        SendQuery();
    if (Tty.QueryState == Query::Sent && Plain(bytes)) {
        Tty.Unplaced += bytes;
        return bytes;
    }
    if (Tty.QueryState != Query::None)
        PlaceCursor();
    return ScreenWrite(Screen, bytes);
}

// The process ends: a query still unanswered is answered within its time,
// and the answer is taken off the input so that the shell never reads it.
void TakeLateReport()
{
    if (Tty.Fd >= 0 && Decoder.QueryOutstanding)
        AwaitReport(Tty.QuerySentAt + LateReportMs);
}

}  // namespace

void ConsoleOpen()
{
    // A closed pipe must fail the write, not end the process.
    SetHandler(SIGPIPE, SIG_IGN);
    Tty.Utf8 = LocaleIsUtf8();
    Decoder.Utf8 = Tty.Utf8;

    Tty.Fd = open("/dev/tty", O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (Tty.Fd < 0)
        return;  // no controlling terminal
    if (tcgetattr(Tty.Fd, &Tty.Saved) != 0) {
        close(Tty.Fd);
        Tty.Fd = -1;
        return;
    }
    ReadSize();
    Screen.LineFeedReturns = (Tty.Saved.c_oflag & OPOST) && (Tty.Saved.c_oflag & ONLCR);
    // A terminal of our own session is our controlling terminal.
    Tty.OutputIsTerminal = isatty(1) && tcgetsid(1) == getsid(0);

    // Keys as they come, with no signals, echo, flow control or CR-to-LF.
    Tty.Raw = Tty.Saved;
    Tty.Raw.c_lflag &= ~(ISIG | ICANON | ECHO | IEXTEN);
    Tty.Raw.c_iflag &= ~(IXON | ICRNL | INLCR | IGNCR | ISTRIP);
    Tty.Raw.c_cc[VMIN] = 1;
    Tty.Raw.c_cc[VTIME] = 0;
    CatchSignals();
    std::atexit(RestoreAtExit);
    if (tcsetattr(Tty.Fd, TCSANOW, &Tty.Raw) == 0)
        RawMode = 1;
}

bool ScreenChangePending()
{
    return Changed != 0;
}

bool ScreenChanged()
{
    if (!Changed)
        return false;
    Changed = 0;
    if (Tty.Fd < 0)
        return false;
    ReadSize();
    if (!Tty.OutputIsTerminal)
        return false;  // the text went to a file or pipe: nothing to redraw
    // The terminal has moved what was shown (a shell's lines, a reflow):
    // ask where the cursor is now, and go to the start of a fresh line.
    Tty.Unplaced.clear();
    Tty.QueryState = Query::None;
    PlaceCursor();
    WriteTerminal(ScreenWrite(Screen, Screen.X > 1 ? "\r\n\x1b[J" : "\r\x1b[J"));
    return true;
}

void AskCursorPosition()
{
    if (Tty.Fd >= 0 && Tty.QueryState == Query::None)
        Tty.QueryState = Query::Wanted;
}

// Each question is asked at the cursor, where the text will be shown and
// then covers it, and waited for as a cursor query is.
void LearnWidths(std::string_view text)
{
    std::string_view c;
    while (Tty.Fd >= 0 && Tty.OutputIsTerminal && Tty.Utf8 && !(c = UnaskedCharacter(text)).empty()) {
        PlaceCursor();
        // Asked later where it does not fit before the last column (whose
        // report differs while a wrap is pending), or while an earlier
        // answer is late.
        if (!Tty.PositionKnown || Decoder.QueryOutstanding || Screen.X + QuestionCells(c) > ScreenWidth)
            return;
        Decoder.QueryOutstanding = true;
        Decoder.ReportReady = false;
        Tty.QuerySentAt = NowMs();
        WriteTerminal(QuestionFor(c));
        AwaitReport(Tty.QuerySentAt + CursorQueryWaitMs);
        bool answered = Decoder.ReportReady && Decoder.ReportRow == Screen.Y;
        Decoder.ReportReady = false;
        TakeQuestionAnswer(c, answered ? Decoder.ReportColumn - Screen.X : -1);
        std::string mode = TakeModeAnswer(Decoder.ClusterMode);
        ClusterModeOn = ClusterModeOn || !mode.empty();
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
    if (Tty.PositionKnown) {
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

int InputEventCount()
{
    PumpInput();
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

void WaitForInput(int milliseconds)
{
    std::int64_t end = NowMs() + milliseconds;
    for (;;) {
        PumpInput();
        std::int64_t left = end - NowMs();
        if (!Events.empty() || left <= 0 || Changed)
            return;
        if (Tty.Fd < 0) {
            Sleep(static_cast<int>(left));
            return;
        }
        PollTerminal(static_cast<int>(left));
    }
}

void WriteOut(std::string_view text)
{
    NoteLine(text);
    std::string bytes = Tty.OutputIsTerminal && Tty.Fd >= 0 ? TerminalText(text) : std::string(text);
    if (!WriteAll(1, bytes))
        RuntimeError(DiskWriteError);
}

void ExitProgram(int code)
{
    TakeLateReport();
    RestoreTerminal();
    _exit(code);
}

void RuntimeError(int code)
{
    TakeLateReport();
    RestoreTerminal();
    std::string line = "Runtime error " + std::to_string(code) + "\r\n";
    (void)!write(1, line.data(), line.size());
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
