// The signal handlers. They only record what happened, in the interrupt
// state (status/interrupts.h), and pass interrupts on to a running child;
// the command loop acts on it.
#pragma once

#include <csignal>

#include "status/interrupts.h"

namespace dcl {

// What installing the handlers keeps, for putting the previous ones back
// and for the fault handler.
struct SignalHandlers {
    struct sigaction previous[NSIG] = {};  // the dispositions found at start-up
    bool saved[NSIG] = {};                 // which of them were read
    // The message for a fault signal is prepared in advance: the handler of
    // a synchronous fault cannot return, and may only use
    // async-signal-safe calls.
    char fault_prefix[256] = {};
    char fault_suffix[256] = {};
};

SignalHandlers& signal_handlers();

// Installs the interpreter's handlers, remembering the previous ones, for
// every signal whose default action ends the process (so that the terminal
// is put back on every way out) and for the job-control stops. Also notes
// the descriptors the interpreter inherited, which its children inherit in
// turn.
void save_signal_handlers();
// Puts the previous dispositions back (around child processes).
void restore_signal_handlers();

// True for a signal whose default action ends the process and that a
// handler can catch.
bool ends_process_by_default(int sig);

// Acts on a recorded SIGTERM/SIGHUP or unexpected signal: leaves the
// interpreter in order. Returns when there is nothing to do.
void handle_terminating_signals();

}  // namespace dcl
