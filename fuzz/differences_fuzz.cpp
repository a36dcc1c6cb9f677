// Fuzzes the DIFFERENCES engine: cutting, /IGNORE normalisation and
// hashing, the walk with its look-ahead, /MAXIMUM_DIFFERENCES and the
// listings. Five leading bytes choose the settings; the rest is file 1, a
// 0xFF byte, then file 2. Checked: the sections are a true edit script
// (between and after them the records agree pairwise, their counts add
// up, each section starts with a mismatch); a file compared with itself,
// or with a copy changed only in what /IGNORE ignores, has no section; the
// listing stays within what the records and counts can produce.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "files/compare_files.h"
#include "files/compare_listing.h"

namespace {

using namespace dcl;
using namespace std::string_literals;

struct Compared {
    DiffRecords files[2];
    DiffResult result;
};

bool compare(std::string_view a, std::string_view b, const DiffSettings& s, Compared& c) {
    if (cut_records(a, c.files[0]) != 1 || cut_records(b, c.files[1]) != 1) return false;
    for (DiffRecords& list : c.files) prepare_records(list, s);
    compare_records(c.files[0], c.files[1], s, c.result);
    return true;
}

bool same(const DiffRecord& a, const DiffRecord& b, uint32_t options) {
    std::string x, y;
    normalise_record(x, a.text, options);
    normalise_record(y, b.text, options);
    return x == y;
}

void check(bool ok) {
    if (!ok) __builtin_trap();
}

// The records outside the sections pair up in order and agree.
void check_script(const Compared& c, const DiffSettings& s) {
    const DiffResult& r = c.result;
    size_t gap[2] = {0, 0}, rows = 0;
    int number = 0;
    for (const DiffSection& section : r.sections) {
        check(section.number == ++number);
        check(!section.file[0].empty() || !section.file[1].empty());
        for (int f = 0; f < 2; ++f) {
            const DiffRange& range = section.file[f];
            check(range.begin >= gap[f] && range.begin <= range.end && range.end <= c.files[f].size());
            for (size_t i = range.begin; i < range.end; ++i) check(c.files[f][i].section == number);
        }
        if (r.cut) return;
        size_t length = section.file[0].begin - gap[0];
        check(length == section.file[1].begin - gap[1]);
        for (size_t k = 0; k < length; ++k) check(same(c.files[0][gap[0] + k], c.files[1][gap[1] + k], s.options));
        if (!section.file[0].empty() && !section.file[1].empty())
            check(!same(c.files[0][section.file[0].begin], c.files[1][section.file[1].begin], s.options));
        rows += std::max(section.file[0].size(), section.file[1].size());
        gap[0] = section.file[0].end;
        gap[1] = section.file[1].end;
    }
    check(r.section_count == number && r.record_count == static_cast<int>(rows));
    size_t rest = c.files[0].size() - gap[0];
    check(rest == c.files[1].size() - gap[1]);
    for (size_t k = 0; k < rest; ++k) check(same(c.files[0][gap[0] + k], c.files[1][gap[1] + k], s.options));
}

// What the listing may hold at most: each record shown once in its section
// (numbered, made printable, wrapped), the context records, the rules and
// the side-by-side rows, and the summary.
void check_listing(const Compared& c, const DiffSettings& s) {
    DiffListing listing;
    listing.files[0] = &c.files[0];
    listing.files[1] = &c.files[1];
    listing.result = &c.result;
    listing.settings = &s;
    listing.names[0] = "DISK$USER:[FUZZ]ONE.TXT;1";
    listing.names[1] = "DISK$USER:[FUZZ]TWO.TXT;1";
    std::string out;
    write_sections(out, listing);
    write_summary(out, listing);
    auto shown = [](size_t length) { return 34 + 16 * length; };
    size_t width = static_cast<size_t>(s.width), longest = 0, bound = 8192;
    for (const DiffRecords& list : c.files)
        for (const DiffRecord& record : list) longest = std::max(longest, record.text.size());
    for (const DiffSection& section : c.result.sections) {
        bound += 128 + 6 * (width + 64);
        for (int f = 0; f < 2; ++f)
            for (size_t i = section.file[f].begin; i < section.file[f].end; ++i)
                bound += shown(c.files[f][i].text.size());
        bound += 2 * static_cast<size_t>(s.merged_count) * shown(longest);
        size_t rows = std::max(section.file[0].size(), section.file[1].size());
        bound += (rows + static_cast<size_t>(s.parallel_count)) * (width + 4);
    }
    check(out.size() <= bound);
}

// A small deterministic generator for the changes made to the copy.
struct Dice {
    uint64_t state;
    size_t roll(size_t n) {
        state ^= state << 13, state ^= state >> 7, state ^= state << 17;
        return n == 0 ? 0 : static_cast<size_t>(state % n);
    }
};

// A copy of `text` that differs only in what the /IGNORE keywords (and the
// NUL bytes, always dropped) leave out. The records a header drop looks at
// stay as they are.
std::string ignorable_copy(std::string_view text, const DiffSettings& s, Dice& dice) {
    using namespace diff_option;
    std::vector<std::string> records;
    size_t at = 0;
    while (at < text.size()) {
        size_t nl = std::min(text.find('\n', at), text.size());
        records.emplace_back(text.substr(at, nl - at));
        at = nl + 1;
    }
    size_t keep = (s.options & HEADER) ? static_cast<size_t>(s.header_count) + 2 : 0;
    std::string copy;
    for (size_t i = 0; i < records.size(); ++i) {
        std::string r = records[i];
        if (i >= keep) {
            // A record with nothing left that counts, which BLANK_LINES drops.
            if ((s.options & BLANK_LINES) && dice.roll(3) == 0) copy += dice.roll(2) ? "\n" : "\0\n"s;
            r.insert(dice.roll(r.size() + 1), 1, '\0');
            if (s.options & FORM_FEEDS) r.insert(dice.roll(r.size() + 1), 1, '\f');
            size_t space = r.find_first_of(" \t");
            if ((s.options & SPACING) && space != std::string::npos) r.insert(space, dice.roll(2) ? " " : "\t\v");
            if (s.options & TRAILING_SPACES) r += dice.roll(2) ? " \t" : "\r";
            if (s.options & COMMENTS) r += "! remark";
        }
        copy += r;
        if (i + 1 < records.size() || text.back() == '\n') copy += '\n';
    }
    return copy;
}

DiffSettings settings_from(const uint8_t* b) {
    using namespace diff_option;
    DiffSettings s;
    s.options = START | (uint32_t{b[0]} << 12);
    const uint32_t flags[] = {MERGED, PARALLEL, NUMBER, MAXIMUM, WINDOW, MATCH, WIDTH, IGNORE};
    for (int k = 0; k < 8; ++k)
        if (b[1] & (1u << k)) s.options ^= flags[k];
    s.match_count = 1 + b[2] % 5;
    s.window = 1 + (b[2] >> 3) % 12;
    s.merged_count = std::min(b[3] & 3, s.match_count);
    s.parallel_count = std::min((b[3] >> 2) & 3, s.match_count);
    s.header_count = (b[3] >> 4) & 3;
    s.maximum = 1 + (b[3] >> 6) * 3;
    s.width = 12 + b[4];
    return s;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 5) return 0;
    DiffSettings s = settings_from(data);
    std::string_view rest(reinterpret_cast<const char*>(data) + 5, size - 5);
    size_t split = rest.find('\xff');
    std::string_view one = rest.substr(0, split);
    std::string_view two = split == std::string_view::npos ? std::string_view() : rest.substr(split + 1);

    Compared c;
    if (!compare(one, two, s, c)) return 0;
    check_script(c, s);
    check_listing(c, s);

    Compared itself;
    compare(one, one, s, itself);
    check(itself.result.section_count == 0 && itself.result.sections.empty());

    if (one.empty()) return 0;
    Dice dice{0x9E3779B97F4A7C15ull ^ size ^ (uint64_t{data[0]} << 8) ^ (uint64_t{data[2]} << 16)};
    std::string copy = ignorable_copy(one, s, dice);
    Compared changed;
    if (!compare(one, copy, s, changed)) return 0;
    check(changed.result.section_count == 0);
    return 0;
}
