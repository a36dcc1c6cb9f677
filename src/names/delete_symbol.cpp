// Placeholder: DELETE/SYMBOL is being written.
#include "core/handlers.h"
#include "status/condition.h"
#include "status/messages.h"

namespace dcl {

void delete_symbol_command(CommandContext&, size_t) { signal_condition(cond::NOTAVAIL); }

}  // namespace dcl
