// Fuzzes the time texts of F$CVTIME and F$DELTA_TIME: the text is read as
// an absolute time against a fixed clock, as a delta time, and as format
// and field names; whatever was read is written in every format and field,
// and the absolute and delta forms must read back to the same time.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <ctime>
#include <string>

#include "lang/cvtime.h"

namespace {

using dcl::CvtimeField;
using dcl::CvtimeFormat;

// 15-MAR-2024 10:20:30.07 UTC, booted a day before, logged in an hour before.
constexpr dcl::CvtimeClock kClock{{1710498030, 7}, 1710411630, 1710494430};
constexpr CvtimeField kFields[] = {
    CvtimeField::datetime, CvtimeField::date, CvtimeField::time, CvtimeField::year,
    CvtimeField::month, CvtimeField::day, CvtimeField::hour, CvtimeField::minute,
    CvtimeField::second, CvtimeField::hundredth, CvtimeField::weekday, CvtimeField::dayofyear,
    CvtimeField::hourofyear, CvtimeField::minuteofyear, CvtimeField::secondofyear,
};

void check_absolute(dcl::VmsTime time) {
    if (time.hundredths < 0 || time.hundredths > 99) __builtin_trap();
    for (CvtimeFormat format : {CvtimeFormat::comparison, CvtimeFormat::absolute})
        for (CvtimeField field : kFields)
            if (std::optional<std::string> text = dcl::format_cvtime(time, format, field);
                text && text->empty())
                __builtin_trap();
    std::optional<std::string> compared =
        dcl::format_cvtime(time, CvtimeFormat::comparison, CvtimeField::datetime);
    if (compared && compared->size() != 22) __builtin_trap();
    std::optional<std::string> absolute =
        dcl::format_cvtime(time, CvtimeFormat::absolute, CvtimeField::datetime);
    std::optional<std::string> year = dcl::format_cvtime(time, CvtimeFormat::comparison, CvtimeField::year);
    if (!absolute || !year || std::atoi(year->c_str()) < 1858) return;  // not readable before 1858
    std::optional<dcl::VmsTime> again = dcl::parse_cvtime_absolute(*absolute, kClock);
    if (!again || again->seconds != time.seconds || again->hundredths != time.hundredths)
        __builtin_trap();
}

void check_delta(int64_t hundredths) {
    if (hundredths < 0 || hundredths >= 10000 * dcl::kHundredthsPerDay) __builtin_trap();
    for (CvtimeField field : kFields)
        if (dcl::cvtime_field_allowed(CvtimeFormat::delta, field) &&
            dcl::format_cvtime_delta(hundredths, field).empty())
            __builtin_trap();
    std::string dcl_form = dcl::format_cvtime_delta(hundredths, CvtimeField::datetime);
    std::string asctim = dcl::format_asctim_delta(hundredths);
    if (asctim.size() != 16) __builtin_trap();
    if (dcl::parse_cvtime_delta(dcl_form) != hundredths || dcl::parse_cvtime_delta(asctim) != hundredths)
        __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    setenv("TZ", "UTC0", 1);  // no gaps or repeats, so that times read back exactly
    tzset();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string text(reinterpret_cast<const char*>(data), size);
    if (std::optional<dcl::VmsTime> time = dcl::parse_cvtime_absolute(text, kClock))
        check_absolute(*time);
    if (std::optional<int64_t> delta = dcl::parse_cvtime_delta(text)) check_delta(*delta);

    // A name read as a keyword must give a value for the clock's time.
    if (std::optional<CvtimeFormat> format = dcl::cvtime_format_named(text);
        format && *format != CvtimeFormat::delta &&
        !dcl::format_cvtime(kClock.now, *format, CvtimeField::datetime))
        __builtin_trap();
    if (std::optional<CvtimeField> field = dcl::cvtime_field_named(text);
        field && dcl::format_cvtime(kClock.now, CvtimeFormat::absolute, *field).value_or("").empty())
        __builtin_trap();
    return 0;
}
