// The lexical function dispatcher: finds the function by its abbreviated
// name, splits and counts the arguments and runs it.
#include "lang/lexicals.h"

#include <algorithm>
#include <array>
#include <cstdio>

#include "lang/lexical_files.h"
#include "lang/lexical_functions.h"
#include "lang/lexical_system.h"
#include "lang/qualifiers.h"
#include "status/condition.h"
#include "status/messages.h"

namespace dcl {


namespace {

constexpr size_t kSignificantNameLength = 6;
constexpr size_t kMaxCallText = 1024;

struct LexicalEntry {
    std::string_view name;  // "F$" included, at most six characters
    uint8_t max_arguments;
    uint8_t min_arguments;
    LexicalFunction run;
};

// Functions still answering lexical_not_available are recognised but not
// provided; the system, file and logical-name ones get their own slots as
// they arrive.
constexpr std::array<LexicalEntry, 41> kLexicalTable{{
    {"F$CONT", 5, 5, lexical_not_available},
    {"F$CSID", 1, 1, lexical_csid},
    {"F$CVSI", 3, 3, lexical_signed_field},
    {"F$CVTI", 3, 0, lexical_cvtime},
    {"F$CVUI", 3, 3, lexical_unsigned_field},
    {"F$DELT", 3, 2, lexical_delta_time},
    {"F$DEVI", 4, 0, lexical_not_available},
    {"F$DIRE", 0, 0, lexical_directory},
    {"F$EDIT", 2, 2, lexical_edit},
    {"F$ELEM", 3, 3, lexical_element},
    {"F$ENVI", 1, 1, lexical_environment},
    {"F$EXTR", 3, 3, lexical_extract},
    {"F$FAO", 16, 1, lexical_fao},
    {"F$FILE", 2, 2, lexical_file_attributes},
    {"F$FUV", 1, 1, lexical_fuv},
    {"F$FVU", 1, 1, lexical_fvu},
    {"F$GETD", 2, 2, lexical_getdvi},
    {"F$GETJ", 2, 2, lexical_getjpi},
    {"F$GETQ", 4, 1, lexical_not_available},
    {"F$GETS", 3, 1, lexical_getsyi},
    {"F$IDEN", 2, 2, lexical_identifier},
    {"F$INTE", 1, 1, lexical_integer},
    {"F$LENG", 1, 1, lexical_length},
    {"F$LOCA", 2, 2, lexical_locate},
    {"F$LOGI", 1, 1, lexical_logical},
    {"F$MESS", 2, 1, lexical_message},
    {"F$MODE", 0, 0, lexical_mode},
    {"F$PARS", 5, 1, lexical_parse},
    {"F$PID", 1, 0, lexical_pid},
    {"F$PRIV", 1, 1, lexical_privilege},
    {"F$PROC", 0, 0, lexical_process},
    {"F$SEAR", 2, 1, lexical_search},
    {"F$SETP", 1, 1, lexical_setprv},
    {"F$STRI", 1, 1, lexical_string},
    {"F$TIME", 0, 0, lexical_time},
    {"F$TRNL", 6, 1, lexical_trnlnm},
    {"F$TTYS", 1, 1, lexical_not_available},
    {"F$TYPE", 1, 1, lexical_type},
    {"F$UNIQ", 0, 0, lexical_unique},
    {"F$USER", 0, 0, lexical_user},
    {"F$VERI", 2, 0, lexical_verify},
}};

// In name order: the names an abbreviation selects stand together.
static_assert(std::is_sorted(kLexicalTable.begin(), kLexicalTable.end(),
                             [](const LexicalEntry& a, const LexicalEntry& b) { return a.name < b.name; }));


}  // namespace

std::vector<std::string_view> provided_lexical_names() {
    std::vector<std::string_view> names;
    for (const LexicalEntry& entry : kLexicalTable)
        if (entry.run != lexical_not_available) names.push_back(entry.name);
    return names;
}

namespace {

// Upper case outside quotes, quotes removed.
std::string normalized_name(std::string_view raw) {
    return remove_quotes(upper_outside_quotes(raw));
}

// Finds the entry the name selects; reports an ambiguous or unknown name.
const LexicalEntry* find_function(std::string_view raw_name, std::string_view call_text) {
    std::string name = normalized_name(raw_name);
    std::string_view significant = std::string_view(name).substr(0, kSignificantNameLength);
    // The names that begin with the typed ones start where it would stand.
    auto first = std::lower_bound(kLexicalTable.begin(), kLexicalTable.end(), significant,
                                  [](const LexicalEntry& e, std::string_view typed) { return e.name < typed; });
    if (first == kLexicalTable.end() || !first->name.starts_with(significant)) {
        signal_condition(cond::IVFNAM, call_text);
        return nullptr;
    }
    if (first + 1 != kLexicalTable.end() && (first + 1)->name.starts_with(significant)) {
        signal_condition(cond::ABFNAM, name);
        return nullptr;
    }
    return &*first;
}

// Splits at commas outside quotes and parentheses; quoted and parenthesised
// sections are copied whole, other blanks dropped. `storage` holds the
// copies.
void split_arguments(LexicalCall& call, std::string_view list, char* storage) {
    size_t used = 0;
    size_t start = 0;
    size_t nesting = 0;
    bool quoted = false;
    bool any = false;  // empty parentheses mean no arguments at all
    auto finish_argument = [&] {
        if (call.count < LexicalCall::kMaxArguments)
            call.arguments[call.count] = std::string_view(storage + start, used - start);
        ++call.count;
        start = used;
    };
    for (char c : list) {
        if (c == '"') quoted = !quoted;
        if (!quoted && nesting == 0) {
            if (c == ',') {
                any = true;
                finish_argument();
                continue;
            }
            if (is_blank(c)) continue;
        }
        if (!quoted && c == '(') ++nesting;
        if (!quoted && c == ')' && nesting > 0) --nesting;
        storage[used++] = c;
        any = true;
    }
    if (any) finish_argument();
}

}  // namespace

uint32_t lexical_not_available(LexicalCall&) { return cond::NOTAVAIL; }

std::string keyword_text(std::string_view text) {
    std::string name;
    bool quoted = false;
    for (char c : text) {
        if (c == '"') quoted = !quoted;
        if (!quoted && is_blank(c)) continue;
        name.push_back(quoted ? c : ascii_upper(c));
    }
    return name;
}

uint32_t LexicalCall::evaluate(size_t index, ExprValue& value) const {
    if (!given(index)) return cond::INSFARG;
    return evaluate_expression_nested(value, arguments[index], depth);
}

uint32_t LexicalCall::set_integer(int32_t value) {
    char digits[16];
    int n = std::snprintf(digits, sizeof digits, "%d", value);
    result.assign(digits, static_cast<size_t>(n));
    type = VALUE_INTEGER;
    return 1;
}

uint32_t call_lexical_nested(std::string& result, ValueType& type, std::string_view call_text,
                             int depth) {
    if (depth > kMaxExpressionNesting) return cond::BUFOVF;
    if (call_text.size() > kMaxCallText) return cond::BUFOVF;
    size_t open = call_text.find('(');
    std::string_view name = call_text.substr(0, open);
    const LexicalEntry* entry = find_function(name, call_text);
    if (entry == nullptr) return 0;

    LexicalCall call{result, type};
    call.depth = depth;
    char storage[kMaxCallText];
    if (open != std::string_view::npos) {
        std::string_view list = call_text.substr(open + 1);
        if (!list.empty() && list.back() == ')') list.remove_suffix(1);
        split_arguments(call, list, storage);
    }
    if (call.count < entry->min_arguments) {
        signal_condition(cond::INSFARG, "(");
        return 0;
    }
    if (call.count > entry->max_arguments) {
        signal_condition(cond::SYMDEL, "(");
        return 0;
    }
    result.clear();
    type = VALUE_STRING;
    return entry->run(call);
}

uint32_t call_lexical(std::string& result, ValueType& type, std::string_view call_text) {
    return call_lexical_nested(result, type, call_text, 0);
}

}  // namespace dcl
