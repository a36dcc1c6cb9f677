// The accounting texts: durations past a day, and elapsed times taken from
// the two clock readings, right across a year's end.
#include <gtest/gtest.h>

#include "info/accounting.h"

namespace dcl {
namespace {

TEST(Accounting, DurationsAndElapsedTimes) {
    EXPECT_EQ(format_duration(0), "   0:00:00.00");
    EXPECT_EQ(format_duration(356000), "   0:59:20.00");  // 10:30:50 to 11:30:10
    EXPECT_EQ(format_duration((27 * 3600 + 5) * 100 + 7), "  27:00:05.07");
    EXPECT_EQ(format_duration(-5), "   0:00:00.00");
    // 31-DEC-2025 23:59:50 to 1-JAN-2026 00:00:10 (UTC): 20 seconds, not a year backwards.
    time_t start = 1767225590, now = 1767225610;
    EXPECT_EQ(elapsed_hundredths(start, now, 1000, 3025, 100), 2025);
    // Ticks counted at another rate still give hundredths.
    EXPECT_EQ(elapsed_hundredths(start, now, 0, 250, 1000), 2025);
    EXPECT_EQ(elapsed_hundredths(now, start, 0, 0, 100), 0);
}

}  // namespace
}  // namespace dcl
