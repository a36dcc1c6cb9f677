// INQUIRE: asks for a value on SYS$COMMAND and keeps the answer, edited
// as a command line is (symbols substituted, upper case outside quotes,
// blanks compressed, quotes removed), in a symbol.
#include <string>

#include "core/dispatch.h"
#include "core/handlers.h"
#include "fileio/commands/file_commands.h"
#include "lang/lexer.h"
#include "lang/qualifier_codes.h"
#include "lang/verbs.h"
#include "names/symbols.h"
#include "status/condition.h"
#include "status/messages.h"
#include "status/text.h"

namespace dcl {

namespace {

constexpr KeywordRecord kRows[] = {
    {"GLOBAL", KW_NO_NEGATE, qual::INQUIRE_GLOBAL},
    {"LOCAL", KW_NO_NEGATE, qual::INQUIRE_LOCAL},
    {"PUNCTU", 0, qual::INQUIRE_PUNCTUATION},
};

// Upper case outside quotes, blanks outside quotes trimmed and runs of
// them made one, quotes removed ("" inside quotes is one quote).
std::string edit_response(std::string_view typed) {
    std::string out;
    bool quoted = false, blank_pending = false;
    for (size_t i = 0; i < typed.size(); ++i) {
        char c = typed[i];
        if (c == '"') {
            if (quoted && i + 1 < typed.size() && typed[i + 1] == '"') {
                out.push_back('"');
                ++i;
            } else {
                quoted = !quoted;
            }
            continue;
        }
        if (!quoted && is_blank(c)) {
            blank_pending = !out.empty();
            continue;
        }
        if (blank_pending) out.push_back(' ');
        blank_pending = false;
        out.push_back(quoted ? c : upper_ascii(c));
    }
    return out;
}

std::string prompt_text(const ParsedCommand& cmd, const std::string& symbol) {
    std::string prompt = cmd.parameters.size() > 1
                             ? remove_quotes(upper_outside_quotes(cmd.parameters[1].text))
                             : symbol;
    if (cmd.flag(qual::INQUIRE_PUNCTUATION, true)) prompt += ": ";
    return prompt;
}

}  // namespace

const KeywordTable kInquireQualifiers{verb::INQUIRE, kRows};

uint32_t inquire_command(const ParsedCommand& cmd, CommandStreams&) {
    if (cmd.parameters.empty()) return ask_for(cmd, 0);
    std::string symbol = normalize_symbol_name(cmd.parameters[0].text);
    if (!symbol_name_valid(symbol)) return 0;
    uint32_t kind = cmd.last_of({qual::INQUIRE_GLOBAL, qual::INQUIRE_LOCAL}) == qual::INQUIRE_GLOBAL
                        ? SYM_GLOBAL
                        : SYM_LOCAL;
    std::string line;
    uint32_t status = read_standard_line(true, prompt_text(cmd, symbol), line);
    if (status == 0 || status == cond::CONTROLY) return status;
    if (status == cond::RMS_EOF) line.clear();
    else if (uint32_t substituted = substitute_apostrophes(line, 0); substituted != 1) return substituted;
    if (uint32_t set = set_symbol(symbol, edit_response(line), kind | SYM_STRING); set != 1) return set;
    return status;
}

}  // namespace dcl
