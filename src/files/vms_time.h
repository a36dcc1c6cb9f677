// VMS time values: absolute times ("5-JAN-1999 14:03:09.5"), keywords
// (TODAY, TOMORROW, YESTERDAY), delta times ("DDDD-HH:MM:SS.CC") and their
// combinations ("YESTERDAY+12:00", "-1-"), relative to the current local
// time. Local times are converted by the C library, so every date and
// every time zone (half-hour offsets, daylight saving) converts exactly.
#pragma once

#include <cstdint>
#include <ctime>
#include <string>
#include <string_view>

namespace dcl {

struct VmsTime {
    int64_t seconds = 0;  // Unix time
    int hundredths = 0;   // 0..99
};

struct DeltaTime {
    int days = 0, hours = 0, minutes = 0, seconds = 0, hundredths = 0;
};

inline constexpr int64_t kSecondsPerDay = 86400;

// "%2d-%3s-%4.4d %2.2d:%2.2d:%2.2d" of the local time (the day padded with
// a blank), or "00-XXX-0000 00:00:00" when it cannot be broken down.
std::string format_time(int64_t seconds);

// format_time for many times in a row (a listing): the time zone is read
// once, and the text goes into a buffer of its own.
class TimeFormatter {
public:
    TimeFormatter();
    // Valid until the next call.
    std::string_view format(int64_t seconds);

private:
    char text_[64] = {};
};

// "DDDD-HH:MM:SS.CC", every part optional from the right; one digit of
// hundredths d means d0. Returns 1, or 0 after queueing IVDTIME with the
// text.
uint32_t parse_delta_time(DeltaTime& delta, std::string_view text);

// An optional sign and a delta time, as seconds; the hundredths carry the
// same sign. Returns 1, or 0 after queueing IVDTIME with the text.
uint32_t parse_signed_delta(int64_t& seconds, int& hundredths, std::string_view text);

// Any time argument, relative to the current time. Returns 1, or 0 after
// queueing IVATIME (or IVDTIME for a faulty delta part) with the text.
uint32_t parse_time(VmsTime& time, std::string_view text);

// The same, relative to `now` instead of the clock.
uint32_t parse_time_at(VmsTime& time, std::string_view text, VmsTime now);

// The current time with its hundredths.
VmsTime current_time();

}  // namespace dcl
