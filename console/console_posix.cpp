// The console on a POSIX terminal: keys and cursor on the controlling
// terminal (/dev/tty) whatever standard input and output are; the process's
// text on standard output.
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
#include "output.h"
#include "screenmodel_posix.h"
#include "termkeys_posix.h"

int ScreenWidth = 80;
int ScreenHeight = 25;

namespace {

// How long ConsoleOpen waits for the terminal to report the cursor.
constexpr int CursorQueryWaitMs = 300;
// How long after that a late report is still recognised (and ignored).
constexpr int LateReportMs = 2000;

struct Terminal {
    int Fd = -1;                // the controlling terminal; -1 without one
    termios Saved{};            // its settings as found
    termios Raw{};              // ours
    bool OutputIsTerminal = false;  // standard output goes to that terminal
    bool Utf8 = false;
    bool PositionKnown = false;     // the terminal told us where the cursor was
    std::int64_t QueryGiveUp = 0;
};
Terminal Tty;
volatile std::sig_atomic_t RawMode = 0;  // our settings are in force

TermKeyDecoder Decoder;
std::deque<ConsoleEvent> Events;
ScreenModel Screen;

std::int64_t NowMs()
{
    timespec now;
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<std::int64_t>(now.tv_sec) * 1000 + now.tv_nsec / 1000000;
}

void RestoreTerminal()
{
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

// Continued (after any stop): the shell may have reset the terminal.
void OnContinue(int)
{
    int savedErrno = errno;
    if (RawMode)
        tcsetattr(Tty.Fd, TCSANOW, &Tty.Raw);
    errno = savedErrno;
}

void CatchSignals()
{
    for (int number : {SIGTERM, SIGHUP, SIGINT, SIGQUIT, SIGABRT})
        Catch(number, OnEndSignal);
    Catch(SIGTSTP, OnStopSignal);
    SetHandler(SIGCONT, OnContinue);
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
    if (Decoder.QueryOutstanding && now >= Tty.QueryGiveUp)
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

// Where the cursor is at start. Keys typed meanwhile are kept in order.
void QueryCursor()
{
    Decoder.QueryOutstanding = true;
    std::int64_t start = NowMs();
    Tty.QueryGiveUp = start + CursorQueryWaitMs + LateReportMs;
    WriteTerminal("\x1b[6n");
    for (;;) {
        PumpInput();
        std::int64_t left = start + CursorQueryWaitMs - NowMs();
        if (Tty.Fd < 0 || Decoder.ReportReady || left <= 0)
            break;
        PollTerminal(static_cast<int>(left));
    }
    if (!Decoder.ReportReady) {
        // No answer: the cursor is taken to be in column 1 of the bottom
        // row, and moves are made relative to it (see GotoXY).
        ScreenMoveTo(Screen, 1, ScreenHeight);
        return;
    }
    Decoder.ReportReady = false;
    Tty.PositionKnown = true;
    int x = std::max(1, Decoder.ReportColumn);
    int y = std::min(std::max(1, Decoder.ReportRow), ScreenHeight);
    if (x > ScreenWidth) {
        // Some terminals report the column past the last while a wrap is
        // pending: make the wrap now, as a screen buffer would have.
        WriteTerminal("\r\n");
        ScreenMoveTo(Screen, 1, std::min(y + 1, ScreenHeight));
        return;
    }
    ScreenMoveTo(Screen, x, y);
}

// What the terminal is sent for text: in UTF-8, C1 control characters and
// bytes that are not UTF-8 show as "?", so that it never receives a broken
// character or a control sequence it did not ask for.
std::string TerminalText(std::string_view text)
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
    return ScreenWrite(Screen, bytes);
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
    winsize size{};
    if (ioctl(Tty.Fd, TIOCGWINSZ, &size) == 0 && size.ws_col > 0 && size.ws_row > 0) {
        ScreenWidth = size.ws_col;
        ScreenHeight = size.ws_row;
    }
    Screen.Width = ScreenWidth;
    Screen.Height = ScreenHeight;
    Screen.LineFeedReturns = (Tty.Saved.c_oflag & OPOST) && (Tty.Saved.c_oflag & ONLCR);
    if (Tty.Saved.c_cc[VERASE] != _POSIX_VDISABLE && Tty.Saved.c_cc[VERASE] != 0)
        Decoder.EraseByte = Tty.Saved.c_cc[VERASE];
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
    QueryCursor();
}

bool HaveConsole()
{
    return Tty.Fd >= 0;
}

int WhereX()
{
    return Screen.X;
}

int WhereY()
{
    return Screen.Y;
}

void GotoXY(int x, int y)
{
    if (x < 1 || x > ScreenWidth || y < 1 || y > ScreenHeight)
        return;
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
        if (!Events.empty() || left <= 0)
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
    std::string bytes = Tty.OutputIsTerminal && Tty.Fd >= 0 ? TerminalText(text) : std::string(text);
    if (!WriteAll(1, bytes))
        RuntimeError(DiskWriteError);
}

void ExitProgram(int code)
{
    RestoreTerminal();
    _exit(code);
}

void RuntimeError(int code)
{
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
