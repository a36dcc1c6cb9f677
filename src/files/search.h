// The wildcard search: a comma-separated list of VMS specifications with
// wildcards, device search lists and the ellipsis, turned into the sorted
// list of the files they name, filtered by time, owner and exclusions.
#pragma once

#include <cstdint>
#include <ctime>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "files/vms_time.h"

namespace dcl {

// Which of a file's times /BEFORE and /SINCE compare.
enum TimeSelector : int {
    TIME_STATUS_CHANGE = 0,
    TIME_MODIFIED = 1,
    TIME_ACCESSED = 2,
};

struct FoundFile {
    std::string path;        // full Unix path
    size_t name_offset = 0;  // where the file name starts in `path`
    uint32_t mode = 0;
    uint64_t size = 0;
    uint64_t inode = 0;
    uint64_t device = 0;
    uint32_t owner = 0;
    uint32_t group = 0;
    int64_t accessed = 0, modified = 0, changed = 0;
    uint32_t flag = 0;

    std::string_view name() const { return std::string_view(path).substr(name_offset); }
};

// Exclusions beyond this many are translated (so errors in them show) but
// not applied.
inline constexpr size_t kMaxAppliedExclusions = 16;
// Room for the translated exclusions together.
inline constexpr size_t kExclusionSpace = 8192;

struct SearchSelection {
    std::vector<std::string> excludes;  // at most 16 are applied
    std::optional<VmsTime> before, since;
    std::optional<uint32_t> owner;      // group << 16 | user
    int time_selector = TIME_STATUS_CHANGE;
};

// One directory the search walked, with the matching files in it sorted by
// name (byte order), each name once.
struct SearchDirectory {
    std::string path;  // ends in "/"
    std::vector<FoundFile> files;
};

// The state of the one search at a time. The vectors are cleared, not
// freed, between searches, so their storage is reused.
struct FileSearch {
    std::vector<SearchDirectory> directories;  // in the order found
    std::unordered_map<std::string, size_t> directory_index;  // path -> place
    std::vector<FoundFile> results;  // directory order, then name order
    size_t next = 0;                 // next_found_file's position
    std::string resultant_spec;      // VMS form of the last translation
};

FileSearch& file_search();
// Releases the records of the last search (the resultant specification
// stays); a new search starts with this.
void release_search_records();
void reset_file_search();

// Builds the result list. Returns 1 when any file matched the
// specifications (even if the filters rejected all), FNF when none did, 0
// after an error it has already reported, or VER (an explicit version) or
// BUFOVF (exclusions too long) for the caller to report. `result_spec`
// receives the VMS form of the last specification translated when no file
// passed the filters (file_search().resultant_spec always has it).
uint32_t search_files(std::string& result_spec, std::string_view specs,
                      std::string_view default_spec, const SearchSelection& selection);

// The next file in VMS form (a directory with the type ".dir"); false at
// the end, which also releases the list.
bool next_found_file(std::string& vms_name);

// Names and types: "*" any run, "%" (or "?") one character, letters without
// case, quoted text as written.
bool match_name(std::string_view pattern, std::string_view name);
// Directory paths: as names, and "[" matches "<", "]" matches ">", and the
// marker "/./" matches any number of directory levels.
bool match_directory(std::string_view pattern, std::string_view path);
// An exclusion (directory, name and optional type) against a file's path.
bool match_exclude(std::string_view pattern, std::string_view path);
// A pattern's type against a file's type: "", "." and ".*" take files
// without a type; "" and "." take only those.
bool match_type(std::string_view pattern_type, std::string_view file_type);

// A pattern compiled once and matched against many names. Matching is a
// simulation of all positions at once, linear in the text for a given
// pattern: no pattern makes it backtrack.
class WildcardPattern {
public:
    WildcardPattern(std::string_view pattern, bool directory);
    bool matches(std::string_view text) const;
    // The pattern has "*", "%" or "?" outside quotes.
    bool has_wildcards() const { return wild_; }

private:
    enum class Step : uint8_t { folded, exact, one, run, deep_enter, deep_inside };
    struct Element {
        Step step;
        char c;
    };

    void advance(std::vector<char>& from, std::vector<char>& to, char c) const;
    void close(std::vector<char>& states) const;
    bool accepting(const std::vector<char>& states) const;

    std::vector<Element> elements_;
    bool directory_ = false;
    bool ends_in_dot_ = false;  // an unquoted final "." may match nothing
    bool wild_ = false;
    mutable std::vector<char> current_, following_;  // reused between calls
};

}  // namespace dcl
