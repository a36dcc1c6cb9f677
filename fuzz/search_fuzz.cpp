// Fuzzes the SEARCH engine and its printer: two leading bytes choose
// /MATCH, /EXACT, /NUMBERS, /REMAINING, /HEADING, highlighting, /WINDOW
// and /FORMAT; then come the search strings (one a line), a 0xFF byte and
// the text. Checked against plain models: each string's find agrees with
// std::string_view::find (on ASCII-folded copies when case-blind); a
// line's match under AND, OR, NAND and NOR follows from those; the
// occurrences are exactly the non-overlapping ones of each string; the
// highlight spans cover what the occurrences cover, in order; and what the
// printer writes for the text, taken twice as two files, is the union of
// the windows around the matched lines, shown in the format.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "files/commands/search_output.h"
#include "files/search_engine.h"

namespace {

using namespace dcl;

constexpr size_t npos = std::string_view::npos;

void check(bool ok) {
    if (!ok) __builtin_trap();
}

std::string lower(std::string_view s) {
    std::string out(s);
    for (char& c : out)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
    return out;
}

size_t naive_find(std::string_view line, std::string_view pattern, bool exact, size_t from) {
    if (pattern.empty()) return from == 0 ? 0 : npos;
    if (exact) return line.find(pattern, from);
    return std::string_view(lower(line)).find(lower(pattern), from);
}

bool naive_matches(std::string_view line, const std::vector<std::string>& strings, bool exact, MatchMode mode) {
    size_t found = 0;
    for (const std::string& s : strings) found += naive_find(line, s, exact, 0) != npos;
    switch (mode) {
    case MatchMode::any: return found > 0;
    case MatchMode::all: return found == strings.size();
    case MatchMode::not_all: return found < strings.size();
    case MatchMode::none: return found == 0;
    }
    return false;
}

void check_line(std::string_view line, const std::vector<std::string>& strings, bool exact, const LineMatcher& m) {
    std::vector<Occurrence> expected;
    for (size_t k = 0; k < strings.size(); ++k) {
        StringFinder finder(strings[k], exact);
        for (size_t from : {size_t{0}, size_t{1}, line.size() / 2, line.size(), line.size() + 1})
            check(finder.find(line, from) == naive_find(line, strings[k], exact, from));
        for (size_t at = naive_find(line, strings[k], exact, 0); at != npos;
             at = strings[k].empty() ? npos : naive_find(line, strings[k], exact, at + strings[k].size()))
            expected.push_back({at, strings[k].size(), k});
    }
    std::stable_sort(expected.begin(), expected.end(),
                     [](const Occurrence& a, const Occurrence& b) { return a.position < b.position; });
    std::vector<Occurrence> got;
    m.occurrences(line, got);
    check(got.size() == expected.size());
    std::vector<char> covered(line.size() + 1, 0), lit(line.size() + 1, 0);
    for (size_t i = 0; i < got.size(); ++i) {
        const Occurrence &g = got[i], &e = expected[i];
        check(g.position == e.position && g.length == e.length && g.string == e.string);
        std::fill(covered.begin() + g.position, covered.begin() + g.position + g.length, 1);
    }
    std::vector<HighlightSpan> spans;
    highlight_spans(got, spans);
    size_t last = 0;
    for (const HighlightSpan& s : spans) {
        check(s.begin >= last && s.begin < s.end && s.end <= line.size());
        std::fill(lit.begin() + s.begin, lit.begin() + s.end, 1);
        last = s.end;
    }
    check(lit == covered);
}

// A line as the format shows it.
std::string formatted(std::string_view line, LineFormat format) {
    std::string out;
    for (char ch : line) {
        auto c = static_cast<unsigned char>(ch);
        bool layout = c == '\f' || c == '\t' || c == '\n' || c == '\v' || c == '\r';
        bool plain = format == LineFormat::text || format == LineFormat::noff;
        if (c >= 32 || format == LineFormat::passall || (plain && layout)) {
            out += ch;
        } else if (!(c == 0 && format == LineFormat::nonull)) {
            out += "<" + std::string(control_name(c)) + ">";
        }
    }
    return out;
}

// What the printer should write for one file: headings, and each line in
// a window (or after the first match with /REMAINING) once, in order.
std::string expected_output(const std::vector<std::string_view>& lines, const std::vector<bool>& hit,
                            const SearchOptions& o, std::string_view name) {
    size_t n = lines.size(), first = npos;
    std::vector<bool> shown(n, false);
    for (size_t i = 0; i < n; ++i) {
        if (!hit[i]) continue;
        if (first == npos) first = i;
        size_t end = o.remaining ? n : std::min(n, i + o.after + 1);
        for (size_t k = i >= o.before ? i - o.before : 0; k < end; ++k) shown[k] = true;
    }
    if (first == npos) return {};
    if (o.names_only) return std::string(name) + "\n";
    std::string out = o.heading ? "\n******************************\n" + std::string(name) + "\n\n" : "";
    for (size_t i = 0; i < n; ++i) {
        if (!shown[i]) continue;
        if (o.numbers) {
            char number[32];
            std::snprintf(number, sizeof number, "%6zu  ", i + 1);
            out += number;
        }
        out += formatted(lines[i], o.format) + "\n";
    }
    return out;
}

void check_printer(const std::vector<std::string_view>& lines, const std::vector<bool>& hit, const SearchOptions& o,
                   const LineMatcher& matcher) {
    char* buffer = nullptr;
    size_t length = 0;
    FILE* out = open_memstream(&buffer, &length);
    if (!out) std::abort();
    SearchPrinter printer(out, o, matcher);
    std::string expected;
    for (std::string_view name : {"ONE.TXT", "TWO.TXT"}) {
        printer.begin_file(name, true);
        for (std::string_view line : lines) printer.take_line(line);
        check(printer.records() == lines.size());
        check(printer.matches() == static_cast<size_t>(std::count(hit.begin(), hit.end(), true)));
        expected += expected_output(lines, hit, o, name);
    }
    std::fclose(out);
    std::string got(buffer, length);
    std::free(buffer);
    if (!o.highlight_start.empty()) std::erase_if(got, [](char c) { return c == '\x01' || c == '\x02'; });
    check(got == expected);
}

std::vector<std::string_view> split_lines(std::string_view text, size_t limit) {
    std::vector<std::string_view> out;
    while (!text.empty() && out.size() < limit) {
        size_t nl = text.find('\n');
        out.push_back(text.substr(0, nl));
        text.remove_prefix(nl == npos ? text.size() : nl + 1);
    }
    return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 2) return 0;
    const MatchMode modes[] = {MatchMode::any, MatchMode::all, MatchMode::not_all, MatchMode::none};
    const LineFormat formats[] = {LineFormat::text, LineFormat::noff, LineFormat::dump, LineFormat::nonull,
                                  LineFormat::passall};
    SearchOptions o;
    o.mode = modes[data[0] & 3];
    o.exact = (data[0] & 4) != 0;
    o.numbers = (data[0] & 8) != 0;
    o.remaining = (data[0] & 16) != 0;
    o.heading = (data[0] & 32) != 0;
    o.names_only = (data[0] & 0xC0) == 0xC0;
    o.before = data[1] & 3;
    o.after = (data[1] >> 2) & 3;
    o.format = formats[(data[1] >> 4) % 5];
    // The markers can be told from the text only where the format names
    // control characters.
    if ((data[0] & 0xC0) == 0x40 && o.format != LineFormat::passall) {
        o.highlight_start = "\x01";
        o.highlight_end = "\x02";
    }

    std::string_view input(reinterpret_cast<const char*>(data) + 2, size - 2);
    size_t split = input.find('\xff');
    std::string_view text = split == npos ? std::string_view() : input.substr(split + 1);
    std::vector<std::string> strings;
    for (std::string_view s : split_lines(input.substr(0, split), 4)) strings.emplace_back(s);
    if (strings.empty()) strings.emplace_back();
    LineMatcher matcher(strings, o.exact, o.mode);
    std::vector<std::string_view> lines = split_lines(text, npos);
    std::vector<bool> hit;
    for (std::string_view line : lines) {
        check_line(line, strings, o.exact, matcher);
        hit.push_back(naive_matches(line, strings, o.exact, o.mode));
        check(matcher.matches(line) == hit.back());
    }
    check_printer(lines, hit, o, matcher);
    return 0;
}
