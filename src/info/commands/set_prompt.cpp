// SET PROMPT[=text]: the prompt of the command loop, and with /PWD the
// default directory shown on a line before it.
#include <string>

#include "core/handlers.h"
#include "lang/keywords.h"
#include "lang/qualifier_codes.h"
#include "lang/qualifiers.h"
#include "lang/verbs.h"
#include "status/condition.h"
#include "status/messages.h"
#include "status/session.h"

namespace dcl {

namespace {

constexpr KeywordRecord kRows[] = {
    {"CARRIA", 0, qual::PROMPT_CARRIAGE_CONTROL, ValueKind::unsupported},
    {"PWD", 0, qual::PROMPT_PWD},
};

}  // namespace

const KeywordTable kSetPromptQualifiers{verb::SET_PROMPT, kRows};

uint32_t set_prompt(const ParsedCommand& cmd, CommandStreams&) {
    std::string prompt = "$ ";
    if (cmd.keyword_flags & RESULT_VALUE) {
        std::string keyword = (*cmd.tokens)[cmd.verb_index].text;
        size_t separator = keyword.find_first_of("=:");
        if (separator != std::string::npos) keyword[separator] = '=';
        if (!qualifier_value(prompt, keyword, true)) return 0;
    }
    if (prompt.size() > kMaxPromptLength) return cond::PROMPTLEN;
    const ParsedQualifier* pwd = cmd.find(qual::PROMPT_PWD);
    Session& s = session();
    if (pwd) s.prompt_directory = !pwd->negated();
    // /PWD alone turns the directory line on or off and keeps the prompt.
    if (!(cmd.keyword_flags & RESULT_VALUE) && pwd) return 1;
    s.prompt = prompt;
    return 1;
}

}  // namespace dcl
