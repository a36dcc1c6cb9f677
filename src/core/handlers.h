// Every verb handler, in the order of the dispatch table.
#pragma once

#include "core/dispatch.h"

namespace dcl {

void verb_out_of_place(CommandContext& cmd);  // THEN, ELSE, ENDIF outside an IF block
void set_cli(CommandContext& cmd);
void show_cli(CommandContext& cmd);

}  // namespace dcl
