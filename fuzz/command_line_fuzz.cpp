// Fuzzes the road of one typed line: expansion (comments, continuation,
// verb recognition, case mapping) and tokenising by the verb's rules.
#include <cstddef>
#include <cstdint>
#include <string>

#include "core/command_state.h"
#include "core/state_reset.h"
#include "lang/lexer.h"
#include "proc/procedure.h"
#include "status/messages.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace dcl;
    reset_process_state();
    push_procedure_level("");
    std::string raw(reinterpret_cast<const char*>(data), size);
    std::string expanded;
    CommandState& cs = command_state();
    if (expand_command_line(expanded, raw) == 1 && !cs.reprompt) {
        TokenList tokens;
        tokenize_line(tokens, expanded, cs.verb, cs.assignment);
    }
    discard_messages();
    return 0;
}
