// Puts every subsystem's process-wide state back to its start value, so
// that unit tests begin from a fresh interpreter: interpreter().reset()
// (core/interpreter.h) under the name the tests know.
#pragma once

namespace dcl {

void reset_process_state();

}  // namespace dcl
