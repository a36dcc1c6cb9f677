// Placeholder: being written.
#include "core/handlers.h"
#include "status/condition.h"
#include "status/messages.h"

namespace dcl {

void foreign_command(CommandContext&) { signal_condition(cond::NOTAVAIL); }

}  // namespace dcl
