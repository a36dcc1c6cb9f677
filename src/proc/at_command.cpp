// @file [p1 .. p8] [/OUTPUT=file]: runs a command procedure at a new level.
#include "core/handlers.h"
#include "files/filespec.h"
#include "lang/keywords.h"
#include "lang/qualifier_codes.h"
#include "lang/qualifiers.h"
#include "lang/verbs.h"
#include "proc/procedure.h"
#include "status/condition.h"
#include "status/messages.h"

namespace dcl {

bool parse_procedure_arguments(const TokenList& tokens, size_t first, uint32_t table,
                               size_t max_parameters, ProcedureArguments& args) {
    for (size_t i = first; i < tokens.size(); ++i) {
        const Token& t = tokens[i];
        if (t.type == TOKEN_QUALIFIER) {
            uint32_t flags = 0;
            uint32_t code = lookup_qualifier(t.text, table, flags);
            if (code == 0) return false;
            if (code != qual::AT_OUTPUT) continue;
            if (flags & RESULT_NEGATED) args.output.clear();
            else if (!qualifier_value(args.output, t.text, true)) return false;
            continue;
        }
        if (t.type != TOKEN_PARAMETER) {
            extra_parameter(t.text);
            return false;
        }
        if (args.parameters.size() == max_parameters) {
            signal_condition(cond::DEFOVF);
            return false;
        }
        args.parameters.push_back(remove_quotes(t.text));
    }
    return true;
}

void at_command(CommandContext& cmd) {
    std::string_view verb_text = cmd.tokens[cmd.verb_index].text;
    std::string spec = remove_quotes(verb_text.substr(verb_text.empty() ? 0 : 1));
    if (spec.empty()) {
        signal_condition(cond::NULFIL);
        return;
    }
    std::string path;
    if (!is_success(find_file(path, spec, ".com", "", ""))) {
        signal_condition(cond::DCL_OPENIN, spec);
        return;
    }
    std::string name;
    if (!is_success(unix_to_vms(name, path))) name = spec;
    ProcedureArguments args;
    if (!parse_procedure_arguments(cmd.tokens, cmd.verb_index + 1, verb::AT,
                                   ProcedureArguments::kMaxParameters, args))
        return;
    uint32_t status = push_procedure_level(name);
    if (status == 1) status = open_procedure_streams(path, args.output, args.parameters);
    if (status != 1) signal_condition(status, name);
}

}  // namespace dcl
