// RECALL: lists, erases or picks a command of the recall buffer. A picked
// command is not run: the next line read offers it for editing.
#include <cctype>
#include <cstdio>

#include "core/handlers.h"
#include "lang/keywords.h"
#include "lang/lexer.h"
#include "lang/qualifier_codes.h"
#include "lang/qualifiers.h"
#include "lang/verbs.h"
#include "status/condition.h"
#include "status/messages.h"
#include "tty/recall.h"
#include "unix/redirection.h"

namespace dcl {

namespace {

constexpr KeywordRecord kRows[] = {
    {"ALL", KW_NO_NEGATE, qual::RECALL_ALL},
    {"ERASE", 0, qual::RECALL_ERASE},
};

std::string upper_trimmed(std::string_view text) {
    size_t first = text.find_first_not_of(" \t");
    size_t last = text.find_last_not_of(" \t");
    std::string out;
    if (first == std::string_view::npos) return out;
    for (char c : text.substr(first, last - first + 1))
        out.push_back(static_cast<char>(std::toupper(static_cast<unsigned char>(c))));
    return out;
}

void list_all(FILE* out) {
    RecallList& r = recall_list();
    for (size_t n = 1; n <= r.count; ++n) std::fprintf(out, "%2zu %s\n", n, recalled(n)->c_str());
    r.position = 0;
}

void erase_all() {
    RecallList& r = recall_list();
    r.count = 0;
    r.newest = 0;
    r.position = 0;
    lexer_state().reprompt = false;
}

void offer(int position) {
    recall_list().position = position;
    lexer_state().reprompt = true;
}

// A number picks by position unless a line starts with it; any other text
// picks the newest line that starts with it.
void pick(const std::string& raw) {
    std::string wanted = upper_trimmed(raw);
    int64_t number = 0;
    bool is_number = !wanted.empty() && parse_number(number, wanted) == 1;
    if (is_number && (number < 1 || number > static_cast<int64_t>(RecallList::kEntries))) {
        signal_condition(cond::IVVALU);
        return;
    }
    const RecallList& r = recall_list();
    for (size_t n = 1; n <= r.count; ++n) {
        if (upper_trimmed(*recalled(n)).starts_with(wanted)) {
            offer(static_cast<int>(n));
            return;
        }
    }
    if (is_number) offer(static_cast<int>(std::min<int64_t>(number, static_cast<int64_t>(r.count))));
    else if (wanted.empty()) offer(1);
    else signal_condition(cond::CMDNOTFND);
}

}  // namespace

const KeywordTable kRecallQualifiers{verb::RECALL, kRows};

uint32_t recall_command(const ParsedCommand& cmd, CommandStreams& io) {
    bool all = cmd.find(qual::RECALL_ALL) != nullptr;
    bool erase = cmd.flag(qual::RECALL_ERASE, false);
    const ParsedParameter* given = cmd.parameters.empty() ? nullptr : &cmd.parameters.back();
    if (given && (all || erase)) {
        extra_parameter(given->token);
        return 0;
    }
    if (all) {
        list_all(io.out);
        finish_listing(io.out, cond::DCL_WRITEERR);
    } else if (erase) {
        erase_all();
    } else if (!given) {
        offer(1);
    } else {
        pick(std::string(given->text));
    }
    return 1;
}

}  // namespace dcl
