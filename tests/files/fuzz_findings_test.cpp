// Faults the fuzz targets found in the DIFFERENCES and wildcard engines,
// kept as cases: records that /IGNORE makes equal must hash equal, and a
// "*" in a pattern stays a wildcard where the text has a "*" too.
#include <gtest/gtest.h>

#include <string>

#include "files/compare_files.h"
#include "files/wildcard.h"

namespace dcl {
namespace {

using namespace diff_option;
using namespace std::string_literals;

// Pairs that normalise alike under the options, NUL bytes after the
// trailing white space among them; the hash must not tell them apart, or
// the walk reports a difference its own comparison denies.
TEST(FuzzFindings, IgnoredTrailingSpaceBeforeNulHashesAlike) {
    struct Case {
        std::string a, b;
        uint32_t options;
    } cases[] = {
        {"a "s, "a \0"s, TRAILING_SPACES},
        {"a"s, "a\t\0 \0"s, TRAILING_SPACES},
        {"\f  ! x"s, "\f\t\v  \0!\f x"s, COMMENTS | FORM_FEEDS | SPACING | TRAILING_SPACES},
        {"x = 1"s, "x  =  1 \0! remark"s, COMMENTS | SPACING | TRAILING_SPACES},
    };
    for (const Case& c : cases) {
        std::string x, y;
        normalise_record(x, c.a, c.options);
        normalise_record(y, c.b, c.options);
        ASSERT_EQ(x, y) << c.options;
        uint32_t ha = 0, hb = 0;
        hash_record(c.a, c.options, ha);
        hash_record(c.b, c.options, hb);
        EXPECT_EQ(ha, hb) << c.options;

        std::string one = "first\n" + c.a + "\nlast\n", two = "first\n" + c.b + "\nlast\n";
        DiffSettings settings;
        settings.options |= c.options;
        DiffRecords f1, f2;
        ASSERT_EQ(cut_records(one, f1), 1u);
        ASSERT_EQ(cut_records(two, f2), 1u);
        prepare_records(f1, settings);
        prepare_records(f2, settings);
        DiffResult result;
        compare_records(f1, f2, settings, result);
        EXPECT_EQ(result.section_count, 0) << c.options;
    }
}

// A NUL before a character that counts is no trailing space.
TEST(FuzzFindings, NulInsideTextStillCounts) {
    uint32_t ha = 0, hb = 0;
    hash_record("a \0b"s, TRAILING_SPACES, ha);
    hash_record("a"s, TRAILING_SPACES, hb);
    EXPECT_NE(ha, hb);
}

TEST(FuzzFindings, StarMatchesStarInText) {
    EXPECT_TRUE(wildcard_match("%*", "B*B"));
    EXPECT_TRUE(wildcard_match("*B", "*AB"));
    EXPECT_TRUE(wildcard_match("A*C", "A*BC"));
    EXPECT_TRUE(wildcard_match("**", "*"));
    EXPECT_FALSE(wildcard_match("*A", "*B"));
}

}  // namespace
}  // namespace dcl
