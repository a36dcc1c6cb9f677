// Placeholder: the expression evaluator is being written.
#include "lang/expression.h"

#include "status/condition.h"

namespace dcl {

uint32_t evaluate_expression(ExprValue&, std::string_view) { return cond::NOTAVAIL; }
uint32_t convert_dcl_number(int32_t& value, std::string_view) { value = 0; return cond::NUMBER; }
int32_t string_integer_value(std::string_view) { return 0; }

}  // namespace dcl
