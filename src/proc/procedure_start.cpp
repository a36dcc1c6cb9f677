// Starting a command procedure: its file, its level, its parameters.
#include "files/filespec.h"
#include "lang/command_parser.h"
#include "lang/keywords.h"
#include "lang/qualifier_codes.h"
#include "lang/qualifiers.h"
#include "lang/verbs.h"
#include "proc/procedure.h"
#include "status/condition.h"
#include "status/messages.h"

namespace dcl {

bool procedure_arguments(const ParsedCommand& cmd, size_t max_parameters, ProcedureArguments& args) {
    if (const ParsedQualifier* output = cmd.find(qual::AT_OUTPUT)) args.output = output->value;
    if (cmd.parameters.size() > max_parameters) {
        signal_condition(cond::DEFOVF);
        return false;
    }
    for (const ParsedParameter& p : cmd.parameters) args.parameters.push_back(remove_quotes(p.text));
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
