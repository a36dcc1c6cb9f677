// The comparison engine of DIFFERENCES: two files cut into records, the
// records normalised and hashed under the /IGNORE keywords, then walked in
// step, with a look-ahead after each mismatch for a place where a run of
// /MATCH records agrees again. It knows nothing of files or streams:
// record lists come in, difference sections go out.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace dcl {

// The options word of DIFFERENCES.
namespace diff_option {
inline constexpr uint32_t IGNORE = 0x1;
inline constexpr uint32_t MATCH = 0x2;
inline constexpr uint32_t MAXIMUM = 0x4;
inline constexpr uint32_t MERGED = 0x8;
inline constexpr uint32_t NUMBER = 0x20;
inline constexpr uint32_t OUTPUT = 0x40;
inline constexpr uint32_t PARALLEL = 0x80;
inline constexpr uint32_t WIDTH = 0x100;
inline constexpr uint32_t WINDOW = 0x200;
inline constexpr uint32_t BLANK_LINES = 0x1000;
inline constexpr uint32_t COMMENTS = 0x2000;
inline constexpr uint32_t EXACT = 0x4000;
inline constexpr uint32_t FORM_FEEDS = 0x8000;
inline constexpr uint32_t HEADER = 0x10000;
inline constexpr uint32_t PRETTY = 0x20000;
inline constexpr uint32_t SPACING = 0x40000;
inline constexpr uint32_t TRAILING_SPACES = 0x80000;
inline constexpr uint32_t IGNORE_KEYWORDS = 0xFF000;
inline constexpr uint32_t START = NUMBER;
}  // namespace diff_option

// The settings of one DIFFERENCES command, at their start values.
struct DiffSettings {
    uint32_t options = diff_option::START;
    int header_count = 2;
    int match_count = 3;
    int maximum = 0;
    int merged_count = 1;
    int parallel_count = 0;
    int width = 132;
    int window = 0;
};

// The longest record accepted, in bytes.
inline constexpr size_t kMaxDiffRecord = 65536;

// One record (line) of a file. The text points into the caller's buffer.
struct DiffRecord {
    std::string_view text;
    uint32_t hash = 0;
    int32_t number = 0;    // 1-based line number in its file
    int32_t section = 0;   // the difference section it belongs to; 0 none
    int32_t partner = -1;  // the other file's record it resynchronised with
};

using DiffRecords = std::vector<DiffRecord>;

// Cuts `buffer` into records at newlines, numbered from 1, into `records`
// (cleared first; its capacity is kept for the next command). A last line
// without a newline is a record too. 1, or RECTOOLNG for a record longer
// than kMaxDiffRecord.
uint32_t cut_records(std::string_view buffer, DiffRecords& records);

// Whether `c` counts as white space for the /IGNORE keywords.
inline bool is_diff_space(unsigned char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

// The record's hash under `options`; false when /IGNORE=BLANK_LINES drops
// it (nothing was left to hash).
bool hash_record(std::string_view text, uint32_t options, uint32_t& hash);

// The text that two records are compared by, into `out` (replaced).
void normalise_record(std::string& out, std::string_view text, uint32_t options);

// The header drop and the hashes: fills every record's hash and removes
// the records that /IGNORE drops.
void prepare_records(DiffRecords& records, const DiffSettings& settings);

// The records of one file in one section: [begin, end) of its list.
struct DiffRange {
    size_t begin = 0, end = 0;
    bool empty() const { return begin == end; }
    size_t size() const { return end - begin; }
};

struct DiffSection {
    int number = 0;
    DiffRange file[2];
};

struct DiffResult {
    std::vector<DiffSection> sections;
    int section_count = 0;
    int record_count = 0;
    bool cut = false;          // /MAXIMUM_DIFFERENCES cut it short
    bool interrupted = false;  // stopped by an interrupt
};

// Compares two prepared lists; sets the records' sections and partners.
// `stop` is asked now and then; when it says so the result is marked
// interrupted.
void compare_records(DiffRecords& file1, DiffRecords& file2, const DiffSettings& settings,
                     DiffResult& result, bool (*stop)() = nullptr);

// Where the comparison rejoined after a section: the other file's record
// matched with the record of `list` after `range` (that file's records in
// the section). -1 when none.
int64_t rejoin_point(const DiffRecords& list, const DiffRange& range);

}  // namespace dcl
