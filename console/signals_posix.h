// The signals on POSIX. Those that the program handles are blocked but in
// its waits (ppoll with SignalWaitMask), so that none lands between a test
// and a wait or inside a restore. A stop, or a signal whose default ends
// the process, gives the terminal back first and then takes its default
// action; a fault or a resource limit does the same at once, in its
// handler. What the terminal needs is the console's: a wait tells it what
// arrived, and it acts.
#pragma once

#include <csignal>

// A closed pipe fails the write instead of ending the process.
void IgnoreBrokenPipe();

// Handles the signals (but those whoever started us ignores) and blocks
// them outside the waits. In a fault's handler `faulted` gives the
// terminal back, with only what is safe there.
void CatchSignals(void (*faulted)());
// The mask in a wait; until signals are caught none, and the mask stays as
// found.
const sigset_t* SignalWaitMask();

// What a signal that landed in a wait asks for.
enum class Arrival { None, End, Stop, Continue, Resize };
// Takes the next signal that landed, those that end the process first,
// and tells its number.
Arrival TakeSignal(int& number);
// The default action of a signal that ends the process, the terminal given
// back: the end.
[[noreturn]] void EndBy(int number);
// The same for a stop: true once continued, false when the stop was
// discarded (sent to an orphaned process group) and we go on at once.
bool StopBy(int number);
