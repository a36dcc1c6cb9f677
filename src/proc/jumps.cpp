// Placeholder: being written.
#include "core/handlers.h"
#include "status/condition.h"
#include "status/messages.h"

namespace dcl {

void goto_command(CommandContext&) { signal_condition(cond::NOTAVAIL); }
void gosub_command(CommandContext&) { signal_condition(cond::NOTAVAIL); }
void return_command(CommandContext&) { signal_condition(cond::NOTAVAIL); }
void exit_command(CommandContext&) { signal_condition(cond::NOTAVAIL); }

}  // namespace dcl
