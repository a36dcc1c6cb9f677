// IF: the one-line form leaves its command for the loop to run next; the
// block form opens a block. THEN, ELSE and ENDIF met as commands of their
// own are out of place.
#include "core/handlers.h"
#include "lang/expression.h"
#include "proc/if_blocks.h"
#include "proc/procedure.h"
#include "status/condition.h"
#include "status/messages.h"

namespace dcl {

uint32_t verb_out_of_place(const ParsedCommand&, CommandStreams&) { return cond::OUTOFPLACE; }

// IF condition THEN command, or IF condition alone to open a block. The
// tokenizer hands over the condition, the THEN word and the command text.
uint32_t if_command(const ParsedCommand& cmd, CommandStreams&) {
    std::span<const Token> tokens = cmd.rest();
    if (tokens.empty()) return cond::EXPSYN;
    ExprValue value;
    uint32_t status = evaluate_expression(value, tokens[0].text);
    if (!is_success(status)) return status;
    bool condition = (value.integer & 1) != 0;
    if (tokens.size() > 1) {
        if (condition && tokens.size() > 2) current_frame().pending_command = tokens[2].text;
        return 1;
    }
    open_if_block(condition);
    return 1;
}

}  // namespace dcl
