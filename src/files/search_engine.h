// The matching engine of SEARCH: the search strings prepared once per
// command, the decision whether a line matches (AND, OR, NAND, NOR), the
// occurrences to highlight, and the way a line's bytes are shown. It knows
// nothing of files, terminals or streams: lines come in as text, and what
// is to be written goes out into buffers the caller reuses.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace dcl {

enum class MatchMode : uint8_t {
    any,      // OR: at least one string occurs
    all,      // AND: every string occurs
    not_all,  // NAND: at least one string is missing
    none,     // NOR: no string occurs
};

enum class LineFormat : uint8_t {
    text,     // control characters by name, except the layout ones
    noff,     // the same (form feeds stay as they are)
    dump,     // every control character by name
    nonull,   // like dump, with NUL bytes left out
    passall,  // every byte as it is
};

// One occurrence of search string `string` in a line.
struct Occurrence {
    size_t position = 0, length = 0;
    size_t string = 0;
};

// A stretch of a line to show highlighted: [begin, end).
struct HighlightSpan {
    size_t begin = 0, end = 0;
};

// One search string, ready to be looked for many times. Case-blind unless
// exact: ASCII letters compare in upper case, other bytes as they are.
class StringFinder {
public:
    StringFinder(std::string_view pattern, bool exact);

    // Where the first occurrence at or after `from` starts, or npos. An
    // empty string occurs once, at the start of the line.
    size_t find(std::string_view line, size_t from = 0) const;
    size_t size() const { return pattern_.size(); }

private:
    bool same_at(const unsigned char* at) const;
    size_t find_scalar(const unsigned char* text, size_t from, size_t last) const;

    std::string pattern_;  // upper-cased unless exact
    bool exact_;
    // The bytes that equal the first and the last byte of the pattern.
    unsigned char first_[2] = {0, 0}, last_[2] = {0, 0};
};

// The strings of one command and how their results combine.
class LineMatcher {
public:
    LineMatcher(std::span<const std::string> strings, bool exact, MatchMode mode);

    // Whether the line matches; stops looking as soon as the answer is known.
    bool matches(std::string_view line) const;
    // Every occurrence of every string in the line, by position (ties in
    // the order of the strings); an occurrence of a string does not
    // overlap another of the same string. `out` is cleared first.
    void occurrences(std::string_view line, std::vector<Occurrence>& out) const;
    size_t strings() const { return finders_.size(); }

    // OR mode: a line matches when any string occurs in it.
    bool matches_any() const { return mode_ == MatchMode::any; }
    // Where the first occurrence of any string starts in `text` (many
    // lines), or npos: in OR mode no line that ends before it can match.
    size_t first_occurrence(std::string_view text) const;

private:
    std::vector<StringFinder> finders_;
    MatchMode mode_;
};

// The stretches to highlight from occurrences in order of position: each
// occurrence, shortened where it overlaps one taken before it, dropped when
// nothing is left. `out` is cleared first.
void highlight_spans(std::span<const Occurrence> occurrences, std::vector<HighlightSpan>& out);

// The name of a control character (0-31), such as "NUL" or "BEL".
std::string_view control_name(unsigned char c);

// How a line's bytes are written in one format.
class LineFormatter {
public:
    explicit LineFormatter(LineFormat format);
    // Appends `text` as the format shows it (control characters as "<NAME>").
    void append(std::string_view text, std::string& out) const;

private:
    enum Action : uint8_t { keep, name, drop };
    Action actions_[32];
    bool passall_;
};

// The context window from the values of /WINDOW (none given: 2 and 2; one
// number n: the n lines around a match, n - 1 of them context; two: before
// and after). 1, IVWINDOW for more than two numbers, SEARCH_VALERR for a
// negative one.
uint32_t window_counts(std::span<const int64_t> values, size_t& before, size_t& after);

}  // namespace dcl
