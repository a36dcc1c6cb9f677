// The qualifier policies and the value parsers that turn qualifier values
// into strings, lists, numbers, times, UICs and protection codes.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "files/protection.h"
#include "files/vms_time.h"
#include "lang/keywords.h"

#include "status/text.h"

namespace dcl {

// A qualifier the table knows but the command does not implement: applies
// the SET CLI/UNSUPPORTED policy. True when the command must stop.
bool unsupported_qualifier(std::string_view token_text);

// Reports a parameter the command does not take.
void extra_parameter(std::string_view token_text);

// The value after the first "=" of a token (parentheses and, when asked,
// quotes removed). Empty when there is no "=". False after queueing.
bool qualifier_value(std::string& value, std::string_view token_text, bool remove_quotes);

// Removes blanks outside quotes and one pair of outer parentheses.
bool strip_parentheses(std::string& value);

// The items of a list value "/X=(a,b,c)" (at most 16), each trimmed and,
// when asked, unquoted. Empty when there is no "=". False after queueing.
bool qualifier_value_list(std::vector<std::string>& items, std::string_view token_text,
                          bool remove_quotes);

// A protection value "(S:RWED,O:RWED,G:RE,W)" as OWNER*100 + GROUP*10 +
// WORLD, each digit a sum of R 4, W/D 2, E 1; 8 marks a class left as it
// is, and 888 means no "=" at all. False after queueing.
bool parse_protection(int& code, std::string_view token_text);

// A string-valued qualifier: negated clears `bit`; otherwise sets it and
// takes the value, else `fallback`; with neither, VALREQ.
bool qualifier_string(std::string& value, uint32_t& options, std::string_view token_text,
                      std::optional<std::string_view> fallback, uint32_t bit,
                      uint32_t result_flags, bool remove_quotes);

// A number-valued qualifier: negated clears `bit`; otherwise sets it and
// reads the value, else `fallback`. False after queueing.
bool qualifier_number(int64_t& value, uint32_t& options, std::string_view token_text,
                      int64_t fallback, uint32_t bit, uint32_t result_flags);

// A time-valued qualifier (/SINCE, /BEFORE): negated clears `bit`;
// otherwise sets it and converts the value (quotes removed; TODAY when
// there is none) with parse_time. False after queueing.
bool qualifier_time(VmsTime& time, uint32_t& options, std::string_view token_text, uint32_t bit,
                    uint32_t result_flags);

// A UIC-valued qualifier (/BY_OWNER): negated clears `bit`; otherwise sets
// it and stores the UIC; without a value, the process's effective group
// and user. False after queueing.
bool qualifier_uic(Uic& uic, uint32_t& options, std::string_view token_text, uint32_t bit,
                   uint32_t result_flags);

// Reads a decimal, %O octal or %X hexadecimal number; %D is decimal.
// Returns 1 or the condition for the caller to report with the text.
uint32_t parse_number(int64_t& out, std::string_view text);



}  // namespace dcl
