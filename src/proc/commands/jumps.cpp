// GOTO, GOSUB, RETURN and EXIT: moving within a procedure and leaving it.
#include "core/command_state.h"
#include "core/handlers.h"
#include "lang/expression.h"
#include "lang/qualifiers.h"
#include "proc/procedure.h"
#include "status/condition.h"
#include "status/messages.h"
#include "status/session.h"

namespace dcl {

namespace {

// The label of GOTO and GOSUB: one parameter, no qualifiers. A missing one
// is asked for at the terminal (`prompt`) and an error in a procedure.
// False when the command ends here.
bool take_label(const CommandContext& cmd, const char* prompt, std::string& label) {
    const TokenList& tokens = cmd.tokens;
    size_t k = cmd.verb_index + 1;
    for (size_t i = k; i < tokens.size(); ++i) {
        if (tokens[i].type == TOKEN_QUALIFIER) {
            signal_condition(cond::NOQUAL, std::string_view(tokens[i].text).substr(1));
            return false;
        }
    }
    if (k >= tokens.size()) {
        ask_for_parameter(prompt);
        return false;
    }
    if (k + 1 < tokens.size()) {
        extra_parameter(tokens[k + 1].text);
        return false;
    }
    label = remove_quotes(tokens[k].text);
    if (label.size() > kMaxNameLength) {
        signal_condition(cond::BUFOVF);
        return false;
    }
    return true;
}

// The optional status of RETURN and EXIT, queued so that it becomes
// $STATUS, and returned in `status` (1 when none is given). A status from
// the user never asks to continue at a label: that bit is the
// interpreter's own. False when the command ends here.
bool report_exit_status(const CommandContext& cmd, uint32_t& status) {
    const TokenList& tokens = cmd.tokens;
    size_t k = cmd.verb_index + 1;
    status = 1;
    if (k >= tokens.size()) return true;
    if (tokens[k].type != TOKEN_PARAMETER) {
        signal_condition(cond::EXPSYN);
        return false;
    }
    if (k + 1 < tokens.size()) {
        extra_parameter(tokens[k + 1].text);
        return false;
    }
    ExprValue value;
    uint32_t result = evaluate_expression(value, tokens[k].text);
    if (result != 1) {
        signal_condition(result);
        return false;
    }
    status = static_cast<uint32_t>(value.integer) & ~CONTINUE_AT_LABEL_BIT;
    signal_condition(status);
    return true;
}

}  // namespace

void goto_command(CommandContext& cmd) {
    std::string label;
    if (!take_label(cmd, "_Label: ", label)) return;
    signal_condition(goto_label(label));
}

void gosub_command(CommandContext& cmd) {
    std::string label;
    if (!take_label(cmd, "_label: ", label)) return;
    if (!procedure_stack().in_procedure) {
        signal_condition(cond::NOGOSUB);
        return;
    }
    ProcedureFrame& frame = current_frame();
    if (frame.gosub_depth >= ProcedureFrame::kMaxGosubDepth) {
        signal_condition(cond::GOSUBMAX);
        return;
    }
    frame.gosub_stack[static_cast<size_t>(frame.gosub_depth++)] = tell_input();
    adjust_newest_if_block(+1);
    uint32_t status = goto_label(label);
    if (status != 1) {
        // No subroutine runs, so nothing will RETURN.
        --frame.gosub_depth;
        adjust_newest_if_block(-1);
        signal_condition(status);
    }
}

// A RETURN leaves the IF blocks that the subroutine opened, as a GOTO out
// of them would, before it lowers the count that its GOSUB raised.
void return_command(CommandContext& cmd) {
    uint32_t status;
    if (!report_exit_status(cmd, status)) return;
    if (procedure_depth() < 0) return;
    ProcedureFrame& frame = current_frame();
    if (frame.gosub_depth == 0) return;
    long target = frame.gosub_stack[static_cast<size_t>(--frame.gosub_depth)];
    discard_left_if_blocks(frame, target);
    adjust_newest_if_block(-1);
    if (seek_input(target) != 1) signal_condition(cond::POSERR, " ");
}

// EXIT at level 0 ends a session that reads a script or runs one command,
// with the low byte of a failure status as its exit status.
void exit_command(CommandContext& cmd) {
    uint32_t status;
    if (!report_exit_status(cmd, status)) return;
    if (procedure_depth() <= 0) {
        if (failures_end_session()) end_session(status);
        return;
    }
    pop_procedure_level();
    procedure_stack().exit_status = status;
}

}  // namespace dcl
