// The wildcard search engine and the matchers. A comma-separated list of
// VMS specifications with wildcards, device search lists and the ellipsis
// is turned into the directories it reaches, each with its matching files
// sorted by name. Commands do not call the engine directly: FileWalker
// (files/file_walker.h) runs it and applies the time, owner and exclusion
// selection.
#pragma once

#include <cstdint>
#include <ctime>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "files/filespec.h"
#include "files/protection.h"
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
    // False when only the directory entry was read: `mode` holds the file's
    // type then, and the other attributes are zero.
    bool status_known = true;

    std::string_view name() const { return std::string_view(path).substr(name_offset); }
};

// A file's size in blocks of 512 bytes, the last one partly used.
inline uint64_t blocks_of(uint64_t bytes) { return bytes / 512 + (bytes % 512 != 0 ? 1 : 0); }

// Exclusions beyond this many are translated (so errors in them show) but
// not applied.
inline constexpr size_t kMaxAppliedExclusions = 16;
// Room for the translated exclusions together.
inline constexpr size_t kExclusionSpace = 8192;

struct SearchSelection {
    std::vector<std::string> excludes;  // at most 16 are applied
    std::optional<VmsTime> before, since;
    std::optional<Uic> owner;           // the full ids
    int time_selector = TIME_STATUS_CHANGE;
};

// One directory the search walked, with the matching files in it sorted by
// name (byte order), each name once.
struct SearchDirectory {
    std::string path;  // ends in "/"
    std::vector<FoundFile> files;
};

// Asked between directories and files: true stops the search.
using InterruptCheck = std::function<bool()>;

// What one search reached. Several can exist at once; each belongs to the
// walker that filled it.
struct SearchTree {
    std::vector<SearchDirectory> directories;  // in the order found
    std::unordered_map<std::string, size_t> directory_index;  // path -> place
    std::string resultant_spec;  // VMS form of the last pattern translated

    void clear();
};

// Fills `tree` (cleared first) from the list. 1 when the whole list was
// searched (whether or not anything matched), 0 after an error it has
// reported or when `interrupted` said stop, VER for an explicit version.
// Without `with_status` a file is looked at only where its directory
// entry leaves its type unknown (links included): its name and type are
// all that is wanted.
uint32_t gather_files(SearchTree& tree, std::string_view specs, std::string_view default_spec,
                      const InterruptCheck& interrupted, bool with_status = true);

// A directory entry's name and type: the type starts at the last dot,
// which in the Unix dotfile mode may not be the first character.
void split_file_name(std::string_view entry, DotfileMode mode, std::string_view& name,
                     std::string_view& type);

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
