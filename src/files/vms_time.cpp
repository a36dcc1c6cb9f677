// VMS time values: parsing absolute, keyword, delta and combined times,
// and the display form of a time.
#include "files/vms_time.h"

#include <algorithm>
#include <array>
#include <ctime>
#include <cstdio>

#include "status/condition.h"
#include "status/messages.h"
#include "status/text.h"

namespace dcl {

namespace {

constexpr std::array<std::string_view, 12> kMonthNames{
    "JAN", "FEB", "MAR", "APR", "MAY", "JUN", "JUL", "AUG", "SEP", "OCT", "NOV", "DEC",
};
constexpr int kHundredthsPerSecond = 100;
constexpr size_t kMaxDayDigits = 4;      // DDDD of a delta time
constexpr size_t kMaxFieldDigits = 2;    // every other field of a time
constexpr size_t kYearDigits = 4;
constexpr size_t kKeywordSignificance = 4;

bool is_sign(char c) { return c == '+' || c == '-'; }

// A read position in a time text.
struct Cursor {
    std::string_view text;
    size_t pos = 0;

    bool at_end() const { return pos >= text.size(); }
    char peek() const { return at_end() ? '\0' : text[pos]; }
    // Reads a run of digits and returns how many there were; the value is
    // only meaningful for runs short enough to be accepted.
    size_t digits(int& value) {
        size_t count = 0;
        value = 0;
        for (; !at_end() && is_ascii_digit(text[pos]); ++pos, ++count)
            if (count < 9) value = value * 10 + (text[pos] - '0');
        return count;
    }
};

struct ClockFields {
    int hours = 0, minutes = 0, seconds = 0, hundredths = 0;
};

// "HH:MM:SS.C": every field may be left off from the right; a lone digit
// of hundredths counts tenths. Stops at the end, or at a sign when
// `stop_at_sign` (an absolute time followed by a delta).
bool read_clock(Cursor& c, ClockFields& f, size_t hundredth_digits, bool stop_at_sign) {
    auto finished = [&] { return c.at_end() || (stop_at_sign && is_sign(c.peek())); };
    int* fields[] = {&f.hours, &f.minutes, &f.seconds};
    for (size_t i = 0; i < 3; ++i) {
        if (c.digits(*fields[i]) > kMaxFieldDigits) return false;
        if (finished()) return true;
        if (c.peek() != (i < 2 ? ':' : '.')) return false;
        ++c.pos;
    }
    int value = 0;
    size_t count = c.digits(value);
    if (count > hundredth_digits) return false;
    f.hundredths = count == 1 ? value * 10 : value;
    return finished();
}

// "DDDD-HH:MM:SS.CC" without reporting.
bool read_delta(DeltaTime& delta, std::string_view text) {
    if (text.empty() || !is_ascii_digit(text[0])) return false;
    Cursor c{text};
    DeltaTime d;
    if (text.find_first_of("- ") != std::string_view::npos) {
        if (c.digits(d.days) > kMaxDayDigits) return false;
        if (c.peek() != '-' && c.peek() != ' ') return false;
        ++c.pos;
    }
    ClockFields clock;
    if (!read_clock(c, clock, kMaxFieldDigits, false)) return false;
    d.hours = clock.hours;
    d.minutes = clock.minutes;
    d.seconds = clock.seconds;
    d.hundredths = clock.hundredths;
    delta = d;
    return true;
}

// Adds a delta and brings the hundredths back into 0..99.
VmsTime offset_time(int64_t seconds, int hundredths, int64_t delta_seconds, int delta_hundredths) {
    int64_t total = static_cast<int64_t>(hundredths) + delta_hundredths;
    int64_t carry = total / kHundredthsPerSecond;
    int64_t rest = total % kHundredthsPerSecond;
    if (rest < 0) {
        rest += kHundredthsPerSecond;
        --carry;
    }
    return VmsTime{seconds + delta_seconds + carry, static_cast<int>(rest)};
}

std::string_view trimmed(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
    return text;
}

}  // namespace

TimeFormatter::TimeFormatter() {
    tzset();  // TZ may have been changed through an environment symbol
}

std::string_view TimeFormatter::format(int64_t seconds) {
    std::time_t t = static_cast<std::time_t>(seconds);
    std::tm local{};
    if (localtime_r(&t, &local) == nullptr || local.tm_mon < 0 || local.tm_mon > 11)
        return "00-XXX-0000 00:00:00";
    int n = std::snprintf(text_, sizeof text_, "%2d-%3s-%4.4d %2.2d:%2.2d:%2.2d", local.tm_mday,
                          kMonthNames[static_cast<size_t>(local.tm_mon)].data(),
                          local.tm_year + 1900, local.tm_hour, local.tm_min, local.tm_sec);
    return std::string_view(text_, n > 0 ? std::min(static_cast<size_t>(n), sizeof text_ - 1) : 0);
}

std::string format_time(int64_t seconds) { return std::string(TimeFormatter().format(seconds)); }

uint32_t parse_delta_time(DeltaTime& delta, std::string_view text) {
    if (read_delta(delta, text)) return 1;
    signal_condition(cond::IVDTIME, text);
    return 0;
}

uint32_t parse_signed_delta(int64_t& seconds, int& hundredths, std::string_view text) {
    seconds = 0;
    hundredths = 0;
    std::string_view body = text;
    bool negative = false;
    if (!body.empty() && is_sign(body[0])) {
        negative = body[0] == '-';
        body.remove_prefix(1);
    }
    DeltaTime d;
    if (!read_delta(d, body)) {
        signal_condition(cond::IVDTIME, text);
        return 0;
    }
    int64_t total = ((static_cast<int64_t>(d.days) * 24 + d.hours) * 60 + d.minutes) * 60 + d.seconds;
    seconds = negative ? -total : total;
    hundredths = negative ? -d.hundredths : d.hundredths;
    return 1;
}

VmsTime current_time() {
    timespec now{};
    if (clock_gettime(CLOCK_REALTIME, &now) != 0) return VmsTime{std::time(nullptr), 0};
    return VmsTime{static_cast<int64_t>(now.tv_sec), static_cast<int>(now.tv_nsec / 10000000)};
}

uint32_t parse_time(VmsTime& time, std::string_view text) {
    return parse_time_at(time, text, current_time());
}

}  // namespace dcl

