// DCL expressions: every value is both a text and a signed 32-bit integer;
// operators pick the form they need.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace dcl {

// Result types; also the type bits a symbol stores.
enum ValueType : uint32_t {
    VALUE_STRING = 1,
    VALUE_INTEGER = 2,
};

struct ExprValue {
    std::string text;       // an integer result printed with "%d"
    ValueType type = VALUE_STRING;
    int32_t integer = 0;    // a string's truth/number value
};

// Evaluates `text`. Returns 1; 0 when the failure was already queued; else
// a condition for the caller to queue.
uint32_t evaluate_expression(ExprValue& result, std::string_view text);

// Parenthesised sub-expressions and lexical calls nest at most this deep;
// deeper nesting fails with BUFOVF instead of exhausting the stack.
inline constexpr int kMaxExpressionNesting = 64;

// evaluate_expression for a text met `depth` levels inside other
// expressions or lexical calls (the top level is 0).
uint32_t evaluate_expression_nested(ExprValue& result, std::string_view text, int depth);

// Reads a number written as decimal, %D decimal, %O octal or %X hex (no
// sign). Returns 1, IVCHAR (bad digit) or NUMBER (not a number).
uint32_t convert_dcl_number(int32_t& value, std::string_view text);

// The integer meaning of a string: 0 for empty, 1 for Y/y/T/t..., else the
// signed number it holds, or 0.
int32_t string_integer_value(std::string_view text);

}  // namespace dcl
