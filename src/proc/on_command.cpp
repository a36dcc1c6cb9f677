// Placeholder: being written.
#include "core/handlers.h"
#include "status/condition.h"
#include "status/messages.h"

namespace dcl {

void on_command(CommandContext&) { signal_condition(cond::NOTAVAIL); }
void continue_command(CommandContext&) { signal_condition(cond::NOTAVAIL); }
void set_on(CommandContext&) { signal_condition(cond::NOTAVAIL); }

}  // namespace dcl
