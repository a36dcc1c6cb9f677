// The assignment statement: "name = expr", "name :== text", substrings
// "name[off,size] := text" and bit fields "name[off,size] = expr".
#pragma once

#include <cstdint>

#include "core/handlers.h"
#include "lang/tokens.h"

namespace dcl {

// Runs the assignment held in `tokens` (symbol, operator, value words).
// Returns 1; 0 when the failure was already queued; else a condition for
// the caller to queue.
uint32_t run_assignment(const TokenList& tokens);

}  // namespace dcl
