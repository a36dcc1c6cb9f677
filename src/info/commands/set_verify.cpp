// SET [NO]VERIFY[=(list)]: echoing of procedure lines (procedure
// verification) and of the data lines that commands read (image
// verification).
#include <string>
#include <string_view>
#include <vector>

#include "core/handlers.h"
#include "lang/keywords.h"
#include "lang/qualifier_codes.h"
#include "lang/qualifiers.h"
#include "lang/verbs.h"
#include "status/condition.h"
#include "status/messages.h"
#include "status/session.h"

namespace dcl {

// The parser has refused any qualifier or parameter after the keyword.
uint32_t set_verify(const ParsedCommand& cmd, CommandStreams&) {
    std::string keyword = (*cmd.tokens)[cmd.verb_index].text;
    size_t separator = keyword.find_first_of("=:");
    bool negated = (cmd.keyword_flags & RESULT_NEGATED) != 0;
    bool has_value = (cmd.keyword_flags & RESULT_VALUE) != 0 && separator != std::string::npos;
    if (negated && has_value) {
        signal_condition(cond::NEGVAL, std::string_view(keyword).substr(0, separator));
        return 0;
    }
    Session& s = session();
    if (!has_value) {
        s.verify = s.image_verify = !negated;
        return 1;
    }
    keyword[separator] = '=';
    std::vector<std::string> items;
    if (!qualifier_value_list(items, keyword, false)) return 0;
    for (std::string item : items) {
        uint32_t flags = 0;
        uint32_t code = lookup_keyword(item, verb::SET_VERIFY, flags);
        if (code == 0) return 0;
        bool on = (flags & RESULT_NEGATED) == 0;
        (code == qual::VERIFY_IMAGE ? s.image_verify : s.verify) = on;
    }
    return 1;
}

}  // namespace dcl
