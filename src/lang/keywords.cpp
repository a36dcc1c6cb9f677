// Abbreviation matching of verbs, qualifiers and keywords.
#include "lang/keywords.h"

#include <algorithm>

#include <cctype>
#include <cstring>

#include "lang/command_table.h"
#include "status/condition.h"
#include "status/messages.h"
#include "status/text.h"

namespace dcl {

namespace {

constexpr size_t kMaxTypedName = kMaxQualifierName;
constexpr size_t kSignificant = 4;

}  // namespace

// DIRE, DIRECTORY and DIREXYZ all match DIRECT.
bool keyword_matches(std::string_view typed, const char* name) {
    if (typed.empty() || typed[0] != name[0]) return false;
    size_t n = std::min(typed.size(), kSignificant);
    for (size_t i = 1; i < n; ++i)
        if (name[i] == '\0' || name[i] != typed[i]) return false;
    return true;
}

namespace {

// Does the stored name begin with the whole typed word?
bool name_begins_with(const char* name, std::string_view typed) {
    for (char c : typed) {
        if (*name == '\0' || *name != c) return false;
        ++name;
    }
    return true;
}

const KeywordTable* find_table(std::span<const KeywordTable> directory, uint32_t id) {
    for (const KeywordTable& t : directory)
        if (t.id == id) return &t;
    return nullptr;
}

const KeywordRecord& key_of(const KeywordRecord& r) { return r; }
const KeywordRecord& key_of(const CommandRow& r) { return r.key; }

// Scans a table; returns the record, nullptr when none matches, or sets
// `ambiguous` when two records match and the first is not typed in full.
template <typename Row>
const Row* scan(std::span<const Row> rows, std::string_view name, bool& ambiguous) {
    const Row* found = nullptr;
    for (const Row& row : rows) {
        const KeywordRecord& r = key_of(row);
        if (!keyword_matches(name, r.name)) continue;
        if (found) {
            ambiguous = true;
            return nullptr;
        }
        found = &row;
        if (name == r.name) break;
    }
    return found;
}

template <typename Row>
struct Match {
    const Row* row = nullptr;
    bool negated = false;
    bool ambiguous = false;
};

template <typename Row>
Match<Row> match_with_negation(std::span<const Row> rows, const std::string& name) {
    Match<Row> m;
    m.row = scan(rows, name, m.ambiguous);
    if (!m.row && !m.ambiguous && name.size() > 2 && name.compare(0, 2, "NO") == 0) {
        m.negated = true;
        m.row = scan(rows, std::string_view(name).substr(2), m.ambiguous);
    }
    return m;
}

// The checks every matched qualifier or keyword goes through; false after
// queueing.
bool check_record(const KeywordRecord& r, bool negated, const std::string& name, bool value_given,
                  bool value_required_when_negated, uint32_t& result) {
    result |= r.flags & KW_CALLER_BITS;
    if (negated) result |= RESULT_NEGATED;
    bool needs_value = (r.flags & KW_VALUE_REQUIRED) && !value_given &&
                       (value_required_when_negated || !negated);
    if (needs_value) {
        signal_condition(cond::VALREQ, name);
        return false;
    }
    if (negated && (r.flags & KW_NO_NEGATE)) {
        signal_condition(cond::NOTNEG, name);
        return false;
    }
    if (value_given && !(r.flags & KW_VALUE_ALLOWED)) {
        signal_condition(cond::NOVALU, name + "=");
        return false;
    }
    return true;
}

// The name of a keyword token, upper case; ":" before a value becomes "=".
std::string keyword_name(std::string& text, uint32_t& result) {
    result = 0;
    static constexpr CharSet kValueMark("=:");
    size_t sep = kValueMark.find_in(text);
    if (sep != std::string::npos) {
        text[sep] = '=';
        result |= RESULT_VALUE;
    }
    return upper_ascii(std::string_view(text).substr(0, std::min(sep, kMaxTypedName)));
}

template <typename Row>
const Row* match_keyword(std::string& text, std::span<const Row> rows, uint32_t& result) {
    std::string name = keyword_name(text, result);
    if (name.empty()) {
        signal_condition(cond::VALREQ);
        return nullptr;
    }
    Match<Row> m = match_with_negation(rows, name);
    if (m.ambiguous) {
        signal_condition(cond::ABKEYW, name);
        return nullptr;
    }
    if (!m.row) {
        signal_condition(cond::IVKEYW, name);
        return nullptr;
    }
    if (!check_record(key_of(*m.row), m.negated, name, result & RESULT_VALUE, true, result))
        return nullptr;
    return m.row;
}

}  // namespace

uint32_t lookup_verb(std::string_view word, uint32_t& verb) {
    verb = 0;
    if (word.empty() || word.size() > kMaxTypedName) return 1;
    std::string typed;
    bool quoted = false;
    for (char c : word) {
        if (c == '"') quoted = !quoted;
        if (c == ' ' && !quoted) continue;
        typed.push_back(c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c);
    }
    if (typed.empty()) return 1;
    if (!std::isalnum(static_cast<unsigned char>(typed[0])))
        return std::strchr("\"@/_", typed[0]) ? 1 : cond::NOCOMD;
    bool near_miss = false;
    // Only rows with the typed first letter can match or nearly match.
    for (const CommandRow* row : verb_rows_starting_with(typed[0])) {
        const KeywordRecord& r = row->key;
        if (r.flags <= typed.size() && keyword_matches(typed, r.name)) {
            verb = r.code;
            return 1;
        }
        if (r.name[0] == typed[0] && name_begins_with(r.name, typed)) near_miss = true;
    }
    if (!near_miss) return 1;
    signal_condition(cond::ABVERB, typed);
    return 0;
}

const KeywordRecord* match_qualifier(std::string_view text, const KeywordTable* table,
                                     uint32_t& result) {
    result = 0;
    std::string_view body = text.substr(text.empty() || text[0] != '/' ? 0 : 1);
    size_t eq = body.find('=');
    if (eq != std::string_view::npos) result |= RESULT_VALUE;
    std::string name = upper_ascii(body.substr(0, std::min(eq, kMaxTypedName)));
    if (name.empty()) {
        signal_condition(cond::NOKEYW);
        return nullptr;
    }
    Match<KeywordRecord> m;
    if (table) m = match_with_negation(table->records, name);
    if (m.ambiguous) {
        signal_condition(cond::ABKEYW, name);
        return nullptr;
    }
    if (!m.row) {
        signal_condition(cond::IVQUAL, name);
        return nullptr;
    }
    if (!check_record(*m.row, m.negated, name, result & RESULT_VALUE, false, result)) return nullptr;
    return m.row;
}

uint32_t lookup_qualifier(std::string_view text, uint32_t table_id, uint32_t& result) {
    const KeywordRecord* r = match_qualifier(text, qualifier_table(table_id), result);
    return r ? r->code : 0;
}

uint32_t lookup_keyword(std::string& text, uint32_t table_id, uint32_t& result) {
    if (const CommandRow* routed = command_row(table_id); routed && !routed->subcommands.empty()) {
        const CommandRow* row = match_keyword(text, routed->subcommands, result);
        return row ? row->code() : 0;
    }
    const KeywordTable* table = find_table(keyword_directory(), table_id);
    std::span<const KeywordRecord> records = table ? table->records : std::span<const KeywordRecord>();
    const KeywordRecord* r = match_keyword(text, records, result);
    return r ? r->code : 0;
}

const CommandRow* lookup_keyword_row(std::string& text, std::span<const CommandRow> rows,
                                     uint32_t& result) {
    return match_keyword(text, rows, result);
}

}  // namespace dcl
