// The expression evaluator: precedence, string/integer duality, numbers,
// and which failures are reported and which returned.
#include "lang/expression.h"

#include <gtest/gtest.h>

#include <string>

#include "names/symbols.h"
#include "proc/procedure.h"
#include "status/condition.h"
#include "status/messages.h"
#include "support/capture.h"
#include "support/evaluation.h"

namespace dcl {
namespace {


using Expression = test::EvaluationTest;

TEST_F(Expression, ValuesAndTypes) {
    const test::ValueCase cases[] = {
        // precedence and signs
        {"1 + 2 * 3", VALUE_INTEGER, "7"},
        {"(1 + 2) * 3", VALUE_INTEGER, "9"},
        {"- - 3", VALUE_INTEGER, "3"},
        {"2 * -3", VALUE_INTEGER, "-6"},
        {"10 - 2 - 3", VALUE_INTEGER, "5"},
        {"12 / 2 / 3", VALUE_INTEGER, "2"},
        {"7/2", VALUE_INTEGER, "3"},
        {"-7 / 2", VALUE_INTEGER, "-3"},
        {"7 / 0", VALUE_INTEGER, "2147483647"},
        // strings: + joins, - removes the first occurrence
        {"\"AB\" + \"CD\"", VALUE_STRING, "ABCD"},
        {"\"ABCABC\" - \"BC\"", VALUE_STRING, "AABC"},
        {"\"ABC\" - \"X\"", VALUE_STRING, "ABC"},
        {"\"ABC\" - \"\"", VALUE_STRING, "ABC"},
        {"\"a\" + \"b\" + \"c\" - \"b\" + \"d\"", VALUE_STRING, "acd"},
        {"\"5\" + 1", VALUE_INTEGER, "6"},
        {"\"ABC\" + 1", VALUE_INTEGER, "1"},
        {"-\"5\"", VALUE_INTEGER, "-5"},
        {"\"abc\"", VALUE_STRING, "abc"},
        {"  \"a  b\"  ", VALUE_STRING, "a  b"},
        {"\"it\"\"s\"", VALUE_STRING, "it\"s"},
        {"(\"x\")", VALUE_STRING, "x"},
        // logic and relations
        {".NOT. 0", VALUE_INTEGER, "-1"},
        {".NOT. 1 .EQ. 1", VALUE_INTEGER, "-2"},
        {".NOT. .NOT. 5", VALUE_INTEGER, "5"},
        {"- .NOT. 0", VALUE_INTEGER, "1"},
        {"1 .AND. .NOT. 0", VALUE_INTEGER, "1"},
        {"3 .AND. 5 .OR. 8", VALUE_INTEGER, "9"},
        {"3 .XOR. 1", VALUE_INTEGER, "2"},
        {"1 .OR. 2 .AND. 0", VALUE_INTEGER, "1"},
        {"\"abc\" .LTS. \"abd\"", VALUE_INTEGER, "1"},
        {"10 .GT. 9", VALUE_INTEGER, "1"},
        {"\"10\" .GTS. \"9\"", VALUE_INTEGER, "0"},
        {"2 .EQ. 2 .EQ. 2", VALUE_INTEGER, "0"},  // (2 .EQ. 2) is 1
        {"1 .eq. 1", VALUE_INTEGER, "1"},
        {"\"A\" + \"B\" .EQS. \"AB\"", VALUE_INTEGER, "1"},
        {"1 + 1 .EQS. \"2\"", VALUE_INTEGER, "1"},
        {"-1 .LT. 0", VALUE_INTEGER, "1"},
        {"5 .GE. 5 .AND. 4 .LE. 3", VALUE_INTEGER, "0"},
        // numbers
        {"%X1F + 1", VALUE_INTEGER, "32"},
        {"%O17", VALUE_INTEGER, "15"},
        {"%D12", VALUE_INTEGER, "12"},
        {"%x1f", VALUE_INTEGER, "31"},
        {"%XFFFFFFFF", VALUE_INTEGER, "-1"},
        // 32-bit wrapping, never a trap
        {"-2147483648 / -1", VALUE_INTEGER, "-2147483648"},
        {"2147483647 + 1", VALUE_INTEGER, "-2147483648"},
        {"65536 * 65536", VALUE_INTEGER, "0"},
        {"4294967297", VALUE_INTEGER, "1"},
        {"- (-2147483647 - 1)", VALUE_INTEGER, "-2147483648"},
    };
    for (const test::ValueCase& c : cases) {
        ExprValue value;
        EXPECT_EQ(run(c.text, value), 1u) << c.text << "\n" << messages;
        EXPECT_EQ(value.type, c.type) << c.text;
        EXPECT_EQ(value.text, c.value) << c.text;
    }
}

TEST_F(Expression, StringsCarryTheirTruthValue) {
    const struct {
        const char* text;
        int32_t integer;
    } cases[] = {
        {"\"\"", 0},     {"\"TRUE\"", 1}, {"\"yes\"", 1},  {"\"7\"", 7},   {"\"NO\"", 0},
        {"\"-12\"", -12}, {"\"--5\"", 5},  {"\"%X10\"", 16}, {"\"12AB\"", 0}, {"\"6\"", 6},
    };
    for (const auto& c : cases) {
        ExprValue value;
        ASSERT_EQ(run(c.text, value), 1u) << c.text;
        EXPECT_EQ(value.type, VALUE_STRING) << c.text;
        EXPECT_EQ(value.integer, c.integer) << c.text;
    }
}

struct FailureCase {
    const char* text;
    uint32_t status;       // 0: reported by the evaluator
    const char* messages;  // as shown
};

TEST_F(Expression, Failures) {
    const FailureCase cases[] = {
        {"1 = 2", 0,
         "%DCL-W-PARMDEL, invalid parameter delimiter - check use of special characters\n"
         " /=/\n"},
        {"12AB", 0,
         "%DCL-W-IVCHAR, invalid numeric value - check for invalid digits\n /12AB/\n"},
        {"%Q12", 0,
         "%DCL-W-NUMBER, invalid numeric value - supply an unsigned number\n /%Q12/\n"},
        {"%O18", 0,
         "%DCL-W-IVCHAR, invalid numeric value - check for invalid digits\n /%O18/\n"},
        {"1 .FOO. 2", 0,
         "%DCL-W-IVOPER, unrecognized operator in expression - check spelling and syntax\n"
         " /.FOO./\n"},
        {"* 3", 0,
         "%DCL-W-EXPSYN, invalid expression syntax - check operators and operands\n /*/\n"},
        {"1,2", 0,  // a number runs on to an operator or blank
         "%DCL-W-IVCHAR, invalid numeric value - check for invalid digits\n /1,2/\n"},
        {"1 + @X", 0,
         "%DCL-W-EXPSYN, invalid expression syntax - check operators and operands\n /@/\n"},
        {"B + 1", 0, "%DCL-W-UNDSYM, undefined symbol - check validity and spelling\n /B/\n"},
        {"(1 + 2", cond::EXPSYN,
         "%DCL-W-EXPSYN, invalid expression syntax - check operators and operands\n"},
        {"1 )", cond::EXPSYN,
         "%DCL-W-EXPSYN, invalid expression syntax - check operators and operands\n"},
        {"1 .EQ", cond::EXPSYN,
         "%DCL-W-EXPSYN, invalid expression syntax - check operators and operands\n"},
        {"1 2", cond::EXPSYN,
         "%DCL-W-EXPSYN, invalid expression syntax - check operators and operands\n"},
        {"1 +", cond::EXPSYN,
         "%DCL-W-EXPSYN, invalid expression syntax - check operators and operands\n"},
        {"1 .NOT. 2", cond::EXPSYN,  // .NOT. is not binary: items are left over
         "%DCL-W-EXPSYN, invalid expression syntax - check operators and operands\n"},
        {"", cond::EXPSYN,
         "%DCL-W-EXPSYN, invalid expression syntax - check operators and operands\n"},
        {"()", cond::EXPSYN,
         "%DCL-W-EXPSYN, invalid expression syntax - check operators and operands\n"},
        {"F$LENGTH(1", cond::EXPSYN,
         "%DCL-W-EXPSYN, invalid expression syntax - check operators and operands\n"},
        {"(1 = 2) + 1", 0,  // a sub-expression's failure is passed on
         "%DCL-W-PARMDEL, invalid parameter delimiter - check use of special characters\n"
         " /=/\n"},
    };
    for (const FailureCase& c : cases) {
        ExprValue value;
        EXPECT_EQ(run(c.text, value), c.status) << c.text;
        EXPECT_EQ(messages, c.messages) << c.text;
    }
}

TEST_F(Expression, Symbols) {
    define("A", "abc");
    define("N", "-5", SYM_INTEGER);
    define("TWELVE", "12");
    define("H", "%X10", SYM_INTEGER);
    const test::ValueCase cases[] = {
        {"A", VALUE_STRING, "abc"},
        {"a + \"d\"", VALUE_STRING, "abcd"},
        {"N", VALUE_INTEGER, "-5"},
        {"N * 2", VALUE_INTEGER, "-10"},
        {"-N", VALUE_INTEGER, "5"},
        {"TWELVE + 1", VALUE_INTEGER, "13"},
        {"TWELVE + \"1\"", VALUE_STRING, "121"},
        {"H + 0", VALUE_INTEGER, "16"},
        {"A .EQS. \"abc\" .AND. N .LT. 0", VALUE_INTEGER, "1"},
    };
    for (const test::ValueCase& c : cases) {
        ExprValue value;
        EXPECT_EQ(run(c.text, value), 1u) << c.text << "\n" << messages;
        EXPECT_EQ(value.type, c.type) << c.text;
        EXPECT_EQ(value.text, c.value) << c.text;
    }
    ExprValue value;
    EXPECT_EQ(run("A + B", value), 0u);
    EXPECT_EQ(messages, "%DCL-W-UNDSYM, undefined symbol - check validity and spelling\n /B/\n");
}

TEST_F(Expression, CapacitiesAreCheckedNotOverrun) {
    auto sum_of_ones = [](int terms) {
        std::string text = "1";
        for (int i = 1; i < terms; ++i) text += "+1";
        return text;
    };
    ExprValue value;
    EXPECT_EQ(run(sum_of_ones(107), value), 1u);  // 213 items and the end marker
    EXPECT_EQ(value.text, "107");
    EXPECT_EQ(run(sum_of_ones(108), value), cond::BUFOVF);  // 215 items
    EXPECT_EQ(run(std::string(1025, '1'), value), cond::BUFOVF);

    // Item texts together at most 1024 bytes.
    define("LONG", std::string(600, 'x'));
    EXPECT_EQ(run("LONG + \"y\"", value), 1u);
    EXPECT_EQ(value.text.size(), 601u);
    EXPECT_EQ(run("LONG + LONG", value), cond::BUFOVF);

    // Nesting is bounded instead of exhausting the stack.
    auto nested = [](int depth) { return std::string(depth, '(') + "1" + std::string(depth, ')'); };
    EXPECT_EQ(run(nested(kMaxExpressionNesting), value), 1u);
    EXPECT_EQ(value.text, "1");
    EXPECT_EQ(run(nested(kMaxExpressionNesting + 1), value), cond::BUFOVF);
    std::string calls = "1";
    for (int i = 0; i < 100; ++i) calls = "F$LENGTH(" + calls + ")";
    EXPECT_EQ(run(calls, value), cond::BUFOVF);
}

TEST(ConvertDclNumber, RadixesAndFailures) {
    const struct {
        const char* text;
        uint32_t status;
        int32_t value;
    } cases[] = {
        {"", 1, 0},          {"0", 1, 0},           {"123", 1, 123},
        {"%d99", 1, 99},     {"%D 9 9", 1, 99},     {"%o777", 1, 511},
        {"%X7fffFFFF", 1, 2147483647},              {"%x80000000", 1, -2147483647 - 1},
        {"4294967296", 1, 0},                       {"12a", cond::IVCHAR, 0},
        {"%o8", cond::IVCHAR, 0},                   {"%xG", cond::IVCHAR, 0},
        {"%x", cond::NUMBER, 0},                    {"-1", cond::NUMBER, 0},
        {"abc", cond::NUMBER, 0},                   {"\"12\"", cond::NUMBER, 0},
    };
    for (const auto& c : cases) {
        int32_t value = 77;
        EXPECT_EQ(convert_dcl_number(value, c.text), c.status) << c.text;
        if (c.status == 1) {
            EXPECT_EQ(value, c.value) << c.text;
        }
    }
}

}  // namespace
}  // namespace dcl
