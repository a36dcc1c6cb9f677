// SHOW SYMBOL: one symbol as a reference would find it, or every symbol
// whose name matches a wildcard pattern.
#include <algorithm>
#include <cstdio>
#include <iterator>
#include <string>
#include <string_view>
#include <vector>

#include "core/dispatch.h"
#include "core/handlers.h"
#include "files/wildcard.h"
#include "lang/keywords.h"
#include "lang/qualifier_codes.h"
#include "lang/qualifiers.h"
#include "lang/verbs.h"
#include "names/symbols.h"
#include "proc/procedure.h"
#include "status/condition.h"
#include "status/messages.h"
#include "unix/redirection.h"

namespace dcl {

namespace {

constexpr uint32_t SHOW_ALL = 1;
constexpr uint32_t SHOW_LOG = 2;
constexpr size_t kMaxShownValue = 255;

struct ShowRequest {
    uint32_t options = SHOW_LOG;
    SymbolSelector selector = SELECT_ANY;
};

// A copy of a symbol for a listing. An environment symbol is shown under
// its variable's own name (http_proxy), which is what children see, and
// sorted by its symbol name with the rest.
struct Shown {
    std::string name;
    std::string value;
    uint32_t type;
    std::string key;
};

constexpr KeywordRecord kRows[] = {
    {"ALL", KW_NO_NEGATE, qual::SHOW_SYMBOL_ALL},
    {"GLOBAL", KW_NO_NEGATE, qual::SHOW_SYMBOL_GLOBAL},
    {"LOCAL", KW_NO_NEGATE, qual::SHOW_SYMBOL_LOCAL},
    {"ENVIRO", KW_NO_NEGATE, qual::SHOW_SYMBOL_ENVIRONMENT},
    {"LOG", 0, qual::SHOW_SYMBOL_LOG},
};

// The table the last of /LOCAL, /GLOBAL and /ENVIRONMENT chose.
SymbolSelector selector_of(const ParsedCommand& cmd) {
    switch (cmd.last_of({qual::SHOW_SYMBOL_LOCAL, qual::SHOW_SYMBOL_GLOBAL,
                         qual::SHOW_SYMBOL_ENVIRONMENT})) {
    case qual::SHOW_SYMBOL_LOCAL: return SELECT_LOCAL;
    case qual::SHOW_SYMBOL_GLOBAL: return SELECT_GLOBAL;
    case qual::SHOW_SYMBOL_ENVIRONMENT: return SELECT_ENVIRONMENT;
    default: return SELECT_ANY;
    }
}

// Writes one symbol line; true when the value had to be cut.
bool display_symbol(FILE* out, const std::string& name, std::string_view value, uint32_t type) {
    const char* op = (type & SYM_LOCAL) ? "=" : (type & SYM_GLOBAL) ? "==" : "===";
    if (!(type & SYM_STRING)) {
        auto number = static_cast<int32_t>(symbol_integer_value(value));
        auto bits = static_cast<unsigned long>(static_cast<uint32_t>(number));
        std::fprintf(out, "  %s %s %ld   Hex = %8.8lX  Octal = %11.11lo\n", name.c_str(), op,
                     static_cast<long>(number), bits, bits);
        return false;
    }
    std::string shown(value.substr(0, kMaxShownValue));
    for (char& c : shown)
        if (c < ' ' || c > '~') c = '.';
    std::fprintf(out, "  %s %s \"%s\"\n", name.c_str(), op, shown.c_str());
    return value.size() > kMaxShownValue;
}

// One symbol, found as a reference finds it but with local symbols always
// visible.
uint32_t show_one(FILE* out, const std::string& name, const ShowRequest& request) {
    SymbolScope& scope = symbol_tables().scope;
    bool saved_local = scope.local;
    scope.local = true;
    std::string value, stored;
    uint32_t type = 0;
    uint32_t status = get_symbol(name, value, type, request.selector, &stored);
    scope.local = procedure_depth() >= 0 ? current_frame().scopes.general.local : saved_local;
    if (status != 1) return status;
    if (type & SYM_ENVIRONMENT) stored = environment_variable_name(stored);
    bool cut = display_symbol(out, stored, value, type);
    return cut && (request.options & SHOW_LOG) ? cond::SYMTRUNC : 1;
}

void add_matching(std::vector<Shown>& list, const SymbolTable& table, uint32_t kind,
                  std::string_view pattern) {
    std::string bare;
    for (const Symbol* record : table.sorted()) {
        const Symbol& s = *record;
        bare = s.name;
        std::erase(bare, '*');
        if (!wildcard_match(pattern, bare)) continue;
        bool own_name = kind == SYM_ENVIRONMENT && !s.variable.empty();
        list.push_back({own_name ? s.variable : s.name, s.value, s.flags | kind, s.name});
    }
}

void add_pseudo_symbols(std::vector<Shown>& list, std::string_view pattern) {
    for (const char* name : {"$SEVERITY", "$STATUS"}) {
        if (!wildcard_match(pattern, name)) continue;
        Shown shown{name, {}, SYM_GLOBAL | SYM_STRING, name};
        pseudo_symbol_value(name, shown.value);
        list.push_back(std::move(shown));
    }
}

// Every table in reach, merged in name order after the pseudo-symbols.
std::vector<Shown> collect_all_tables(std::string_view pattern) {
    const SymbolScope& scope = symbol_tables().scope;
    std::vector<Shown> merged;
    const ProcedureStack& stack = procedure_stack();
    for (int level = stack.depth; level >= 0; --level)
        add_matching(merged, stack.frames[level].local_symbols, SYM_LOCAL, pattern);
    if (scope.global) add_matching(merged, symbol_tables().global, SYM_GLOBAL, pattern);
    if (scope.environment)
        add_matching(merged, symbol_tables().environment, SYM_ENVIRONMENT, pattern);
    std::stable_sort(merged.begin(), merged.end(),
                     [](const Shown& a, const Shown& b) { return a.key < b.key; });
    std::vector<Shown> list;
    if (scope.global) add_pseudo_symbols(list, pattern);
    std::move(merged.begin(), merged.end(), std::back_inserter(list));
    return list;
}

std::vector<Shown> collect(SymbolSelector selector, std::string_view pattern) {
    const SymbolScope& scope = symbol_tables().scope;
    std::vector<Shown> list;
    switch (selector) {
    case SELECT_LOCAL:
        if (const SymbolTable* table = current_local_table())
            add_matching(list, *table, SYM_LOCAL, pattern);
        break;
    case SELECT_GLOBAL:
        if (!scope.global) break;
        add_pseudo_symbols(list, pattern);
        add_matching(list, symbol_tables().global, SYM_GLOBAL, pattern);
        break;
    case SELECT_ENVIRONMENT:
        if (scope.environment)
            add_matching(list, symbol_tables().environment, SYM_ENVIRONMENT, pattern);
        break;
    case SELECT_ANY:
        list = collect_all_tables(pattern);
        break;
    }
    return list;
}

uint32_t show_matching(FILE* out, std::string_view pattern, const ShowRequest& request) {
    bool cut = false;
    std::vector<Shown> list = collect(request.selector, pattern);
    for (const Shown& s : list)
        if (display_symbol(out, s.name, s.value, s.type)) cut = true;
    if (list.empty() && !(request.options & SHOW_ALL)) return cond::UNDSYM;
    return cut && (request.options & SHOW_LOG) ? cond::SYMTRUNC : 1;
}

}  // namespace

const KeywordTable kShowSymbolQualifiers{verb::SHOW_SYMBOL, kRows};

uint32_t show_symbol(const ParsedCommand& cmd, CommandStreams& io) {
    ShowRequest request;
    request.selector = selector_of(cmd);
    if (cmd.flag(qual::SHOW_SYMBOL_ALL, false)) request.options |= SHOW_ALL;
    if (!cmd.flag(qual::SHOW_SYMBOL_LOG, true)) request.options &= ~SHOW_LOG;
    const ParsedParameter* given = cmd.parameter(0);
    if (given && (request.options & SHOW_ALL)) {
        extra_parameter(given->text);
        return 0;
    }
    if (!given && !(request.options & SHOW_ALL)) return ask_for(cmd, 0);
    std::string name = given ? normalize_symbol_name(given->text) : "*";
    bool wildcard = name.find_first_of("*%") != std::string::npos || (request.options & SHOW_ALL);
    uint32_t status = wildcard ? show_matching(io.out, name, request)
                               : show_one(io.out, name, request);
    // A listing that was not written makes a truncation warning moot.
    if (!finish_listing(io.out, cond::SHOW_WRITEERR)) return 0;
    if (status == cond::UNDSYM && given) {
        signal_condition(status, name);
        return 0;
    }
    return status;
}

}  // namespace dcl
