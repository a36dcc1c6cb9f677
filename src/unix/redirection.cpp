// State of the standard streams.
#include "unix/redirection.h"

namespace dcl {

namespace {
Redirection g_redirection;
}

Redirection& redirection() { return g_redirection; }

void reset_redirection() { g_redirection = Redirection{}; }

void undo_command_redirection() { g_redirection.command_output_active = false; }

}  // namespace dcl
