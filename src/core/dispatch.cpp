// The road from a token list to a handler: SET and SHOW routing, the form a
// qualifier selects, the parse, the command's /OUTPUT file, the call.
#include "core/dispatch.h"

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

size_t find_verb_token(const TokenList& tokens) {
    for (size_t i = 0; i < tokens.size(); ++i)
        if (tokens[i].type == TOKEN_VERB) return i;
    return tokens.size();
}

// SET and SHOW are routed by their first parameter, a keyword. Returns its
// row, or nullptr when the command ends here.
const CommandRow* route(const CommandRow& row, const TokenList& tokens, size_t verb_index,
                        uint32_t& flags) {
    size_t k = verb_index + 1;
    if (k >= tokens.size()) {
        ask_for_parameter("_What: ");
        return nullptr;
    }
    const Token& t = tokens[k];
    if (t.type == TOKEN_QUALIFIER) {
        signal_condition(cond::NOQUAL, std::string_view(t.text).substr(1));
        return nullptr;
    }
    if (t.type != TOKEN_PARAMETER) {
        signal_condition(cond::PARMDEL, std::string_view(t.text).substr(1));
        return nullptr;
    }
    std::string keyword = t.text;
    return lookup_keyword_row(keyword, row.subcommands, flags);
}

// Opens the listing file of every /OUTPUT in the order given (a /NOOUTPUT
// after one closes it again). False after queueing.
bool open_command_output(ParsedCommand& cmd) {
    for (const ParsedQualifier& q : cmd.qualifiers()) {
        if (q.row->kind != ValueKind::output) continue;
        uint32_t options = 0;
        uint32_t status = redirect_command_output(q.token, options, q.flags,
                                                  cmd.row->listing ? cmd.row->listing : "");
        if (status != 1) {
            if (status != 0) signal_condition(status);
            return false;
        }
        cmd.output_wanted = (options & OUTPUT_WANTED) != 0;
    }
    return true;
}

// Parses the tokens by the row of the form selected, if any. Returns the
// parsed command, or nullptr when the command ends here.
ParsedCommand* parse_for_row(const CommandRow& row, const TokenList& tokens, size_t verb_index) {
    FormChoice choice = choose_form(tokens, verb_index, row);
    if (choice.failed) return nullptr;
    const CommandRow* target = choice.form ? choice.form->row : &row;
    if (!target || !target->handler) {
        signal_condition(cond::NOTAVAIL);
        return nullptr;
    }
    // Qualifiers before DEFINE's selector were DEFINE's own, and ignored.
    size_t ignore_up_to = choice.form && row.form_rule == FormRule::by_name ? choice.token : 0;
    ParsedCommand& cmd = command_state().parsed;
    bool complete = parse_command(tokens, verb_index, *target, cmd, choice.token, ignore_up_to);
    return complete ? &cmd : nullptr;
}

}  // namespace

uint32_t ask_for(const ParsedCommand& cmd, size_t which) {
    const char* prompt = which < 2 ? cmd.row->prompts[which] : nullptr;
    ask_for_parameter(prompt ? prompt : "_Parameter: ");
    return 0;
}

void run_command_row(const CommandRow& row, const TokenList& tokens, size_t verb_index,
                     uint32_t keyword_flags, CommandStreams io) {
    ParsedCommand* cmd = parse_for_row(row, tokens, verb_index);
    if (!cmd) return;
    cmd->keyword_flags = keyword_flags;
    if (!open_command_output(*cmd)) return;
    // /OUTPUT may have replaced the stream the command was given.
    if (redirection().cmd_output_redirected) io.out = redirection().output;
    uint32_t status = cmd->row->handler(*cmd, io);
    if (status != 1 && status != 0) signal_condition(status);
}

uint32_t run_command_line(std::string_view expanded) {
    CommandState& cs = command_state();
    cs.cached_tokens = nullptr;
    if (!tokenize_line(cs.tokens, expanded, message_queue().verb, lexer_state().assignment)) return 0;
    return run_tokens();
}

uint32_t run_tokens() {
    const TokenList& tokens = command_state().tokens_to_run();
    if (tokens.size() == 0) return 1;
    switch (tokens[0].type) {
    case TOKEN_VERB:
        dispatch_verb();
        return 1;
    case TOKEN_SYMBOL:
        return run_assignment(tokens);
    default:
        signal_condition(cond::SYNERR, tokens[0].text);
        return 0;
    }
}

void dispatch_verb() {
    CommandState& cs = command_state();
    const TokenList& tokens = cs.tokens_to_run();
    size_t index = find_verb_token(tokens);
    if (index == tokens.size()) return;
    const CommandRow* row = command_row(message_queue().verb);
    if (!row) return;
    uint32_t flags = 0;
    if (!row->subcommands.empty()) {
        row = route(*row, tokens, index, flags);
        if (!row) return;
        message_queue().verb = row->code();
        ++index;
    }
    // A command that may read the procedure's input (data lines, READ of
    // SYS$INPUT) finds it where the line cache left it in name only.
    if (!leaves_input_alone(row->code())) settle_input();
    cs.image_command = row->has(CMD_IMAGE);
    if (row->has(CMD_INTERACTIVE) && !session().interactive) return;
    // A program's data lines follow it in the procedure: they are its input.
    if (cs.image_command) {
        if (uint32_t status = collect_input_data(cs.dollar_line); status != 1) {
            signal_condition(status);
            return;
        }
    }
    run_command_row(*row, tokens, index, flags, {redirection().output, redirection().error});
    if (cs.image_command) finish_input_data();
    restore_command_output();
}

}  // namespace dcl
