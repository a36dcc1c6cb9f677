// DCL symbols: one local table per procedure level, one global table and
// one environment table whose entries are mirrored into the process
// environment (so children inherit them). Names may carry one "*" that
// marks the shortest accepted abbreviation ("SH*OW").
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace dcl {

// Type bits (the expression result types) and kind bits of a symbol.
inline constexpr uint32_t SYM_STRING = 1;
inline constexpr uint32_t SYM_INTEGER = 2;
inline constexpr uint32_t SYM_LOCAL = 4;
inline constexpr uint32_t SYM_GLOBAL = 8;
inline constexpr uint32_t SYM_ENVIRONMENT = 16;
inline constexpr uint32_t SYM_PROCESS_CONTEXT = 32;
inline constexpr uint32_t SYM_KIND_MASK = SYM_LOCAL | SYM_GLOBAL | SYM_ENVIRONMENT;

// Which tables a lookup may search.
enum SymbolSelector : uint32_t {
    SELECT_ANY = 0,
    SELECT_LOCAL = 1,
    SELECT_GLOBAL = 2,
    SELECT_ENVIRONMENT = 3,
};

struct Symbol {
    std::string name;   // upper case, at most 255 characters, maybe one '*'
    std::string value;  // raw bytes; may hold NULs; an integer as "%d" text
    uint32_t flags = 0; // type bit | kind bit
    // Environment symbols: the variable's own name, whose case may differ
    // from `name` (http_proxy is the symbol HTTP_PROXY). Empty otherwise.
    std::string variable;
};

// Hashes names as std::string and std::string_view alike, so a lookup
// needs no copy of the name. FNV-1a, inline: symbol names are short, and a
// reference is hashed once per table searched (every level's locals, the
// globals), where the library's hash is an out-of-line call that costs
// several times as much for a name of a few letters.
struct SymbolNameHash {
    using is_transparent = void;
    size_t operator()(std::string_view name) const {
        uint64_t h = 14695981039346656037ull;
        for (char c : name) h = (h ^ static_cast<unsigned char>(c)) * 1099511628211ull;
        return static_cast<size_t>(h);
    }
};

// One table of symbols. Full names are found by hash; names with a "*"
// (abbreviations) are few and kept apart, in name order. Where several
// stored names accept a reference, the first in name order (byte order,
// '*' included) is the one meant.
class SymbolTable {
public:
    // The record a reference means, or nullptr.
    const Symbol* find(std::string_view reference) const;
    Symbol* find(std::string_view reference);
    // The record stored under exactly `name`, or nullptr.
    Symbol* stored(std::string_view name);
    // The records with a "*" in their names, in name order.
    std::span<Symbol> abbreviated() { return abbreviated_; }

    // Adds a record; the caller has made sure that no record relates to
    // its name.
    Symbol& insert(Symbol symbol);
    // Gives a record of this table another name.
    void rename(Symbol* record, std::string_view name);
    void erase(const Symbol* record);

    bool empty() const { return full_.empty() && abbreviated_.empty(); }
    size_t size() const { return full_.size() + abbreviated_.size(); }
    // The records in name order, for listings.
    std::vector<const Symbol*> sorted() const;
    // Empties the table; returns its records in name order.
    std::vector<Symbol> take_all();

private:
    const Symbol* find_by_scan(std::string_view reference) const;

    std::unordered_map<std::string, Symbol, SymbolNameHash, std::equal_to<>> full_;
    std::vector<Symbol> abbreviated_;
};

// Which symbol kinds are visible.
struct SymbolScope {
    bool environment = true;
    bool global = true;
    bool local = true;
};

// The scope settings a procedure level keeps: one for references in
// general, one for the verb of a command line (environment symbols are
// never verbs unless SET SYMBOL/SCOPE says so).
struct LevelScopes {
    SymbolScope general;
    SymbolScope verb{false, true, true};
};

// What the store sees of a procedure level: its local table and its scope
// settings. The level itself belongs to proc.
struct LevelSymbols {
    SymbolTable* locals = nullptr;
    LevelScopes* scopes = nullptr;
};

struct SymbolTables {
    SymbolTable global;
    SymbolTable environment;
    SymbolScope scope;  // the switches in force now
    // The procedure levels, level 0 first: proc adds and drops them as
    // levels come and go.
    std::vector<LevelSymbols> levels;
    // Stands in for the local table before start-up pushes level 0; kept
    // empty.
    SymbolTable no_level_locals;
    // Counts, by first character, the names the tables gained (a new name
    // defined, a record renamed). Only that makes a name start to mean a
    // symbol: deletions and levels coming or going take names away, and
    // values changing do not count. Whoever found that a name is no symbol
    // may trust that while the count of its first character and the scope
    // switches stay as they were. (A stored name "C*ALL" shares its first
    // character with every reference it accepts.)
    std::array<uint64_t, 256> names_added{};
};

SymbolTables& symbol_tables();

// The count of names gained that begin with `name`'s first character, in
// upper case (see names_added).
inline uint64_t& names_added_like(std::string_view name) {
    unsigned char first = name.empty() ? 0 : static_cast<unsigned char>(name[0]);
    if (first >= 'a' && first <= 'z') first = static_cast<unsigned char>(first - 'a' + 'A');
    return symbol_tables().names_added[first];
}

// The local table of the current procedure level (an empty table before
// level 0 exists).
SymbolTable& local_symbols();

// The local table of the current level, or nullptr before level 0 exists.
SymbolTable* current_local_table();

inline constexpr size_t kMaxSymbolName = 255;
inline constexpr size_t kMaxSymbolValue = 1024;

// Defines or replaces a symbol. `flags` is one kind bit or'ed with the type
// bit. Returns 1; 0 when the failure was already queued (IVSYMB, RESSYM,
// no environment space); else a condition for the caller to queue
// (NOSCOPE, ABSYMD, BUFOVF for a value over 1024 bytes).
uint32_t set_symbol(std::string_view name, std::string_view value, uint32_t flags);
inline uint32_t set_symbol_text(std::string_view name, std::string_view text, uint32_t flags) {
    return set_symbol(name, text, flags);
}

// Finds the symbol a reference means: local levels from the current one
// down, then $STATUS/$SEVERITY and the global table, then the environment.
// On success returns 1 and fills `value`, `type` (the kind bit where it was
// found or'ed with the record's flags) and, when given, `stored_name`.
// Returns UNDSYM (not queued) when there is none.
uint32_t get_symbol(std::string_view name, std::string& value, uint32_t& type,
                    SymbolSelector selector = SELECT_ANY, std::string* stored_name = nullptr);

// As get_symbol, with every NUL byte removed from the value: the form
// substitution and expressions use.
uint32_t get_symbol_text(std::string_view name, std::string& value, uint32_t& type,
                         SymbolSelector selector = SELECT_ANY, std::string* stored_name = nullptr);

// Deletes the first symbol of the `kind` table that `name` means. The name
// is upper-cased outside quotes and unquoted. Returns 1, UNDSYM, or 0 after
// queueing IVSYMB.
uint32_t delete_symbol(std::string_view name, uint32_t kind);

// True for a valid name; otherwise queues IVSYMB with it.
bool symbol_name_valid(std::string_view name);

// Does the stored name `pattern` ("SH*OW") accept the reference `name`?
bool symbol_abbrev_match(std::string_view pattern, std::string_view name);

// A name as typed on a command line: upper case outside double quotes,
// then unquoted (a doubled quote inside quotes stands for one).
std::string normalize_symbol_name(std::string_view typed);

// The value of the pseudo-symbol $STATUS ("%X" and eight hex digits) or
// $SEVERITY (one digit); false for any other name.
bool pseudo_symbol_value(std::string_view name, std::string& value);

// The number an integer symbol's text holds, read as "%ld" reads it
// (leading blanks, a sign, digits; 0 when there are none).
int64_t symbol_integer_value(std::string_view text);

// Start-up: every NAME=VALUE of `envp` becomes an environment string
// symbol (the process environment already holds them). Names are matched
// without regard to case: the symbol HTTP_PROXY stands for the variable
// HTTP_PROXY when there is one, else for the first variable that differs
// from it in case only (http_proxy); assignments and deletions act on
// that variable under its own name.
void import_environment(char** envp);

// The variable an environment symbol (stored name `name`) stands for, as
// it is spelt in the environment; `name` itself when there is none.
std::string environment_variable_name(std::string_view name);

// While a command verb is looked up as a symbol, the level's verb scope is
// in force; the previous switches come back when this goes out of scope.
class VerbSymbolScope {
public:
    VerbSymbolScope();
    ~VerbSymbolScope();
    VerbSymbolScope(const VerbSymbolScope&) = delete;
    VerbSymbolScope& operator=(const VerbSymbolScope&) = delete;

private:
    SymbolScope saved_;
};

}  // namespace dcl
