// The signals on POSIX. Those that the program handles are blocked but in
// its waits (ppoll with SignalWaitMask), so that none lands between a test
// and a wait or inside a restore. A stop, or a signal whose default ends
// the process, gives the terminal back first and then takes its default
// action; a fault or a resource limit does the same at once, in its
// handler. Sends and decodes no terminal sequences: what the terminal
// needs is the console's, through the actions given here.
#pragma once

#include <csignal>

// What the console does when a signal is taken.
struct SignalActions {
    void (*GiveBack)();   // before a stop or an end: the terminal as it was found
    void (*Continued)();  // continued after a stop
    void (*Resume)();     // a stop that did not stop: the terminal taken again
    void (*Resized)();
    void (*Faulted)();    // in a fault's handler: the terminal back, safe there
};

// A closed pipe fails the write instead of ending the process; the waits
// keep the mask as found until signals are caught.
void IgnoreBrokenPipe();

// Handles the signals (but those ignored by whoever started us) and blocks
// them outside the waits.
void CatchSignals(const SignalActions& actions);

// The mask for a wait: the handled signals get through.
const sigset_t* SignalWaitMask();

// Acts on the signals that landed in a wait.
void HandleSignals();
