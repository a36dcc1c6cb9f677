// The shared selection qualifiers of the file commands.
#include "files/commands/file_selection.h"

#include "files/filespec.h"
#include "status/condition.h"
#include "status/messages.h"
#include "status/text.h"
#include "unix/redirection.h"

namespace dcl {

namespace {

const ParsedQualifier* given(const ParsedCommand& cmd, uint32_t code) {
    const ParsedQualifier* q = cmd.find(code);
    return q && !q->negated() ? q : nullptr;
}

}  // namespace

uint32_t file_selection(const ParsedCommand& cmd, const SelectionCodes& codes, SearchSelection& out,
                        bool& selecting) {
    out = SearchSelection{};
    bool created = given(cmd, codes.created) != nullptr;
    bool modified = given(cmd, codes.modified) != nullptr;
    const ParsedQualifier* before = given(cmd, codes.before);
    const ParsedQualifier* since = given(cmd, codes.since);
    if (created && modified) return cond::CONFQUAL;
    if ((created || modified) && !before && !since) return cond::DCL_QUALMISS;
    if (before) out.before = before->time;
    if (since) out.since = since->time;
    if (const ParsedQualifier* owner = given(cmd, codes.by_owner)) out.owner = owner->uic;
    if (const ParsedQualifier* exclude = given(cmd, codes.exclude)) out.excludes = exclude->items;
    out.time_selector = modified ? TIME_MODIFIED : TIME_STATUS_CHANGE;
    selecting = out.before || out.since || out.owner || !out.excludes.empty();
    return 1;
}

std::string directory_and_name(std::string_view spec, std::string_view type) {
    VmsSpecParts parts;
    parse_vms_spec(parts, spec);
    std::string out = parts.device;
    out.append(parts.directory).append(parts.name).append(type);
    return out;
}

FILE* output_stream_named(std::string_view spec) {
    Redirection& r = redirection();
    if (equal_nocase(spec, "SYS$OUTPUT")) return r.output;
    if (equal_nocase(spec, "SYS$ERROR")) return r.error;
    if (equal_nocase(spec, "SYS$COMMAND")) return stdout;
    return nullptr;
}

}  // namespace dcl
