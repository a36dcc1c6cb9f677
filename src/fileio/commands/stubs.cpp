#include "core/handlers.h"
#include "lang/verbs.h"
#include "status/condition.h"

namespace dcl {

const KeywordTable kOpenQualifiers{verb::OPEN, {}};
const KeywordTable kCloseQualifiers{verb::CLOSE, {}};
const KeywordTable kReadQualifiers{verb::READ, {}};
const KeywordTable kInquireQualifiers{verb::INQUIRE, {}};
uint32_t open_command(const ParsedCommand&, CommandStreams&) { return cond::NOTAVAIL; }
uint32_t close_command(const ParsedCommand&, CommandStreams&) { return cond::NOTAVAIL; }
uint32_t read_command(const ParsedCommand&, CommandStreams&) { return cond::NOTAVAIL; }
uint32_t inquire_command(const ParsedCommand&, CommandStreams&) { return cond::NOTAVAIL; }

}  // namespace dcl
