// The dispatch table and the road from a token list to a handler.
#include "core/dispatch.h"

#include <algorithm>
#include <array>

#include "core/command_state.h"
#include "core/handlers.h"
#include "lang/keywords.h"
#include "lang/lexer.h"
#include "lang/verbs.h"
#include "proc/input_data.h"
#include "proc/procedure.h"
#include "status/condition.h"
#include "status/messages.h"
#include "status/session.h"
#include "unix/redirection.h"

namespace dcl {

namespace {

struct HandlerEntry {
    uint32_t code;
    VerbHandler handler;
};

// Sorted by code. Codes without an entry are recognised but not carried
// out: they report NOTAVAIL.
constexpr HandlerEntry kHandlers[] = {
    {verb::NONE, unix_command},
    {verb::ASSIGN, assign_command},
    {verb::CALL, call_command},
    {verb::CD, cd_command},
    {verb::CONTINUE, continue_command},
    {verb::DEASSIGN, deassign_command},
    {verb::DEFINE, define_command},
    {verb::DELETE, delete_verb},
    {verb::ELSE, verb_out_of_place},
    {verb::ENDIF, verb_out_of_place},
    {verb::ENDSUBROUTINE, endsubroutine_command},
    {verb::EXIT, exit_command},
    {verb::GOSUB, gosub_command},
    {verb::GOTO, goto_command},
    {verb::IF, if_command},
    {verb::ON, on_command},
    {verb::RECALL, recall_command},
    {verb::RETURN, return_command},
    {verb::SUBROUTINE, subroutine_command},
    {verb::THEN, verb_out_of_place},
    {verb::SHELL, shell_command},
    {verb::WRITE, write_command},
    {verb::ECHO, echo_command},
    {verb::FOREIGN, foreign_command},
    {verb::AT, at_command},
    {verb::SET_CLI, set_cli},
    {verb::SET_ON, set_on},
    {verb::SET_VERIFY, set_verify},
    {verb::SHOW_CLI, show_cli},
    {verb::SHOW_LOGICAL, show_logical},
    {verb::SHOW_SYMBOL, show_symbol},
    {verb::SHOW_TRANSLATION, show_translation},
};

constexpr bool sorted_by_code() {
    for (size_t i = 1; i < std::size(kHandlers); ++i)
        if (kHandlers[i - 1].code >= kHandlers[i].code) return false;
    return true;
}
static_assert(sorted_by_code(), "keep the dispatch table sorted by code");

// Sorted: searched by bisection.
constexpr uint32_t kImageCommands[] = {
    0,  4,  10, 16, 25, 26, 28, 29, 30, 35, 40, 43, 49, 51, 52, 54, 55, 58, 63,
    64, 69, 70, 75, 78, 82, 86, 87, 93, 216, 221, 224, 234, 316, 320, 322, 327, 328, 331,
};

size_t find_verb_token(const TokenList& tokens) {
    for (size_t i = 0; i < tokens.size(); ++i)
        if (tokens[i].type == TOKEN_VERB) return i;
    return tokens.size();
}

// SET and SHOW are routed by their first parameter, a keyword. Returns the
// keyword's code, or 0 when the command ends here.
uint32_t route_set_show(const TokenList& tokens, size_t verb_index, uint32_t& flags) {
    CommandState& cs = command_state();
    size_t k = verb_index + 1;
    if (k >= tokens.size()) {
        ask_for_parameter("_What: ");
        return 0;
    }
    const Token& t = tokens[k];
    if (t.type == TOKEN_QUALIFIER) {
        signal_condition(cond::NOQUAL, std::string_view(t.text).substr(1));
        return 0;
    }
    if (t.type != TOKEN_PARAMETER) {
        signal_condition(cond::PARMDEL, std::string_view(t.text).substr(1));
        return 0;
    }
    std::string keyword = t.text;
    return lookup_keyword(keyword, message_queue().verb, flags);
}

}  // namespace

VerbHandler find_handler(uint32_t code) {
    auto it = std::lower_bound(std::begin(kHandlers), std::end(kHandlers), code,
                               [](const HandlerEntry& e, uint32_t c) { return e.code < c; });
    return it != std::end(kHandlers) && it->code == code ? it->handler : nullptr;
}

bool is_image_command(uint32_t code) {
    return std::binary_search(std::begin(kImageCommands), std::end(kImageCommands), code);
}

uint32_t run_command_line(std::string_view expanded) {
    CommandState& cs = command_state();
    if (!tokenize_line(cs.tokens, expanded, message_queue().verb, lexer_state().assignment)) return 0;
    if (cs.tokens.size() == 0) return 1;
    switch (cs.tokens[0].type) {
    case TOKEN_VERB:
        dispatch_verb();
        return 1;
    case TOKEN_SYMBOL:
        return run_assignment(cs.tokens);
    default:
        signal_condition(cond::SYNERR, cs.tokens[0].text);
        return 0;
    }
}

void dispatch_verb() {
    CommandState& cs = command_state();
    size_t index = find_verb_token(cs.tokens);
    if (index == cs.tokens.size()) return;
    uint32_t code = message_queue().verb;
    uint32_t flags = 0;
    if (code == verb::SET || code == verb::SHOW) {
        code = route_set_show(cs.tokens, index, flags);
        if (code == 0) return;
        message_queue().verb = code;
        ++index;
    }
    cs.image_command = is_image_command(code);
    if (code == verb::RECALL && !session().interactive) return;
    // A program's data lines follow it in the procedure: they are its input.
    if (cs.image_command) {
        if (uint32_t status = collect_input_data(cs.dollar_line); status != 1) {
            signal_condition(status);
            return;
        }
    }
    if (VerbHandler handler = find_handler(code)) {
        CommandContext cmd{cs.tokens, index, flags, redirection().output, redirection().error};
        handler(cmd);
    } else {
        signal_condition(cond::NOTAVAIL);
    }
    if (cs.image_command) finish_input_data();
    restore_command_output();
}

}  // namespace dcl
