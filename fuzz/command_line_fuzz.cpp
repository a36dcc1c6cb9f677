// Fuzzes the road of one typed line: expansion (comments, continuation,
// substitution, labels, assignments, verb symbols, case mapping) and
// tokenising by the verb's rules.
#include <cstddef>
#include <cstdint>
#include <string>

#include "core/state_reset.h"
#include "lang/lexer.h"
#include "names/symbols.h"
#include "proc/procedure.h"
#include "status/messages.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace dcl;
    reset_process_state();
    push_procedure_level("");
    // Symbols that substitute, name a verb, a foreign command, themselves.
    set_symbol("A", "'B' x", SYM_LOCAL | SYM_STRING);
    set_symbol("B", "show", SYM_GLOBAL | SYM_STRING);
    set_symbol("F", "$/bin/true -x", SYM_GLOBAL | SYM_STRING);
    set_symbol("S", "''S'", SYM_GLOBAL | SYM_STRING);
    std::string raw(reinterpret_cast<const char*>(data), size);
    std::string expanded;
    if (expand_command_line(expanded, raw) == 1 && !lexer_state().reprompt) {
        TokenList tokens;
        tokenize_line(tokens, expanded, message_queue().verb, lexer_state().assignment);
    }
    discard_messages();
    return 0;
}