// ---- absolute and keyword times -----------------------------------------

namespace dcl {

namespace {

// The fields of "DD-MMM-YYYY HH:MM:SS.C"; -1 marks a date field left out.
struct AbsoluteFields {
    int day = -1, month = -1, year = -1;
    ClockFields clock;
};

bool is_leap_year(int64_t year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

int days_in_month(int64_t year, int month) {
    constexpr int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 1 && is_leap_year(year) ? 29 : kDays[month];
}

// "DD-MMM-YYYY", each field may be empty; a text may also begin with the
// month. Stops before the separator that follows.
bool read_date(Cursor& c, AbsoluteFields& f) {
    if (!is_ascii_letter(c.peek())) {
        int day = 0;
        size_t count = c.digits(day);
        if (count > kMaxFieldDigits) return false;
        if (count > 0) f.day = day;
        if (c.peek() != '-') return false;
        ++c.pos;
    }
    std::string month;
    while (is_ascii_letter(c.peek())) {
        if (month.size() == 3) return false;
        month.push_back(upper_ascii(c.text[c.pos++]));
    }
    if (!month.empty()) {
        size_t index = 0;
        while (index < kMonthNames.size() && kMonthNames[index] != month) ++index;
        if (index == kMonthNames.size()) return false;
        f.month = static_cast<int>(index);
    }
    if (c.peek() != '-') return true;
    ++c.pos;
    int year = 0;
    size_t count = c.digits(year);
    if (count != 0 && count != kYearDigits) return false;
    if (count == kYearDigits) f.year = year;
    return true;
}

// Splits an absolute time from the delta that may follow it; `delta_start`
// is npos when there is none.
bool read_absolute(std::string_view text, AbsoluteFields& f, size_t& delta_start) {
    Cursor c{text};
    size_t first_other = text.find_first_not_of("0123456789");
    bool has_date = is_ascii_letter(c.peek()) || (first_other != std::string_view::npos && text[first_other] == '-');
    delta_start = std::string_view::npos;
    if (has_date) {
        if (!read_date(c, f)) return false;
        if (c.at_end()) return true;
        if (is_sign(c.peek())) {
            delta_start = c.pos;
            return true;
        }
        if (c.peek() != ' ' && c.peek() != ':') return false;
        ++c.pos;
    }
    if (!read_clock(c, f.clock, 1, true)) return false;
    if (!c.at_end()) delta_start = c.pos;
    return true;
}

// Today's local date with the given fields put in, converted by the C
// library so that any date and any zone rule comes out right.
bool absolute_seconds(int64_t& out, const AbsoluteFields& f, int64_t now) {
    std::time_t t = static_cast<std::time_t>(now);
    std::tm local{};
    if (localtime_r(&t, &local) == nullptr) return false;
    if (f.year >= 0) local.tm_year = f.year - 1900;
    if (f.month >= 0) local.tm_mon = f.month;
    int last_day = days_in_month(static_cast<int64_t>(local.tm_year) + 1900, local.tm_mon);
    if (f.day >= 0) {
        if (f.day < 1 || f.day > last_day) return false;
        local.tm_mday = f.day;
    } else if (local.tm_mday > last_day) {
        local.tm_mday = last_day;  // today's day does not exist in the month named
    }
    const ClockFields& k = f.clock;
    if (k.hours > 23 || k.minutes > 59 || k.seconds > 59) return false;
    local.tm_hour = k.hours;
    local.tm_min = k.minutes;
    local.tm_sec = k.seconds;
    local.tm_isdst = -1;
    local.tm_yday = -1;  // stays -1 only when mktime fails
    std::time_t converted = std::mktime(&local);
    if (local.tm_yday == -1) return false;
    out = static_cast<int64_t>(converted);
    return true;
}

// Midnight of today plus `days` calendar days, local time.
bool midnight(int64_t& out, int64_t now, int days) {
    std::time_t t = static_cast<std::time_t>(now);
    std::tm local{};
    if (localtime_r(&t, &local) == nullptr) return false;
    local.tm_mday += days;
    local.tm_hour = local.tm_min = local.tm_sec = 0;
    local.tm_isdst = -1;
    local.tm_yday = -1;
    std::time_t converted = std::mktime(&local);
    if (local.tm_yday == -1) return false;
    out = static_cast<int64_t>(converted);
    return true;
}

enum class Keyword { none, ambiguous, today, tomorrow, yesterday };

Keyword keyword_of(std::string_view word) {
    std::string key;
    for (size_t i = 0; i < word.size() && i < kKeywordSignificance; ++i) key.push_back(upper_ascii(word[i]));
    if (key == "T" || key == "TO") return Keyword::ambiguous;
    if (std::string_view("TODAY").starts_with(key)) return Keyword::today;
    if (std::string_view("TOMORROW").starts_with(key)) return Keyword::tomorrow;
    if (std::string_view("YESTERDAY").starts_with(key)) return Keyword::yesterday;
    return Keyword::none;
}

// The delta after a keyword: signed, or unsigned after an optional blank
// or colon. Empty when there is none.
std::string_view keyword_delta(std::string_view rest) {
    if (!rest.empty() && (rest[0] == ':' || rest[0] == ' ')) rest.remove_prefix(1);
    return rest;
}

uint32_t add_delta(VmsTime& time, int64_t base, int base_hundredths, std::string_view delta) {
    int64_t seconds = 0;
    int hundredths = 0;
    if (!delta.empty() && !parse_signed_delta(seconds, hundredths, delta)) return 0;
    time = offset_time(base, base_hundredths, seconds, hundredths);
    return 1;
}

}  // namespace

uint32_t parse_time_at(VmsTime& time, std::string_view text, VmsTime now) {
    tzset();  // TZ may have been changed through an environment symbol
    std::string_view t = trimmed(text);
    if (!t.empty() && (t[0] == '+' || (t[0] == '-' && t.size() > 1 && is_ascii_digit(t[1]))))
        return add_delta(time, now.seconds, now.hundredths, t);

    size_t word_end = 0;
    while (word_end < t.size() && is_ascii_letter(t[word_end])) ++word_end;
    Keyword keyword = word_end > 0 ? keyword_of(t.substr(0, word_end)) : Keyword::none;
    if (keyword == Keyword::ambiguous) {
        signal_condition(cond::IVATIME, text);
        return 0;
    }
    if (keyword != Keyword::none) {
        int days = keyword == Keyword::tomorrow ? 1 : keyword == Keyword::yesterday ? -1 : 0;
        int64_t base = 0;
        if (!midnight(base, now.seconds, days)) {
            signal_condition(cond::IVATIME, text);
            return 0;
        }
        return add_delta(time, base, 0, keyword_delta(t.substr(word_end)));
    }

    AbsoluteFields fields;
    size_t delta_start = std::string_view::npos;
    int64_t base = 0;
    if (!read_absolute(t, fields, delta_start) || !absolute_seconds(base, fields, now.seconds)) {
        signal_condition(cond::IVATIME, text);
        return 0;
    }
    std::string_view delta = delta_start == std::string_view::npos ? std::string_view{} : t.substr(delta_start);
    return add_delta(time, base, fields.clock.hundredths, delta);
}

}  // namespace dcl
