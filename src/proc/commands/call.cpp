// CALL, SUBROUTINE and ENDSUBROUTINE: subroutines of a procedure file,
// each run at a level of its own that reads the caller's stream.
#include <cctype>

#include "core/handlers.h"
#include "lang/qualifiers.h"
#include "lang/verbs.h"
#include "proc/procedure.h"
#include "status/condition.h"
#include "status/messages.h"

namespace dcl {

namespace {

// SUBROUTINE and ENDSUBROUTINE take nothing. False after queueing.
bool no_arguments(const CommandContext& cmd) {
    const TokenList& tokens = cmd.tokens;
    for (size_t i = cmd.verb_index + 1; i < tokens.size(); ++i) {
        if (tokens[i].type == TOKEN_QUALIFIER) {
            signal_condition(cond::NOQUAL, std::string_view(tokens[i].text).substr(1));
            return false;
        }
    }
    if (cmd.verb_index + 1 < tokens.size()) {
        extra_parameter(tokens[cmd.verb_index + 1].text);
        return false;
    }
    return true;
}

// "$", blanks, then "ENDS" in any case: the end of a subroutine body.
bool ends_subroutine(std::string_view line) {
    if (line.empty() || line[0] != '$') return false;
    size_t i = 1;
    while (i < line.size() && (line[i] == ' ' || line[i] == '\t')) ++i;
    static constexpr std::string_view kWord = "ENDS";
    if (line.size() - i < kWord.size()) return false;
    for (size_t k = 0; k < kWord.size(); ++k)
        if (std::toupper(static_cast<unsigned char>(line[i + k])) != kWord[k]) return false;
    return true;
}

// Reads past the next ENDSUBROUTINE line. False at the end of the input.
bool skip_subroutine_body() {
    FILE* in = procedure_stack().command_input;
    if (in == nullptr) return false;
    std::string head;
    while (read_line_head(in, head) > 0) {
        if (ends_subroutine(head)) return true;
    }
    std::clearerr(in);
    return false;
}

}  // namespace

void call_command(CommandContext& cmd) {
    ProcedureArguments args;
    if (!parse_procedure_arguments(cmd.tokens, cmd.verb_index + 1, verb::CALL,
                                   ProcedureArguments::kMaxParameters + 1, args))
        return;
    if (!procedure_stack().in_procedure) {
        signal_condition(cond::NOTSUBR);
        return;
    }
    if (args.parameters.empty()) {
        signal_condition(cond::NOFILE);
        return;
    }
    std::string label = std::move(args.parameters.front());
    args.parameters.erase(args.parameters.begin());
    long return_position = tell_input();
    adjust_newest_if_block(+1);
    uint32_t status = goto_label(label);
    if (status != 1) {
        adjust_newest_if_block(-1);
        signal_condition(status, label);
        return;
    }
    std::string name = current_frame().procedure_name;
    status = push_procedure_level(name);
    if (status != 1) {
        adjust_newest_if_block(-1);
        seek_input(return_position);
        signal_condition(status, name);
        return;
    }
    current_frame().called = true;
    current_frame().return_position = return_position;
    status = open_procedure_streams("", args.output, args.parameters);
    if (status != 1) {
        signal_condition(status, name);
        return;
    }
    procedure_stack().expect_subroutine = true;
}

// Reached by falling into it, a subroutine's body is passed over.
void subroutine_command(CommandContext& cmd) {
    if (!no_arguments(cmd)) return;
    if (procedure_depth() > 0 && current_frame().called) return;
    if (!procedure_stack().in_procedure) return;
    if (!skip_subroutine_body()) signal_condition(cond::USGOTO);
}

void endsubroutine_command(CommandContext& cmd) {
    if (!no_arguments(cmd)) return;
    if (procedure_depth() <= 0 || !current_frame().called) {
        signal_condition(cond::NOTSUBR);
        return;
    }
    pop_procedure_level();
}

}  // namespace dcl
