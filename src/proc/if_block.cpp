// THEN, ELSE and ENDIF: the parts of a block IF. Met as commands of their
// own they are out of place.
#include "core/handlers.h"
#include "status/condition.h"
#include "status/messages.h"

namespace dcl {

void verb_out_of_place(CommandContext&) { signal_condition(cond::OUTOFPLACE); }

}  // namespace dcl

namespace dcl {

// Placeholder: being written.
void if_command(CommandContext&) { signal_condition(cond::NOTAVAIL); }

}  // namespace dcl
