// DIRECTORY's listing: the files a wildcard search selects, in the VMS
// layouts (headings per directory, columns of names or one line per file
// with size, dates, owner, protection and file identifier, the /FULL
// block, totals per directory and a grand total).
#pragma once

#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "files/search.h"
#include "files/vms_time.h"

namespace dcl {

// The option word's bits.
enum DirectoryBit : uint32_t {
    DIR_ACCESS_DATE = 0x1,
    DIR_MODIFIED_DATE = 0x2,
    DIR_STATUS_DATE = 0x4,
    DIR_DATES = 0x7,
    DIR_FILE_ID = 0x8,
    DIR_FULL = 0x10,
    DIR_GRAND_TOTAL = 0x20,
    DIR_HEADING = 0x40,
    DIR_OWNER = 0x80,
    DIR_PROTECTION = 0x100,
    DIR_ALLOCATED = 0x200,
    DIR_USED = 0x400,
    DIR_SIZES = 0x600,
    DIR_TOTAL = 0x800,
    DIR_TRAILING = 0x1000,
    DIR_SELECT_ACCESSED = 0x2000,
    DIR_SELECT_STATUS = 0x4000,
    DIR_COLUMNS = 0x10000,
    DIR_WIDTH_DISPLAY = 0x20000,
    DIR_WIDTH_FILE = 0x40000,
    DIR_WIDTH_OWNER = 0x80000,
    DIR_WIDTH_SIZE = 0x100000,
    DIR_WIDTHS = 0x1F0000,
    DIR_BEFORE = 0x2000000,
    DIR_BY_OWNER = 0x4000000,
    DIR_DOTFILES = 0x8000000,
    DIR_EXCLUDE = 0x10000000,
    DIR_SELECT_MODIFIED = 0x20000000,
    DIR_OUTPUT = 0x40000000,
    DIR_SINCE = 0x80000000,
};

inline constexpr uint32_t kDirectoryDefaultWord = 0x40011040;

// The widths a listing starts with, and the largest /WIDTH accepts.
inline constexpr int kDefaultFileWidth = 19, kDefaultOwnerWidth = 20, kDefaultSizeWidth = 6;
inline constexpr int kMaxDisplayWidth = 1024, kMaxFileWidth = 255, kMaxOwnerWidth = 65;
inline constexpr int kMaxSizeWidth = 20;

// The option word and record of one DIRECTORY command.
struct DirectoryOptions {
    uint32_t word = kDirectoryDefaultWord;
    std::optional<VmsTime> before, since;
    std::optional<Uic> owner;
    std::vector<std::string> excludes;
    int columns = 4;
    int display_width = 0;                  // 0: the screen's
    int file_width = kDefaultFileWidth;
    int owner_width = kDefaultOwnerWidth;
    int size_width = kDefaultSizeWidth;
    uint64_t max_blocks = 0, min_blocks = 0;  // 0: no limit
    int time_selector = TIME_STATUS_CHANGE;   // what /BEFORE and /SINCE compare
};

// A size field: `blocks` in `width` characters (6 when 0, at most 20),
// all "*" when the number is longer; with both size bits in `word`,
// "n/n" (right- then left-aligned).
void size_text(std::string& out, uint64_t blocks, uint32_t word, int width);

// "(RWED,owner,group,world)" for a mode's permission bits.
void protection_text(std::string& out, uint32_t mode);

// Where the listing writes, and how wide its lines may be.
struct ListingTarget {
    FILE* out = nullptr;
    bool output_wanted = true;  // false: count and judge, write nothing
    int screen_width = 80;
};

// Lists the files of `specs` (a comma-separated list; default "*.*").
// Returns 1; DIRECT_NOFILES after queueing the hidden "file not found"
// when no file was listed; the search's failure (0 when it was reported).
uint32_t list_directory(const DirectoryOptions& options, std::string_view specs,
                        const ListingTarget& target, const InterruptCheck& interrupted);

}  // namespace dcl
