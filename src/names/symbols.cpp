// The symbol store: lookups, definitions and deletions over the local
// tables of the procedure levels, the global table and the environment
// table.
#include "names/symbols.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <unistd.h>

#include "status/condition.h"
#include "status/messages.h"
#include "status/text.h"

namespace dcl {

namespace {

constexpr size_t kMaxImportedValue = 1023;
constexpr uint64_t kLargestNumber = 9223372036854775807ull;

bool is_lower(char c) { return c >= 'a' && c <= 'z'; }
bool is_letter(char c) { return (c >= 'A' && c <= 'Z') || is_lower(c); }
bool is_digit(char c) { return c >= '0' && c <= '9'; }

// A name upper-cased outside double quotes. A name that is already upper
// case is used where it lies, so the frequent lookups of a procedure loop
// neither copy nor allocate.
class UpperName {
public:
    // False when the name is longer than any stored name can be.
    bool set(std::string_view name) {
        if (name.size() > kMaxSymbolName) return false;
        if (!needs_mapping(name)) {
            view_ = name;
            return true;
        }
        bool quoted = false;
        for (size_t i = 0; i < name.size(); ++i) {
            char c = name[i];
            if (c == '"') quoted = !quoted;
            buffer_[i] = quoted ? c : upper_ascii(c);
        }
        view_ = std::string_view(buffer_, name.size());
        return true;
    }
    std::string_view view() const { return view_; }

private:
    static bool needs_mapping(std::string_view name) {
        bool quoted = false;
        for (char c : name) {
            if (c == '"') quoted = !quoted;
            else if (!quoted && is_lower(c)) return true;
        }
        return false;
    }

