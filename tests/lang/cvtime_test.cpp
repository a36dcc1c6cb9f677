// The time texts of F$CVTIME and F$DELTA_TIME against a fixed clock:
// what each input form reads as, what each format and field writes, and
// the texts that are refused.
#include "lang/cvtime.h"

#include <gtest/gtest.h>

#include "core/state_reset.h"
#include "status/messages.h"
#include "support/scoped_env.h"

namespace dcl {
namespace {

using test::ScopedEnv;

constexpr const char* kUtc = "UTC0";
constexpr const char* kNewYork = "EST5EDT,M3.2.0,M11.1.0";

// Now 15-MAR-2024 10:20:30.07 UTC (a Friday), booted 14-MAR-2024
// 08:00:00, logged in 15-MAR-2024 09:00:00.
constexpr CvtimeClock kClock{{1710498030, 7}, 1710403200, 1710493200};

// Reads `input` and writes it whole in the comparison form.
std::string comparison(std::string_view input) {
    std::optional<VmsTime> t = parse_cvtime_absolute(input, kClock);
    if (!t) return "<invalid>";
    return format_cvtime(*t, CvtimeFormat::comparison, CvtimeField::datetime).value_or("<unshown>");
}

TEST(CvtimeInput, AbsoluteKeywordAndCombinedTimes) {
    ScopedEnv tz("TZ", kUtc);
    struct Case {
        const char* input;
        const char* expected;
    } cases[] = {
        {"", "2024-03-15 10:20:30.07"},
        {"   ", "2024-03-15 10:20:30.07"},
        {"20-DEC-2024 13:05:09.5", "2024-12-20 13:05:09.50"},   // one digit: tenths
        {"20-dec-2024 13:05:09.57", "2024-12-20 13:05:09.57"},  // month case-blind
        {"20-DEC-2024:13:05:09.05", "2024-12-20 13:05:09.05"},
        {" 5-JAN-2025 08:09:10", "2025-01-05 08:09:10.00"},     // F$TIME's padded day
        {" 5-JAN-2025 08:09:10.33", "2025-01-05 08:09:10.33"},  // with hundredths
        {"20-DEC-2024", "2024-12-20 00:00:00.00"},
        {"20-DEC", "2024-12-20 00:00:00.00"},
        {"20--2023", "2023-03-20 00:00:00.00"},
        {"-DEC-2024", "2024-12-15 00:00:00.00"},
        {"DEC-2024 7:00", "2024-12-15 07:00:00.00"},
        {"-- 13", "2024-03-15 13:00:00.00"},
        {"13:05", "2024-03-15 13:05:00.00"},
        {"13", "2024-03-15 13:00:00.00"},
        {"::30", "2024-03-15 00:00:30.00"},
        {"29-FEB-2024", "2024-02-29 00:00:00.00"},
        {"20-DEC-2024 13:00+1-", "2024-12-21 13:00:00.00"},
        {"20-DEC-2024 13:00-1:30", "2024-12-20 11:30:00.00"},
        {"20-DEC-2024-0:0:0.01", "2024-12-19 23:59:59.99"},
        {"-1-", "2024-03-14 10:20:30.07"},  // a leading sign: from now
        {"+2:00", "2024-03-15 12:20:30.07"},
        {"-0:0:0.08", "2024-03-15 10:20:29.99"},
        {"TODAY", "2024-03-15 00:00:00.00"},
        {"tomorrow", "2024-03-16 00:00:00.00"},
        {"YESTERDAY+6:00", "2024-03-14 06:00:00.00"},
        {"YESTERDAY 12:30", "2024-03-14 12:30:00.00"},
        {"TODAY:12:30-1-", "2024-03-14 12:30:00.00"},
        {"BOOT", "2024-03-14 08:00:00.00"},
        {"LOGIN+0:5", "2024-03-15 09:05:00.00"},
    };
    for (const Case& c : cases) EXPECT_EQ(comparison(c.input), c.expected) << '"' << c.input << '"';
}

TEST(CvtimeInput, RefusedAbsoluteTexts) {
    ScopedEnv tz("TZ", kUtc);
    const char* cases[] = {
        "30-FEB-2024", "0-DEC-2024", "20-DECEMBER-2024", "20-XYZ-2024", "20-DEC-24",
        "20-DEC-1700", "20-DEC-2024 24:00", "20-DEC-2024 12:60", "20-DEC-2024 12:00:60",
        "20-DEC-2024 12:00:00.123", "20-DEC-2024 12:00:00.5x", "20-DEC2024", "20-DEC-2024x",
        "123-DEC-2024", "TODAYX", "TOD", "NOW", "TODAY+", "TODAY+25:00", "TODAY+1-2-3",
        "+", "1-2", "BOOT 12:00", "20-DEC-2024 12:00+1:00+1:00",
    };
    for (const char* input : cases) EXPECT_EQ(comparison(input), "<invalid>") << '"' << input << '"';
}

TEST(CvtimeInput, DeltaTimes) {
    struct Case {
        const char* input;
        int64_t hundredths;  // -1: refused
    } cases[] = {
        {"1-", kHundredthsPerDay},
        {"1-02:30:15.5", kHundredthsPerDay + 901'550},
        {"   1 02:30:15.50", kHundredthsPerDay + 901'550},  // F$DELTA_TIME's ASCTIM form
        {"9999-23:59:59.99", 10000 * kHundredthsPerDay - 1},
        {"0:0:0.01", 1},
        {"12", 4'320'000},
        {"-0:1", 6000},
        {"10000-", -1}, {"1-24:00", -1}, {"1-0:60", -1}, {"-", -1}, {"", -1},
        {"+1-", -1}, {"1-2:00+1:00", -1}, {"1-0:0:0.123", -1}, {"1x", -1},
    };
    for (const Case& c : cases)
        EXPECT_EQ(parse_cvtime_delta(c.input).value_or(-1), c.hundredths) << '"' << c.input << '"';
}

// Calendar days, not 86400-second steps, across a change to summer time.
TEST(CvtimeInput, KeywordsFollowTheLocalCalendar) {
    ScopedEnv tz("TZ", kNewYork);
    CvtimeClock clock = kClock;
    clock.now = {1710086400, 0};  // 10-MAR-2024 12:00 EDT, the day of the change
    EXPECT_EQ(parse_cvtime_absolute("TODAY", clock)->seconds, 1710046800);     // 00:00 EST
    EXPECT_EQ(parse_cvtime_absolute("TOMORROW", clock)->seconds, 1710129600);  // 00:00 EDT
    EXPECT_EQ(format_cvtime(clock.now, CvtimeFormat::comparison, CvtimeField::datetime),
              "2024-03-10 12:00:00.00");
}

TEST(CvtimeOutput, FormatsAndFields) {
    ScopedEnv tz("TZ", kUtc);
    using F = CvtimeField;
    const VmsTime friday = *parse_cvtime_absolute("20-DEC-2024 13:05:09.5", kClock);
    const VmsTime january = *parse_cvtime_absolute("7-JAN-2024 00:00:00.03", kClock);
    struct Case {
        VmsTime time;
        CvtimeFormat format;
        CvtimeField field;
        const char* expected;
    } cases[] = {
        {friday, CvtimeFormat::absolute, F::datetime, "20-DEC-2024 13:05:09.50"},
        {january, CvtimeFormat::absolute, F::datetime, "7-JAN-2024 00:00:00.03"},
        {january, CvtimeFormat::comparison, F::datetime, "2024-01-07 00:00:00.03"},
        {friday, CvtimeFormat::comparison, F::date, "2024-12-20"},
        {january, CvtimeFormat::absolute, F::date, "7-JAN-2024"},
        {friday, CvtimeFormat::comparison, F::time, "13:05:09.50"},
        {friday, CvtimeFormat::comparison, F::year, "2024"},
        {friday, CvtimeFormat::comparison, F::month, "12"},
        {friday, CvtimeFormat::absolute, F::month, "DEC"},
        {january, CvtimeFormat::comparison, F::month, "01"},
        {january, CvtimeFormat::comparison, F::day, "07"},
        {january, CvtimeFormat::absolute, F::day, "7"},
        {january, CvtimeFormat::comparison, F::hour, "00"},
        {friday, CvtimeFormat::comparison, F::minute, "05"},
        {friday, CvtimeFormat::comparison, F::second, "09"},
        {friday, CvtimeFormat::comparison, F::hundredth, "50"},
        {january, CvtimeFormat::comparison, F::hundredth, "03"},
        {friday, CvtimeFormat::comparison, F::weekday, "Friday"},
        {january, CvtimeFormat::absolute, F::weekday, "Sunday"},
        {friday, CvtimeFormat::comparison, F::dayofyear, "355"},  // 2024 is a leap year
        {january, CvtimeFormat::comparison, F::dayofyear, "7"},
        {january, CvtimeFormat::comparison, F::hourofyear, "145"},
        {friday, CvtimeFormat::comparison, F::hourofyear, "8510"},
        {friday, CvtimeFormat::comparison, F::minuteofyear, "510546"},
        {friday, CvtimeFormat::comparison, F::secondofyear, "30632710"},
        {VmsTime{1704067200, 0}, CvtimeFormat::comparison, F::secondofyear, "1"},  // 1-JAN 00:00
    };
    for (const Case& c : cases)
        EXPECT_EQ(format_cvtime(c.time, c.format, c.field), c.expected)
            << static_cast<int>(c.format) << "/" << static_cast<int>(c.field);
}

TEST(CvtimeOutput, Deltas) {
    const int64_t delta = kHundredthsPerDay + 901'550;  // 1-02:30:15.50
    EXPECT_EQ(format_cvtime_delta(delta, CvtimeField::datetime), "1-02:30:15.50");
    EXPECT_EQ(format_cvtime_delta(delta, CvtimeField::date), "1");
    EXPECT_EQ(format_cvtime_delta(delta, CvtimeField::time), "02:30:15.50");
    EXPECT_EQ(format_cvtime_delta(delta, CvtimeField::hour), "02");
    EXPECT_EQ(format_cvtime_delta(delta, CvtimeField::hundredth), "50");
    EXPECT_EQ(format_cvtime_delta(0, CvtimeField::datetime), "0-00:00:00.00");
    EXPECT_EQ(format_asctim_delta(delta), "   1 02:30:15.50");
    EXPECT_EQ(format_asctim_delta(10000 * kHundredthsPerDay - 1), "9999 23:59:59.99");
    EXPECT_EQ(format_asctim_delta(5), "   0 00:00:00.05");
}

TEST(CvtimeKeywords, NamesAndWhatADeltaLacks) {
    EXPECT_EQ(cvtime_format_named(" delta "), CvtimeFormat::delta);
    EXPECT_EQ(cvtime_format_named("Absolute"), CvtimeFormat::absolute);
    EXPECT_FALSE(cvtime_format_named("ABS"));  // no abbreviations
    EXPECT_EQ(cvtime_field_named("hundredth"), CvtimeField::hundredth);
    EXPECT_EQ(cvtime_field_named("SECONDOFYEAR"), CvtimeField::secondofyear);
    EXPECT_FALSE(cvtime_field_named("WEEK"));
    for (CvtimeField f : {CvtimeField::month, CvtimeField::weekday, CvtimeField::year,
                          CvtimeField::dayofyear, CvtimeField::secondofyear})
        EXPECT_FALSE(cvtime_field_allowed(CvtimeFormat::delta, f)) << static_cast<int>(f);
    EXPECT_TRUE(cvtime_field_allowed(CvtimeFormat::delta, CvtimeField::day));
    EXPECT_TRUE(cvtime_field_allowed(CvtimeFormat::absolute, CvtimeField::weekday));
}

// The qualifiers' reader stays strict: two digits of hundredths are F$CVTIME's alone.
TEST(CvtimeInput, QualifierTimesStillRefuseTwoDigitsOfHundredths) {
    ScopedEnv tz("TZ", kUtc);
    reset_process_state();
    VmsTime t;
    EXPECT_EQ(parse_time_at(t, "20-DEC-2024 13:05:09.57", kClock.now), 0u);
    discard_messages();
    EXPECT_TRUE(parse_cvtime_absolute("20-DEC-2024 13:05:09.57", kClock));
}

}  // namespace
}  // namespace dcl
