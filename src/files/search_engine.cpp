// The matching engine of SEARCH.
#include "files/search_engine.h"

#include <algorithm>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "status/condition.h"

namespace dcl {

namespace {

constexpr unsigned char fold(unsigned char c) {
    return c >= 'a' && c <= 'z' ? static_cast<unsigned char>(c - 32) : c;
}

// The lower-case partner of an upper-case letter; the byte itself otherwise.
constexpr unsigned char partner(unsigned char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<unsigned char>(c + 32) : c;
}

constexpr std::string_view kControlNames[32] = {
    "NUL", "SOH", "STX", "ETX", "EOT", "ENQ", "ACK", "BEL", "BS",  "HT",  "LF",
    "VT",  "FF",  "CR",  "SO",  "SI",  "DLE", "DC1", "DC2", "DC3", "DC4", "NAK",
    "SYN", "ETB", "CAN", "EM",  "SUB", "ESC", "FS",  "GS",  "RS",  "US",
};

}  // namespace

StringFinder::StringFinder(std::string_view pattern, bool exact) : pattern_(pattern), exact_(exact) {
    if (!exact_) {
        for (char& c : pattern_) c = static_cast<char>(fold(static_cast<unsigned char>(c)));
    }
    if (pattern_.empty()) return;
    unsigned char first = static_cast<unsigned char>(pattern_.front());
    unsigned char last = static_cast<unsigned char>(pattern_.back());
    first_[0] = first_[1] = first;
    last_[0] = last_[1] = last;
    if (!exact_) {
        first_[1] = partner(first);
        last_[1] = partner(last);
    }
}

bool StringFinder::same_at(const unsigned char* at) const {
    const auto* p = reinterpret_cast<const unsigned char*>(pattern_.data());
    size_t n = pattern_.size();
    if (exact_) return std::memcmp(at, p, n) == 0;
    for (size_t k = 0; k < n; ++k) {
        if (fold(at[k]) != p[k]) return false;
    }
    return true;
}

// Candidates by the first byte, `last` being the last start to try.
size_t StringFinder::find_scalar(const unsigned char* text, size_t from, size_t last) const {
    for (size_t i = from; i <= last; ++i) {
        if ((text[i] == first_[0] || text[i] == first_[1]) && same_at(text + i)) return i;
    }
    return std::string_view::npos;
}

size_t StringFinder::find(std::string_view line, size_t from) const {
    size_t m = pattern_.size(), n = line.size();
    if (m == 0) return from == 0 ? 0 : std::string_view::npos;
    if (from > n || n - from < m) return std::string_view::npos;
    const auto* text = reinterpret_cast<const unsigned char*>(line.data());
    size_t last = n - m;
    size_t i = from;
#if defined(__SSE2__)
    // Sixteen starts at a time: a start is a candidate when both its first
    // and its last byte fit, which leaves few to compare in full.
    const __m128i f0 = _mm_set1_epi8(static_cast<char>(first_[0]));
    const __m128i f1 = _mm_set1_epi8(static_cast<char>(first_[1]));
    const __m128i l0 = _mm_set1_epi8(static_cast<char>(last_[0]));
    const __m128i l1 = _mm_set1_epi8(static_cast<char>(last_[1]));
    for (; i + 16 <= last + 1; i += 16) {
        __m128i head = _mm_loadu_si128(reinterpret_cast<const __m128i*>(text + i));
        __m128i tail = _mm_loadu_si128(reinterpret_cast<const __m128i*>(text + i + m - 1));
        __m128i hit_head = _mm_or_si128(_mm_cmpeq_epi8(head, f0), _mm_cmpeq_epi8(head, f1));
        __m128i hit_tail = _mm_or_si128(_mm_cmpeq_epi8(tail, l0), _mm_cmpeq_epi8(tail, l1));
        unsigned mask = static_cast<unsigned>(_mm_movemask_epi8(_mm_and_si128(hit_head, hit_tail)));
        while (mask != 0) {
            unsigned bit = static_cast<unsigned>(__builtin_ctz(mask));
            if (same_at(text + i + bit)) return i + bit;
            mask &= mask - 1;
        }
    }
#endif
    return find_scalar(text, i, last);
}

LineMatcher::LineMatcher(std::span<const std::string> strings, bool exact, MatchMode mode) : mode_(mode) {
    finders_.reserve(strings.size());
    for (const std::string& s : strings) finders_.emplace_back(s, exact);
}

bool LineMatcher::matches(std::string_view line) const {
    switch (mode_) {
    case MatchMode::any:
    case MatchMode::none: {
        bool found = std::any_of(finders_.begin(), finders_.end(),
                                 [line](const StringFinder& f) { return f.find(line) != std::string_view::npos; });
        return mode_ == MatchMode::any ? found : !found;
    }
    case MatchMode::all:
    case MatchMode::not_all: {
        bool every = std::all_of(finders_.begin(), finders_.end(),
                                 [line](const StringFinder& f) { return f.find(line) != std::string_view::npos; });
        return mode_ == MatchMode::all ? every : !every;
    }
    }
    return false;
}

size_t LineMatcher::first_occurrence(std::string_view text) const {
    size_t first = std::string_view::npos;
    // Each string is looked for only before the earliest found so far. One
    // that starts there but runs past it is missed, which is harmless: its
    // line ends after that point, and so is searched line by line anyway.
    for (const StringFinder& f : finders_) first = std::min(first, f.find(text.substr(0, first)));
    return first;
}

void LineMatcher::occurrences(std::string_view line, std::vector<Occurrence>& out) const {
    out.clear();
    for (size_t s = 0; s < finders_.size(); ++s) {
        const StringFinder& f = finders_[s];
        size_t at = f.find(line, 0);
        while (at != std::string_view::npos) {
            out.push_back({at, f.size(), s});
            if (f.size() == 0) break;
            at = f.find(line, at + f.size());
        }
    }
    std::sort(out.begin(), out.end(), [](const Occurrence& a, const Occurrence& b) {
        return a.position != b.position ? a.position < b.position : a.string < b.string;
    });
}

void highlight_spans(std::span<const Occurrence> occurrences, std::vector<HighlightSpan>& out) {
    out.clear();
    size_t written = 0;
    for (const Occurrence& o : occurrences) {
        size_t begin = std::max(o.position, written), end = o.position + o.length;
        if (end <= begin) continue;
        out.push_back({begin, end});
        written = end;
    }
}

std::string_view control_name(unsigned char c) { return c < 32 ? kControlNames[c] : std::string_view{}; }

LineFormatter::LineFormatter(LineFormat format) : passall_(format == LineFormat::passall) {
    for (unsigned c = 0; c < 32; ++c) actions_[c] = name;
    if (format == LineFormat::text || format == LineFormat::noff) {
        for (unsigned char layout : {'\f', '\t', '\n', '\v', '\r'}) actions_[layout] = keep;
    }
    if (format == LineFormat::nonull) actions_[0] = drop;
}

void LineFormatter::append(std::string_view text, std::string& out) const {
    if (passall_) {
        out.append(text);
        return;
    }
    size_t run = 0;  // start of the bytes not yet appended
    for (size_t i = 0; i < text.size(); ++i) {
        unsigned char c = static_cast<unsigned char>(text[i]);
        if (c >= 32 || actions_[c] == keep) continue;
        out.append(text.substr(run, i - run));
        run = i + 1;
        if (actions_[c] == drop) continue;
        out.push_back('<');
        out.append(kControlNames[c]);
        out.push_back('>');
    }
    out.append(text.substr(run));
}

uint32_t window_counts(std::span<const int64_t> values, size_t& before, size_t& after) {
    if (values.size() > 2) return cond::IVWINDOW;
    for (int64_t v : values) {
        if (v < 0) return cond::SEARCH_VALERR;
    }
    if (values.empty()) {
        before = after = 2;
    } else if (values.size() == 1) {
        size_t n = static_cast<size_t>(values[0]);
        if (n > 0) --n;
        before = n / 2;
        after = n - n / 2;
    } else {
        before = static_cast<size_t>(values[0]);
        after = static_cast<size_t>(values[1]);
    }
    return 1;
}

}  // namespace dcl
