// GOTO, GOSUB, RETURN and EXIT: moving within a procedure and leaving it.
#include "core/dispatch.h"
#include "core/handlers.h"
#include "lang/expression.h"
#include "lang/qualifiers.h"
#include "proc/procedure.h"
#include "status/condition.h"
#include "status/messages.h"
#include "status/session.h"

namespace dcl {

namespace {

// The label of GOTO and GOSUB: the parser has refused qualifiers and a
// second parameter; a missing label is asked for at the terminal and an
// error in a procedure. False when the command ends here.
bool take_label(const ParsedCommand& cmd, std::string& label) {
    const ParsedParameter* given = cmd.parameter(0);
    if (!given) {
        ask_for(cmd, 0);
        return false;
    }
    label = remove_quotes(given->text);
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
bool report_exit_status(const ParsedCommand& cmd, uint32_t& status) {
    std::span<const Token> tokens = cmd.rest();
    status = 1;
    if (tokens.empty()) return true;
    if (tokens[0].type != TOKEN_PARAMETER) {
        signal_condition(cond::EXPSYN);
        return false;
    }
    if (tokens.size() > 1) {
        extra_parameter(tokens[1].text);
        return false;
    }
    ExprValue value;
    uint32_t result = evaluate_expression(value, tokens[0].text);
    if (result != 1) {
        signal_condition(result);
        return false;
    }
    status = static_cast<uint32_t>(value.integer) & ~CONTINUE_AT_LABEL_BIT;
    signal_condition(status);
    return true;
}

}  // namespace

uint32_t goto_command(const ParsedCommand& cmd, CommandStreams&) {
    std::string label;
    if (!take_label(cmd, label)) return 0;
    return goto_label(label);
}

uint32_t gosub_command(const ParsedCommand& cmd, CommandStreams&) {
    std::string label;
    if (!take_label(cmd, label)) return 0;
    if (!procedure_stack().in_procedure) return cond::NOGOSUB;
    ProcedureFrame& frame = current_frame();
    if (frame.gosub_depth >= ProcedureFrame::kMaxGosubDepth) return cond::GOSUBMAX;
    frame.gosub_stack[static_cast<size_t>(frame.gosub_depth++)] = tell_input();
    adjust_newest_if_block(+1);
    uint32_t status = goto_label(label);
    if (status != 1) {
        // No subroutine runs, so nothing will RETURN.
        --frame.gosub_depth;
        adjust_newest_if_block(-1);
    }
    return status;
}

// A RETURN leaves the IF blocks that the subroutine opened, as a GOTO out
// of them would, before it lowers the count that its GOSUB raised.
uint32_t return_command(const ParsedCommand& cmd, CommandStreams&) {
    uint32_t status;
    if (!report_exit_status(cmd, status)) return 0;
    if (procedure_depth() < 0) return 1;
    ProcedureFrame& frame = current_frame();
    if (frame.gosub_depth == 0) return 1;
    long target = frame.gosub_stack[static_cast<size_t>(--frame.gosub_depth)];
    discard_left_if_blocks(frame, target);
    adjust_newest_if_block(-1);
    if (seek_input(target) != 1) signal_condition(cond::POSERR, " ");
    return 1;
}

// EXIT at level 0 ends a session that reads a script or runs one command,
// with the low byte of a failure status as its exit status.
uint32_t exit_command(const ParsedCommand& cmd, CommandStreams&) {
    uint32_t status;
    if (!report_exit_status(cmd, status)) return 0;
    if (procedure_depth() <= 0) {
        if (failures_end_session()) end_session(status);
        return 1;
    }
    pop_procedure_level();
    procedure_stack().exit_status = status;
    return 1;
}

}  // namespace dcl
