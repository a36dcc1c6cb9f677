// ON condition THEN command, SET [NO]ON and CONTINUE: what a procedure
// does after a command fails. The command loop runs the stored actions.
#include <array>
#include <cctype>
#include <string>
#include <string_view>

#include "core/handlers.h"
#include "lang/keywords.h"
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

}  // namespace

// The action is the rest of the tokens, qualifiers included, each followed
// by one blank: run later, it reads as it was written.
uint32_t on_command(const ParsedCommand& cmd, CommandStreams&) {
    std::span<const Token> tokens = cmd.rest();
    if (tokens.empty()) return cond::PARMDEL;
    OnAction action = ON_WARNING;
    if (!find_on_condition(tokens[0].text, action)) {
        signal_condition(cond::ONERR, tokens[0].text);
        return 0;
    }
    if (tokens.size() < 2) return cond::PARMDEL;
    if (upper_ascii(tokens[1].text) != "THEN") {
        signal_condition(cond::NOTHEN, tokens[1].text);
        return 0;
    }
    if (tokens.size() < 3) return cond::PARMDEL;
    if (!procedure_stack().in_procedure) return cond::ONLEVL;
    std::string text;
    for (const Token& t : tokens.subspan(2)) text += t.text + " ";
    current_frame().on_actions[action] = std::move(text);
    return 1;
}

// The parser has refused any qualifier or parameter.
uint32_t continue_command(const ParsedCommand&, CommandStreams&) { return 1; }

uint32_t set_on(const ParsedCommand& cmd, CommandStreams&) {
    current_frame().on_enabled = (cmd.keyword_flags & RESULT_NEGATED) == 0;
    return 1;
}

}  // namespace dcl
