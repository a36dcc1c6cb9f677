// Test support: evaluating expressions at level 0 with the messages they
// produce captured, and the shape of a table-driven value case.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "lang/expression.h"
#include "names/symbols.h"
#include "proc/procedure.h"
#include "status/messages.h"
#include "support/capture.h"

namespace dcl::test {

struct ValueCase {
    const char* text;
    ValueType type;
    const char* value;
};

class EvaluationTest : public ::testing::Test {
protected:
    void SetUp() override { push_procedure_level(""); }

    // Evaluates `text`; a returned condition is queued as a caller would,
    // so both kinds of failure show up as message lines.
    uint32_t run(const std::string& text, ExprValue& value) {
        uint32_t status = evaluate_expression(value, text);
        if (status != 1) signal_condition(status);
        show_messages();
        messages = errors.take();
        return status;
    }
    void define(const char* name, const std::string& value, uint32_t type = SYM_STRING) {
        ASSERT_EQ(set_symbol(name, value, SYM_LOCAL | type), 1u) << name;
    }

    CapturedErrors errors;
    std::string messages;
};

}  // namespace dcl::test
