// Placeholder: being written.
#include "core/handlers.h"
#include "status/condition.h"
#include "status/messages.h"

namespace dcl {

void set_verify(CommandContext&) { signal_condition(cond::NOTAVAIL); }

}  // namespace dcl
