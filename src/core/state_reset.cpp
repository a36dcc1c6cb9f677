// Resetting the process-wide state.
#include "core/state_reset.h"

#include "core/interpreter.h"

namespace dcl {

void reset_process_state() { interpreter().reset(); }

}  // namespace dcl