    char buffer_[kMaxSymbolName];
    std::string_view view_;
};

bool valid_name(std::string_view name) {
    if (name.empty() || name.size() > kMaxSymbolName) return false;
    char first = name[0];
    if (!is_letter(first) && first != '$' && first != '_') return false;
    for (char c : name.substr(1))
        if (!is_letter(c) && !is_digit(c) && c != '$' && c != '_' && c != '*') return false;
    return true;
}

// Does `name` spell `word` once its '*' marks are left out?
bool equals_without_star(std::string_view name, std::string_view word) {
    size_t j = 0;
    for (char c : name) {
        if (c == '*') continue;
        if (j >= word.size() || word[j] != c) return false;
        ++j;
    }
    return j == word.size();
}

bool is_reserved_global(std::string_view name) {
    return equals_without_star(name, "$STATUS") || equals_without_star(name, "$SEVERITY");
}

size_t length_without_star(std::string_view name) {
    return name.size() - static_cast<size_t>(std::count(name.begin(), name.end(), '*'));
}

// Compares the first `n` characters of two names with their '*' marks
// left out, as strncmp would.
bool same_prefix_without_star(std::string_view a, std::string_view b, size_t n) {
    size_t i = 0, j = 0;
    for (size_t k = 0; k < n; ++k) {
        while (i < a.size() && a[i] == '*') ++i;
        while (j < b.size() && b[j] == '*') ++j;
        if (i >= a.size() || j >= b.size()) return i >= a.size() && j >= b.size();
        if (a[i] != b[j]) return false;
        ++i;
        ++j;
    }
    return true;
}

const Symbol* find_in(const SymbolTable& table, std::string_view name) { return table.find(name); }

// The record a reference means, with the kind bit of its table; the
// pseudo-symbols are handled by the caller.
const Symbol* find_symbol(std::string_view name, SymbolSelector selector, bool& pseudo,
                          uint32_t& table_bit) {
    const SymbolTables& tables = symbol_tables();
    const SymbolScope& scope = tables.scope;
    pseudo = false;
    if (scope.local && (selector == SELECT_ANY || selector == SELECT_LOCAL)) {
        table_bit = SYM_LOCAL;
        for (auto level = tables.levels.rbegin(); level != tables.levels.rend(); ++level)
            if (const Symbol* s = find_in(*level->locals, name)) return s;
    }
    if (scope.global && (selector == SELECT_ANY || selector == SELECT_GLOBAL)) {
        if (name == "$STATUS" || name == "$SEVERITY") {
            pseudo = true;
            return nullptr;
        }
        table_bit = SYM_GLOBAL;
        if (const Symbol* s = find_in(tables.global, name)) return s;
    }
    if (scope.environment && (selector == SELECT_ANY || selector == SELECT_ENVIRONMENT)) {
        table_bit = SYM_ENVIRONMENT;
        if (const Symbol* s = find_in(tables.environment, name)) return s;
    }
    return nullptr;
}

uint32_t kind_of(uint32_t flags) {
    if (flags & SYM_LOCAL) return SYM_LOCAL;
    if (flags & SYM_GLOBAL) return SYM_GLOBAL;
    return SYM_ENVIRONMENT;
}

SymbolTable* table_of_kind(uint32_t kind) {
    if (kind == SYM_LOCAL) return current_local_table();
    SymbolTables& tables = symbol_tables();
    return kind == SYM_GLOBAL ? &tables.global : &tables.environment;
}

// How an existing stored name relates to a name being defined.
enum class Relation { unrelated, same, clash };

Relation relation_to(std::string_view existing, std::string_view name) {
    size_t star = name.find('*');
    if (star == std::string_view::npos) {
        if (!symbol_abbrev_match(existing, name)) return Relation::unrelated;
        size_t full = length_without_star(existing);
        if (full == name.size()) return Relation::same;
        // A shorter form of a longer name is a symbol of its own.
        return full > name.size() ? Relation::unrelated : Relation::clash;
    }
    if (!same_prefix_without_star(existing, name, star)) return Relation::unrelated;
    size_t existing_star = existing.find('*');
    if (existing_star == std::string_view::npos)
        return symbol_abbrev_match(name, existing) ? Relation::same : Relation::unrelated;
    if (!same_prefix_without_star(existing, name, existing_star)) return Relation::unrelated;
    return symbol_abbrev_match(name, existing) ? Relation::same : Relation::clash;
}

struct Slot {
    Relation relation = Relation::unrelated;  // same: replace `record`; unrelated: insert
    Symbol* record = nullptr;
};

// The records a definition of `name` could relate to: the full names that
// it equals or, for an abbreviation, that it accepts (SH*OW: SH, SHO,
// SHOW).
template <typename Visit>
void visit_full_names_related(SymbolTable& table, std::string_view name, Visit visit) {
    size_t star = name.find('*');
    if (star == std::string_view::npos) {
        if (Symbol* s = table.stored(name)) visit(*s);
        return;
    }
    std::string word;
    for (char c : name)
        if (c != '*') word.push_back(c);
    for (size_t length = star; length <= word.size(); ++length)
        if (Symbol* s = table.stored(std::string_view(word).substr(0, length))) visit(*s);
}

// Of the records that relate to `name`, the first in name order.
Slot find_slot(SymbolTable& table, std::string_view name) {
    Slot best;
    auto consider = [&](Symbol& s) {
        Relation r = relation_to(s.name, name);
        if (r != Relation::unrelated && (!best.record || s.name < best.record->name)) best = {r, &s};
    };
    visit_full_names_related(table, name, consider);
    for (Symbol& s : table.abbreviated()) consider(s);
    return best;
}

// Environment symbols reach child processes through the process
// environment. setenv copies both strings; a value ends there at its first
// NUL byte.
bool mirror_into_environment(std::string_view name, std::string_view value) {
    std::string env_name(name);
    std::string env_value(value.substr(0, value.find('\0')));
    if (setenv(env_name.c_str(), env_value.c_str(), 1) == 0) return true;
    // Running out of environment space must not end the session, so the
    // internal fault goes out with error rather than fatal severity.
    signal_condition(with_severity(cond::FAULT, SEV_ERROR), "out of environment space");
    return false;
}

const std::string& variable_of(const Symbol& s) { return s.variable.empty() ? s.name : s.variable; }

// The variable an environment assignment sets: the one the symbol already
// stands for when the same name is assigned again, so that http_proxy
// stays http_proxy for the children; else the upper-case name.
std::string variable_to_set(const Slot& slot, std::string_view name) {
    if (slot.relation == Relation::same && slot.record->name == name) return variable_of(*slot.record);
    return std::string(name);
}

void store(SymbolTable& table, const Slot& slot, std::string_view name, std::string_view value,
           uint32_t flags, std::string_view variable) {
    if (slot.relation == Relation::same) {
        Symbol& s = *slot.record;
        if ((flags & SYM_ENVIRONMENT) && variable_of(s) != variable)
            unsetenv(variable_of(s).c_str());
        s.value.assign(value);
        s.flags = flags;
        s.variable.assign(variable);
        table.rename(&s, name);
        return;
    }
    table.insert(Symbol{std::string(name), std::string(value), flags, std::string(variable)});
}

// How an environment entry spelt `variable` ranks for the symbol `name`:
// the exact upper-case spelling before any other; among others the first
// in the environment stays.
bool better_spelling(std::string_view variable, std::string_view current, std::string_view name) {
    return variable == name && current != name;
}

// After the variable a symbol stood for was removed, another spelling of
// the same name may remain in the environment; the symbol then stands for
// it. False when there is none.
bool take_other_spelling(Symbol& symbol) {
    bool found = false;
    for (char** entry = environ; entry && *entry; ++entry) {
        std::string_view text(*entry);
        size_t equals = text.find('=');
        std::string_view variable = text.substr(0, equals);
        if (equals == std::string_view::npos || upper_ascii(variable) != symbol.name) continue;
        if (found && !better_spelling(variable, symbol.variable, symbol.name)) continue;
        symbol.variable.assign(variable);
        symbol.value.assign(text.substr(equals + 1, kMaxImportedValue));
        found = true;
    }
    return found;
}

}  // namespace

SymbolTable* current_local_table() {
    const std::vector<LevelSymbols>& levels = symbol_tables().levels;
    return levels.empty() ? nullptr : levels.back().locals;
}

SymbolTable& local_symbols() {
    if (SymbolTable* table = current_local_table()) return *table;
    SymbolTable& none = symbol_tables().no_level_locals;
    none.take_all();
    return none;
}

bool symbol_abbrev_match(std::string_view pattern, std::string_view name) {
    size_t i = 0, j = 0;
    bool passed_star = false;
    for (;;) {
        if (i < pattern.size() && pattern[i] == '*') {
            passed_star = true;
            ++i;
        } else if (j < name.size() && name[j] == '*') {
            ++j;
        } else if (i < pattern.size() && j < name.size() && pattern[i] == name[j]) {
            ++i;
            ++j;
        } else {
            break;
        }
    }
    bool name_done = j == name.size();
    return name_done && (i == pattern.size() || passed_star);
}

bool symbol_name_valid(std::string_view name) {
    if (valid_name(name)) return true;
    signal_condition(cond::IVSYMB, name);
    return false;
}

std::string normalize_symbol_name(std::string_view typed) {
    return remove_quotes(upper_outside_quotes(typed));
}

bool pseudo_symbol_value(std::string_view name, std::string& value) {
    uint32_t status = message_queue().status;
    char text[16];
    int length = 0;
    if (name == "$STATUS")
        length = std::snprintf(text, sizeof text, "%%X%08X", status);
    else if (name == "$SEVERITY")
        length = std::snprintf(text, sizeof text, "%1u", status & SEVERITY_MASK);
    else
        return false;
    value.assign(text, static_cast<size_t>(length));
    return true;
}

int64_t symbol_integer_value(std::string_view text) {
    size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
    bool negative = i < text.size() && text[i] == '-';
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) ++i;
    uint64_t n = 0;
    // A number too large for 64 bits stays at the largest one.
    for (; i < text.size() && is_digit(text[i]); ++i) {
        uint64_t digit = uint64_t(text[i] - '0');
        n = n > (kLargestNumber - digit) / 10 ? kLargestNumber : n * 10 + digit;
    }
    return negative ? -static_cast<int64_t>(n) : static_cast<int64_t>(n);
}

