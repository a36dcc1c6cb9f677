// Putting the standard streams back to the process's own.
#include "status/streams.h"

namespace dcl {

void reset_redirection() { redirection() = Redirection{}; }

}  // namespace dcl
