// Logging out: the farewell line and, when asked for, the accounting
// summary of an interactive session; then the orderly exit.
#include "info/logout.h"

#include <cstdio>
#include <ctime>

#include "files/vms_time.h"
#include "info/accounting.h"
#include "status/exit.h"
#include "status/messages.h"
#include "status/session.h"

namespace dcl {

namespace {

void print_accounting() {
    Accounting a;
    collect_accounting(a);
    show_messages();
    std::printf("\n  Accounting information:\n");
    std::printf("  Block I/O count: %14lld    Peak working set size: %4lld\n",
                static_cast<long long>(a.blocks_input + a.blocks_output), static_cast<long long>(a.peak_working_set));
    std::printf("  Page faults: %18lld    Process swaps: %12lld\n", static_cast<long long>(a.page_faults),
                static_cast<long long>(a.process_swaps));
    std::printf("  Charged CPU time: %s    Elapsed time: %s\n", a.cpu_time.c_str(), a.elapsed_time.c_str());
}

}  // namespace

void logout_session(uint32_t flags, int exit_status) {
    const Session& s = session();
    if (s.interactive) {
        std::printf("  %-12s logged out at %s\n", s.user_name.c_str(), format_time(std::time(nullptr)).c_str());
        if (flags & LOGOUT_ACCOUNTING) print_accounting();
        std::fflush(stdout);
    }
    interpreter_exit(static_cast<uint32_t>(exit_status));
}

}  // namespace dcl
