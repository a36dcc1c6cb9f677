// Time values: the display form, delta times, absolute and keyword times
// and their combinations, in several time zones and outside 1970-2099.
#include "files/vms_time.h"

#include <gtest/gtest.h>

#include "core/state_reset.h"
#include "lang/keywords.h"
#include "lang/qualifiers.h"
#include "status/condition.h"
#include "status/messages.h"
#include "support/scoped_env.h"

namespace dcl {
namespace {

using test::ScopedEnv;

constexpr const char* kUtc = "UTC0";
constexpr const char* kIndia = "IST-5:30";                          // half-hour zone
constexpr const char* kNewfoundland = "NST3:30NDT,M3.2.0,M11.1.0";  // half hour and DST
constexpr const char* kNewYork = "EST5EDT,M3.2.0,M11.1.0";

// 15-MAR-2024 10:20:30.07 UTC.
constexpr VmsTime kNow{1710498030, 7};

class VmsTimeTest : public ::testing::Test {
protected:
    void SetUp() override { reset_process_state(); }
    void TearDown() override { reset_process_state(); }

    // The first queued condition and its text, then an empty queue.
    std::pair<uint32_t, std::string> take_condition() {
        MessageQueue& q = message_queue();
        std::pair<uint32_t, std::string> first{0, ""};
        if (q.count > 0) first = {q.entries[0].value, q.entries[0].arg1};
        discard_messages();
        return first;
    }
};

TEST_F(VmsTimeTest, FormatTime) {
    struct Case {
        const char* zone;
        int64_t seconds;
        const char* shown;
    } cases[] = {
        {kUtc, 915544989, " 5-JAN-1999 14:03:09"},  // the day padded with a blank
        {kUtc, 4107542400, " 1-MAR-2100 00:00:00"},
        {kUtc, -1, "31-DEC-1969 23:59:59"},
        {kIndia, 0, " 1-JAN-1970 05:30:00"},
        {kNewfoundland, 1593613800, " 1-JUL-2020 12:00:00"},
        {kUtc, INT64_MAX, "00-XXX-0000 00:00:00"},
    };
    for (const Case& c : cases) {
        ScopedEnv tz("TZ", c.zone);
        EXPECT_EQ(format_time(c.seconds), c.shown) << c.zone << " " << c.seconds;
    }
}

TEST_F(VmsTimeTest, DeltaTimes) {
    struct Case {
        const char* text;
        bool ok;
        DeltaTime expected;
    } cases[] = {
        {"1:2:3.4", true, {0, 1, 2, 3, 40}},
        {"1:2:3.45", true, {0, 1, 2, 3, 45}},
        {"9999-23:59:59.99", true, {9999, 23, 59, 59, 99}},
        {"1-", true, {1, 0, 0, 0, 0}},
        {"3 12", true, {3, 12, 0, 0, 0}},
        {"12", true, {0, 12, 0, 0, 0}},
        {"12345-", false, {}},
        {"1:2:3.456", false, {}},
        {"1:234", false, {}},
        {"123:00", false, {}},
        {"1:2:3,4", false, {}},
        {"-1", false, {}},
        {"", false, {}},
    };
    for (const Case& c : cases) {
        DeltaTime d{7, 7, 7, 7, 7};
        EXPECT_EQ(parse_delta_time(d, c.text), c.ok ? 1u : 0u) << c.text;
        auto [value, text] = take_condition();
        if (!c.ok) {
            EXPECT_EQ(value, cond::IVDTIME) << c.text;
            EXPECT_EQ(text, c.text);
            continue;
        }
        EXPECT_EQ(value, 0u) << c.text;
        EXPECT_EQ((std::array{d.days, d.hours, d.minutes, d.seconds, d.hundredths}),
                  (std::array{c.expected.days, c.expected.hours, c.expected.minutes, c.expected.seconds,
                              c.expected.hundredths}))
            << c.text;
    }
}

TEST_F(VmsTimeTest, SignedDeltas) {
    struct Case {
        const char* text;
        uint32_t status;
        int64_t seconds;
        int hundredths;
    } cases[] = {
        {"-1-", 1, -86400, 0},
        {"+1:00", 1, 3600, 0},
        {"2-3:4:5.6", 1, ((2 * 24 + 3) * 60 + 4) * 60 + 5, 60},
        {"-0:0:1.5", 1, -1, -50},
        {"x", 0, 0, 0},
        {"+", 0, 0, 0},
    };
    for (const Case& c : cases) {
        int64_t seconds = 99;
        int hundredths = 99;
        EXPECT_EQ(parse_signed_delta(seconds, hundredths, c.text), c.status) << c.text;
        EXPECT_EQ(std::pair(seconds, hundredths), std::pair(c.seconds, c.hundredths)) << c.text;
        EXPECT_EQ(take_condition().first, c.status ? 0u : cond::IVDTIME) << c.text;
    }
}

struct TimeCase {
    const char* zone;
    const char* text;
    uint32_t condition;  // 0: accepted
    int64_t seconds;
    int hundredths;
};

TEST_F(VmsTimeTest, AbsoluteAndRelativeTimes) {
    const TimeCase cases[] = {
        {kUtc, "5-JAN-1999 14:03:09", 0, 915544989, 0},
        {kUtc, " 5-jan-1999:14:03:09.5", 0, 915544989, 50},
        {kUtc, "5-JAN-1999 14:03:09.50", cond::IVATIME, 0, 0},  // two digits of hundredths
        {kUtc, "1-MAR-2100", 0, 4107542400, 0},
        {kUtc, "29-FEB-2100", cond::IVATIME, 0, 0},  // 2100 is no leap year
        {kUtc, "29-FEB-2000 12:00", 0, 951825600, 0},
        {kUtc, "1-MAR-1900", 0, -2203891200, 0},
        {kUtc, "31-DEC-1969 23:59:59", 0, -1, 0},
        {kIndia, "1-JAN-1970 05:30:00", 0, 0, 0},
        {kNewfoundland, "1-JUL-2020 12:00", 0, 1593613800, 0},
        {kNewYork, "1-JUL-2020 12:00", 0, 1593619200, 0},
        {kUtc, "TODAY", 0, 1710460800, 0},
        {kUtc, "today", 0, 1710460800, 0},
        {kUtc, "", 0, 1710460800, 0},
        {kUtc, "TOM", 0, 1710547200, 0},
        {kUtc, "YESTERDAY+12:00", 0, 1710417600, 0},
        {kUtc, "TODAY 14:00", 0, 1710511200, 0},
        {kUtc, "T", cond::IVATIME, 0, 0},
        {kUtc, "TO", cond::IVATIME, 0, 0},
        {kUtc, "-1-", 0, 1710498030 - 86400, 7},
        {kUtc, "+0:0:1.95", 0, 1710498032, 2},
        {kUtc, "14:00", 0, 1710511200, 0},
        {kUtc, "-- 00:00:00", 0, 1710460800, 0},
        {kUtc, "JAN", 0, 1705276800, 0},
        {kUtc, "5-JAN-1999-1-", 0, 915408000, 0},
        {kUtc, "TODAY+12345-", cond::IVDTIME, 0, 0},
        {kUtc, "5-JAN-99", cond::IVATIME, 0, 0},
        {kUtc, "32-JAN-2000", cond::IVATIME, 0, 0},
        {kUtc, "5-JANUARY-2000", cond::IVATIME, 0, 0},
        {kUtc, "5-XYZ-2000", cond::IVATIME, 0, 0},
        {kUtc, "24:00", cond::IVATIME, 0, 0},
        {kUtc, "5/JAN/2000", cond::IVATIME, 0, 0},
    };
    for (const TimeCase& c : cases) {
        ScopedEnv tz("TZ", c.zone);
        VmsTime t{42, 42};
        uint32_t status = parse_time_at(t, c.text, kNow);
        auto [condition, text] = take_condition();
        EXPECT_EQ(condition, c.condition) << c.zone << " " << c.text;
        EXPECT_EQ(status, c.condition == 0 ? 1u : 0u) << c.text;
        if (c.condition == 0) {
            EXPECT_EQ(std::pair(t.seconds, t.hundredths), std::pair(c.seconds, c.hundredths)) << c.text;
        } else if (c.condition == cond::IVATIME) {
            EXPECT_EQ(text, c.text);
        }
    }
}

// Calendar days, not 86400-second steps: the day after a change to summer
// time begins at midnight, not at one in the morning.
TEST_F(VmsTimeTest, KeywordsFollowTheCalendarAcrossDaylightSaving) {
    ScopedEnv tz("TZ", kNewYork);
    const VmsTime noon_after_change{1710086400, 0};  // 10-MAR-2024 12:00 EDT
    VmsTime t;
    ASSERT_EQ(parse_time_at(t, "TOMORROW", noon_after_change), 1u);
    EXPECT_EQ(t.seconds, 1710129600);  // 11-MAR-2024 00:00 EDT
    ASSERT_EQ(parse_time_at(t, "TODAY", noon_after_change), 1u);
    EXPECT_EQ(t.seconds, 1710046800);  // 10-MAR-2024 00:00 EST
}

TEST_F(VmsTimeTest, QualifierTime) {
    ScopedEnv tz("TZ", kUtc);
    uint32_t options = 0;
    VmsTime t;
    EXPECT_TRUE(qualifier_time(t, options, "/SINCE=\"5-JAN-1999 14:03:09\"", 4, RESULT_VALUE));
    EXPECT_EQ(std::pair(options, t.seconds), std::pair(4u, int64_t{915544989}));

    VmsTime today;
    ASSERT_TRUE(qualifier_time(t, options, "/SINCE", 4, 0));
    ASSERT_EQ(parse_time(today, "TODAY"), 1u);
    EXPECT_EQ(t.seconds, today.seconds);

    EXPECT_FALSE(qualifier_time(t, options, "/BEFORE=TO", 8, RESULT_VALUE));
    EXPECT_EQ(take_condition(), std::pair(cond::IVATIME, std::string("TO")));
    EXPECT_TRUE(qualifier_time(t, options, "/NOSINCE", 4, RESULT_NEGATED));
    EXPECT_EQ(options, 8u);
}

}  // namespace
}  // namespace dcl
