// Placeholder: the lexical functions are being written.
#include "lang/lexicals.h"

#include "status/condition.h"

namespace dcl {

uint32_t call_lexical(std::string&, ValueType&, std::string_view) { return cond::NOTAVAIL; }
bool extract_field(std::string&, size_t, char, std::string_view) { return false; }

}  // namespace dcl
