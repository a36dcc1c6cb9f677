// The listings of DIFFERENCES.
#include "files/compare_listing.h"

#include <algorithm>
#include <cstdio>

namespace dcl {

namespace {

constexpr const char* kLineEndNames[] = {"<LF>", "<VT>", "<FF>", "<CR>"};

// A record index of `list`, or -1 when `index` is past its end.
int64_t existing(const DiffRecords& list, int64_t index) {
    return index >= 0 && static_cast<size_t>(index) < list.size() ? index : -1;
}

// Where a file's context starts after a section: the record after its
// last difference record, or, when it has none there, the record that
// the other file's context start was matched with.
int64_t context_start(const DiffRecords& list, const DiffRange& range, int64_t other_partner) {
    if (!range.empty()) return existing(list, static_cast<int64_t>(range.end));
    return existing(list, other_partner);
}

void write_record(std::string& out, std::string& line, const DiffRecord& record, const DiffListing& listing) {
    format_record(line, record, listing.settings->options);
    print_wrapped(out, line, listing.settings->width);
}

// One file's half of a block: its difference records, then the context.
void write_half(std::string& out, const DiffListing& listing, int file, const DiffRange& range, int64_t start) {
    const DiffRecords& list = *listing.files[file];
    std::string line;
    print_wrapped(out, "File " + listing.names[file], listing.settings->width);
    for (size_t i = range.begin; i < range.end; ++i) write_record(out, line, list[i], listing);
    if (listing.settings->merged_count == 0 || start < 0 || listing.result->cut) return;
    size_t end = std::min(list.size(), static_cast<size_t>(start) + static_cast<size_t>(listing.settings->merged_count));
    for (auto i = static_cast<size_t>(start); i < end; ++i) write_record(out, line, list[i], listing);
}

void write_blocks(std::string& out, const DiffListing& listing) {
    const DiffRecords& f1 = *listing.files[0];
    const DiffRecords& f2 = *listing.files[1];
    for (const DiffSection& section : listing.result->sections) {
        out += "************\n";
        int64_t start1 = context_start(f1, section.file[0], rejoin_point(f2, section.file[1]));
        write_half(out, listing, 0, section.file[0], start1);
        out += "******\n";
        int64_t start2 = context_start(f2, section.file[1], start1 >= 0 ? f1[static_cast<size_t>(start1)].partner : -1);
        write_half(out, listing, 1, section.file[1], start2);
        out += "************\n";
    }
    out += "\n";
}

// The dash line above a section, with each file's first record number.
std::string section_rule(const DiffListing& listing, const DiffSection& section) {
    int width = listing.settings->width;
    std::string rule(static_cast<size_t>(width - 1), '-');
    if (!(listing.settings->options & diff_option::NUMBER)) return rule;
    for (int file = 0; file < 2; ++file) {
        const DiffRecords& list = *listing.files[file];
        const DiffRange& range = section.file[file];
        int64_t first = range.empty() ? existing(list, rejoin_point(*listing.files[1 - file], section.file[1 - file]))
                                      : static_cast<int64_t>(range.begin);
        if (first < 0) continue;
        std::string marker = " " + std::to_string(list[static_cast<size_t>(first)].number) + " ";
        marker.resize(std::min(marker.size(), rule.size()));
        size_t at = static_cast<size_t>(std::max(file == 0 ? width / 4 - 1 : 3 * width / 4 - 1, 0));
        rule.replace(std::min(at, rule.size() - marker.size()), marker.size(), marker);
    }
    return rule;
}

// The rows of two runs of records side by side, " " where one has none.
void write_rows(std::string& out, const DiffListing& listing, int64_t left, int64_t right, size_t rows,
                size_t left_count, size_t right_count) {
    uint32_t options = listing.settings->options & ~diff_option::NUMBER;
    std::string a, b;
    for (size_t row = 0; row < rows; ++row) {
        a = " ", b = " ";
        if (left >= 0 && row < left_count) format_record(a, (*listing.files[0])[static_cast<size_t>(left) + row], options);
        if (right >= 0 && row < right_count) format_record(b, (*listing.files[1])[static_cast<size_t>(right) + row], options);
        print_parallel(out, a, b, listing.settings->width);
    }
}

void write_context_rows(std::string& out, const DiffListing& listing, const DiffSection& section) {
    const DiffRecords& f1 = *listing.files[0];
    const DiffRecords& f2 = *listing.files[1];
    size_t rows = std::max(section.file[0].size(), section.file[1].size());
    int64_t start1 = section.file[0].size() == rows ? existing(f1, static_cast<int64_t>(section.file[0].end)) : -1;
    int64_t start2 = section.file[1].size() == rows ? existing(f2, static_cast<int64_t>(section.file[1].end)) : -1;
    if (section.file[0].size() != rows && start2 >= 0) start1 = existing(f1, f2[static_cast<size_t>(start2)].partner);
    if (section.file[1].size() != rows && start1 >= 0) start2 = existing(f2, f1[static_cast<size_t>(start1)].partner);
    size_t left = start1 < 0 ? 0 : f1.size() - static_cast<size_t>(start1);
    size_t right = start2 < 0 ? 0 : f2.size() - static_cast<size_t>(start2);
    size_t count = std::min(static_cast<size_t>(listing.settings->parallel_count), std::max(left, right));
    write_rows(out, listing, start1, start2, count, left, right);
}

void write_side_by_side(std::string& out, const DiffListing& listing) {
    int width = listing.settings->width;
    std::string dashes(static_cast<size_t>(width - 1), '-');
    out += dashes + "\n";
    print_parallel(out, "File " + listing.names[0], "File " + listing.names[1], width);
    for (const DiffSection& section : listing.result->sections) {
        out += section_rule(listing, section) + "\n";
        size_t rows = std::max(section.file[0].size(), section.file[1].size());
        write_rows(out, listing, static_cast<int64_t>(section.file[0].begin), static_cast<int64_t>(section.file[1].begin),
                   rows, section.file[0].size(), section.file[1].size());
        if (listing.settings->parallel_count > 0) write_context_rows(out, listing, section);
    }
    out += dashes + "\n\n";
}

}  // namespace

void prettify_text(std::string& text) {
    std::string shown;
    shown.reserve(text.size());
    for (char ch : text) {
        auto c = static_cast<unsigned char>(ch);
        if (c >= 32 && c <= 126) {
            shown += ch;
        } else if (c == '\t') {
            shown.append(8 - shown.size() % 8, ' ');
        } else if (c >= 10 && c <= 13) {
            shown += kLineEndNames[c - 10];
        } else {
            shown += '.';
        }
    }
    text.swap(shown);
}

void format_record(std::string& out, const DiffRecord& record, uint32_t options) {
    using namespace diff_option;
    out.clear();
    if (options & NUMBER) {
        char number[16];
        int n = std::snprintf(number, sizeof number, "%5d   ", record.number);
        out.append(number, static_cast<size_t>(n));
    }
    if (options & EXACT) {
        bool shown_as_dot = (options & PRETTY) != 0;
        for (char c : record.text) {
            if (c != '\0') out += c;
            else if (shown_as_dot) out += '.';
        }
    } else {
        std::string normal;
        normalise_record(normal, record.text, options);
        out += normal;
    }
    if (options & (PRETTY | PARALLEL)) prettify_text(out);
}

void print_wrapped(std::string& out, std::string_view text, int width) {
    auto piece = static_cast<size_t>(std::max(width - 1, 1));
    while (text.size() > static_cast<size_t>(width)) {
        out.append(text.substr(0, piece));
        out += "-\n";
        text.remove_prefix(piece);
    }
    out.append(text);
    out += '\n';
}

void print_parallel(std::string& out, std::string_view left, std::string_view right, int width) {
    auto half = static_cast<size_t>(std::max(width / 2 - 2, 0));
    left = left.substr(0, std::min(left.size(), half));
    right = right.substr(0, std::min(right.size(), half));
    out.append(left);
    out.append(half - left.size(), ' ');
    out += " | ";
    out.append(right.empty() ? " " : right);
    out += '\n';
}

void write_sections(std::string& out, const DiffListing& listing) {
    if (listing.result->section_count == 0) return;
    uint32_t options = listing.settings->options;
    bool parallel = (options & diff_option::PARALLEL) != 0;
    if (parallel) write_side_by_side(out, listing);
    if (!parallel || (options & diff_option::MERGED)) write_blocks(out, listing);
}

void write_summary(std::string& out, const DiffListing& listing) {
    using namespace diff_option;
    const DiffSettings& s = *listing.settings;
    int width = s.width;
    print_wrapped(out, "Number of difference sections found: " + std::to_string(listing.result->section_count), width);
    print_wrapped(out, "Number of difference records found: " + std::to_string(listing.result->record_count), width);
    print_wrapped(out, "", width);
    std::string keywords;
    auto keyword = [&](uint32_t bit, const std::string& name) {
        if (!(s.options & bit)) return;
        if (!keywords.empty()) keywords += ',';
        keywords += name;
    };
    keyword(SPACING, "SPACING");
    keyword(TRAILING_SPACES, "TRAILING_SPACES");
    keyword(PRETTY, "PRETTY");
    keyword(HEADER, "HEADER=" + std::to_string(s.header_count));
    keyword(FORM_FEEDS, "FORM_FEEDS");
    keyword(EXACT, "EXACT");
    keyword(COMMENTS, "COMMENTS");
    keyword(BLANK_LINES, "BLANK_LINES");
    std::string echo = "DIFFERENCES /IGNORE=(" + keywords + ")";
    bool parallel_only = (s.options & PARALLEL) && !(s.options & MERGED);
    if ((s.options & WIDTH) || !listing.terminal) echo += "/WIDTH=" + std::to_string(width);
    if (s.options & MATCH) echo += "/MATCH=" + std::to_string(s.match_count);
    if (s.options & MAXIMUM) echo += "/MAXIMUM_DIFFERENCES=" + std::to_string(s.maximum);
    if (!parallel_only) echo += "/MERGED=" + std::to_string(s.merged_count);
    if (!(s.options & NUMBER)) echo += "/NONUMBER";
    if (s.options & OUTPUT) echo += "/OUTPUT=" + listing.output_name;
    if (s.options & PARALLEL) echo += "/PARALLEL=" + std::to_string(s.parallel_count);
    if (s.options & WINDOW) echo += "/WINDOW=" + std::to_string(s.window);
    print_wrapped(out, echo + "-", width);
    print_wrapped(out, "    " + listing.names[0] + "-", width);
    print_wrapped(out, "    " + listing.names[1], width);
}

}  // namespace dcl
