// SHOW TIME (and SHOW DAYTIME): the current time, VMS style.
#include <cstdio>
#include <ctime>

#include "core/handlers.h"
#include "files/vms_time.h"

namespace dcl {

uint32_t show_time(const ParsedCommand&, CommandStreams& io) {
    std::fprintf(io.out, "  %s\n", format_time(std::time(nullptr)).c_str());
    std::fflush(io.out);
    return 1;
}

}  // namespace dcl
