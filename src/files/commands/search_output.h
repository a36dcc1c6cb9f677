// SEARCH's reading and writing of one file's lines: the line reader over a
// descriptor or a stream, and the printer that decides, for each line read,
// what is shown (matched lines, context windows, headings, numbers,
// highlighting). search.cpp walks the files and feeds them through these.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include "files/search_engine.h"

namespace dcl {

// The longest line read, not counting its newline.
inline constexpr size_t kSearchLineMax = 65536;

// What the command's qualifiers ask of the output.
struct SearchOptions {
    bool confirm = false, exact = false, heading = true, log = false;
    bool numbers = false, remaining = false;
    bool output_wanted = true;  // false after /NOOUTPUT
    bool names_only = false;    // /WINDOW with both counts 0: file names, no lines
    size_t before = 0, after = 0;
    LineFormat format = LineFormat::text;
    MatchMode mode = MatchMode::any;
    // The terminal's sequences around a highlighted occurrence; empty: none.
    std::string highlight_start, highlight_end;
};

// Lines from a descriptor (or a stdio stream that may hold buffered input),
// each without its newline; a last line without one is a line too. The
// buffer belongs to the caller and serves every file of the command.
class LineReader {
public:
    enum class Result { line, end, overflow, failure };
    LineReader(std::vector<char>& buffer, int fd) : buffer_(buffer), fd_(fd) {}
    LineReader(std::vector<char>& buffer, FILE* stream) : buffer_(buffer), stream_(stream) {}

    // The next line, valid until the next call. `overflow`: a line longer
    // than kSearchLineMax; `failure`: a read failed (errno tells why).
    Result next(std::string_view& line);
    // The room a buffer needs: the longest line and its newline, and a
    // block to read into beside them.
    static size_t buffer_size();

    // The data read from the start of `line` (the last line handed out) on,
    // valid until the next refill.
    std::string_view rest_from(std::string_view line) const {
        return {line.data(), static_cast<size_t>(buffer_.data() + end_ - line.data())};
    }
    // Counts the refills: views of the data are stale once it changes.
    uint64_t refills() const { return refills_; }

private:
    bool fill();

    std::vector<char>& buffer_;
    int fd_ = -1;
    FILE* stream_ = nullptr;
    size_t start_ = 0, end_ = 0;  // the bytes read and not yet handed out
    uint64_t refills_ = 0;
    bool at_end_ = false, failed_ = false;
};

// The lines of one file after another, through the matcher to `out`.
class SearchPrinter {
public:
    SearchPrinter(FILE* out, const SearchOptions& options, const LineMatcher& matcher);

    // A new file: `name` for the heading, `show_name` whether it is shown.
    void begin_file(std::string_view name, bool show_name);
    void take_line(std::string_view line);
    // Whether a line that does not match is now only counted (no window
    // around a match is being kept or printed), and that counting.
    bool only_counts_unmatched() const { return !printing_rest_ && after_left_ == 0 && options_.before == 0; }
    void take_unmatched() { ++records_; }
    const LineMatcher& matcher() const { return matcher_; }
    uint64_t records() const { return records_; }
    uint64_t matches() const { return matches_; }

private:
    void take_match(std::string_view line);
    void remember(std::string_view line);
    void print_line(std::string_view line, uint64_t record, bool matched);
    void append_highlighted(std::string_view line);

    // One line kept for a before-window, with its record number.
    struct KeptLine {
        std::string text;
        uint64_t record = 0;
    };

    FILE* out_;
    const SearchOptions& options_;
    const LineMatcher& matcher_;
    LineFormatter formatter_;
    std::string name_;
    bool show_name_ = false;
    uint64_t records_ = 0, matches_ = 0;
    size_t after_left_ = 0;  // context lines still to print after a match
    bool printing_rest_ = false;  // /REMAINING after the first match
    // The before-window ring: `kept_count_` lines ending just before
    // `kept_next_`; slots keep their capacity from line to line.
    std::vector<KeptLine> kept_;
    size_t kept_next_ = 0, kept_count_ = 0;
    std::string text_;  // the line being written
    std::vector<Occurrence> occurrences_;
    std::vector<HighlightSpan> spans_;
};

}  // namespace dcl
