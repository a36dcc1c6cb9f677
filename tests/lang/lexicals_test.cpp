// Lexical functions: name matching, argument splitting and counting, and
// the string, number, bit-field and session functions.
#include "lang/lexicals.h"

#include <gtest/gtest.h>

#include <regex>
#include <string>

#include "names/symbols.h"
#include "proc/procedure.h"
#include "status/condition.h"
#include "status/messages.h"
#include "status/session.h"
#include "support/capture.h"
#include "support/evaluation.h"

namespace dcl {
namespace {


class Lexical : public test::EvaluationTest {
protected:
    void SetUp() override {
        EvaluationTest::SetUp();
        define("X", "abcdef");
        define("S", "hello");
        define("TWELVE", " 12 ");
        define("HEX", "-%X1F");
        define("N", "7", SYM_INTEGER);
        define("FF", "\xff\xff\xff\xff");
    }
};

TEST_F(Lexical, StringFunctions) {
    const test::ValueCase cases[] = {
        {"F$EXTR(0,3,X)", VALUE_STRING, "abc"},
        {"F$EXTRACT(4, 10, \"abcdef\")", VALUE_STRING, "ef"},
        {"F$EXTRACT(9,1,\"abc\")", VALUE_STRING, ""},
        {"F$EX(1,1,X)", VALUE_STRING, "b"},
        {"F$EXTRACTED(1,1,X)", VALUE_STRING, "b"},  // six characters count
        {"F$ELEMENT(1, \",\", \"A,B\")", VALUE_STRING, "B"},
        {"F$ELEMENT(5, \",\", \"A,B\")", VALUE_STRING, ","},
        {"F$ELEMENT(1, \",\", \"\"\"A,B\"\",C\")", VALUE_STRING, "C"},
        {"F$ELEMENT(0, \",\", \"\"\"A,B\"\",C\")", VALUE_STRING, "\"A,B\""},
        {"F$ELEMENT(1, \".\", \"[A.B].C\")", VALUE_STRING, "C"},
        {"F$LOCATE(\"X\", \"ABC\")", VALUE_INTEGER, "3"},
        {"F$LOCATE(\"\", \"ABC\")", VALUE_INTEGER, "0"},
        {"F$LOCATE(\"cd\", X) + 1", VALUE_INTEGER, "3"},
        {"F$LENGTH(\"a,b\")", VALUE_INTEGER, "3"},
        {"F$LENGTH(12345)", VALUE_INTEGER, "5"},
        {"F$LENGTH(X + S)", VALUE_INTEGER, "11"},
        {"F$INTEGER(\"12\") + 1", VALUE_INTEGER, "13"},
        {"F$INTEGER(\"YES\")", VALUE_INTEGER, "1"},
        {"F$INTEGER(\"abc\")", VALUE_INTEGER, "0"},
        {"F$INTEGER(N * 2)", VALUE_INTEGER, "14"},
        {"F$STRING(1 + 2)", VALUE_STRING, "3"},
        {"F$STRING(1 + 2) + \"x\"", VALUE_STRING, "3x"},
        {"F$EXTRACT(0, F$LENGTH(\"ab,c\"), X)", VALUE_STRING, "abcd"},
        {"f$length ( \"ab\" )", VALUE_INTEGER, "2"},
        {"F$CSID(X)", VALUE_STRING, ""},
    };
    for (const test::ValueCase& c : cases) {
        ExprValue value;
        EXPECT_EQ(run(c.text, value), 1u) << c.text << "\n" << messages;
        EXPECT_EQ(value.type, c.type) << c.text;
        EXPECT_EQ(value.text, c.value) << c.text;
    }
}

TEST_F(Lexical, EditAppliesItsFixedOrder) {
    const test::ValueCase cases[] = {
        {"F$EDIT(\"  a   b ! c\", \"TRIM,COMPRESS,UNCOMMENT,UPCASE\")", VALUE_STRING, "A B "},
        {"F$EDIT(\" a  b \", \"collapse\")", VALUE_STRING, "ab"},
        {"F$EDIT(\" a \"\" x  y\"\" \", \" Collapse \")", VALUE_STRING, "a\" x  y\""},
        {"F$EDIT(\"AbC \"\"Q q\"\"\", \"LOWERCASE\")", VALUE_STRING, "abc \"Q q\""},
        {"F$EDIT(\"a [x!y] \"\"!\"\" ! z\", \"UNCOMMENT\")", VALUE_STRING, "a [x!y] \"!\" "},
        {"F$EDIT(\"ab\", \"UPCASE,LOWERCASE\")", VALUE_STRING, "AB"},
    };
    for (const test::ValueCase& c : cases) {
        ExprValue value;
        EXPECT_EQ(run(c.text, value), 1u) << c.text << "\n" << messages;
        EXPECT_EQ(value.text, c.value) << c.text;
    }
}

TEST_F(Lexical, TypeOfSymbols) {
    const test::ValueCase cases[] = {
        {"F$TYPE(S)", VALUE_STRING, "STRING"},
        {"F$TYPE(TWELVE)", VALUE_STRING, "INTEGER"},  // a string that reads as one
        {"F$TYPE(HEX)", VALUE_STRING, "INTEGER"},
        {"F$TYPE(N)", VALUE_STRING, "INTEGER"},
        {"F$TYPE(NOSUCH)", VALUE_STRING, ""},
    };
    for (const test::ValueCase& c : cases) {
        ExprValue value;
        EXPECT_EQ(run(c.text, value), 1u) << c.text;
        EXPECT_EQ(value.text, c.value) << c.text;
        EXPECT_EQ(messages, "") << c.text;  // an undefined name fails nothing
    }
}

TEST_F(Lexical, BitFields) {
    const test::ValueCase cases[] = {
        {"F$CVUI(0, 8, \"A\")", VALUE_INTEGER, "65"},
        {"F$CVSI(7, 1, \"A\")", VALUE_INTEGER, "0"},
        {"F$CVSI(0, 7, \"A\")", VALUE_INTEGER, "-63"},
        {"F$CVUI(0, 7, \"A\")", VALUE_INTEGER, "65"},
        {"F$CVUI(4, 8, \"AB\")", VALUE_INTEGER, "36"},
        {"F$CVUI(0, 0, \"A\")", VALUE_INTEGER, "0"},
        {"F$CVUI(0, 32, \"ABCD\")", VALUE_INTEGER, "1145258561"},
        {"F$CVSI(0, 8, FF)", VALUE_INTEGER, "-1"},
        {"F$CVUI(0, 8, FF)", VALUE_INTEGER, "255"},
        {"F$CVUI(0, 32, FF)", VALUE_INTEGER, "-1"},  // DCL integers are signed
        // a field past the fourth byte still gets all its bits
        {"F$CVUI(4, 32, \"ABCDE\")", VALUE_INTEGER, "1413755940"},
        // counts above 32 keep the low 32 bits
        {"F$CVUI(0, 40, \"ABCDE\")", VALUE_INTEGER, "1145258561"},
    };
    for (const test::ValueCase& c : cases) {
        ExprValue value;
        EXPECT_EQ(run(c.text, value), 1u) << c.text << "\n" << messages;
        EXPECT_EQ(value.type, c.type) << c.text;
        EXPECT_EQ(value.text, c.value) << c.text;
    }
    std::string result = "junk";
    ValueType type = VALUE_STRING;
    EXPECT_EQ(call_lexical(result, type, "F$CVUI(0,9,\"A\")"), cond::IVRANGE);
    EXPECT_EQ(result, "0");
    EXPECT_EQ(call_lexical(result, type, "F$CVSI(-1,1,\"A\")"), cond::IVRANGE);
}

struct FailureCase {
    const char* text;
    uint32_t status;  // 0: reported by the dispatcher or function
    const char* messages;
};

TEST_F(Lexical, CallFailures) {
    const FailureCase cases[] = {
        {"F$E(1)", 0,
         "%DCL-W-ABFNAM, ambiguous function name - supply more characters\n /F$E/\n"},
        {"F$FOO(1)", 0,
         "%DCL-W-IVFNAM, unrecognized function name - check validity and spelling\n"
         " /F$FOO(1)/\n"},
        {"F$EXTRACT(1,2)", 0,
         "%DCL-W-INSFARG, insufficient arguments for function - supply all required "
         "arguments\n /(/\n"},
        {"F$LENGTH(1,2)", 0,
         "%DCL-W-SYMDEL, invalid symbol or value delimiter - check command syntax\n /(/\n"},
        {"F$TIME(1)", 0,
         "%DCL-W-SYMDEL, invalid symbol or value delimiter - check command syntax\n /(/\n"},
        {"F$EXTRACT(,2,\"abc\")", cond::INSFARG,
         "%DCL-W-INSFARG, insufficient arguments for function - supply all required "
         "arguments\n"},
        {"F$EXTRACT(-1,2,\"abc\")", cond::IVRANGE,
         "%DCL-W-IVRANGE, invalid position or length - check the string bounds\n"},
        {"F$ELEMENT(-1,\",\",\"a\")", cond::IVRANGE,
         "%DCL-W-IVRANGE, invalid position or length - check the string bounds\n"},
        {"F$ELEMENT(0,\",,\",\"a\")", cond::PROMPTLEN,
         "%DCL-E-PROMPTLEN, prompt string too long - limit to 32 characters\n"},
        {"F$EDIT(\"a\",\"TRIM,FOO\")", 0,
         "%DCL-W-IVKEYW, unrecognized keyword - check validity and spelling\n /FOO/\n"},
        {"F$CONTEXT(1,2,3,4,5)", cond::NOTAVAIL,
         "%SYSTEM-W-NOTAVAIL, option not available in Tessel version\n"},
        {"F$GETQUI(\"X\")", cond::NOTAVAIL,
         "%SYSTEM-W-NOTAVAIL, option not available in Tessel version\n"},
        {"F$LENGTH(NOSUCH)", 0,
         "%DCL-W-UNDSYM, undefined symbol - check validity and spelling\n /NOSUCH/\n"},
    };
    for (const FailureCase& c : cases) {
        ExprValue value;
        EXPECT_EQ(run(c.text, value), c.status) << c.text;
        EXPECT_EQ(messages, c.messages) << c.text;
    }
}

TEST_F(Lexical, ModeTimeAndVerify) {
    ExprValue value;
    ASSERT_EQ(run("F$MODE()", value), 1u);
    EXPECT_EQ(value.text, "BATCH");
    session().interactive = true;
    ASSERT_EQ(run("F$MODE()", value), 1u);
    EXPECT_EQ(value.text, "INTERACTIVE");

    ASSERT_EQ(run("F$TIME( )", value), 1u);
    EXPECT_TRUE(std::regex_match(value.text,
                                 std::regex("[ 1-3][0-9]-(JAN|FEB|MAR|APR|MAY|JUN|JUL|AUG|SEP|"
                                            "OCT|NOV|DEC)-[0-9]{4} [0-2][0-9]:[0-5][0-9]:[0-6][0-9]")))
        << value.text;

    const struct {
        const char* text;
        const char* previous;
        bool verify, image_verify;
    } steps[] = {
        {"F$VERIFY()", "0", false, false},   {"F$VERIFY(1)", "0", true, true},
        {"F$VERIFY(0, 1)", "1", false, true}, {"F$VERIFY(-1)", "0", false, true},
        {"F$VERIFY(, 0)", "0", false, false}, {"F$VERIFY(3, -1)", "0", true, true},
    };
    for (const auto& step : steps) {
        ASSERT_EQ(run(step.text, value), 1u) << step.text;
        EXPECT_EQ(value.type, VALUE_INTEGER) << step.text;
        EXPECT_EQ(value.text, step.previous) << step.text;
        EXPECT_EQ(session().verify, step.verify) << step.text;
        EXPECT_EQ(session().image_verify, step.image_verify) << step.text;
    }
}

TEST(ExtractField, QuotesAndBracketsDoNotSplit) {
    const struct {
        size_t index;
        char delimiter;
        const char* text;
        const char* field;  // nullptr: not that many fields
    } cases[] = {
        {0, ',', "", ""},           {0, ',', "a,b", "a"},        {1, ',', "a,b", "b"},
        {2, ',', "a,b", nullptr},   {2, ',', "a,b,", ""},        {1, ',', "\"a,b\",c", "c"},
        {1, '.', "[x.y].z", "z"},   {0, '.', "[x.y].z", "[x.y]"}, {1, '/', "a//b", ""},
    };
    for (const auto& c : cases) {
        std::string field = "junk";
        bool found = extract_field(field, c.index, c.delimiter, c.text);
        EXPECT_EQ(found, c.field != nullptr) << c.text << " " << c.index;
        if (found) {
            EXPECT_EQ(field, c.field) << c.text << " " << c.index;
        }
    }
}

}  // namespace
}  // namespace dcl
