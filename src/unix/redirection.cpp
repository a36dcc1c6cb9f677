// State of the standard streams.
#include "unix/redirection.h"

#include "status/condition.h"

namespace dcl {

namespace {
Redirection g_redirection;
}

Redirection& redirection() { return g_redirection; }

void reset_redirection() { g_redirection = Redirection{}; }

void undo_command_redirection() { g_redirection.command_output_active = false; }

}  // namespace dcl

namespace dcl {

// Redirection to files arrives with the Unix process layer; until then a
// definition of a standard stream is refused rather than stored as a
// plain logical name that would not redirect anything.
uint32_t redirect_standard_stream(StandardStream, std::string_view, bool) {
    return cond::NOTAVAIL;
}

// Nothing can be redirected yet, so every stream is as it was at start-up.
uint32_t reset_standard_stream(StandardStream, bool) { return 1; }

}  // namespace dcl
