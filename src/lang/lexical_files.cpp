// Lexical functions on file specifications: F$DIRECTORY, F$PARSE,
// F$SEARCH, F$FUV and F$FVU.
#include "lang/lexical_files.h"

#include <sys/stat.h>

#include <algorithm>
#include <array>

#include "files/filespec.h"
#include "lang/qualifiers.h"
#include "status/command_source.h"
#include "status/condition.h"
#include "status/messages.h"
#include "status/session.h"

namespace dcl {

namespace {

// A failed logical-name translation inside a file specification only
// means the name was taken as written.
bool translation_ok(uint32_t status) { return status == 1 || status == cond::NOLOGNAM; }

// Evaluates an optional argument; absent leaves `text` empty.
uint32_t optional_text(const LexicalCall& call, size_t index, std::string& text) {
    text.clear();
    if (!call.given(index)) return 1;
    ExprValue value;
    uint32_t status = call.evaluate(index, value);
    if (status == 1) text = std::move(value.text);
    return status;
}

// A keyword argument: evaluated, blanks removed, upper case.
uint32_t keyword_argument(const LexicalCall& call, size_t index, std::string& keyword) {
    std::string text;
    uint32_t status = optional_text(call, index, text);
    keyword.clear();
    for (char c : text)
        if (!is_blank(c)) keyword.push_back(ascii_upper(c));
    return status;
}

std::string lower_outside_quotes(std::string_view text) {
    std::string out;
    bool quoted = false;
    for (char c : text) {
        if (c == '"') quoted = !quoted;
        out.push_back(quoted ? c : ascii_lower(c));
    }
    return out;
}

// ---- F$PARSE ---------------------------------------------------------------

enum class ParseField { whole, node, device, directory, name, type, version };

struct ParseFieldName {
    std::string_view keyword;
    ParseField field;
};

constexpr std::array<ParseFieldName, 6> kParseFields{{
    {"NODE", ParseField::node},
    {"DEVICE", ParseField::device},
    {"DIRECTORY", ParseField::directory},
    {"NAME", ParseField::name},
    {"TYPE", ParseField::type},
    {"VERSION", ParseField::version},
}};

// False after reporting an unknown keyword.
bool find_parse_field(std::string_view keyword, ParseField& field) {
    field = ParseField::whole;
    if (keyword.empty()) return true;
    for (const ParseFieldName& entry : kParseFields) {
        if (entry.keyword != keyword) continue;
        field = entry.field;
        return true;
    }
    signal_condition(cond::IVKEYW, keyword);
    return false;
}

// False after reporting an unknown keyword.
bool read_parse_type(std::string_view keyword, bool& syntax_only) {
    syntax_only = keyword == "SYNTAX_ONLY";
    if (keyword.empty() || syntax_only || keyword == "NO_CONCEAL") return true;
    signal_condition(cond::IVKEYW, keyword);
    return false;
}

// Splits off a leading "NODE::". False when the text before "::" cannot be
// a node name.
bool split_node(std::string_view text, std::string& node, std::string& spec) {
    size_t colons = text.find("::");
    if (colons == std::string_view::npos) {
        node.clear();
        spec.assign(text);
        return true;
    }
    node.assign(text.substr(0, colons));
    spec.assign(text.substr(colons + 2));
    return !node.empty() && node.find_first_of("[]<>/:") == std::string::npos;
}

bool names_file(std::string_view spec) {
    VmsSpecParts parts;
    parse_vms_spec(parts, spec);
    return !parts.name.empty() || !parts.type.empty();
}

bool directory_of_exists(const std::string& path) {
    size_t slash = path.rfind('/');
    if (slash == std::string::npos) return false;
    struct stat st {};
    std::string directory = path.substr(0, slash + 1);
    return stat(directory.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

struct ParseInput {
    std::string spec, default_spec, related;
    bool syntax_only = false;
};

// The Unix path a specification names. Returns 1 with `path` set, 1 with
// `path` empty when the file and its directory are missing, or the
// translation's failure.
uint32_t locate_for_parse(std::string& path, const ParseInput& in) {
    path.clear();
    bool on_disk = !in.syntax_only && in.spec.find_first_of("[/") != std::string::npos;
    if (!on_disk) {
        uint32_t status = vms_to_unix(path, in.spec, in.default_spec, in.related);
        return translation_ok(status) ? 1 : status;
    }
    uint32_t status = find_file(path, in.spec, in.default_spec, in.related, ".dat");
    if (status == 1 || (status == cond::NOLOGNAM && path_exists(path))) return 1;
    if (status != cond::FNF && status != cond::NOLOGNAM) return status;
    // Missing, but a file of that name may still be parsed when its
    // directory is there.
    path.clear();
    if (!names_file(in.spec) && !names_file(in.default_spec) && !names_file(in.related)) return 1;
    std::string candidate;
    status = vms_to_unix(candidate, in.spec, in.default_spec, in.related);
    if (translation_ok(status) && directory_of_exists(candidate)) path = std::move(candidate);
    return 1;
}

uint32_t parse_result(LexicalCall& call, const std::string& node, const std::string& path,
                      ParseField field) {
    std::string vms;
    unix_to_vms(vms, path);
    VmsSpecParts parts;
    parse_vms_spec(parts, vms);
    switch (field) {
    case ParseField::whole:
        return call.set_string(node.empty() ? vms : node + "::" + vms);
    case ParseField::node:
        return call.set_string(node.empty() ? std::string() : node + "::");
    case ParseField::device:
        return call.set_string(parts.device);
    case ParseField::directory:
        return call.set_string(parts.directory);
    case ParseField::name:
        return call.set_string(parts.name);
    case ParseField::type:
        return call.set_string(parts.type.empty() ? std::string(".") : parts.type);
    case ParseField::version:
        return call.set_string(";");
    }
    return call.set_string({});
}

// ---- F$SEARCH --------------------------------------------------------------

// Drops the contexts of levels that have ended since the last call.
void discard_ended_levels(LexicalSearchState& state) {
    if (state.lowest_level != INT_MAX) {
        auto ended = state.contexts.lower_bound({state.lowest_level + 1, INT_MIN});
        state.contexts.erase(ended, state.contexts.end());
    }
    state.lowest_level = command_source().depth;
}

// The stream's context, with a fresh walker when it is new or now searches
// another specification.
SearchContext& context_for(LexicalSearchState& state, std::pair<int, int> key,
                           const std::string& spec) {
    auto [it, added] = state.contexts.try_emplace(key);
    SearchContext& context = it->second;
    if (added || context.spec != spec) {
        context.spec = spec;
        context.walker = FileWalker(spec, {}, {}, state.interrupted);
        context.walker.names_only();
    }
    return context;
}

}  // namespace

void reset_lexical_search_state() {
    LexicalSearchState& state = lexical_search_state();
    state.contexts.clear();
    state.lowest_level = INT_MAX;
}

void set_search_interrupt_check(bool (*check)()) { lexical_search_state().interrupted = check; }

void note_procedure_level_popped(int new_depth) {
    int& lowest = lexical_search_state().lowest_level;
    lowest = std::min(lowest, new_depth);
}

namespace {

// The working directory with a trailing "/": as the session names it (links
// kept as the user went through them) while that is still where the
// process is, else as the system reports it. False when neither is known.
bool working_directory(std::string& out) {
    const std::string& named = session().working_dir;
    struct stat here {}, there {};
    if (!named.empty() && stat(".", &here) == 0 && stat(named.c_str(), &there) == 0 &&
        here.st_dev == there.st_dev && here.st_ino == there.st_ino) {
        out = named;
        return true;
    }
    if (!filespec_detail::current_directory(out)) return false;
    if (out.empty() || out.back() != '/') out.push_back('/');
    return true;
}

}  // namespace

// F$DIRECTORY(): the bracketed part of the default directory. It is
// derived afresh from where the process is, so that no name kept from an
// earlier directory stands in for one too long to show: such a directory
// is reported as a buffer overflow, one that cannot be found as such.
uint32_t lexical_directory(LexicalCall& call) {
    std::string working;
    if (!working_directory(working)) return with_severity(cond::DNF, SEV_WARNING);
    std::string directory;
    if (unix_to_vms(directory, working) != cond::NORMAL) return cond::BUFOVF;
    size_t bracket = directory.find('[');
    if (bracket == std::string::npos) return with_severity(cond::DNF, SEV_WARNING);
    return call.set_string(std::string_view(directory).substr(bracket));
}

// F$PARSE(spec, [default], [related], [field], [parse type]).
uint32_t lexical_parse(LexicalCall& call) {
    ExprValue spec_value;
    uint32_t status = call.evaluate(0, spec_value);
    if (status != 1) return status;
    ParseInput in;
    std::string node;
    if (!split_node(spec_value.text, node, in.spec)) return call.set_string({});
    status = optional_text(call, 1, in.default_spec);
    if (status == 1) status = optional_text(call, 2, in.related);
    std::string field_keyword, type_keyword;
    if (status == 1) status = keyword_argument(call, 3, field_keyword);
    if (status == 1) status = keyword_argument(call, 4, type_keyword);
    if (status != 1) return status;
    ParseField field;
    if (!find_parse_field(field_keyword, field) || !read_parse_type(type_keyword, in.syntax_only))
        return 0;
    std::string path;
    status = locate_for_parse(path, in);
    if (status != 1) {
        signal_condition(status, in.spec);
        return 0;
    }
    if (path.empty()) return call.set_string({});
    return parse_result(call, node, path, field);
}

// F$SEARCH(spec, [stream]): the next match of a wildcard search kept per
// stream and procedure level; a specification without wildcards is
// searched afresh on every call.
uint32_t lexical_search(LexicalCall& call) {
    LexicalSearchState& state = lexical_search_state();
    discard_ended_levels(state);
    ExprValue spec_value, stream_value;
    uint32_t status = call.evaluate(0, spec_value);
    if (status != 1) return status;
    std::string spec = remove_quotes(lower_outside_quotes(spec_value.text));
    if (call.given(1)) {
        status = call.evaluate(1, stream_value);
        if (status != 1) return status;
        if (stream_value.integer < 0) return cond::IVRANGE;
    }
    std::pair<int, int> key{command_source().depth, stream_value.integer};
    FileWalker& walker = context_for(state, key, spec).walker;
    bool found = walker.next();
    status = walker.status();
    if (!found && status != 1 && status != cond::FNF) {
        state.contexts.erase(key);
        return status;
    }
    std::string result;
    if (found) walker.vms_name(result);
    // Without wildcards every call searches afresh; at the end of a
    // wildcard search the next call starts again.
    if (!found || wildcard_kind(spec) == 0) state.contexts.erase(key);
    return call.set_string(result);
}

// F$FUV(unix path): the VMS form.
uint32_t lexical_fuv(LexicalCall& call) {
    ExprValue path;
    uint32_t status = call.evaluate(0, path);
    if (status != 1) return status;
    std::string vms;
    status = unix_to_vms(vms, path.text);
    if (!translation_ok(status)) return status;
    return call.set_string(vms);
}

// F$FVU(VMS specification): the Unix path.
uint32_t lexical_fvu(LexicalCall& call) {
    ExprValue spec;
    uint32_t status = call.evaluate(0, spec);
    if (status != 1) return status;
    std::string path;
    status = vms_to_unix(path, spec.text);
    if (!translation_ok(status)) return status;
    return call.set_string(path);
}

}  // namespace dcl
