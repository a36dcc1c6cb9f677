// CALL, SUBROUTINE and ENDSUBROUTINE: subroutines of a procedure file,
// each run at a level of its own that reads the caller's stream.
#include <cctype>

#include "core/handlers.h"
#include "proc/procedure.h"
#include "status/condition.h"
#include "status/messages.h"

namespace dcl {

namespace {

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
    settle_input();
    std::string head;
    while (read_line_head(in, head) > 0) {
        if (ends_subroutine(head)) return true;
    }
    std::clearerr(in);
    return false;
}

}  // namespace

uint32_t call_command(const ParsedCommand& cmd, CommandStreams&) {
    ProcedureArguments args;
    if (!procedure_arguments(cmd, ProcedureArguments::kMaxParameters + 1, args)) return 0;
    if (!procedure_stack().in_procedure) return cond::NOTSUBR;
    if (args.parameters.empty()) return cond::NOFILE;
    std::string label = std::move(args.parameters.front());
    args.parameters.erase(args.parameters.begin());
    long return_position = tell_input();
    adjust_newest_if_block(+1);
    uint32_t status = goto_label(label);
    if (status != 1) {
        adjust_newest_if_block(-1);
        signal_condition(status, label);
        return 0;
    }
    std::string name = current_frame().procedure_name;
    status = push_procedure_level(name);
    if (status != 1) {
        adjust_newest_if_block(-1);
        seek_input(return_position);
        signal_condition(status, name);
        return 0;
    }
    current_frame().called = true;
    current_frame().return_position = return_position;
    status = open_procedure_streams("", args.output, args.parameters);
    if (status != 1) {
        signal_condition(status, name);
        return 0;
    }
    procedure_stack().expect_subroutine = true;
    return 1;
}

// Reached by falling into it, a subroutine's body is passed over.
uint32_t subroutine_command(const ParsedCommand&, CommandStreams&) {
    if (procedure_depth() > 0 && current_frame().called) return 1;
    if (!procedure_stack().in_procedure) return 1;
    return skip_subroutine_body() ? 1 : cond::USGOTO;
}

uint32_t endsubroutine_command(const ParsedCommand&, CommandStreams&) {
    if (procedure_depth() <= 0 || !current_frame().called) return cond::NOTSUBR;
    pop_procedure_level();
    return 1;
}

}  // namespace dcl
