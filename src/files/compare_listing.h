// The listings of DIFFERENCES, built as text: the difference sections as
// blocks (file 1, then file 2, each with context records) or side by side,
// the summary and the echo of the options in force.
#pragma once

#include <string>
#include <string_view>

#include "files/compare_files.h"

namespace dcl {

// What a listing shows: the compared lists, the result, and the names.
struct DiffListing {
    const DiffRecords* files[2] = {nullptr, nullptr};
    const DiffResult* result = nullptr;
    const DiffSettings* settings = nullptr;
    std::string names[2];      // the files' names as shown (VMS form)
    std::string output_name;   // /OUTPUT's file, VMS form
    bool terminal = false;     // the listing goes to a terminal
};

// Printable characters kept; tabs expanded to columns of 8; LF, VT, FF
// and CR by name; any other byte as ".".
void prettify_text(std::string& text);

// How a record is shown under `options`, into `out`.
void format_record(std::string& out, const DiffRecord& record, uint32_t options);

// `text` as lines of at most `width` characters, each cut one marked "-".
void print_wrapped(std::string& out, std::string_view text, int width);

// One row of the side-by-side listing.
void print_parallel(std::string& out, std::string_view left, std::string_view right, int width);

// The side-by-side listing (/PARALLEL) and the blocks, as the options ask.
void write_sections(std::string& out, const DiffListing& listing);

// The two counts and the option echo with the files' names.
void write_summary(std::string& out, const DiffListing& listing);

}  // namespace dcl
