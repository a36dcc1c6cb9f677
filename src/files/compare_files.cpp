// The comparison engine of DIFFERENCES.
#include "files/compare_files.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <limits>

#include "status/condition.h"

namespace dcl {

namespace {

// The hash of the bytes a record keeps after its normalisation. It only
// picks the candidates that are compared in full, so any function of those
// bytes serves; this one takes eight bytes at a step, since hashing is
// most of the work of comparing two large files that mostly agree.
class RecordHash {
public:
    void take(unsigned char c) {
        word_ |= uint64_t{c} << (8 * filled_);
        if (++filled_ == 8) flush();
        ++count_;
    }
    // Eight bytes at once, as eight take() would; only when none is pending.
    void take_word(const char* bytes) {
        if constexpr (std::endian::native == std::endian::little) {
            std::memcpy(&word_, bytes, 8);
            flush();
            count_ += 8;
        } else {
            for (int k = 0; k < 8; ++k) take(static_cast<unsigned char>(bytes[k]));
        }
    }
    size_t count() const { return count_; }
    // Fewer than eight bytes, as as many take() would; none may be pending.
    void take_tail(const char* bytes, size_t n) {
        if constexpr (std::endian::native == std::endian::little) {
            std::memcpy(&word_, bytes, n);
            filled_ = static_cast<int>(n);
            count_ += n;
        } else {
            for (size_t k = 0; k < n; ++k) take(static_cast<unsigned char>(bytes[k]));
        }
    }
    uint32_t value() const {
        uint64_t h = mix(h_ ^ word_, count_);
        return static_cast<uint32_t>(h ^ (h >> 32));
    }

private:
    static uint64_t mix(uint64_t h, uint64_t word) {
        h = (h ^ word) * 0x9E3779B97F4A7C15ULL;
        return h ^ (h >> 29);
    }
    void flush() {
        h_ = mix(h_, word_);
        word_ = 0;
        filled_ = 0;
    }

    uint64_t h_ = 0x243F6A8885A308D3ULL, word_ = 0;
    int filled_ = 0;
    size_t count_ = 0;
};

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
        // NUL bytes never count, so white space before them is trailing too,
        // as normalise_record sees it.
        while (end > 0 && (is_diff_space(static_cast<unsigned char>(text[end - 1])) || text[end - 1] == '\0')) --end;
    }
    bool form_feeds = (options & FORM_FEEDS) != 0, spacing = (options & SPACING) != 0;
    RecordHash h;
    size_t i = 0;
    // Most records keep every byte: those go in eight at a time.
    if (!form_feeds && !spacing && !std::memchr(text.data(), 0, end)) {
        for (; i + 8 <= end; i += 8) h.take_word(text.data() + i);
        h.take_tail(text.data() + i, end - i);
        i = end;
    }
    bool in_space = false;
    for (; i < end; ++i) {
        auto c = static_cast<unsigned char>(text[i]);
        if (c == 0 || (form_feeds && c == '\f')) continue;
        if (spacing && is_diff_space(c)) {
            if (in_space) continue;
            in_space = true;
            c = ' ';
        } else {
            in_space = false;
        }
        h.take(c);
    }
    hash = h.value();
    return h.count() > 0 || !(options & BLANK_LINES);
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
