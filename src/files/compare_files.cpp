// The comparison engine of DIFFERENCES.
#include "files/compare_files.h"

#include <algorithm>
#include <cstring>
#include <limits>

#include "status/condition.h"

namespace dcl {

namespace {

// One byte's worth of the hash register's eight shift steps. The steps are
// linear over GF(2), so the whole register is spread with four lookups,
// one per byte of it, instead of eight shifts per byte of text.
uint32_t spread_slowly(uint32_t reg) {
    for (int k = 0; k < 8; ++k) {
        reg <<= 1;
        if (reg & 0x1000000) reg ^= 0x102100;
    }
    return reg;
}

struct SpreadTables {
    uint32_t part[4][256];
};

const SpreadTables& spread_tables() {
    static const SpreadTables tables = [] {
        SpreadTables t{};
        for (int part = 0; part < 4; ++part) {
            for (uint32_t v = 0; v < 256; ++v) t.part[part][v] = spread_slowly(v << (8 * part));
        }
        return t;
    }();
    return tables;
}

inline uint32_t spread(const SpreadTables& t, uint32_t reg) {
    return t.part[0][reg & 0xFF] ^ t.part[1][(reg >> 8) & 0xFF] ^ t.part[2][(reg >> 16) & 0xFF] ^
           t.part[3][reg >> 24];
}

}  // namespace

uint32_t cut_records(std::string_view buffer, DiffRecords& records) {
    records.clear();
    const char* at = buffer.data();
    const char* end = at + buffer.size();
    int32_t number = 0;
    while (at < end) {
        const void* nl = std::memchr(at, '\n', static_cast<size_t>(end - at));
        const char* stop = nl ? static_cast<const char*>(nl) : end;
        size_t length = static_cast<size_t>(stop - at);
        if (length > kMaxDiffRecord) return cond::DIFF_RECTOOLNG;
        DiffRecord& record = records.emplace_back();
        record.text = std::string_view(at, length);
        record.number = ++number;
        at = stop + 1;
    }
    return 1;
}

bool hash_record(std::string_view text, uint32_t options, uint32_t& hash) {
    using namespace diff_option;
    size_t end = text.size();
    if (options & COMMENTS) end = std::min(end, text.find('!'));
    if (options & TRAILING_SPACES) {
        while (end > 0 && is_diff_space(static_cast<unsigned char>(text[end - 1]))) --end;
    }
    const SpreadTables& tables = spread_tables();
    bool form_feeds = (options & FORM_FEEDS) != 0, spacing = (options & SPACING) != 0;
    bool in_space = false, taken = false;
    uint32_t reg = 0;
    for (size_t i = 0; i < end; ++i) {
        auto c = static_cast<unsigned char>(text[i]);
        if (c == 0 || (form_feeds && c == '\f')) continue;
        if (spacing && is_diff_space(c)) {
            if (in_space) continue;
            in_space = true;
            c = ' ';
        } else {
            in_space = false;
        }
        reg = spread(tables, reg | c);
        taken = true;
    }
    hash = reg >> 8;
    return taken || !(options & BLANK_LINES);
}

void normalise_record(std::string& out, std::string_view text, uint32_t options) {
    using namespace diff_option;
    out.clear();
    bool form_feeds = (options & FORM_FEEDS) != 0, spacing = (options & SPACING) != 0;
    bool comments = (options & COMMENTS) != 0, in_space = false;
    for (char ch : text) {
        auto c = static_cast<unsigned char>(ch);
        if (c == 0 || (form_feeds && c == '\f')) continue;
        if (comments && c == '!') break;
        if (spacing && is_diff_space(c)) {
            if (!in_space) out += ' ';
            in_space = true;
            continue;
        }
        in_space = false;
        out += ch;
    }
    if (options & TRAILING_SPACES) {
        while (!out.empty() && is_diff_space(static_cast<unsigned char>(out.back()))) out.pop_back();
    }
}

void prepare_records(DiffRecords& records, const DiffSettings& settings) {
    if ((settings.options & diff_option::HEADER) && !records.empty()) {
        std::string_view first = records.front().text;
        if (!first.empty() && first[0] == '\f') {
            size_t drop = static_cast<size_t>(std::max(settings.header_count, 0));
            if (first == "\f") ++drop;
            records.erase(records.begin(), records.begin() + static_cast<ptrdiff_t>(std::min(drop, records.size())));
        }
    }
    size_t kept = 0;
    for (DiffRecord& record : records) {
        if (!hash_record(record.text, settings.options, record.hash)) continue;
        records[kept++] = record;
    }
    records.resize(kept);
}

int64_t rejoin_point(const DiffRecords& list, const DiffRange& range) {
    return range.end < list.size() ? list[range.end].partner : -1;
}

}  // namespace dcl
