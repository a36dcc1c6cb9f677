// The interpreter's options record.
#include "status/cli_options.h"

namespace dcl {

namespace {
CliOptions g_options;
}

CliOptions& cli_options() { return g_options; }

void reset_cli_options() { g_options = CliOptions{}; }

}  // namespace dcl
