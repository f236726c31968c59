// The signals on POSIX (see signals_posix.h): no terminal sequences here.
#include "signals_posix.h"

#include <algorithm>
#include <iterator>
#include <utility>

#include <unistd.h>

namespace {

// The signals, by what their default action does.
constexpr int EndSignals[] = {
    SIGHUP, SIGINT, SIGQUIT, SIGTERM, SIGALRM, SIGUSR1, SIGUSR2, SIGVTALRM, SIGPROF, SIGIO,
#ifdef SIGPWR
    SIGPWR,
#endif
#ifdef SIGSTKFLT
    SIGSTKFLT,
#endif
};
// The others that the console acts on, in the order they are taken.
constexpr std::pair<int, Arrival> Arrivals[] = {
    {SIGTSTP, Arrival::Stop}, {SIGTTIN, Arrival::Stop}, {SIGTTOU, Arrival::Stop},
    {SIGCONT, Arrival::Continue}, {SIGWINCH, Arrival::Resize},
};
// Raised by the program's own doing: handled where they land. (SIGXFSZ
// is ignored: a write past a file-size limit fails instead.)
constexpr int FaultSignals[] = {SIGSEGV, SIGBUS, SIGFPE, SIGILL, SIGTRAP, SIGSYS, SIGABRT, SIGXCPU};
constexpr int MostSignals = 65;

sigset_t WaitMask;  // the mask in a wait: the handled signals get through
volatile std::sig_atomic_t Arrived[MostSignals];
struct sigaction FaultActions[MostSignals];  // what a fault did before us

bool IsEndSignal(int number)
{
    if (number >= SIGRTMIN && number <= SIGRTMAX)
        return true;
    return std::find(std::begin(EndSignals), std::end(EndSignals), number) != std::end(EndSignals);
}

void (*Faulted)();  // in a fault's handler: the terminal back

// Sets the handler of a signal; SIG_DFL and SIG_IGN work too. Every other
// signal is held off while the handler runs.
bool SetHandler(int number, void (*handler)(int))
{
    struct sigaction action {};
    action.sa_handler = handler;
    sigfillset(&action.sa_mask);
    return sigaction(number, &action, nullptr) == 0;
}

// A fault or a resource limit: the terminal back as found, then what the
// signal did before (the default action, or a sanitizer's report).
void OnFault(int number)
{
    Faulted();
    sigaction(number, &FaultActions[number], nullptr);
    raise(number);
}

// The handled signals only land in a wait; the wait acts on them.
void OnSignal(int number)
{
    Arrived[number] = 1;
}

// Handles a signal unless whoever started us ignores it (nohup): then it
// stays ignored.
void Catch(int number, void (*handler)(int), sigset_t& handled)
{
    struct sigaction old;
    if (sigaction(number, nullptr, &old) != 0 || old.sa_handler == SIG_IGN)
        return;
    if (handler == OnFault)
        FaultActions[number] = old;
    else
        sigaddset(&handled, number);
    SetHandler(number, handler);
}

// The signal's default action; returns, with the signal blocked again,
// only once continued after a stop.
void TakeDefault(int number)
{
    sigset_t one;
    sigemptyset(&one);
    sigaddset(&one, number);
    SetHandler(number, SIG_DFL);
    raise(number);
    sigprocmask(SIG_UNBLOCK, &one, nullptr);  // stops or ends here
    sigprocmask(SIG_BLOCK, &one, nullptr);
}

}  // namespace

void CatchSignals(void (*faulted)())
{
    Faulted = faulted;
    sigset_t handled;
    sigemptyset(&handled);
    for (int number : EndSignals)
        Catch(number, OnSignal, handled);
    for (int number = SIGRTMIN; number <= SIGRTMAX && number < MostSignals; number++)
        Catch(number, OnSignal, handled);
    for (const auto& entry : Arrivals)
        Catch(entry.first, OnSignal, handled);
    for (int number : FaultSignals)
        Catch(number, OnFault, handled);
    sigprocmask(SIG_BLOCK, &handled, &WaitMask);
}

Arrival TakeSignal(int& number)
{
    for (number = 1; number < MostSignals; number++) {
        if (Arrived[number] && IsEndSignal(number))
            return Arrival::End;
    }
    for (auto [signal, arrival] : Arrivals) {
        if (Arrived[signal]) {
            Arrived[signal] = 0;
            number = signal;
            return arrival;
        }
    }
    number = 0;
    return Arrival::None;
}

void EndBy(int number)
{
    TakeDefault(number);
    _exit(128 + number);  // not reached
}

bool StopBy(int number)
{
    TakeDefault(number);
    SetHandler(number, OnSignal);
    // The continue that woke us is taken here. A stop sent to an orphaned
    // process group is discarded: we go on at once, with the screen as it
    // was.
    sigset_t cont;
    sigemptyset(&cont);
    sigaddset(&cont, SIGCONT);
    timespec none{0, 0};
    bool continued = false;
    while (sigtimedwait(&cont, nullptr, &none) == SIGCONT)
        continued = true;
    continued = continued || Arrived[SIGCONT];
    Arrived[SIGCONT] = 0;
    return continued;
}

void IgnoreBrokenPipe()
{
    SetHandler(SIGPIPE, SIG_IGN);
}

const sigset_t* SignalWaitMask()
{
    return Faulted != nullptr ? &WaitMask : nullptr;
}