uint32_t get_symbol(std::string_view name, std::string& value, uint32_t& type,
                    SymbolSelector selector, std::string* stored_name) {
    UpperName upper;
    if (!upper.set(name)) return cond::UNDSYM;
    std::string_view key = upper.view();
    bool pseudo = false;
    uint32_t table_bit = 0;
    const Symbol* found = find_symbol(key, selector, pseudo, table_bit);
    if (pseudo) {
        pseudo_symbol_value(key, value);
        type = SYM_GLOBAL | SYM_STRING;
        if (stored_name) stored_name->assign(key);
        return 1;
    }
    if (!found) return cond::UNDSYM;
    value.assign(found->value);
    type = table_bit | found->flags;
    if (stored_name) stored_name->assign(found->name);
    return 1;
}

uint32_t get_symbol_text(std::string_view name, std::string& value, uint32_t& type,
                         SymbolSelector selector, std::string* stored_name) {
    uint32_t status = get_symbol(name, value, type, selector, stored_name);
    if (status == 1) std::erase(value, '\0');
    return status;
}

uint32_t set_symbol(std::string_view name, std::string_view value, uint32_t flags) {
    if (name.empty()) return 1;
    UpperName upper;
    if (!upper.set(name) || !valid_name(upper.view())) {
        signal_condition(cond::IVSYMB, name);
        return 0;
    }
    std::string_view key = upper.view();
    if (value.size() > kMaxSymbolValue) return cond::BUFOVF;
    uint32_t kind = kind_of(flags);
    const SymbolScope& scope = symbol_tables().scope;
    if ((kind == SYM_ENVIRONMENT && !scope.environment) || (kind == SYM_GLOBAL && !scope.global))
        return cond::NOSCOPE;
    if (kind == SYM_GLOBAL && is_reserved_global(key)) {
        signal_condition(cond::RESSYM, key);
        return 0;
    }
    SymbolTable* table = table_of_kind(kind);
    if (!table) return cond::NOSCOPE;  // no procedure level holds local symbols yet
    Slot slot = find_slot(*table, key);
    if (slot.relation == Relation::clash) return cond::ABSYMD;
    // The environment goes first so that a failure leaves the table as it was.
    std::string variable;
    if (kind == SYM_ENVIRONMENT) {
        variable = variable_to_set(slot, key);
        if (!mirror_into_environment(variable, value)) return 0;
    }
    store(*table, slot, key, value, (flags & ~SYM_KIND_MASK) | kind, variable);
    return 1;
}

