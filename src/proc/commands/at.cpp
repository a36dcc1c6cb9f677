// @file [p1 .. p8] [/OUTPUT=file]: runs a command procedure at a new level.
#include "core/handlers.h"
#include "lang/qualifiers.h"
#include "lang/verbs.h"
#include "proc/procedure.h"
#include "status/condition.h"
#include "status/messages.h"

namespace dcl {

void at_command(CommandContext& cmd) {
    std::string_view verb_text = cmd.tokens[cmd.verb_index].text;
    std::string spec = remove_quotes(verb_text.substr(verb_text.empty() ? 0 : 1));
    if (spec.empty()) {
        signal_condition(cond::NULFIL);
        return;
    }
    std::string path;
    std::string name;
    if (!locate_procedure(spec, path, name)) return;
    ProcedureArguments args;
    if (!parse_procedure_arguments(cmd.tokens, cmd.verb_index + 1, verb::AT,
                                   ProcedureArguments::kMaxParameters, args))
        return;
    enter_procedure(path, name, args.output, args.parameters);
}

}  // namespace dcl
