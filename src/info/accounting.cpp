// Collecting the session's accounting figures.
#include "info/accounting.h"

#include <cstdio>
#include <sys/resource.h>
#include <sys/times.h>
#include <unistd.h>

#include "status/condition.h"
#include "status/messages.h"
#include "status/session.h"

namespace dcl {

namespace {

int64_t ticks_per_second() {
    long ticks = sysconf(_SC_CLK_TCK);
    return ticks > 0 ? ticks : 100;
}

void add_usage(Accounting& out, const struct rusage& usage) {
    out.page_faults += usage.ru_minflt + usage.ru_majflt;
    out.process_swaps += usage.ru_nswap;
    out.blocks_input += usage.ru_inblock;
    out.blocks_output += usage.ru_oublock;
    out.peak_working_set += usage.ru_maxrss;
    out.physical_memory += usage.ru_idrss;
}

}  // namespace

std::string format_duration(int64_t hundredths) {
    if (hundredths < 0) hundredths = 0;
    int64_t seconds = hundredths / 100;
    char text[48];
    std::snprintf(text, sizeof text, "%4lld:%02lld:%02lld.%02lld", static_cast<long long>(seconds / 3600),
                  static_cast<long long>(seconds / 60 % 60), static_cast<long long>(seconds % 60),
                  static_cast<long long>(hundredths % 100));
    return text;
}

int64_t elapsed_hundredths(time_t start, time_t now, int64_t start_ticks, int64_t now_ticks, int64_t ticks_per_second) {
    int64_t seconds = now > start ? static_cast<int64_t>(now - start) : 0;
    int64_t ticks = now_ticks - start_ticks;
    int64_t hundredths = ticks > 0 && ticks_per_second > 0 ? ticks * 100 / ticks_per_second % 100 : 0;
    return seconds * 100 + hundredths;
}

void collect_accounting(Accounting& out) {
    out = Accounting{};
    const Session& s = session();
    int64_t per_second = ticks_per_second();
    struct tms cpu {};
    clock_t now_ticks = times(&cpu);
    int64_t cpu_ticks = static_cast<int64_t>(cpu.tms_utime) + cpu.tms_stime + cpu.tms_cutime + cpu.tms_cstime;
    out.cpu_time = format_duration(cpu_ticks * 100 / per_second);
    out.elapsed_time = format_duration(
        elapsed_hundredths(s.login_time, std::time(nullptr), s.login_ticks, now_ticks, per_second));
    struct rusage usage {};
    if (getrusage(RUSAGE_SELF, &usage) != 0) {
        signal_condition(with_severity(cond::ERROR, SEV_ERROR), "can't get own resources");
        return;
    }
    add_usage(out, usage);
    if (getrusage(RUSAGE_CHILDREN, &usage) != 0) {
        signal_condition(with_severity(cond::ERROR, SEV_ERROR), "can't get child resources");
        return;
    }
    add_usage(out, usage);
}

}  // namespace dcl
