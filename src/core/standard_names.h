// The values the logical-name store gives its standard names, which take
// the terminal driver and file specifications to find.
#pragma once

#include "names/logical_names.h"

namespace dcl {

// The devices of the standard streams (a terminal by its device, anything
// else by what TQ_SYS_INPUT, TQ_SYS_OUTPUT or TQ_SYS_ERROR says), TT and
// NL, device paths in VMS form; and the scratch directory.
void standard_name_values(StandardNameValues& out);

}  // namespace dcl
