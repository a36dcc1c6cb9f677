// Keyword tables and the three lookups that match typed words against them
// with DCL abbreviation rules and negation by a "NO" prefix.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace dcl {

// What a qualifier's value is, and so how the command parser reads it.
enum class ValueKind : uint8_t {
    flag,          // no value: on, or off when negated
    text,          // a string kept as typed (quotes and all)
    string,        // a string with its quotes removed
    file_spec,     // a file specification, quotes removed
    list,          // "(a,b,c)": items as typed
    keyword,       // one word of the `values` table
    keyword_list,  // words of the `values` table
    number,        // decimal, %O octal or %X hexadecimal
    time,          // an absolute or delta time; TODAY when absent
    uic,           // "[group,member]"; the process's own when absent
    protection,    // "(S:RWED,O:RWED,G:RE,W)"
    output,        // /OUTPUT: the dispatcher opens the listing file
    selector,      // selects another form of the command (DEFINE/KEY)
    ignored,       // accepted, and changes nothing
    unsupported,   // known, not carried out: the SET CLI/UNSUPPORTED policy applies
};

struct KeywordRecord {
    const char* name;  // upper case, six significant characters
    uint32_t flags;    // verb table: minimum abbreviation; else KW_* bits
    uint32_t code;
    // Qualifier records only:
    ValueKind kind = ValueKind::flag;
    uint32_t values = 0;              // keyword kinds: the id of the values' table
    const char* fallback = nullptr;   // the value when none is typed; nullptr: required
};

// Flag bits of qualifier and keyword records.
inline constexpr uint32_t KW_NO_NEGATE = 0x80000000;
inline constexpr uint32_t KW_VALUE_REQUIRED = 0x40000000;
inline constexpr uint32_t KW_VALUE_ALLOWED = 0x00000002;
inline constexpr uint32_t KW_CALLER_BITS = 0x0000000C;  // handed back as they are
inline constexpr uint32_t KW_NEEDS_VALUE = KW_VALUE_REQUIRED | KW_VALUE_ALLOWED;

// Result flags returned beside a code.
inline constexpr uint32_t RESULT_NEGATED = 1;
inline constexpr uint32_t RESULT_VALUE = 2;

struct KeywordTable {
    uint32_t id;  // verb number, SET/SHOW keyword code or qualifier code
    std::span<const KeywordRecord> records;
};

// Qualifier tables by id: those of the command rows. nullptr when unknown.
const KeywordTable* qualifier_table(uint32_t id);
// Keyword value tables by id (SET VERIFY's words, /DATE's...).
std::span<const KeywordTable> keyword_directory();

// Typed qualifier and keyword names count up to this length.
inline constexpr size_t kMaxQualifierName = 19;

// Whether an upper-case typed name stands for a record's name: the first
// characters agree, all of them up to four and only four beyond that.
bool keyword_matches(std::string_view typed, const char* name);

// Finds the verb of `word`. Returns 1 with verb 0 when it is no verb, or the
// failing condition (an ambiguous abbreviation is queued and gives 0).
uint32_t lookup_verb(std::string_view word, uint32_t& verb);

// Matches a qualifier token ("/NAME[=value]") in table `table`. Returns its
// code, or 0 after queueing the error.
uint32_t lookup_qualifier(std::string_view text, uint32_t table, uint32_t& result_flags);

// Matches a qualifier token against a table's records. Returns the matched
// record, or nullptr after queueing the error.
const KeywordRecord* match_qualifier(std::string_view text, const KeywordTable* table,
                                     uint32_t& result_flags);

// Matches a keyword token ("NAME[=value]" or "NAME:value"; the ":" is
// rewritten as "=" in `text`). Returns its code, or 0 after queueing. The
// tables of SET (76) and SHOW (77) are their command rows' keywords.
uint32_t lookup_keyword(std::string& text, uint32_t table, uint32_t& result_flags);

struct CommandRow;
// Matches the keyword of a SET or SHOW command among `rows`. Returns the
// row, or nullptr after queueing.
const CommandRow* lookup_keyword_row(std::string& text, std::span<const CommandRow> rows,
                                     uint32_t& result_flags);

}  // namespace dcl
