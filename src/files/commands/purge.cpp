// PURGE: placeholder until the command is written.
#include "core/handlers.h"
#include "lang/verbs.h"
#include "status/condition.h"

namespace dcl {

const KeywordTable kPurgeQualifiers{verb::PURGE, {}};

uint32_t purge_command(const ParsedCommand&, CommandStreams&) { return cond::NOTAVAIL; }

}  // namespace dcl