uint32_t delete_symbol(std::string_view name, uint32_t kind) {
    std::string key = normalize_symbol_name(name);
    if (!symbol_name_valid(key)) return 0;
    if (kind == SYM_GLOBAL && (key == "$STATUS" || key == "$SEVERITY")) return 1;
    SymbolTable* table = table_of_kind(kind_of(kind));
    if (!table) return cond::UNDSYM;
    Symbol* found = table->find(key);
    if (!found) return cond::UNDSYM;
    if (table == &symbol_tables().environment) {
        unsetenv(variable_of(*found).c_str());
        if (take_other_spelling(*found)) return 1;
    }
    table->erase(found);
    return 1;
}

void import_environment(char** envp) {
    SymbolTable& table = symbol_tables().environment;
    table.take_all();
    if (!envp) return;
    for (char** entry = envp; *entry; ++entry) {
        std::string_view text(*entry);
        size_t equals = text.find('=');
        std::string_view variable = text.substr(0, std::min(equals, kMaxSymbolName));
        if (variable.empty()) continue;
        std::string_view value;
        if (equals != std::string_view::npos) value = text.substr(equals + 1, kMaxImportedValue);
        std::string name = upper_ascii(variable);
        Symbol* it = table.stored(name);
        if (!it) {
            table.insert(Symbol{name, std::string(value), SYM_ENVIRONMENT | SYM_STRING,
                                std::string(variable)});
            continue;
        }
        // The same variable twice: the later entry is the one in force.
        if (it->variable == variable || better_spelling(variable, it->variable, name)) {
            it->variable.assign(variable);
            it->value.assign(value);
        }
    }
}

std::string environment_variable_name(std::string_view name) {
    const Symbol* s = symbol_tables().environment.stored(name);
    return s ? variable_of(*s) : std::string(name);
}

VerbSymbolScope::VerbSymbolScope() : saved_(symbol_tables().scope) {
    SymbolTables& tables = symbol_tables();
    if (!tables.levels.empty()) tables.scope = tables.levels.back().scopes->verb;
}

VerbSymbolScope::~VerbSymbolScope() { symbol_tables().scope = saved_; }

}  // namespace dcl
