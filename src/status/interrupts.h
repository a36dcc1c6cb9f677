// What the signal handlers recorded, and the bracket that holds interrupts
// back. Every layer may look: loops that wait or walk return early once an
// interrupt is pending.
#pragma once

#include <csignal>
#include <sys/types.h>

namespace dcl {

struct InterruptState {
    volatile sig_atomic_t pending = 0;        // Ctrl-C/Ctrl-Y at a terminal
    volatile sig_atomic_t terminate = 0;      // SIGTERM or SIGHUP received
    volatile sig_atomic_t fatal_signal = 0;   // any other signal
    volatile sig_atomic_t deferred = 0;       // nesting of defer_interrupts
    volatile pid_t child = 0;                 // running child to pass signals to
    volatile sig_atomic_t terminal_input = 0; // standard input is a terminal
    volatile sig_atomic_t child_quits = 0;    // Ctrl-Y typed while the child runs
    volatile sig_atomic_t sent_to_child = 0;  // mask of the ending signals the interpreter sent it
    // Set while a child started with vfork has not yet run its program:
    // a handler that runs then runs in that child, on the interpreter's
    // memory, and must leave it alone.
    volatile sig_atomic_t child_starting = 0;
};

InterruptState& interrupts();

// The child the handlers pass signals to while the interpreter waits for
// it; 0 ends the watch. Ctrl-Y (the quit signal at a terminal) asks the
// watched child to terminate, and a second Ctrl-Y kills it.
void watch_child(pid_t pid);

// True when a child that ended by `sig` was ended by the interpreter
// itself: after Ctrl-Y, or passing on its own termination.
bool interpreter_ended_child(int sig);

// Brackets operations that must not be cut in half: an interrupt arriving
// meanwhile stays pending and takes effect at resume_interrupts.
void defer_interrupts();
void resume_interrupts();

// Raises SIGINT in the interpreter itself, as Ctrl-C at the terminal does.
void raise_interrupt();

// True once an interrupt is pending and not deferred: loops return early.
bool interrupt_requested();

}  // namespace dcl
