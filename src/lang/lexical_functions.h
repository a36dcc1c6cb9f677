// The implementations behind the lexical function table, and what each of
// them receives: the split argument texts and a place for its result.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "lang/expression.h"
#include "status/text.h"

namespace dcl {

// One call of a lexical function. The arguments are raw texts; a function
// evaluates the ones it needs.
struct LexicalCall {
    static constexpr size_t kMaxArguments = 16;  // F$FAO takes the most

    std::string& result;
    ValueType& type;
    std::array<std::string_view, kMaxArguments> arguments{};
    size_t count = 0;  // may exceed kMaxArguments; the excess is not kept
    int depth = 0;     // nesting of the call, for argument evaluation

    // The argument is present and not empty.
    bool given(size_t index) const {
        return index < count && index < kMaxArguments && !arguments[index].empty();
    }
    std::string_view argument(size_t index) const {
        return given(index) ? arguments[index] : std::string_view{};
    }
    // Evaluates an argument as an expression; an empty one is INSFARG.
    uint32_t evaluate(size_t index, ExprValue& value) const;

    uint32_t set_string(std::string_view text) {
        result.assign(text);
        type = VALUE_STRING;
        return 1;
    }
    uint32_t set_integer(int32_t value);
};

// An item or keyword argument as the functions compare it: upper case
// outside quotes, blanks removed.
std::string keyword_text(std::string_view text);

// Returns 1 or a condition that the caller queues.
using LexicalFunction = uint32_t (*)(LexicalCall& call);

uint32_t lexical_not_available(LexicalCall& call);

// Times: F$CVTIME and F$DELTA_TIME (lexical_cvtime.cpp).
uint32_t lexical_cvtime(LexicalCall& call);
uint32_t lexical_delta_time(LexicalCall& call);

// The names F$UNIQUE has given: the count makes each one new.
struct UniqueNames {
    uint32_t issued = 0;
};
UniqueNames& unique_names();

// Formatting: F$FAO, F$MESSAGE and F$UNIQUE (lexical_fao.cpp).
uint32_t lexical_fao(LexicalCall& call);
uint32_t lexical_message(LexicalCall& call);
uint32_t lexical_unique(LexicalCall& call);

// Files and devices: F$FILE_ATTRIBUTES and F$GETDVI (lexical_file_attributes.cpp).
uint32_t lexical_file_attributes(LexicalCall& call);
uint32_t lexical_getdvi(LexicalCall& call);

// Processes and rights: F$GETJPI, F$PID, F$PROCESS, F$PRIVILEGE, F$SETPRV
// and F$IDENTIFIER (lexical_process.cpp).
uint32_t lexical_getjpi(LexicalCall& call);
uint32_t lexical_pid(LexicalCall& call);
uint32_t lexical_process(LexicalCall& call);
uint32_t lexical_privilege(LexicalCall& call);
uint32_t lexical_setprv(LexicalCall& call);
uint32_t lexical_identifier(LexicalCall& call);

// String and number functions.
uint32_t lexical_edit(LexicalCall& call);
uint32_t lexical_element(LexicalCall& call);
uint32_t lexical_extract(LexicalCall& call);
uint32_t lexical_integer(LexicalCall& call);
uint32_t lexical_length(LexicalCall& call);
uint32_t lexical_locate(LexicalCall& call);
uint32_t lexical_string(LexicalCall& call);
uint32_t lexical_type(LexicalCall& call);

// Bit fields of a string.
uint32_t lexical_signed_field(LexicalCall& call);
uint32_t lexical_unsigned_field(LexicalCall& call);

// Logical-name translations: F$LOGICAL and F$TRNLNM.
uint32_t lexical_logical(LexicalCall& call);
uint32_t lexical_trnlnm(LexicalCall& call);

// The session: mode, time, verification switches.
uint32_t lexical_csid(LexicalCall& call);
uint32_t lexical_environment(LexicalCall& call);
uint32_t lexical_mode(LexicalCall& call);
uint32_t lexical_time(LexicalCall& call);
uint32_t lexical_verify(LexicalCall& call);

inline char ascii_upper(char c) {
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}
inline char ascii_lower(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

}  // namespace dcl
