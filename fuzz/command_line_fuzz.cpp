// Fuzzes the road of one typed line: expansion (comments, continuation,
// substitution, labels, assignments, verb symbols, case mapping),
// tokenising by the verb's rules, and the parse by its command row (SET and
// SHOW keywords and command forms included); no handler runs.
#include <cstddef>
#include <cstdint>
#include <string>

#include "core/state_reset.h"
#include "lang/command_parser.h"
#include "lang/lexer.h"
#include "names/symbols.h"
#include "proc/procedure.h"
#include "status/messages.h"

#include "search_guard.h"

namespace {

void parse_by_row(const dcl::TokenList& tokens, uint32_t verb) {
    using namespace dcl;
    size_t index = 0;
    while (index < tokens.size() && tokens[index].type != TOKEN_VERB) ++index;
    const CommandRow* row = command_row(verb);
    if (index == tokens.size() || !row) return;
    if (!row->subcommands.empty()) {
        if (++index >= tokens.size()) return;
        std::string keyword = tokens[index].text;
        uint32_t flags = 0;
        row = lookup_keyword_row(keyword, row->subcommands, flags);
        if (!row) return;
    }
    FormChoice choice = choose_form(tokens, index, *row);
    const CommandRow* target = choice.form ? choice.form->row : row;
    if (choice.failed || !target) return;
    ParsedCommand parsed;
    parse_command(tokens, index, *target, parsed, choice.token);
}

}  // namespace

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
    // Substitution evaluates lexical functions, and F$SEARCH would walk the
    // real file system; expression_fuzz covers it in a private tree.
    if (calls_search(bare_upper(raw))) return 0;
    std::string expanded;
    if (expand_command_line(expanded, raw) == 1 && !lexer_state().reprompt) {
        TokenList tokens;
        if (tokenize_line(tokens, expanded, message_queue().verb, lexer_state().assignment))
            parse_by_row(tokens, message_queue().verb);
    }
    discard_messages();
    return 0;
}
