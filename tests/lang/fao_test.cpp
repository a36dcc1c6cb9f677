// The F$FAO formatter: control string and arguments in, text or condition out.
#include "lang/fao.h"

#include <gtest/gtest.h>

#include <regex>
#include <vector>

#include "status/condition.h"

namespace dcl {
namespace {

struct FaoCase {
    std::string_view control;
    std::vector<FaoArgument> arguments;
    std::string expected;
    uint32_t status = 1;
};

bool fake_names(uint32_t uic, std::string& group, std::string& user) {
    if (uic != 0x00050007u) return false;
    group = "staff";
    user = "alice";
    return true;
}

FaoEnvironment test_environment() {
    return FaoEnvironment{VmsTime{47174400 + 43200, 7}, fake_names};  // 1-JUL-1971 noon UTC
}

FaoResult run(std::string& out, const FaoCase& c) {
    return format_fao(out, c.control, c.arguments, test_environment());
}

void check(const std::vector<FaoCase>& cases) {
    for (const FaoCase& c : cases) {
        std::string out = "unchanged";
        FaoResult result = run(out, c);
        EXPECT_EQ(result.status, c.status) << c.control;
        if (c.status == 1) {
            EXPECT_EQ(out, c.expected) << c.control;
        }
    }
}

TEST(Fao, Strings) {
    check({
        {"!AS", {"abc"}, "abc"},
        {"!5AS|", {"ab"}, "ab   |"},
        {"!2AS", {"abcdef"}, "ab"},
        {"!AS", {42}, "42"},
        {"<!as>", {"x"}, "<x>"},  // directives are case-blind
        {"!#AS|", {4, "ab"}, "ab  |"},
        {"!#AS|", {0, "ab"}, "ab|"},
    });
}

TEST(Fao, NumbersTakeTheirSizeAndRadix) {
    check({
        {"!UB !SW !XL", {257, 65535, -1}, "1 -1 FFFFFFFF"},
        {"!XB !XW !XL", {10, 31, 255}, "0A 001F 000000FF"},
        {"!OB !OW !OL", {8, 8, -1}, "010 000010 37777777777"},
        {"!ZB !ZW !ZL", {5, 65536 + 9, 1234}, "5 9 1234"},
        {"!UL !SL !SB", {-1, -5, 128}, "4294967295 -5 -128"},
        {"!UW", {-1}, "65535"},
        {"!UL", {"12"}, "12"},  // strings count as F$INTEGER reads them
        {"!UL !UL", {"abc", "yes"}, "0 1"},
    });
}

TEST(Fao, FieldWidths) {
    check({
        {"!5UL|!5SL|!4ZL", {42, -5, 42}, "   42|   -5|0042"},
        {"!3UL|!2SL|!2ZL", {12345, -10, 123}, "***|**|**"},
        {"!2XL|!6XB|!2OW", {0x1234, 0xAB, 8}, "34|0000AB|10"},
        {"!#UL|", {6, 1}, "     1|"},
    });
}

TEST(Fao, Controls) {
    check({
        {"!5UL|!-!XL|!3*-|!AS", {42, "x"}, "   42|0000002A|---|x"},
        {"a!!b!_c!^d!/e", {}, "a!b\tc\fd\ne"},
        {"!+!AS", {"a", "b"}, "b"},
        {"!-!UL", {5}, "5"},
        {"!*x|!0*x|!#*y", {3}, "x||yyy"},
        {"!3(UL)|!2(3UL)", {1, 2, 3, 4, 5}, "123|  4  5"},
        {"!#(AS)", {2, "p", "q"}, "pq"},
        {"!10<!UL item!%S!>|", {5}, "5 items   |"},
        {"!3<abcdef!>|", {}, "abc|"},
        {"!6<ab", {}, "ab    "},  // an open field ends with the text
    });
}

TEST(Fao, Plurals) {
    check({
        {"!UL file!%S", {2}, "2 files"},
        {"!UL file!%S", {1}, "1 file"},
        {"!UL FILE!%S", {0}, "0 FILES"},
        {"file!%s", {}, "files"},
        {"!UL !AS!%S", {1, "dir"}, "1 dir"},  // the last number, not the last argument
        {"!SB item!%S", {257}, "1 item"},
    });
}

TEST(Fao, Choices) {
    std::string_view choice = "!UL !0%Cnone!1%Cone!%Emany!%F.";
    check({
        {choice, {0}, "0 none."},
        {choice, {1}, "1 one."},
        {choice, {7}, "7 many."},
        {"!UL!1%Ca!1%Cb!%F", {1}, "1a"},
        // A case not taken uses no argument.
        {"!UL!2%C!AS!%E-!%F!AS", {1, "z"}, "1-z"},
        {"!UL!#%Cyes!%Eno!%F", {3, 3}, "3yes"},
        {"!UL!2%Ctwo!%F", {1}, "1"},
    });
}

TEST(Fao, Identifiers) {
    check({
        {"!%U !%U", {65540, 0x00080010}, "[1,4] [10,20]"},
        {"!%I !%I", {0x00050007, 0x00050008}, "[staff,alice] [5,10]"},
        {"!8%U|", {65540}, "[1,4]   |"},
    });
}

TEST(Fao, TimesOfZeroAreNow) {
    std::string out;
    ASSERT_EQ(run(out, {"!%T", {0}, {}}).status, 1u);
    EXPECT_TRUE(std::regex_match(out, std::regex(R"(\d\d:\d\d:\d\d\.07)"))) << out;
    ASSERT_EQ(run(out, {"!%D", {0}, {}}).status, 1u);
    EXPECT_TRUE(std::regex_match(out, std::regex(R"([ \d]\d-(JUN|JUL)-1971 \d\d:\d\d:\d\d\.07)")))
        << out;
    std::string date = out.substr(0, 11);
    ASSERT_EQ(run(out, {"!11%D", {0}, {}}).status, 1u);
    EXPECT_EQ(out, date);
    ASSERT_EQ(run(out, {"!%D", {47174400 + 43200}, {}}).status, 1u);
    EXPECT_NE(out.find("-1971 "), std::string::npos) << out;
    EXPECT_TRUE(out.ends_with(".00")) << out;
}

TEST(Fao, Refusals) {
    std::vector<FaoCase> refused;
    for (std::string_view control : {"!AD", "!AC", "!AF", "!AZ", "!QQ", "abc!", "!UQ", "!3(UL",
                                     "!>", "!2(%C)", "!%Q", "!A"})
        refused.push_back({control, {"x"}, {}, cond::IVKEYW});
    check(refused);

    std::string out;
    FaoResult result = run(out, {"ok !AD", {"x"}, {}});
    EXPECT_EQ(result.directive, "!AD");
}

TEST(Fao, TooFewArgumentsAndOverflows) {
    check({
        {"!AS!AS", {"a"}, {}, cond::INSFARG},
        {"!#AS", {}, {}, cond::INSFARG},
        {"!+!+!UL", {1, 2}, {}, cond::INSFARG},
        {"!%T", {}, {}, cond::INSFARG},
        {"!2000*x", {}, {}, cond::BUFOVF},
        {"!600*x!600*y", {}, {}, cond::BUFOVF},
        {"!#AS", {5000, "a"}, {}, cond::BUFOVF},
        {"!#(+)", {2000000000}, {}, cond::BUFOVF},
        {"!1000<a!>!1000<b!>", {}, {}, cond::BUFOVF},  // the blanks of a field count
        {"!2000<a", {}, {}, cond::BUFOVF},
        {"!1024*x", {}, std::string(1024, 'x')},
    });
}

}  // namespace
}  // namespace dcl
