// Placeholder: being written.
#include "core/handlers.h"
#include "status/condition.h"
#include "status/messages.h"

namespace dcl {

void cd_command(CommandContext&) { signal_condition(cond::NOTAVAIL); }

}  // namespace dcl
