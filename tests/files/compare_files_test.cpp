// The comparison engine of DIFFERENCES: records in, sections out; the
// hash, the /IGNORE normalisation and the listings' pieces.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "files/compare_files.h"
#include "files/compare_listing.h"
#include "status/condition.h"

namespace dcl {
namespace {

// The hash as eight shift steps per byte, to check the table form against.
// "s: a1-a2 / b1-b2" per section: 1-based line numbers of each file's
// difference records, "-" for none.
std::string describe(const DiffRecords& f1, const DiffRecords& f2, const DiffResult& r) {
    std::string out;
    auto side = [](const DiffRecords& list, const DiffRange& range) {
        if (range.empty()) return std::string("-");
        return std::to_string(list[range.begin].number) + "-" + std::to_string(list[range.end - 1].number);
    };
    for (const DiffSection& s : r.sections) {
        if (!out.empty()) out += " ";
        out += std::to_string(s.number) + ":" + side(f1, s.file[0]) + "/" + side(f2, s.file[1]);
    }
    return out + " (" + std::to_string(r.section_count) + "," + std::to_string(r.record_count) + ")";
}

struct CompareCase {
    const char* name;
    std::string one, two;
    DiffSettings settings;
    const char* expected;
};

DiffSettings with(uint32_t bits, int match = 3, int maximum = 0) {
    DiffSettings s;
    s.options |= bits;
    s.match_count = match;
    s.maximum = maximum;
    return s;
}

TEST(CompareFiles, Sections) {
    using namespace diff_option;
    const CompareCase cases[] = {
        {"identical", "a\nb\nc\n", "a\nb\nc\n", {}, " (0,0)"},
        {"both empty", "", "", {}, " (0,0)"},
        {"one empty", "", "a\nb\n", {}, "1:-/1-2 (1,2)"},
        {"changed line", "a\nb\nc\nd\n", "a\nX\nc\nd\n", {}, "1:2-2/2-2 (1,1)"},
        {"inserted line", "a\nb\nc\nd\n", "a\nX\nb\nc\nd\n", {}, "1:-/2-2 (1,1)"},
        {"deleted lines", "a\nb\nc\nd\ne\n", "a\nd\ne\n", {}, "1:2-3/- (1,2)"},
        {"no trailing newline is a record", "a\nb", "a\nc", {}, "1:2-2/2-2 (1,1)"},
        {"nothing in common", "a\nb\nc\n", "x\ny\n", {}, "1:1-3/1-2 (1,3)"},
        {"two sections", "a\nb\nc\nd\ne\nf\ng\nh\n", "a\nB\nc\nd\ne\nf\nG\nh\n", {}, "1:2-2/2-2 2:7-7/7-7 (2,2)"},
        {"tail after a match", "a\nb\n", "a\nb\nc\nd\n", {}, "1:-/3-4 (1,2)"},
        {"blank lines and trailing spaces", "a\n  \nb\n", "a\nb  \n\n", with(BLANK_LINES | TRAILING_SPACES), " (0,0)"},
        {"comments", "x = 1 ! one\n", "x = 1 ! uno\n", with(COMMENTS), " (0,0)"},
        {"spacing", "a  b\tc\n", "a b c\n", with(SPACING), " (0,0)"},
        {"form feeds", "a\fb\n", "ab\n", with(FORM_FEEDS), " (0,0)"},
        {"maximum cuts the rows", "a\nb\nc\nd\n", "w\nx\ny\nz\n", with(MAXIMUM, 3, 2), "1:1-2/1-2 (1,2)"},
    };
    for (const CompareCase& c : cases) {
        DiffRecords f1, f2;
        ASSERT_EQ(cut_records(c.one, f1), 1u) << c.name;
        ASSERT_EQ(cut_records(c.two, f2), 1u) << c.name;
        prepare_records(f1, c.settings);
        prepare_records(f2, c.settings);
        DiffResult result;
        compare_records(f1, f2, c.settings, result);
        EXPECT_EQ(describe(f1, f2, result), c.expected) << c.name;
    }
}

TEST(CompareFiles, RejoinAndPartners) {
    DiffRecords f1, f2;
    cut_records("a\nb\nc\nd\n", f1);
    cut_records("a\nX\nb\nc\nd\n", f2);
    DiffSettings s;
    prepare_records(f1, s);
    prepare_records(f2, s);
    DiffResult r;
    compare_records(f1, f2, s, r);
    ASSERT_EQ(r.sections.size(), 1u);
    // File 1 has no record in the section: its context is where file 2's
    // record after the insertion was matched ("b", line 2).
    EXPECT_EQ(rejoin_point(f2, r.sections[0].file[1]), 1);
}

// Records that keep the same bytes hash alike, whether they go through
// eight bytes at a time or byte by byte; a changed byte anywhere shows.
TEST(CompareFiles, HashFollowsTheBytesKept) {
    using namespace std::string_literals;
    auto hash_of = [](std::string_view text, uint32_t options) {
        uint32_t hash = 0;
        hash_record(text, options, hash);
        return hash;
    };
    const std::string long_text = "0123456789abcdefghijklmnopqrstuvwxyz";
    EXPECT_EQ(hash_of(long_text, 0), hash_of("0123"s + '\0' + "456789abcdefghij" + '\0' + "klmnopqrstuvwxyz", 0));
    EXPECT_EQ(hash_of("a  b\tc", diff_option::SPACING), hash_of("a b c", 0));
    EXPECT_EQ(hash_of("page\f one", diff_option::FORM_FEEDS), hash_of("page one", 0));
    for (size_t i = 0; i < long_text.size(); ++i) {
        std::string changed = long_text;
        changed[i] = '_';
        EXPECT_NE(hash_of(changed, 0), hash_of(long_text, 0)) << i;
        EXPECT_NE(hash_of(long_text.substr(0, i), 0), hash_of(long_text, 0)) << i;
    }
    uint32_t hash = 0;
    EXPECT_FALSE(hash_record("  \t", diff_option::BLANK_LINES | diff_option::TRAILING_SPACES, hash));
    EXPECT_TRUE(hash_record("  \t", diff_option::BLANK_LINES | diff_option::SPACING, hash));
}

TEST(CompareFiles, RecordLimitsAndHeader) {
    DiffRecords list;
    EXPECT_EQ(cut_records(std::string(kMaxDiffRecord, 'x') + "\n", list), 1u);
    EXPECT_EQ(cut_records(std::string(kMaxDiffRecord + 1, 'x'), list), cond::DIFF_RECTOOLNG);
    cut_records("\fpage\ntitle\nbody\n", list);
    DiffSettings s;
    s.options |= diff_option::HEADER;
    prepare_records(list, s);
    ASSERT_EQ(list.size(), 1u);
    EXPECT_EQ(list[0].text, "body");
    cut_records("\f\ntitle\nmore\nbody\n", list);
    prepare_records(list, s);
    ASSERT_EQ(list.size(), 1u);
    EXPECT_EQ(list[0].number, 4);
}

TEST(CompareListing, Pieces) {
    std::string out;
    print_wrapped(out, "abcdefghijklmno", 12);
    EXPECT_EQ(out, "abcdefghijk-\nlmno\n");
    out.clear();
    print_parallel(out, "left side text", "", 20);
    EXPECT_EQ(out, "left sid |  \n");
    std::string text = "a\tb\x01\r";
    prettify_text(text);
    EXPECT_EQ(text, "a       b.<CR>");
    DiffRecord record;
    record.text = std::string_view("x  \0y", 5);
    record.number = 7;
    format_record(out, record, diff_option::NUMBER);
    EXPECT_EQ(out, "    7   x  y");
    format_record(out, record, diff_option::EXACT | diff_option::PRETTY);
    EXPECT_EQ(out, "x  .y");
}

}  // namespace
}  // namespace dcl
