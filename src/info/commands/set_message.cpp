// SET MESSAGE: placeholder until the command is written.
#include "core/handlers.h"
#include "lang/verbs.h"
#include "status/condition.h"

namespace dcl {

const KeywordTable kSetMessageQualifiers{verb::SET_MESSAGE, {}};

uint32_t set_message(const ParsedCommand&, CommandStreams&) { return cond::NOTAVAIL; }

}  // namespace dcl
