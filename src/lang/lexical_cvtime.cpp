// F$CVTIME and F$DELTA_TIME: converting time texts and measuring between
// two times. The reading and writing of the texts is in cvtime.cpp.
#include <array>
#include <fcntl.h>
#include <initializer_list>
#include <string>
#include <string_view>
#include <sys/sysinfo.h>

#include "files/unique_fd.h"
#include "lang/cvtime.h"
#include "lang/lexical_functions.h"
#include "status/condition.h"
#include "status/messages.h"
#include "status/session.h"
#include "status/text.h"

namespace dcl {

namespace {

// The boot time: "btime N" of /proc/stat, else now less the uptime.
int64_t boot_time(int64_t now) {
    UniqueFd fd(::open("/proc/stat", O_RDONLY | O_CLOEXEC));
    if (fd.valid()) {
        std::array<char, 8192> buffer{};
        ssize_t n = read_fully(fd.get(), buffer.data(), buffer.size() - 1);
        std::string_view text(buffer.data(), n > 0 ? static_cast<size_t>(n) : 0);
        size_t at = text.find("\nbtime ");
        if (at != std::string_view::npos) {
            int64_t seconds = 0;
            for (size_t i = at + 7; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i)
                seconds = seconds * 10 + (text[i] - '0');
            if (seconds > 0) return seconds;
        }
    }
    struct sysinfo info {};
    return sysinfo(&info) == 0 ? now - info.uptime : now;
}

// BOOT is read from /proc only by the calls that name it.
bool names_boot(std::initializer_list<std::string_view> inputs) {
    for (std::string_view input : inputs)
        if (upper_ascii(input).find("BOOT") != std::string::npos) return true;
    return false;
}

CvtimeClock clock_now(std::initializer_list<std::string_view> inputs) {
    CvtimeClock clock;
    clock.now = current_time();
    clock.boot = names_boot(inputs) ? boot_time(clock.now.seconds) : clock.now.seconds;
    time_t login = session().login_time;
    clock.login = login != 0 ? static_cast<int64_t>(login) : clock.now.seconds;
    return clock;
}

// Evaluates an optional argument into `text`; an absent one stays empty.
uint32_t optional_text(LexicalCall& call, size_t index, std::string& text) {
    text.clear();
    if (!call.given(index)) return 1;
    ExprValue value;
    if (uint32_t status = call.evaluate(index, value); status != 1) return status;
    text = value.text;
    return 1;
}

uint32_t unknown_keyword(std::string_view name) {
    signal_condition(cond::IVKEYW, keyword_text(name));
    return 0;
}

}  // namespace

// F$CVTIME([input][,format][,field]): the time in the comparison form by
// default; a delta time only with the DELTA format.
uint32_t lexical_cvtime(LexicalCall& call) {
    std::string input, format_name, field_name;
    if (uint32_t status = optional_text(call, 0, input); status != 1) return status;
    if (uint32_t status = optional_text(call, 1, format_name); status != 1) return status;
    if (uint32_t status = optional_text(call, 2, field_name); status != 1) return status;
    std::optional<CvtimeFormat> format =
        format_name.empty() ? CvtimeFormat::comparison : cvtime_format_named(format_name);
    if (!format) return unknown_keyword(format_name);
    std::optional<CvtimeField> field =
        field_name.empty() ? CvtimeField::datetime : cvtime_field_named(field_name);
    if (!field || !cvtime_field_allowed(*format, *field)) return unknown_keyword(field_name);

    if (*format == CvtimeFormat::delta) {
        std::optional<int64_t> delta = parse_cvtime_delta(input);
        if (!delta) return cond::IVTIME;
        return call.set_string(format_cvtime_delta(*delta, *field));
    }
    std::optional<VmsTime> time = parse_cvtime_absolute(input, clock_now({input}));
    if (!time) return cond::IVTIME;
    std::optional<std::string> text = format_cvtime(*time, *format, *field);
    if (!text) return cond::IVTIME;
    return call.set_string(*text);
}

// F$DELTA_TIME(start,end[,"ASCTIM"|"DCL"]): the time from start to end as
// a delta, blank-separated with the days right-aligned ($ASCTIM) or in
// the form a delta-time argument takes (DCL).
uint32_t lexical_delta_time(LexicalCall& call) {
    ExprValue start_text, end_text;
    if (uint32_t status = call.evaluate(0, start_text); status != 1) return status;
    if (uint32_t status = call.evaluate(1, end_text); status != 1) return status;
    std::string form;
    if (uint32_t status = optional_text(call, 2, form); status != 1) return status;
    std::string key = keyword_text(form);
    bool dcl_form = key == "DCL";
    if (!key.empty() && !dcl_form && key != "ASCTIM") return unknown_keyword(form);

    CvtimeClock clock = clock_now({start_text.text, end_text.text});
    std::optional<VmsTime> start = parse_cvtime_absolute(start_text.text, clock);
    std::optional<VmsTime> end = parse_cvtime_absolute(end_text.text, clock);
    if (!start || !end) return cond::IVTIME;
    int64_t delta = (end->seconds - start->seconds) * 100 + (end->hundredths - start->hundredths);
    // A delta time has at most four digits of days.
    if (delta < 0 || delta >= 10000 * kHundredthsPerDay) return cond::IVTIME;
    return call.set_string(dcl_form ? format_cvtime_delta(delta, CvtimeField::datetime)
                                    : format_asctim_delta(delta));
}

}  // namespace dcl
