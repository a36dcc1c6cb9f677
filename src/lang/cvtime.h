// The time texts of F$CVTIME and F$DELTA_TIME: reading absolute, keyword,
// delta and combined times against a given "now", and writing a time in
// the comparison, absolute or delta form, whole or one field of it.
// The qualifiers' time values (files/vms_time.h) keep their own, stricter
// reader; this one also takes two digits of hundredths, as F$TIME's and
// F$FILE_ATTRIBUTES' outputs may carry them.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "files/vms_time.h"

namespace dcl {

enum class CvtimeFormat { comparison, absolute, delta };

enum class CvtimeField {
    datetime, date, time, year, month, day, hour, minute, second, hundredth,
    weekday, dayofyear, hourofyear, minuteofyear, secondofyear,
};

// The times the keywords stand for besides the clock.
struct CvtimeClock {
    VmsTime now;
    int64_t boot = 0;   // BOOT, Unix seconds
    int64_t login = 0;  // LOGIN, Unix seconds
};

inline constexpr int64_t kHundredthsPerDay = kSecondsPerDay * 100;

// An absolute time: "dd-mmm-yyyy[:| ]hh:mm:ss.cc" with any part left out,
// TODAY, TOMORROW, YESTERDAY, BOOT or LOGIN, each optionally followed by
// "+delta" or "-delta"; a text that begins with a sign is a delta from
// now; an empty text is now. nullopt for anything else.
std::optional<VmsTime> parse_cvtime_absolute(std::string_view text, const CvtimeClock& clock);

// An unsigned delta time "dddd-hh:mm:ss.cc" (or "dddd hh:mm:ss.cc"), in
// hundredths of a second.
std::optional<int64_t> parse_cvtime_delta(std::string_view text);

// Keyword names, case-blind and unabbreviated.
std::optional<CvtimeFormat> cvtime_format_named(std::string_view name);
std::optional<CvtimeField> cvtime_field_named(std::string_view name);

// A delta has no month, weekday, year or position in a year.
bool cvtime_field_allowed(CvtimeFormat format, CvtimeField field);

// An absolute time in the comparison or absolute form, local time; nullopt
// when the C library cannot break the time down.
std::optional<std::string> format_cvtime(VmsTime time, CvtimeFormat format, CvtimeField field);

// A delta of `hundredths` (not negative) in the delta form: "1-02:30:15.50".
std::string format_cvtime_delta(int64_t hundredths, CvtimeField field);

// The $ASCTIM form of a delta: the days right-aligned in four,
// "   1 02:30:15.50".
std::string format_asctim_delta(int64_t hundredths);

}  // namespace dcl
