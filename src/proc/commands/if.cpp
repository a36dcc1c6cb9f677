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

void verb_out_of_place(CommandContext&) { signal_condition(cond::OUTOFPLACE); }

// IF condition THEN command, or IF condition alone to open a block. The
// tokenizer hands over the condition, the THEN word and the command text.
void if_command(CommandContext& cmd) {
    const TokenList& tokens = cmd.tokens;
    size_t k = cmd.verb_index + 1;
    if (k >= tokens.size()) {
        signal_condition(cond::EXPSYN);
        return;
    }
    ExprValue value;
    uint32_t status = evaluate_expression(value, tokens[k].text);
    if (!is_success(status)) {
        signal_condition(status);
        return;
    }
    bool condition = (value.integer & 1) != 0;
    if (k + 1 < tokens.size()) {
        if (condition && k + 2 < tokens.size()) current_frame().pending_command = tokens[k + 2].text;
        return;
    }
    open_if_block(condition);
}

}  // namespace dcl
