// SHOW STATUS: the time, the CPU time used and the resource counters.
#include <cstdio>
#include <ctime>

#include "core/handlers.h"
#include "files/vms_time.h"
#include "info/accounting.h"

namespace dcl {

uint32_t show_status(const ParsedCommand&, CommandStreams& io) {
    Accounting a;
    collect_accounting(a);
    std::fprintf(io.out, "  Status on %s     Elapsed CPU: %s\n", format_time(std::time(nullptr)).c_str(),
                 a.cpu_time.c_str());
    std::fprintf(io.out, "  Blocks input :  %8lld    Peak ws :    %8lld    Process swaps : %8lld\n",
                 static_cast<long long>(a.blocks_input), static_cast<long long>(a.peak_working_set),
                 static_cast<long long>(a.process_swaps));
    std::fprintf(io.out, "  Blocks output : %8lld    Phys. Mem. : %8lld    Page Faults :   %8lld\n",
                 static_cast<long long>(a.blocks_output), static_cast<long long>(a.physical_memory),
                 static_cast<long long>(a.page_faults));
    std::fflush(io.out);
    return 1;
}

}  // namespace dcl
