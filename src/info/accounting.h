// What the session has used: CPU and elapsed time, faults, I/O and memory,
// for LOGOUT/FULL and SHOW STATUS.
#pragma once

#include <cstdint>
#include <ctime>
#include <string>

namespace dcl {

struct Accounting {
    std::string cpu_time;      // "   0:00:01.25"
    std::string elapsed_time;
    int64_t page_faults = 0;
    int64_t peak_working_set = 0;
    int64_t process_swaps = 0;
    int64_t physical_memory = 0;
    int64_t blocks_input = 0;
    int64_t blocks_output = 0;
};

// Fills `out` for the interpreter and its waited-for children. A counter
// the system cannot give stays 0, after an ERROR condition is queued.
void collect_accounting(Accounting& out);

// "%4d:%02d:%02d.%02d", the hours not limited to a day.
std::string format_duration(int64_t hundredths);

// The elapsed time from `start` to `now`, in hundredths: the seconds from
// the two clock readings (right across a year's end and a change of
// daylight saving time), the hundredths from the tick counters.
int64_t elapsed_hundredths(time_t start, time_t now, int64_t start_ticks, int64_t now_ticks, int64_t ticks_per_second);

}  // namespace dcl
