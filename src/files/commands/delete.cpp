// DELETE: one verb for several commands. A form-selecting qualifier
// (/SYMBOL, /KEY, /ENTRY, ...) picks the command; without one the files
// named are deleted.
#include <string_view>

#include "core/handlers.h"
#include "lang/keywords.h"
#include "lang/qualifier_codes.h"
#include "lang/verbs.h"
#include "status/condition.h"
#include "status/messages.h"

namespace dcl {

void delete_verb(CommandContext& cmd) {
    for (size_t i = cmd.verb_index + 1; i < cmd.tokens.size(); ++i) {
        const Token& t = cmd.tokens[i];
        if (t.type != TOKEN_QUALIFIER) continue;
        uint32_t flags = 0;
        uint32_t code = lookup_qualifier(t.text, verb::DELETE, flags);
        if (code == 0) return;
        if (code == qual::DELETE_SYMBOL) {
            delete_symbol_command(cmd, i);
            return;
        }
    }
    // The other forms, and deleting files, are not carried out yet.
    signal_condition(cond::NOTAVAIL);
}

}  // namespace dcl
