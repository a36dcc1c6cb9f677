// The interrupt state: written by the signal handlers, read everywhere.
#include "status/interrupts.h"

namespace dcl {

namespace {
// Written by the signal handlers, so kept apart from the interpreter's
// state: plain flags, constant-initialised and never destroyed.
constinit InterruptState g_state;
}  // namespace

InterruptState& interrupts() { return g_state; }

void watch_child(pid_t pid) {
    if (pid > 0) {
        g_state.child_quits = 0;
        g_state.sent_to_child = 0;
    }
    g_state.child = pid;
}

bool interpreter_ended_child(int sig) {
    return sig > 0 && sig < 31 && (g_state.sent_to_child & (1 << sig)) != 0;
}

void defer_interrupts() { g_state.deferred = g_state.deferred + 1; }

void resume_interrupts() {
    if (g_state.deferred > 0) g_state.deferred = g_state.deferred - 1;
}

void raise_interrupt() { raise(SIGINT); }

bool interrupt_requested() { return g_state.pending && !g_state.deferred; }

}  // namespace dcl
