// @file [p1 .. p8] [/OUTPUT=file]: runs a command procedure at a new level.
#include "core/handlers.h"
#include "lang/qualifier_codes.h"
#include "lang/verbs.h"
#include "proc/procedure.h"
#include "status/condition.h"
#include "status/messages.h"
#include "status/text.h"

namespace dcl {

namespace {

// /OUTPUT names a listing file for the procedure's output; /NOOUTPUT
// leaves it on the caller's.
constexpr KeywordRecord kRows[] = {
    {"OUTPUT", KW_NEEDS_VALUE, qual::AT_OUTPUT, ValueKind::string, 0, ""},
};

}  // namespace

// CALL takes the same qualifier.
const KeywordTable kAtQualifiers{verb::AT, kRows};
const KeywordTable kCallQualifiers{verb::CALL, kRows};

uint32_t at_command(const ParsedCommand& cmd, CommandStreams&) {
    std::string_view verb_text = (*cmd.tokens)[cmd.verb_index].text;
    std::string spec = remove_quotes(verb_text.substr(verb_text.empty() ? 0 : 1));
    if (spec.empty()) return cond::NULFIL;
    std::string path;
    std::string name;
    if (!locate_procedure(spec, path, name)) return 0;
    ProcedureArguments args;
    if (!procedure_arguments(cmd, ProcedureArguments::kMaxParameters, args)) return 0;
    enter_procedure(path, name, args.output, args.parameters);
    return 1;
}

}  // namespace dcl
