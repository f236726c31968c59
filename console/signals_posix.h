// The signals on POSIX. Those that the program handles are blocked but in
// its waits (ppoll with SignalWaitMask), so that none lands between a test
// and a wait or inside a restore. A stop, or a signal whose default ends
// the process, gives the terminal back first and then takes its default
// action; a fault or a resource limit does the same at once, in its
// handler. What the terminal needs is the console's: the actions below.
#pragma once

#include <csignal>

struct SignalActions {
    void (*GiveBack)();   // before a stop or an end: the terminal as found
    void (*Continued)();  // continued after a stop
    void (*Resume)();     // a stop that did not stop: the terminal taken again
    void (*Resized)();
    void (*Faulted)();    // in a fault's handler: the terminal back, safe there
};

// A closed pipe fails the write instead of ending the process; a wait keeps
// the signal mask as found until signals are caught.
void IgnoreBrokenPipe();

// Handles the signals (but those whoever started us ignores) and blocks
// them outside the waits.
void CatchSignals(const SignalActions& actions);
const sigset_t* SignalWaitMask();

// Acts on the signals that landed in a wait.
void HandleSignals();
