// Placeholder: being written.
#include "core/handlers.h"
#include "status/condition.h"
#include "status/messages.h"

namespace dcl {

void unix_command(CommandContext&) { signal_condition(cond::NOTAVAIL); }
void shell_command(CommandContext&) { signal_condition(cond::NOTAVAIL); }

}  // namespace dcl
