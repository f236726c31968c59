// The console on a POSIX terminal: keys and cursor on the controlling
// terminal (/dev/tty) whatever standard input and output are; the process's
// text on standard output (lines end in LF there unless it is the
// terminal), or on the terminal when standard output carries a result (on
// standard error without a terminal).
//
// Here are the terminal's file, its settings (raw mode while keys are read,
// as found while the shell has it), the reads, the waits and the glue to
// signals. Keys are decoded by termkeys_posix.cpp; the rest of the dialogue
// is dialogue_posix.cpp's, through the port made here. Sent here:
//   ESC [ ? 2004 h / l   bracketed paste on while keys are read, off before
//                        the terminal is given back
//   ESC [ ? 2027 h / l   the grapheme-cluster mode, where the dialogue
//                        switched it on: off while the shell has the
//                        terminal, on again after
// Before a stop or an end the terminal is given back, taking an answer or a
// paste on its way off the input; in a fault's handler with bytes read and
// not decoded.
#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <ctime>
#include <deque>
#include <string>
#include <utility>

#include <fcntl.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include "backend.h"
#include "charset.h"
#include "clock.h"
#include "console.h"
#include "dialogue_posix.h"
#include "output.h"
#include "signals_posix.h"
#include "streams_posix.h"
#include "termkeys_posix.h"

int ScreenWidth = 80;
int ScreenHeight = 25;

