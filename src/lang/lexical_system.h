// Lexical functions about the system and the process: F$GETSYI and F$USER.
#pragma once

#include <cstdint>

#include "lang/lexical_functions.h"

namespace dcl {

// F$GETSYI(item [,node [,cluster]]): one of 49 system items; the node and
// cluster arguments are accepted and ignored.
uint32_t lexical_getsyi(LexicalCall& call);

// F$USER(): the UIC of the effective group and user, "[group,user]".
uint32_t lexical_user(LexicalCall& call);

}  // namespace dcl
