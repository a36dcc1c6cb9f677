// Lexical functions (F$...): the dispatcher that identifies a call by its
// abbreviated name, splits and counts its arguments and runs it.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "lang/expression.h"

namespace dcl {

// Runs the call `call_text` ("F$NAME(args)"). Returns 1; 0 when the failure
// was already queued; else a condition for the caller to queue.
uint32_t call_lexical(std::string& result, ValueType& type, std::string_view call_text);

// call_lexical for a call met `depth` levels inside expressions or other
// calls; the arguments are evaluated at that depth.
uint32_t call_lexical_nested(std::string& result, ValueType& type, std::string_view call_text,
                             int depth);

// The index-th field (from 0) of `text` split at `delimiter`; delimiters
// inside double quotes or square brackets do not split. False when there
// are fewer fields.
bool extract_field(std::string& field, size_t index, char delimiter, std::string_view text);

// The abbreviated names ("F$EDIT") of the functions carried out, not those
// only recognised: what the help library must document.
std::vector<std::string_view> provided_lexical_names();

}  // namespace dcl
