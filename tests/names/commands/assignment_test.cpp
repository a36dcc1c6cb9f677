// The assignment statement: whole values, substrings and bit fields.
#include "names/commands/assignment.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "names/symbols.h"
#include "proc/procedure.h"
#include "status/condition.h"
#include "status/messages.h"
#include "support/capture.h"

namespace dcl {
namespace {

std::string hex(uint32_t value) {
    char text[16];
    std::snprintf(text, sizeof text, "%X", value);
    return text;
}

// The result of a statement followed by its queued conditions " VALUE:arg".
std::string outcome(uint32_t result) {
    std::string out = std::to_string(result);
    MessageQueue& q = message_queue();
    for (size_t i = 0; i < q.count; ++i) out += " " + hex(q.entries[i].value) + ":" + q.entries[i].arg1;
    discard_messages();
    return out;
}

// One statement and what the symbol holds afterwards ("value/type").
struct Step {
    std::string symbol;
    std::string op;
    std::vector<std::string> words;
    std::string result;
    std::string holds;
};

void run_steps(const std::vector<Step>& steps) {
    test::CapturedErrors errors;
    push_procedure_level("");
    for (const Step& s : steps) {
        TokenList tokens;
        tokens.add(TOKEN_SYMBOL, s.symbol);
        tokens.add(TOKEN_OPERATOR, s.op);
        for (const std::string& w : s.words) tokens.add(TOKEN_PARAMETER, w);
        std::string where = s.symbol + " " + s.op;
        EXPECT_EQ(outcome(run_assignment(tokens)), s.result) << where;
        std::string name = s.symbol.substr(0, s.symbol.find('['));
        std::string value;
        uint32_t type = 0;
        if (get_symbol(name, value, type) == 1) value += "/" + std::to_string(type);
        else value = "UNDSYM";
        EXPECT_EQ(value, s.holds) << where;
    }
}

TEST(Assignment, MalformedStatementsChangeNothing) {
    {
        test::CapturedErrors errors;
        TokenList tokens;
        tokens.add(TOKEN_LABEL, "HERE");
        tokens.add(TOKEN_SYMBOL, "A");
        tokens.add(TOKEN_OPERATOR, ":=");
        tokens.add(TOKEN_QUALIFIER, "/X");
        EXPECT_EQ(outcome(run_assignment(tokens)), "0 " + hex(cond::SYNERR) + ":/X");
    }
    std::string bad_op = "0 " + hex(with_severity(cond::ERROR, SEV_ERROR)) + ":unkown assign-op";
    run_steps({
        {"A", ":", {}, bad_op, "UNDSYM"},
        {"A", "====", {"1"}, bad_op, "UNDSYM"},
        {"A", ":=", {std::string(1000, 'a'), std::string(24, 'b')}, "0 " + hex(cond::BUFOVF) + ":", "UNDSYM"},
        {"S[,1]", ":=", {"x"}, "0 " + hex(cond::EXPSYN) + ":", "UNDSYM"},
        {"S[1,]", ":=", {"x"}, "0 " + hex(cond::EXPSYN) + ":", "UNDSYM"},
        {"S[1", ":=", {"x"}, "0 " + hex(cond::SYMDEL) + ":1", "UNDSYM"},
        {"S[1,2", ":=", {"x"}, "0 " + hex(cond::SYMDEL) + ":2", "UNDSYM"},
        {"$STATUS", ":==", {"1"}, "0 " + hex(cond::RESSYM) + ":$STATUS", "%X00000001/9"},
        {"1A", "=", {"1"}, "0 " + hex(cond::IVSYMB) + ":1A", "UNDSYM"},
    });
}

TEST(Assignment, WholeValuesOfEachKind) {
    run_steps({
        {"A", ":=", {"\"Say", "\"\"hi\"\"\"", "x"}, "1", "Say \"hi\" x/5"},
        {"A", ":==", {"G"}, "1", "Say \"hi\" x/5"},  // the local one hides it
        {"B", "=", {"1"}, "1", "1/6"},
        {"B", "==", {"2"}, "1", "1/6"},
        {"B", "=", {"B", "+", "1"}, "1", "2/6"},
        {"E", ":=", {}, "1", "/5"},
        {"dclsh_t4", ":===", {"\"abc\""}, "1", "abc/17"},
        {"dclsh_t5", "===", {"\"x\"+\"y\""}, "1", "xy/17"},
    });
    EXPECT_STREQ(std::getenv("DCLSH_T4"), "abc");
    EXPECT_STREQ(std::getenv("DCLSH_T5"), "xy");
    unsetenv("DCLSH_T4");
    unsetenv("DCLSH_T5");
}

TEST(Assignment, SubstringsFillPadAndCheckBounds) {
    auto range = [](const char* text) { return "0 " + hex(cond::IVRANGE) + ":" + text; };
    run_steps({
        {"S[0,3]", ":=", {"ABCDEF"}, "1", "ABC/5"},
        {"S[5,2]", ":=", {"Z"}, "1", "ABC  Z /5"},
        {"S[1,0]", ":=", {"Q"}, "1", "ABC  Z /5"},
        {"S[769,1]", ":=", {"x"}, range("769,1"), "ABC  Z /5"},
        {"S[1,-1]", ":=", {"x"}, range("1,-1"), "ABC  Z /5"},
        {"S[700,70]", ":=", {"x"}, range("700,70"), "ABC  Z /5"},
        {"T[768,1]", ":==", {"\"y\""}, "1", std::string(768, ' ') + "y/9"},
    });
}

TEST(Assignment, BitFieldsOfIntegersAndStrings) {
    std::string bits_6150 = std::string(4, '\0') + std::string(764, ' ') + "\xE0/5";
    run_steps({
        {"N", "=", {"5"}, "1", "5/6"},
        {"N[1,2]", "=", {"3"}, "1", "7/6"},
        {"N[0,0]", "=", {"1"}, "1", "7/6"},
        {"N[31,1]", "=", {"1"}, "1", "-2147483641/6"},
        {"B[0,8]", "=", {"65"}, "1", "A/5"},
        {"B[8,8]", "=", {"66"}, "1", "AB/5"},
        {"B[32,8]", "=", {"67"}, "1", "AB  C/5"},
        {"Z[0,40]", "=", {"0"}, "1", std::string(4, '\0') + "/5"},  // counts as 32 bits
        {"Z[6150,3]", "=", {"0"}, "0 " + hex(cond::IVRANGE) + ":6150,3", std::string(4, '\0') + "/5"},
        {"Z[6150,2]", "=", {"3"}, "1", bits_6150},
    });
}

}  // namespace
}  // namespace dcl
