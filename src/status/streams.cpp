// The one set of current standard streams.
#include "status/streams.h"

namespace dcl {

Redirection& redirection() {
    static Redirection streams;
    return streams;
}

void reset_redirection() { redirection() = Redirection{}; }

}  // namespace dcl
