// SET TERMINAL and SHOW TERMINAL (being built).
#include "core/handlers.h"
#include "lang/keywords.h"
#include "lang/verbs.h"
#include "status/condition.h"

namespace dcl {

namespace {
constexpr KeywordRecord kRows[] = {
    {"WIDTH", KW_VALUE_ALLOWED, 80659, ValueKind::unsupported},
};
}  // namespace

const KeywordTable kSetTerminalQualifiers{verb::SET_TERMINAL, kRows};

uint32_t set_terminal(const ParsedCommand&, CommandStreams&) { return cond::NOTAVAIL; }
uint32_t show_terminal(const ParsedCommand&, CommandStreams&) { return cond::NOTAVAIL; }

}  // namespace dcl
