// Wildcard matching of names.
#include <gtest/gtest.h>

#include "files/wildcard.h"

namespace dcl {
namespace {

TEST(WildcardMatch, StarsAndPercents) {
    struct Case {
        const char* pattern;
        const char* text;
        bool match;
    } cases[] = {
        {"*", "", true},         {"*", "ANY", true},      {"F*", "FOO", true},
        {"F*", "BAR", false},    {"%OO", "FOO", true},    {"%OO", "FOOD", false},
        {"*O%", "FOOD", true},   {"A*B*C", "AXXBYYC", true}, {"A*B*C", "AXXBYY", false},
        {"*%%", "AB", true},     {"*%%", "A", false},     {"SYS$*", "SYS$INPUT", true},
        {"**X", "AAX", true},    {"", "", true},          {"", "A", false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(wildcard_match(c.pattern, c.text), c.match) << c.pattern << " " << c.text;
}

}  // namespace
}  // namespace dcl
