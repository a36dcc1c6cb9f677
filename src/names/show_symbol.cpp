// Placeholder: SHOW SYMBOL is being written.
#include "core/handlers.h"
#include "status/condition.h"
#include "status/messages.h"

namespace dcl {

void show_symbol(CommandContext&) { signal_condition(cond::NOTAVAIL); }

}  // namespace dcl
