// F$LOGICAL and F$TRNLNM: every item, the mode and case arguments, and the
// translations that fail quietly.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "lang/expression.h"
#include "names/commands/logical_commands.h"
#include "names/logical_names.h"
#include "proc/procedure.h"
#include "status/condition.h"
#include "status/messages.h"
#include "support/capture.h"
#include "support/evaluation.h"

namespace dcl {
namespace {

class LexicalLogicals : public test::EvaluationTest {
protected:
    void SetUp() override {
        EvaluationTest::SetUp();
        define(DEFINE_OPT_CONCEALED, "LIST", {"one", "\"Two\"", "three"});
        define(DEFINE_OPT_TERMINAL, "\"Lower\"", {"x"});
        define(DEFINE_OPT_JOB, "JOBNAME", {"in the job table"});
    }
    void define(uint32_t options, const char* name, const std::vector<std::string>& values) {
        ASSERT_EQ(define_logical(options, "", name, values), 1u) << name;
    }
};

TEST_F(LexicalLogicals, ItemsOfATranslation) {
    const test::ValueCase cases[] = {
        {"F$TRNLNM(\"LIST\")", VALUE_STRING, "one"},
        {"F$TRNLNM(\"list\",,1)", VALUE_STRING, "Two"},
        {"F$TRNLNM(\"LIST\",\"lnm$process\",2,\"KERNEL\",\"CASE_BLIND\",\"VALUE\")", VALUE_STRING,
         "three"},
        {"F$TRNLNM(\"LIST\",,-5)", VALUE_STRING, "one"},
        {"F$TRNLNM(\"LIST\",,,,,\"LENGTH\")", VALUE_INTEGER, "3"},
        {"F$TRNLNM(\"LIST\",,,,,\"max_index\")", VALUE_INTEGER, "2"},
        {"F$TRNLNM(\"LIST\",,,,,\"TABLE_NAME\")", VALUE_STRING, "LNM$PROCESS_TABLE"},
        {"F$TRNLNM(\"JOBNAME\",,,,,\"TABLE_NAME\")", VALUE_STRING, "LNM$JOB_"},
        {"F$TRNLNM(\"LIST\",,,,,\"CONCEALED\")", VALUE_STRING, "TRUE"},
        {"F$TRNLNM(\"LIST\",,,,,\"TERMINAL\")", VALUE_STRING, "FALSE"},
        {"F$TRNLNM(\"Lower\",,,,\"case_sensitive\",\"TERMINAL\")", VALUE_STRING, "TRUE"},
        {"F$TRNLNM(\"LIST\",,,,,\"CONFINE\")", VALUE_STRING, "FALSE"},
        {"F$TRNLNM(\"LIST\",,,,,\"NO_ALIAS\")", VALUE_STRING, "FALSE"},
        {"F$TRNLNM(\"LIST\",,,,,\"CRELOG\")", VALUE_STRING, "FALSE"},
        {"F$TRNLNM(\"LIST\",,,,,\"TABLE\")", VALUE_STRING, "FALSE"},
        {"F$TRNLNM(\"LIST\",,,,,\"ACCESS_MODE\")", VALUE_STRING, "UNKNOWN"},
        // A table's own entry: its translation is empty and marked as a
        // table, and it counts as one value.
        {"F$TRNLNM(\"LNM$PROCESS_TABLE\",\"LNM$PROCESS_DIRECTORY\",,,,\"TABLE\")", VALUE_STRING,
         "TRUE"},
        {"F$TRNLNM(\"LNM$PROCESS_TABLE\",\"LNM$PROCESS_DIRECTORY\",,,,\"MAX_INDEX\")",
         VALUE_INTEGER, "0"},
        {"F$LOGICAL(\"list\")", VALUE_STRING, "one"},
    };
    for (const test::ValueCase& c : cases) {
        ExprValue value;
        ASSERT_EQ(run(c.text, value), 1u) << c.text;
        EXPECT_EQ(value.type, c.type) << c.text;
        if (std::string(c.value) == "LNM$JOB_")
            EXPECT_TRUE(value.text.starts_with(c.value)) << c.text << " gave " << value.text;
        else
            EXPECT_EQ(value.text, c.value) << c.text;
        EXPECT_EQ(messages, "") << c.text;
    }
}

TEST_F(LexicalLogicals, NoTranslationIsAnEmptyString) {
    const char* cases[] = {
        "F$TRNLNM(\"NOSUCH\")",
        "F$TRNLNM(\"NOSUCH\",,,,,\"LENGTH\")",
        "F$TRNLNM(\"NOSUCH\",,,,,\"MAX_INDEX\")",
        "F$TRNLNM(\"LIST\",\"LNM$SYSTEM_TABLE\")",
        "F$TRNLNM(\"LIST\",\"NO_SUCH_TABLE\",,,,\"VALUE\")",
        "F$TRNLNM(\"LIST\",,3)",
        "F$TRNLNM(\"LIST\",,128)",
        "F$TRNLNM(\"lower\",,,,\"CASE_SENSITIVE\")",
        "F$LOGICAL(\"NOSUCH\")",
        "F$LOGICAL(\"JOBNAME\") - \"in the job table\"",
    };
    for (const char* text : cases) {
        ExprValue value;
        ASSERT_EQ(run(text, value), 1u) << text;
        EXPECT_EQ(value.type, VALUE_STRING) << text;
        EXPECT_EQ(value.text, "") << text;
        EXPECT_EQ(messages, "") << text;
    }
}

TEST_F(LexicalLogicals, UnknownKeywordsAreRefusedWithTheWord) {
    const char* cases[][2] = {
        {"F$TRNLNM(\"LIST\",,,\"us er\")", " /USER/"},  // blanks go: this one is valid
        {"F$TRNLNM(\"LIST\",,,\"OWNER\")", " /OWNER/"},
        {"F$TRNLNM(\"LIST\",,,,\"blind\")", " /BLIND/"},
        {"F$TRNLNM(\"LIST\",,,,,\"SIZE\")", " /SIZE/"},
    };
    ExprValue value;
    EXPECT_EQ(run(cases[0][0], value), 1u);
    EXPECT_EQ(value.text, "one");
    for (size_t i = 1; i < std::size(cases); ++i) {
        EXPECT_EQ(run(cases[i][0], value), 0u) << cases[i][0];
        EXPECT_EQ(messages,
                  "%DCL-W-IVKEYW, unrecognized keyword - check validity and spelling\n" +
                      std::string(cases[i][1]) + "\n")
            << cases[i][0];
    }
}

}  // namespace
}  // namespace dcl
