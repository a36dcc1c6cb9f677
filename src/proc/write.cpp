// Placeholder: WRITE and ECHO are being written.
#include "core/handlers.h"
#include "status/condition.h"
#include "status/messages.h"

namespace dcl {

void write_command(CommandContext&) { signal_condition(cond::NOTAVAIL); }
void echo_command(CommandContext&) { signal_condition(cond::NOTAVAIL); }

}  // namespace dcl
