// Placeholder: the assignment statement is being written.
#include "names/assignment.h"

#include "status/condition.h"

namespace dcl {

uint32_t run_assignment(const TokenList&) { return cond::NOTAVAIL; }

}  // namespace dcl
