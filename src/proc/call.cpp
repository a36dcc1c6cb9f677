// Placeholder: being written.
#include "core/handlers.h"
#include "status/condition.h"
#include "status/messages.h"

namespace dcl {

void call_command(CommandContext&) { signal_condition(cond::NOTAVAIL); }
void subroutine_command(CommandContext&) { signal_condition(cond::NOTAVAIL); }
void endsubroutine_command(CommandContext&) { signal_condition(cond::NOTAVAIL); }

}  // namespace dcl
