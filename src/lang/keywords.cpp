// Abbreviation matching of verbs, qualifiers and keywords.
#include "lang/keywords.h"

#include <cctype>
#include <cstring>

#include "status/condition.h"
#include "status/messages.h"
#include "status/text.h"

namespace dcl {

namespace {

constexpr size_t kMaxTypedName = 19;
constexpr size_t kSignificant = 4;

// A typed name matches a record when the first characters agree: all of
// them up to four, and only four beyond that (DIRE, DIRECTORY and DIREXYZ
// all match DIRECT).
bool name_matches(std::string_view typed, const char* name) {
    if (typed.empty() || typed[0] != name[0]) return false;
    size_t n = std::min(typed.size(), kSignificant);
    for (size_t i = 1; i < n; ++i)
        if (name[i] == '\0' || name[i] != typed[i]) return false;
    return true;
}

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

// Scans a table; returns the record, nullptr when none matches, or sets
// `ambiguous` when two records match and the first is not typed in full.
const KeywordRecord* scan(const KeywordTable& table, std::string_view name, bool& ambiguous) {
    const KeywordRecord* found = nullptr;
    for (const KeywordRecord& r : table.records) {
        if (!name_matches(name, r.name)) continue;
        if (found) {
            ambiguous = true;
            return nullptr;
        }
        found = &r;
        if (name == r.name) break;
    }
    return found;
}

struct Match {
    const KeywordRecord* record = nullptr;
    bool negated = false;
    bool ambiguous = false;
};

Match match_with_negation(const KeywordTable& table, const std::string& name) {
    Match m;
    m.record = scan(table, name, m.ambiguous);
    if (!m.record && !m.ambiguous && name.size() > 2 && name.compare(0, 2, "NO") == 0) {
        m.negated = true;
        m.record = scan(table, std::string_view(name).substr(2), m.ambiguous);
    }
    return m;
}

// The checks every matched qualifier or keyword goes through; returns the
// code or 0 after queueing.
uint32_t check_record(const Match& m, const std::string& name, bool value_given,
                      bool value_required_when_negated, uint32_t& result) {
    const KeywordRecord& r = *m.record;
    result |= r.flags & KW_CALLER_BITS;
    if (m.negated) result |= RESULT_NEGATED;
    bool needs_value = (r.flags & KW_VALUE_REQUIRED) && !value_given &&
                       (value_required_when_negated || !m.negated);
    if (needs_value) {
        signal_condition(cond::VALREQ, name);
        return 0;
    }
    if (m.negated && (r.flags & KW_NO_NEGATE)) {
        signal_condition(cond::NOTNEG, name);
        return 0;
    }
    if (value_given && !(r.flags & KW_VALUE_ALLOWED)) {
        signal_condition(cond::NOVALU, name + "=");
        return 0;
    }
    return r.code;
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
    for (const KeywordRecord& r : verb_table()) {
        if (r.flags <= typed.size() && name_matches(typed, r.name)) {
            verb = r.code;
            return 1;
        }
        if (r.name[0] == typed[0] && name_begins_with(r.name, typed)) near_miss = true;
    }
    if (!near_miss) return 1;
    signal_condition(cond::ABVERB, typed);
    return 0;
}

uint32_t lookup_qualifier(std::string_view text, uint32_t table_id, uint32_t& result) {
    result = 0;
    std::string_view body = text.substr(text.empty() || text[0] != '/' ? 0 : 1);
    size_t eq = body.find('=');
    if (eq != std::string_view::npos) result |= RESULT_VALUE;
    std::string name = upper_ascii(body.substr(0, std::min(eq, kMaxTypedName)));
    if (name.empty()) {
        signal_condition(cond::NOKEYW);
        return 0;
    }
    const KeywordTable* table = find_table(qualifier_directory(), table_id);
    Match m;
    if (table) m = match_with_negation(*table, name);
    if (m.ambiguous) {
        signal_condition(cond::ABKEYW, name);
        return 0;
    }
    if (!m.record) {
        signal_condition(cond::IVQUAL, name);
        return 0;
    }
    return check_record(m, name, result & RESULT_VALUE, false, result);
}

uint32_t lookup_keyword(std::string& text, uint32_t table_id, uint32_t& result) {
    result = 0;
    size_t sep = text.find_first_of("=:");
    if (sep != std::string::npos) {
        text[sep] = '=';
        result |= RESULT_VALUE;
    }
    std::string name = upper_ascii(std::string_view(text).substr(0, std::min(sep, kMaxTypedName)));
    if (name.empty()) {
        signal_condition(cond::VALREQ);
        return 0;
    }
    const KeywordTable* table = find_table(keyword_directory(), table_id);
    Match m;
    if (table) m = match_with_negation(*table, name);
    if (m.ambiguous) {
        signal_condition(cond::ABKEYW, name);
        return 0;
    }
    if (!m.record) {
        signal_condition(cond::IVKEYW, name);
        return 0;
    }
    return check_record(m, name, result & RESULT_VALUE, true, result);
}

}  // namespace dcl
