// Keyword tables and the three lookups that match typed words against them
// with DCL abbreviation rules and negation by a "NO" prefix.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace dcl {

struct KeywordRecord {
    const char* name;  // upper case, six significant characters
    uint32_t flags;    // verb table: minimum abbreviation; else KW_* bits
    uint32_t code;
};

// Flag bits of qualifier and keyword records.
inline constexpr uint32_t KW_NO_NEGATE = 0x80000000;
inline constexpr uint32_t KW_VALUE_REQUIRED = 0x40000000;
inline constexpr uint32_t KW_VALUE_ALLOWED = 0x00000002;
inline constexpr uint32_t KW_CALLER_BITS = 0x0000000C;  // handed back as they are

// Result flags returned beside a code.
inline constexpr uint32_t RESULT_NEGATED = 1;
inline constexpr uint32_t RESULT_VALUE = 2;

struct KeywordTable {
    uint32_t id;  // verb number, SET/SHOW keyword code or qualifier code
    std::span<const KeywordRecord> records;
};

std::span<const KeywordRecord> verb_table();
std::span<const KeywordTable> qualifier_directory();
std::span<const KeywordTable> keyword_directory();

// Finds the verb of `word`. Returns 1 with verb 0 when it is no verb, or the
// failing condition (an ambiguous abbreviation is queued and gives 0).
uint32_t lookup_verb(std::string_view word, uint32_t& verb);

// Matches a qualifier token ("/NAME[=value]") in table `table`. Returns its
// code, or 0 after queueing the error.
uint32_t lookup_qualifier(std::string_view text, uint32_t table, uint32_t& result_flags);

// Matches a keyword token ("NAME[=value]" or "NAME:value"; the ":" is
// rewritten as "=" in `text`). Returns its code, or 0 after queueing.
uint32_t lookup_keyword(std::string& text, uint32_t table, uint32_t& result_flags);

}  // namespace dcl