namespace {

constexpr char PasteOn[] = "\x1b[?2004h";
constexpr char PasteOff[] = "\x1b[?2004l";

struct Terminal {
    int Fd = -1;                // the controlling terminal; -1 without one
    bool Taken = false;         // Saved and Raw are set: we were in the foreground
    termios Saved{};            // its settings as found in the foreground
    termios Raw{};              // ours
    bool PasteAsked = false;    // bracketed paste is on
    bool DialogueOnTerminal = false;  // written to the terminal, not standard output
    bool Changed = false;       // resized, or continued after a stop
    winsize Size{25, 80, 0, 0};  // rows and columns as it told them
};
Terminal Tty;
volatile std::sig_atomic_t RawMode = 0;  // our settings are in force, on Fd (read in a fault)

TermKeyDecoder Decoder;
std::deque<ConsoleEvent> Events;
Dialogue Talk;

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

// The grapheme-cluster mode, where the dialogue switched it on, is the
// terminal's own setting again while the shell has it.
void ClusterModeBack(bool on)
{
    if (Talk.ClusterModeSet)
        (void)!write(Tty.Fd, on ? ClusterModeOn : ClusterModeOff, sizeof ClusterModeOff - 1);
}

// Safe in a signal handler.
void PasteModeOff()
{
    if (Tty.PasteAsked)
        (void)!write(Tty.Fd, PasteOff, sizeof PasteOff - 1);
    Tty.PasteAsked = false;
}

// Puts the terminal's settings back, with no questions asked; safe in a
// signal handler.
void RestoreSettings()
{
    ClusterModeBack(false);
    if (RawMode) {
        PasteModeOff();
        tcsetattr(Tty.Fd, TCSANOW, &Tty.Saved);
        RawMode = 0;
    }
}

// In a signal handler: reads the input, bytes only, until what is owed
// has come (a report's final R, a paste's end) or its time is up.
void SkipOwedInput()
{
    int reports = Talk.QueriesOutstanding;
    bool paste = PasteUnderWay(Decoder);
    std::size_t matched = 0;
    std::int64_t until = paste ? NowMs() + PasteGapMs : AnswersAwaitedUntil(Talk);
    for (std::int64_t now = NowMs(); (reports > 0 || paste) && now < until; now = NowMs()) {
        pollfd p{Tty.Fd, POLLIN, 0};
        char buffer[256];
        ssize_t n = 0;
        if (poll(&p, 1, static_cast<int>(until - now)) <= 0 || (n = read(Tty.Fd, buffer, sizeof buffer)) <= 0)
            return;
        for (ssize_t i = 0; i < n; i++) {
            if (paste) {
                matched = buffer[i] == PasteEnd[matched] ? matched + 1 : buffer[i] == PasteEnd[0];
                paste = matched < PasteEnd.size();
            } else {
                reports -= buffer[i] == 'R';
            }
        }
        if (paste)
            until = NowMs() + PasteGapMs;
        else if (reports > 0)
            until = AnswersAwaitedUntil(Talk);
    }
}

// In a fault's handler: the terminal back as found, at once.
void RestoreAfterFault()
{
    if (RawMode) {
        PasteModeOff();
        SkipOwedInput();
    }
    RestoreSettings();
}

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

void ReadUntil(std::int64_t until);

// Gives the terminal back as it was found: bracketed paste off, then what
// the terminal still owes us is read off its input (an answer on its way,
// the rest of a paste), then its settings.
void GiveTerminalBack()
{
    if (!RawMode)
        return;
    PasteModeOff();
    for (std::int64_t now = NowMs(), until; Tty.Fd >= 0; now = NowMs()) {
        until = std::max(InputOwedUntil(Decoder, now), AnswersAwaitedUntil(Talk));
        if (until <= now)
            break;
        ReadUntil(until);
    }
    RestoreSettings();
}

// Continued after a stop: the shell may have reset the terminal (or, after
// a stop we did not see, SIGSTOP, our settings are gone), and has written on
// the screen. Continued in the background, the terminal is not ours to keep
// and is taken in the foreground (PumpInput).
void TakeTerminalAgain()
{
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

// Acts on the signals that landed in a wait.
void ActOnSignals()
{
    int number;
    for (Arrival arrival; (arrival = TakeSignal(number)) != Arrival::None;) {
        switch (arrival) {
        case Arrival::End:
            GiveTerminalBack();
            EndBy(number);
        case Arrival::Stop:
            GiveTerminalBack();
            if (StopBy(number))
                TakeTerminalAgain();
            else
                TakeTerminal();  // the stop did not stop
            break;
        case Arrival::Continue:
            TakeTerminalAgain();
            break;
        case Arrival::Resize:
            Tty.Changed = true;
            break;
        case Arrival::None:
            break;
        }
    }
}

// Waits until fd can take more bytes (it was opened non-blocking); the
// handled signals land here too.
bool WaitWritable(int fd)
{
    for (;;) {
        pollfd p{fd, POLLOUT, 0};
        int n = ppoll(&p, 1, nullptr, SignalWaitMask());
        ActOnSignals();
        if (n > 0)
            return !(p.revents & (POLLERR | POLLHUP | POLLNVAL));
        if (n < 0 && errno != EINTR)
            return false;
    }
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

// Keys are read: pastes are to come bracketed.
void AskForPastes()
{
    if (RawMode && !Tty.PasteAsked && Talk.Send == Sending::Everything) {
        Tty.PasteAsked = true;
        WriteTerminal(PasteOn);
    }
}

// Reads what the terminal has sent and decodes it, the answers for the
// dialogue; also lets a pending sequence time out into a lone Esc. Come to
// the foreground, it takes the terminal first; in the background it reads
// nothing.
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
    AwaitAnswers(Decoder, AnswersAwaitedUntil(Talk));
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
    TakeAnswers(Talk, TakeDecodedAnswers(Decoder));
}

// Sleeps until the terminal sends something, the time is up or a pending
// sequence is due; signals in the mask land here too. In the background the
// terminal is not watched.
void PollTerminal(int milliseconds, const sigset_t* mask)
{
    AwaitAnswers(Decoder, AnswersAwaitedUntil(Talk));
    std::int64_t deadline = DecodeDeadline(Decoder);
    if (deadline >= 0) {
        std::int64_t due = deadline - NowMs();
        milliseconds = static_cast<int>(std::max<std::int64_t>(0, std::min<std::int64_t>(milliseconds, due)));
    }
    if (Tty.Fd >= 0 && !RawMode)
        milliseconds = std::min(milliseconds, 500);  // look for the foreground now and then
    pollfd p{Tty.Fd, POLLIN, 0};
    timespec wait{milliseconds / 1000, (milliseconds % 1000) * 1000000L};
    int n = ppoll(&p, RawMode ? 1 : 0, &wait, mask);
    if (n > 0 && (p.revents & (POLLHUP | POLLERR | POLLNVAL)) && !(p.revents & POLLIN))
        LoseTerminal();
}

// Reads the terminal until something comes or the time passes. Signals
// wait for the next wait for keys.
void ReadUntil(std::int64_t until)
{
    std::int64_t left = until - NowMs();
    if (left > 0)
        PollTerminal(static_cast<int>(left), nullptr);
    PumpInput();
}

// The window's size, as the terminal tells it.
void ReadSize()
{
    winsize size{};
    if (ioctl(Tty.Fd, TIOCGWINSZ, &size) == 0 && size.ws_col > 0 && size.ws_row > 0)
        Tty.Size = size;
    SetScreenSize(Talk, Tty.Size.ws_col, Tty.Size.ws_row);
    ScreenWidth = Talk.Screen.Width;
    ScreenHeight = Talk.Screen.Height;
}

}  // namespace

void ConsoleOpen()
{
    HoldClosedStreams();
    IgnoreBrokenPipe();
    Talk.Port = {[] { return RawMode != 0; }, WriteTerminal, ReadUntil, NowMs};
    Decoder = MakeDecoder(LocaleIsUtf8(), EscapeDelayFrom(std::getenv("ESCDELAY")));

    Tty.Fd = open("/dev/tty", O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    termios settings;
    if (Tty.Fd >= 0 && tcgetattr(Tty.Fd, &settings) != 0)
        LoseTerminal();
    if (Tty.Fd < 0)
        return;  // no controlling terminal
    Talk.Screen.LineFeedReturns = (settings.c_oflag & OPOST) && (settings.c_oflag & ONLCR);
    // A terminal of our own session is our controlling terminal.
    DecideSending(Talk, isatty(1) && tcgetsid(1) == getsid(0), std::getenv("TERM"));
    ReadSize();
    CatchSignals(RestoreAfterFault);
    std::atexit(GiveTerminalBack);
    // Started in the background, the terminal is taken once in the
    // foreground: its settings then are the ones to restore.
    TakeTerminal();
}

bool ScreenChangePending()
{
    return Tty.Changed;
}

bool TakeScreenChange()
{
    if (!std::exchange(Tty.Changed, false) || Tty.Fd < 0)
        return false;
    ReadSize();
    return StartAfresh(Talk);
}

void WantCursorPosition()
{
    WantCursorPosition(Talk);
}

void LearnWidths(std::string_view text)
{
    LearnWidths(Talk, text);
}

bool HaveConsole()
{
    return Tty.Fd >= 0;
}

int WhereX()
{
    LocateCursor(Talk);
    return Talk.Screen.X;
}

int WhereY()
{
    LocateCursor(Talk);
    return Talk.Screen.Y;
}

void GotoXY(int x, int y)
{
    MoveCursor(Talk, x, y);
}

bool WriteCellsAt(int x, int y, std::string_view text)
{
    return Tty.Fd >= 0 && CellsFit(x, y, text) && WriteAt(Talk, x, y, text);
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
    DropPendingInput(Decoder);
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
        PollTerminal(static_cast<int>(left), SignalWaitMask());
        ActOnSignals();
    }
}

void DropPastes()
{
    DropPastedText(Decoder);
}

bool LineFeedIsEnter()
{
    return true;
}

std::string_view LineEnd()
{
    return Talk.Send != Sending::Nothing ? "\r\n" : "\n";
}

void DialogueToTerminal()
{
    Tty.DialogueOnTerminal = true;
    DecideSending(Talk, Tty.Fd >= 0, std::getenv("TERM"));
    if (Tty.Fd >= 0)
        ReadSize();
}

void WriteOut(std::string_view text)
{
    NoteLine(text);
    if (Tty.DialogueOnTerminal) {
        // Without a terminal only standard error can take it.
        if (Tty.Fd >= 0)
            WriteTerminal(TextBytes(Talk, text));
        else
            (void)WriteAll(2, text);
        return;
    }
    // Standard output that is the terminal is written through the
    // terminal's own file, which never blocks: signals are taken while the
    // terminal does not read.
    bool terminal = Talk.Send != Sending::Nothing && Tty.Fd >= 0;
    if (!WriteAll(terminal ? Tty.Fd : 1, terminal ? TextBytes(Talk, text) : std::string(text)))
        RuntimeError(DiskWriteError);
}

void WriteResultLine(std::string_view text)
{
    if (StandardOutputClosed() || !WriteAll(1, std::string(text) + '\n'))
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
