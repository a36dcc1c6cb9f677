// DELETE: one verb for several commands. A form-selecting qualifier
// (/SYMBOL, and in time /KEY, /ENTRY, ...) picks the command; without one
// the files named are deleted, which is not carried out yet: the verb's row
// has no handler, so the dispatcher reports it as not available.
#include "core/handlers.h"
#include "lang/keywords.h"
#include "lang/qualifier_codes.h"
#include "lang/verbs.h"

namespace dcl {

namespace {

constexpr uint32_t kNoNeg = KW_NO_NEGATE;
constexpr uint32_t kValue = KW_VALUE_ALLOWED;

// The file qualifiers get their value kinds with the file commands.
constexpr KeywordRecord kRows[] = {
    {"BACKUP", kNoNeg, qual::DELETE_BACKUP},
    {"BEFORE", kValue, qual::DELETE_BEFORE, ValueKind::time},
    {"BY_OWN", kValue, qual::DELETE_BY_OWNER, ValueKind::uic},
    {"CHARAC", kNoNeg, qual::DELETE_CHARACTERISTIC, ValueKind::selector},
    {"CONFIR", 0, qual::DELETE_CONFIRM},
    {"CREATE", kNoNeg, qual::DELETE_CREATED},
    {"ENTRY", kNoNeg, qual::DELETE_ENTRY, ValueKind::selector},
    {"ERASE", 0, qual::DELETE_ERASE},
    {"EXCLUD", KW_NEEDS_VALUE, qual::DELETE_EXCLUDE, ValueKind::list},
    {"EXPIRE", kNoNeg, qual::DELETE_EXPIRED},
    {"FORM", kNoNeg, qual::DELETE_FORM, ValueKind::selector},
    {"INTRUS", kNoNeg, qual::DELETE_INTRUSION, ValueKind::selector},
    {"KEY", kNoNeg, qual::DELETE_KEY, ValueKind::selector},
    {"LOG", 0, qual::DELETE_LOG},
    {"MODIFI", kNoNeg, qual::DELETE_MODIFIED},
    {"QUEUE", kNoNeg, qual::DELETE_QUEUE, ValueKind::selector},
    {"SINCE", kValue, qual::DELETE_SINCE, ValueKind::time},
    {"SYMBOL", kNoNeg, qual::DELETE_SYMBOL, ValueKind::selector},
};
static_assert(std::size(kRows) == 18);

}  // namespace

const KeywordTable kDeleteQualifiers{verb::DELETE, kRows};

}  // namespace dcl
