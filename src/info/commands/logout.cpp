// LOGOUT and EOJ: the end of the session.
#include "core/handlers.h"
#include "info/logout.h"
#include "lang/keywords.h"
#include "lang/qualifier_codes.h"
#include "lang/verbs.h"
#include "status/session.h"

namespace dcl {

namespace {

constexpr KeywordRecord kRows[] = {
    {"BRIEF", 0, qual::LOGOUT_BRIEF},
    {"FULL", 0, qual::LOGOUT_FULL},
    {"HANGUP", 0, qual::LOGOUT_HANGUP, ValueKind::unsupported},
};

// A session that is not interactive would ask for the summary, but
// prints nothing at all.
uint32_t initial_flags() { return session().interactive ? 0 : LOGOUT_ACCOUNTING; }

}  // namespace

const KeywordTable kLogoutQualifiers{verb::LOGOUT, kRows};

uint32_t logout_command(const ParsedCommand& cmd, CommandStreams&) {
    uint32_t flags = initial_flags();
    for (const ParsedQualifier& q : cmd.qualifiers()) {
        if (q.code == qual::LOGOUT_BRIEF && !q.negated()) flags &= ~LOGOUT_ACCOUNTING;
        if (q.code == qual::LOGOUT_FULL) flags = q.negated() ? flags & ~LOGOUT_ACCOUNTING : flags | LOGOUT_ACCOUNTING;
    }
    logout_session(flags);
}

uint32_t eoj_command(const ParsedCommand&, CommandStreams&) { logout_session(initial_flags()); }

}  // namespace dcl
