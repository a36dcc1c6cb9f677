// The session record.
#include "status/session.h"

namespace dcl {

namespace {
Session g_session;
}

Session& session() { return g_session; }

void reset_session() { g_session = Session{}; }

}  // namespace dcl
