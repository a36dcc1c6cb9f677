// ON condition THEN command, SET [NO]ON and CONTINUE: what a procedure
// does after a command fails. The command loop runs the stored actions.
#include <array>
#include <cctype>
#include <string>
#include <string_view>

#include "core/handlers.h"
#include "lang/keywords.h"
#include "lang/qualifiers.h"
#include "proc/procedure.h"
#include "status/condition.h"
#include "status/messages.h"
#include "status/text.h"

namespace dcl {

namespace {

struct OnCondition {
    std::string_view name;
    OnAction action;
};

// Searched in this order, so "S" is SEVERE and "C" CONTROL_Y.
constexpr std::array<OnCondition, 4> kOnConditions = {{
    {"WARNING", ON_WARNING},
    {"ERROR", ON_ERROR},
    {"SEVERE", ON_SEVERE},
    {"CONTROL_Y", ON_CONTROL_Y},
}};

// A word names a condition by all its characters when it has fewer than
// five, else by its first four.
bool find_on_condition(std::string_view typed, OnAction& action) {
    std::string word = upper_ascii(typed);
    size_t n = word.size() < 5 ? word.size() : 4;
    for (const OnCondition& c : kOnConditions) {
        if (n <= c.name.size() && c.name.compare(0, n, word, 0, n) == 0) {
            action = c.action;
            return true;
        }
    }
    return false;
}

// Commands that take neither parameters nor qualifiers.
bool refuse_arguments(const CommandContext& cmd) {
    size_t k = cmd.verb_index + 1;
    if (k >= cmd.tokens.size()) return true;
    const Token& t = cmd.tokens[k];
    if (t.type == TOKEN_QUALIFIER)
        signal_condition(cond::NOQUAL, std::string_view(t.text).substr(1));
    else
        extra_parameter(t.text);
    return false;
}

}  // namespace

// The action is the rest of the tokens, qualifiers included, each followed
// by one blank: run later, it reads as it was written.
void on_command(CommandContext& cmd) {
    const TokenList& tokens = cmd.tokens;
    size_t k = cmd.verb_index + 1;
    if (k >= tokens.size()) {
        signal_condition(cond::PARMDEL);
        return;
    }
    OnAction action = ON_WARNING;
    if (!find_on_condition(tokens[k].text, action)) {
        signal_condition(cond::ONERR, tokens[k].text);
        return;
    }
    if (k + 1 >= tokens.size()) {
        signal_condition(cond::PARMDEL);
        return;
    }
    if (upper_ascii(tokens[k + 1].text) != "THEN") {
        signal_condition(cond::NOTHEN, tokens[k + 1].text);
        return;
    }
    if (k + 2 >= tokens.size()) {
        signal_condition(cond::PARMDEL);
        return;
    }
    if (!procedure_stack().in_procedure) {
        signal_condition(cond::ONLEVL);
        return;
    }
    std::string text;
    for (size_t i = k + 2; i < tokens.size(); ++i) text += tokens[i].text + " ";
    current_frame().on_actions[action] = std::move(text);
}

void continue_command(CommandContext& cmd) { refuse_arguments(cmd); }

void set_on(CommandContext& cmd) {
    if (!refuse_arguments(cmd)) return;
    current_frame().on_enabled = (cmd.keyword_flags & RESULT_NEGATED) == 0;
}

}  // namespace dcl
