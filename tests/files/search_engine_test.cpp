// The matching engine of SEARCH: finding strings, combining them, showing
// lines and the stretches to highlight.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "files/search_engine.h"
#include "status/condition.h"

namespace dcl {
namespace {

constexpr size_t npos = std::string_view::npos;

TEST(StringFinder, FindsWithAndWithoutCase) {
    struct Case {
        const char* pattern;
        bool exact;
        const char* line;
        size_t from, expected;
    } cases[] = {
        {"ERROR", false, "an error here", 0, 3},
        {"ERROR", false, "an ErRoR here", 0, 3},
        {"error", true, "an ERROR and an error", 0, 16},
        {"ERROR", true, "an error", 0, npos},
        {"X", false, "abcx", 0, 3},
        {"AB", false, "ab ab", 1, 3},
        {"AB", false, "a", 0, npos},
        {"", false, "anything", 0, 0},
        {"", false, "anything", 1, npos},
        {"", false, "", 0, 0},
        {"[1]", false, "x[1]", 0, 1},
        // Bytes above 127 compare as they are, never folded or sign-extended.
        {"\xE9T\xC9", false, "caf\xE9t\xC9", 0, 3},
        {"\xE9", false, "\xC9", 0, npos},
    };
    for (const Case& c : cases) {
        StringFinder finder(c.pattern, c.exact);
        EXPECT_EQ(finder.find(c.line, c.from), c.expected) << c.pattern << " in " << c.line;
    }
}

TEST(StringFinder, LongLinesAndLongStrings) {
    // Places across the sixteen-byte steps and at the very end.
    std::string line(1000, 'a');
    std::string pattern = "needle-" + std::string(40, 'z') + "-end";
    for (size_t at : {0u, 15u, 16u, 17u, 500u, 1000u - 51u}) {
        std::string text = line;
        text.replace(at, pattern.size(), pattern);
        text.resize(1000);
        StringFinder blind(pattern, false), exact(pattern, true);
        EXPECT_EQ(blind.find(text), at);
        EXPECT_EQ(exact.find(text), at);
    }
    // A near miss: first and last bytes fit, the middle does not.
    StringFinder finder("AXB", false);
    EXPECT_EQ(finder.find(std::string(64, 'a') + "ayb" + std::string(64, 'a') + "axb"), 131u);
    StringFinder longer(std::string(70, 'Q'), false);
    EXPECT_EQ(longer.find(std::string(69, 'q')), npos);
}

TEST(LineMatcher, Modes) {
    std::vector<std::string> strings = {"ALPHA", "BETA"};
    struct Case {
        MatchMode mode;
        bool both, first, neither;
    } cases[] = {
        {MatchMode::any, true, true, false},
        {MatchMode::all, true, false, false},
        {MatchMode::not_all, false, true, true},
        {MatchMode::none, false, false, true},
    };
    for (const Case& c : cases) {
        LineMatcher m(strings, false, c.mode);
        EXPECT_EQ(m.matches("beta and alpha"), c.both);
        EXPECT_EQ(m.matches("alpha only"), c.first);
        EXPECT_EQ(m.matches("gamma"), c.neither);
    }
}

TEST(LineMatcher, OccurrencesInOrder) {
    std::vector<std::string> strings = {"AB", "B", ""};
    LineMatcher m(strings, false, MatchMode::any);
    std::vector<Occurrence> found;
    m.occurrences("xabab", found);
    std::vector<std::pair<size_t, size_t>> got;
    for (const Occurrence& o : found) got.emplace_back(o.position, o.length);
    std::vector<std::pair<size_t, size_t>> want = {{0, 0}, {1, 2}, {2, 1}, {3, 2}, {4, 1}};
    EXPECT_EQ(got, want);
    // Occurrences of one string do not overlap.
    std::vector<std::string> aa = {"AA"};
    LineMatcher m2(aa, false, MatchMode::any);
    m2.occurrences("aaaaa", found);
    EXPECT_EQ(found.size(), 2u);
}

TEST(HighlightSpans, ShortensAndDropsOverlaps) {
    std::vector<Occurrence> occ = {{0, 0, 2}, {1, 2, 0}, {1, 4, 1}, {2, 1, 1}, {7, 2, 0}};
    std::vector<HighlightSpan> spans;
    highlight_spans(occ, spans);
    ASSERT_EQ(spans.size(), 3u);
    EXPECT_EQ(spans[0].begin, 1u);
    EXPECT_EQ(spans[0].end, 3u);
    EXPECT_EQ(spans[1].begin, 3u);  // the longer one, shortened
    EXPECT_EQ(spans[1].end, 5u);
    EXPECT_EQ(spans[2].begin, 7u);
}

TEST(LineFormatter, Formats) {
    std::string line("a\0b\x07" "c\td\x1b[1m\x0c\r", 13);
    struct Case {
        LineFormat format;
        const char* expected;
    } cases[] = {
        {LineFormat::text, "a<NUL>b<BEL>c\td<ESC>[1m\f\r"},
        {LineFormat::noff, "a<NUL>b<BEL>c\td<ESC>[1m\f\r"},
        {LineFormat::dump, "a<NUL>b<BEL>c<HT>d<ESC>[1m<FF><CR>"},
        {LineFormat::nonull, "ab<BEL>c<HT>d<ESC>[1m<FF><CR>"},
    };
    for (const Case& c : cases) {
        std::string out = "kept:";
        LineFormatter(c.format).append(line, out);
        EXPECT_EQ(out, std::string("kept:") + c.expected);
    }
    std::string out;
    LineFormatter(LineFormat::passall).append(line, out);
    EXPECT_EQ(out, line);
    EXPECT_EQ(control_name(31), "US");
    EXPECT_EQ(control_name(8), "BS");
}

TEST(WindowCounts, FromValues) {
    struct Case {
        std::vector<int64_t> values;
        uint32_t status;
        size_t before, after;
    } cases[] = {
        {{}, 1, 2, 2},    {{5}, 1, 2, 2},     {{4}, 1, 1, 2},         {{0}, 1, 0, 0},
        {{1, 3}, 1, 1, 3}, {{0, 0}, 1, 0, 0}, {{1, 2, 3}, cond::IVWINDOW, 0, 0},
        {{-1}, cond::SEARCH_VALERR, 0, 0},     {{2, -3}, cond::SEARCH_VALERR, 0, 0},
    };
    for (const Case& c : cases) {
        size_t before = 0, after = 0;
        EXPECT_EQ(window_counts(c.values, before, after), c.status);
        if (c.status != 1) continue;
        EXPECT_EQ(before, c.before);
        EXPECT_EQ(after, c.after);
    }
}

}  // namespace
}  // namespace dcl
