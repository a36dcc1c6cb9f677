// Starting a command procedure: its file, its level, its parameters.
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

// The Unix path and the VMS name of a procedure file. False after
// reporting that it cannot be found.
bool locate_procedure(std::string_view spec, std::string& path, std::string& name) {
    if (!is_success(find_file(path, spec, ".com", "", ""))) {
        signal_condition(cond::DCL_OPENIN, spec);
        return false;
    }
    if (!is_success(unix_to_vms(name, path))) name = spec;
    return true;
}

void enter_procedure(const std::string& path, const std::string& name, std::string_view output,
                     const std::vector<std::string>& parameters) {
    uint32_t status = push_procedure_level(name);
    if (status == 1) status = open_procedure_streams(path, output, parameters);
    if (status != 1) signal_condition(status, name);
}

void start_procedure(std::string_view spec, const std::vector<std::string>& parameters) {
    if (parameters.size() > ProcedureArguments::kMaxParameters) {
        signal_condition(cond::DEFOVF);
        return;
    }
    for (const std::string& value : parameters) {
        if (value.size() > kMaxSymbolValue) {
            signal_condition(cond::BUFOVF);
            return;
        }
    }
    std::string path;
    std::string name;
    if (locate_procedure(spec, path, name)) enter_procedure(path, name, "", parameters);
}

}  // namespace dcl
