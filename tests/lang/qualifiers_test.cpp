// The value parsers that turn qualifier values into strings, lists and
// numbers.
#include "lang/qualifiers.h"

#include <gtest/gtest.h>

#include "status/condition.h"
#include "status/messages.h"
#include "support/capture.h"

namespace dcl {
namespace {

using test::CapturedErrors;

TEST(ParseProtection, ClassesAndAccess) {
    struct Case {
        const char* token;
        int code;
        uint32_t error;
    } cases[] = {
        {"/PROTECTION=(S:RWED,O:RWED,G:RE,W)", 750, 0},
        {"/PROTECTION=W:R", 884, 0},
        {"/PROT=(own=d, gr:e)", 218, 0},
        {"/PROT", 888, 0},
        {"/PROT=(S,O,G,W)", 0, 0},
        {"/PROT=\"W:RE\"", 885, 0},
        {"/PROT=(X:R)", 888, cond::IVKEYW},
        {"/PROT=(W:RZ)", 888, cond::IVPROT},
        {"/PROT=(W=)", 888, cond::VALREQ},
        {"/PROT=W,G", 888, cond::PARMDEL},
        {"/PROT=", 888, cond::VALREQ},
    };
    for (const Case& c : cases) {
        CapturedErrors errors;
        int code = -1;
        EXPECT_EQ(parse_protection(code, c.token), c.error == 0) << c.token;
        EXPECT_EQ(code, c.code) << c.token;
        EXPECT_EQ(message_queue().entries[0].value, c.error) << c.token;
    }
}

TEST(ParseNumber, RadixPrefixes) {
    struct Case {
        const char* text;
        uint32_t status;
        int64_t value;
    } cases[] = {
        {"%x10", 1, 16}, {"%O20", 1, 16}, {"%d12", 1, 12}, {"1 6", 1, 16}, {"", 1, 0},
        {"%x", 1, 0},    {"-1", cond::NUMBER, 0}, {"12ab", cond::IVCHAR, 0},
        {"%o8", cond::IVCHAR, 0}, {"4294967296", cond::NUMBER, 0},
    };
    for (const Case& c : cases) {
        int64_t value = -1;
        EXPECT_EQ(parse_number(value, c.text), c.status) << c.text;
        if (c.status == 1) {
            EXPECT_EQ(value, c.value) << c.text;
        }
    }
}

TEST(QualifierValues, ListsStringsAndNumbers) {
    CapturedErrors errors;
    std::vector<std::string> items;
    EXPECT_TRUE(qualifier_value_list(items, "/SELECT=( a, \"B,C\" ,d)", true));
    EXPECT_EQ(items, (std::vector<std::string>{"a", "B,C", "d"}));
    EXPECT_FALSE(qualifier_value_list(items, "/SELECT=a,b", true));
    EXPECT_EQ(message_queue().entries[0].value, cond::PARMDEL);
    discard_messages();

    std::string value;
    EXPECT_FALSE(qualifier_value(value, "/SELECT=(A,B)", true));
    EXPECT_EQ(message_queue().entries[0].value, cond::ONEVAL);
    discard_messages();

    uint32_t options = 0;
    EXPECT_TRUE(qualifier_string(value, options, "/OUTPUT", "SYS$OUTPUT", 4, 0, true));
    EXPECT_EQ(value, "SYS$OUTPUT");
    EXPECT_EQ(options, 4u);
    EXPECT_TRUE(qualifier_string(value, options, "/NOOUTPUT", std::nullopt, 4, RESULT_NEGATED, true));
    EXPECT_EQ(options, 0u);
    EXPECT_FALSE(qualifier_string(value, options, "/OUTPUT", std::nullopt, 4, 0, true));
    EXPECT_EQ(message_queue().entries[0].value, cond::VALREQ);
    discard_messages();

    int64_t width = 0;
    EXPECT_TRUE(qualifier_number(width, options, "/WIDTH=%x10", 80, 1, RESULT_VALUE));
    EXPECT_EQ(width, 16);
    EXPECT_TRUE(qualifier_number(width, options, "/WIDTH", 80, 1, 0));
    EXPECT_EQ(width, 80);
    EXPECT_FALSE(qualifier_number(width, options, "/WIDTH=-1", 80, 1, RESULT_VALUE));
    EXPECT_EQ(message_queue().entries[0].value, cond::NUMBER);
    EXPECT_EQ(message_queue().entries[0].arg1, "-1");
}

}  // namespace
}  // namespace dcl
