// The time texts of F$CVTIME and F$DELTA_TIME.
#include "lang/cvtime.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <ctime>

#include "status/text.h"

namespace dcl {

namespace {

constexpr std::array<std::string_view, 12> kMonths{
    "JAN", "FEB", "MAR", "APR", "MAY", "JUN", "JUL", "AUG", "SEP", "OCT", "NOV", "DEC",
};
constexpr std::array<std::string_view, 7> kWeekdays{
    "Sunday", "Monday", "Tuesday", "Wednesday", "Thursday", "Friday", "Saturday",
};
constexpr int kFirstYear = 1858;  // the VMS clock starts in November 1858
constexpr size_t kYearDigits = 4;
constexpr size_t kMaxDayDigits = 4;
constexpr size_t kMaxFieldDigits = 2;

bool is_sign(char c) { return c == '+' || c == '-'; }

std::string_view trimmed(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
    return text;
}

std::string upper_name(std::string_view text) {
    std::string name;
    for (char c : trimmed(text)) name.push_back(upper_ascii(c));
    return name;
}

// A read position in a time text.
struct Cursor {
    std::string_view text;
    size_t pos = 0;

    bool at_end() const { return pos >= text.size(); }
    char peek() const { return at_end() ? '\0' : text[pos]; }
    bool take(char c) {
        if (peek() != c) return false;
        ++pos;
        return true;
    }
    // A run of digits: how many there were; `value` only for short runs.
    size_t digits(int& value) {
        size_t count = 0;
        value = 0;
        for (; !at_end() && is_ascii_digit(text[pos]); ++pos, ++count)
            if (count < 9) value = value * 10 + (text[pos] - '0');
        return count;
    }
};

// "hh:mm:ss.cc", any field empty or left off from the right; one digit of
// hundredths counts tenths. Stops before a sign or at the end. Returns
// the time of day in hundredths, or -1.
int64_t read_clock(Cursor& c, size_t& digit_count) {
    int fields[4] = {0, 0, 0, 0};
    constexpr int kLimits[3] = {23, 59, 59};
    for (size_t i = 0; i < 4; ++i) {
        size_t count = c.digits(fields[i]);
        digit_count += count;
        if (count > kMaxFieldDigits || (i < 3 && fields[i] > kLimits[i])) return -1;
        if (i == 3 && count == 1) fields[i] *= 10;
        if (c.at_end() || is_sign(c.peek())) break;
        if (i == 3 || !c.take(i < 2 ? ':' : '.')) return -1;
    }
    return ((fields[0] * 60LL + fields[1]) * 60 + fields[2]) * 100 + fields[3];
}

// The date fields of "dd-mmm-yyyy"; -1 for a field left out.
struct DateFields {
    int day = -1, month = -1, year = -1;
};

bool read_month(Cursor& c, DateFields& f) {
    std::string month;
    while (is_ascii_letter(c.peek())) {
        if (month.size() == 3) return false;
        month.push_back(upper_ascii(c.text[c.pos++]));
    }
    if (month.empty()) return true;
    auto found = std::find(kMonths.begin(), kMonths.end(), month);
    if (found == kMonths.end()) return false;
    f.month = static_cast<int>(found - kMonths.begin());
    return true;
}

// "dd-mmm-yyyy", each field may be empty, the year with its dash may be
// left off. Stops before what follows.
bool read_date(Cursor& c, DateFields& f) {
    int value = 0;
    size_t count = 0;
    if (!is_ascii_letter(c.peek())) {  // a text may also begin with the month
        count = c.digits(value);
        if (count > kMaxFieldDigits || !c.take('-')) return false;
        if (count > 0) f.day = value;
    }
    if (!read_month(c, f)) return false;
    if (!c.take('-')) return true;
    count = c.digits(value);
    if (count != 0 && count != kYearDigits) return false;
    if (count == kYearDigits) {
        if (value < kFirstYear) return false;
        f.year = value;
    }
    return true;
}

bool is_leap_year(int year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

int days_in_month(int year, int month) {
    constexpr int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 1 && is_leap_year(year) ? 29 : kDays[month];
}

// Local midnight of the given date fields, the others from `now`, plus
// `day_offset` days. A day missing from the month named (31 in a 30-day
// month) falls back to its last day, as the qualifiers' times do.
std::optional<int64_t> local_midnight(int64_t now, const DateFields& f, int day_offset) {
    std::time_t t = static_cast<std::time_t>(now);
    std::tm local{};
    if (localtime_r(&t, &local) == nullptr) return std::nullopt;
    if (f.year >= 0) local.tm_year = f.year - 1900;
    if (f.month >= 0) local.tm_mon = f.month;
    int last_day = days_in_month(local.tm_year + 1900, local.tm_mon);
    if (f.day >= 0) {
        if (f.day < 1 || f.day > last_day) return std::nullopt;
        local.tm_mday = f.day;
    }
    local.tm_mday = std::min(local.tm_mday, last_day) + day_offset;
    local.tm_hour = local.tm_min = local.tm_sec = 0;
    local.tm_isdst = -1;
    local.tm_yday = -1;  // stays -1 only when mktime fails
    std::time_t converted = std::mktime(&local);
    if (local.tm_yday == -1) return std::nullopt;
    return static_cast<int64_t>(converted);
}

// Seconds and hundredths as one count of hundredths, and back.
int64_t total_hundredths(VmsTime t) { return t.seconds * 100 + t.hundredths; }
VmsTime from_hundredths(int64_t h) {
    int64_t seconds = h / 100, rest = h % 100;
    if (rest < 0) {
        rest += 100;
        --seconds;
    }
    return VmsTime{seconds, static_cast<int>(rest)};
}

// "+delta" or "-delta" after a base time, or nothing.
std::optional<VmsTime> add_signed_delta(int64_t base_hundredths, std::string_view rest) {
    if (rest.empty()) return from_hundredths(base_hundredths);
    if (!is_sign(rest[0])) return std::nullopt;
    std::optional<int64_t> delta = parse_cvtime_delta(rest.substr(1));
    if (!delta) return std::nullopt;
    return from_hundredths(base_hundredths + (rest[0] == '-' ? -*delta : *delta));
}

enum class Keyword { none, today, tomorrow, yesterday, boot, login };

Keyword keyword_named(std::string_view word) {
    std::string name = upper_name(word);
    if (name == "TODAY") return Keyword::today;
    if (name == "TOMORROW") return Keyword::tomorrow;
    if (name == "YESTERDAY") return Keyword::yesterday;
    if (name == "BOOT") return Keyword::boot;
    if (name == "LOGIN") return Keyword::login;
    return Keyword::none;
}

// TODAY, TOMORROW, YESTERDAY with an optional time of day after a blank
// or colon; BOOT and LOGIN; then an optional signed delta.
std::optional<VmsTime> keyword_time(Keyword keyword, std::string_view rest, const CvtimeClock& clock) {
    if (keyword == Keyword::boot) return add_signed_delta(clock.boot * 100, rest);
    if (keyword == Keyword::login) return add_signed_delta(clock.login * 100, rest);
    int offset = keyword == Keyword::tomorrow ? 1 : keyword == Keyword::yesterday ? -1 : 0;
    std::optional<int64_t> midnight = local_midnight(clock.now.seconds, DateFields{}, offset);
    if (!midnight) return std::nullopt;
    Cursor c{rest};
    int64_t time_of_day = 0;
    if (c.take(' ') || c.take(':')) {
        size_t digit_count = 0;
        time_of_day = read_clock(c, digit_count);
        if (time_of_day < 0) return std::nullopt;
    }
    return add_signed_delta(*midnight * 100 + time_of_day, rest.substr(c.pos));
}

// An absolute time: a date, a time of day, or both, and a signed delta.
std::optional<VmsTime> date_time(std::string_view text, const CvtimeClock& clock) {
    Cursor c{text};
    size_t first_other = text.find_first_not_of("0123456789");
    DateFields date;
    if (first_other != std::string_view::npos && (is_ascii_letter(text[first_other]) || text[first_other] == '-')) {
        if (!read_date(c, date)) return std::nullopt;
        if (c.peek() == ':') {
            ++c.pos;
        } else if (c.peek() == ' ') {
            while (c.take(' ')) {}
        } else if (!c.at_end() && !is_sign(c.peek())) {
            return std::nullopt;
        }
    }
    size_t digit_count = 0;
    int64_t time_of_day = c.at_end() || is_sign(c.peek()) ? 0 : read_clock(c, digit_count);
    if (time_of_day < 0) return std::nullopt;
    std::optional<int64_t> midnight = local_midnight(clock.now.seconds, date, 0);
    if (!midnight) return std::nullopt;
    return add_signed_delta(*midnight * 100 + time_of_day, text.substr(c.pos));
}

}  // namespace

std::optional<VmsTime> parse_cvtime_absolute(std::string_view text, const CvtimeClock& clock) {
    tzset();  // TZ may have been changed through an environment symbol
    std::string_view t = trimmed(text);
    if (t.empty()) return clock.now;
    if (t[0] == '+' || (t[0] == '-' && t.size() > 1 && is_ascii_digit(t[1])))
        return add_signed_delta(total_hundredths(clock.now), t);
    size_t word_end = 0;
    while (word_end < t.size() && is_ascii_letter(t[word_end])) ++word_end;
    Keyword keyword = keyword_named(t.substr(0, word_end));
    if (keyword != Keyword::none) return keyword_time(keyword, t.substr(word_end), clock);
    return date_time(t, clock);
}

std::optional<int64_t> parse_cvtime_delta(std::string_view text) {
    std::string_view t = trimmed(text);
    Cursor c{t};
    int days = 0;
    size_t digit_count = 0;
    if (t.find_first_of("- ") != std::string_view::npos) {
        digit_count = c.digits(days);
        if (digit_count > kMaxDayDigits) return std::nullopt;
        if (!c.take('-')) {
            if (!c.take(' ')) return std::nullopt;
            while (c.take(' ')) {}
        }
    }
    int64_t time_of_day = c.at_end() ? 0 : read_clock(c, digit_count);
    if (time_of_day < 0 || !c.at_end() || digit_count == 0) return std::nullopt;
    return days * kHundredthsPerDay + time_of_day;
}

std::optional<CvtimeFormat> cvtime_format_named(std::string_view name) {
    std::string key = upper_name(name);
    if (key == "COMPARISON") return CvtimeFormat::comparison;
    if (key == "ABSOLUTE") return CvtimeFormat::absolute;
    if (key == "DELTA") return CvtimeFormat::delta;
    return std::nullopt;
}

std::optional<CvtimeField> cvtime_field_named(std::string_view name) {
    using enum CvtimeField;
    struct Entry {
        std::string_view name;
        CvtimeField field;
    };
    constexpr std::array<Entry, 15> kFields{{
        {"DATETIME", datetime}, {"DATE", date}, {"TIME", time}, {"YEAR", year},
        {"MONTH", month}, {"DAY", day}, {"HOUR", hour}, {"MINUTE", minute},
        {"SECOND", second}, {"HUNDREDTH", hundredth}, {"WEEKDAY", weekday},
        {"DAYOFYEAR", dayofyear}, {"HOUROFYEAR", hourofyear},
        {"MINUTEOFYEAR", minuteofyear}, {"SECONDOFYEAR", secondofyear},
    }};
    std::string key = upper_name(name);
    auto found = std::find_if(kFields.begin(), kFields.end(), [&](const Entry& e) { return e.name == key; });
    if (found == kFields.end()) return std::nullopt;
    return found->field;
}

bool cvtime_field_allowed(CvtimeFormat format, CvtimeField field) {
    using enum CvtimeField;
    if (format != CvtimeFormat::delta) return true;
    return field != month && field != weekday && field != year && field != dayofyear &&
           field != hourofyear && field != minuteofyear && field != secondofyear;
}

}  // namespace dcl

// ---- writing times ----------------------------------------------------------

namespace dcl {

namespace {

template <typename... Args>
std::string printed(const char* format, Args... args) {
    char text[64];
    int n = std::snprintf(text, sizeof text, format, args...);
    return std::string(text, n > 0 ? std::min(static_cast<size_t>(n), sizeof text - 1) : 0);
}

std::string clock_text(int hour, int minute, int second, int hundredth) {
    return printed("%02d:%02d:%02d.%02d", hour, minute, second, hundredth);
}

std::string date_text(const std::tm& t, CvtimeFormat format) {
    if (format == CvtimeFormat::absolute)
        return printed("%d-%s-%04d", t.tm_mday, kMonths[static_cast<size_t>(t.tm_mon)].data(), t.tm_year + 1900);
    return printed("%04d-%02d-%02d", t.tm_year + 1900, t.tm_mon + 1, t.tm_mday);
}

// The positions in the year count from 1, as the day of the year does.
std::string field_text(const std::tm& t, int hundredths, CvtimeFormat format, CvtimeField field) {
    using enum CvtimeField;
    bool absolute = format == CvtimeFormat::absolute;
    int64_t hours_before = static_cast<int64_t>(t.tm_yday) * 24 + t.tm_hour;
    int64_t minutes_before = hours_before * 60 + t.tm_min;
    switch (field) {
    case datetime:
        return date_text(t, format) + ' ' + clock_text(t.tm_hour, t.tm_min, t.tm_sec, hundredths);
    case date: return date_text(t, format);
    case time: return clock_text(t.tm_hour, t.tm_min, t.tm_sec, hundredths);
    case year: return printed("%04d", t.tm_year + 1900);
    case month:
        return absolute ? std::string(kMonths[static_cast<size_t>(t.tm_mon)]) : printed("%02d", t.tm_mon + 1);
    case day: return printed(absolute ? "%d" : "%02d", t.tm_mday);
    case hour: return printed("%02d", t.tm_hour);
    case minute: return printed("%02d", t.tm_min);
    case second: return printed("%02d", t.tm_sec);
    case hundredth: return printed("%02d", hundredths);
    case weekday: return std::string(kWeekdays[static_cast<size_t>(t.tm_wday)]);
    case dayofyear: return printed("%d", t.tm_yday + 1);
    case hourofyear: return printed("%lld", static_cast<long long>(hours_before + 1));
    case minuteofyear: return printed("%lld", static_cast<long long>(minutes_before + 1));
    case secondofyear: return printed("%lld", static_cast<long long>(minutes_before * 60 + t.tm_sec + 1));
    }
    return {};
}

}  // namespace

std::optional<std::string> format_cvtime(VmsTime time, CvtimeFormat format, CvtimeField field) {
    tzset();
    std::time_t t = static_cast<std::time_t>(time.seconds);
    std::tm local{};
    if (localtime_r(&t, &local) == nullptr || local.tm_mon < 0 || local.tm_mon > 11 ||
        local.tm_wday < 0 || local.tm_wday > 6 || local.tm_year + 1900LL > 9999 ||
        local.tm_year + 1900LL < 0)
        return std::nullopt;
    return field_text(local, std::clamp(time.hundredths, 0, 99), format, field);
}

std::string format_cvtime_delta(int64_t hundredths, CvtimeField field) {
    int64_t h = std::max<int64_t>(hundredths, 0);
    long long days = h / kHundredthsPerDay;
    int in_day = static_cast<int>(h % kHundredthsPerDay);
    int hh = in_day / 360000, mm = in_day / 6000 % 60, ss = in_day / 100 % 60, cc = in_day % 100;
    switch (field) {
    case CvtimeField::datetime: return printed("%lld-", days) + clock_text(hh, mm, ss, cc);
    case CvtimeField::date:
    case CvtimeField::day: return printed("%lld", days);
    case CvtimeField::time: return clock_text(hh, mm, ss, cc);
    case CvtimeField::hour: return printed("%02d", hh);
    case CvtimeField::minute: return printed("%02d", mm);
    case CvtimeField::second: return printed("%02d", ss);
    case CvtimeField::hundredth: return printed("%02d", cc);
    default: return {};
    }
}

std::string format_asctim_delta(int64_t hundredths) {
    std::string text = format_cvtime_delta(hundredths, CvtimeField::datetime);
    size_t dash = text.find('-');
    if (dash == std::string::npos) return text;
    text[dash] = ' ';
    if (dash < 4) text.insert(0, 4 - dash, ' ');
    return text;
}

}  // namespace dcl
