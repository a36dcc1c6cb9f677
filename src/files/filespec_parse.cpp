// Taking VMS specifications and Unix paths apart into their fields,
// merging a specification with its default and related specifications,
// and the checks on its text (wildcards, directory brackets).
#include <array>

#include "files/filespec.h"
#include "names/logical_names.h"
#include "status/condition.h"
#include "status/text.h"

namespace dcl {

namespace {

constexpr size_t npos = std::string_view::npos;

bool is_open_bracket(char c) { return c == '[' || c == '<'; }
bool is_close_bracket(char c) { return c == ']' || c == '>'; }

// Is a specification without ":" or "." a logical name of LNM$FILE_DEV?
bool names_file_device(std::string_view spec) {
    if (spec.find_first_of(":.") != npos || !filespec_detail::may_be_logical_name(spec))
        return false;
    std::string value;
    return filespec_detail::translate_name(kFileDevTable, spec, 0, value) == cond::NORMAL;
}

void clear_parts(VmsSpecParts& parts) {
    parts.node.clear();
    parts.device.clear();
    parts.directory.clear();
    parts.name.clear();
    parts.type.clear();
}

// What stands in front of the name: a directory (cut off the end of
// `rest`), then a node and a device.
void parse_front(VmsSpecParts& parts, std::string_view rest, bool device_in_directory) {
    char delimiter = rest.back();
    if (delimiter == '/') {
        size_t first = rest.find('/');
        parts.directory.assign(rest.substr(first));
        rest = rest.substr(0, first);
    } else if (is_close_bracket(delimiter)) {
        size_t open = rest.find('[');
        if (open == npos) open = rest.find('<');
        if (open == npos) open = 0;
        parts.directory.assign(rest.substr(open));
        rest = rest.substr(0, open);
    }
    size_t node_end = rest.rfind("::");
    if (node_end != npos) {
        parts.node.assign(rest.substr(0, node_end + 2));
        rest.remove_prefix(node_end + 2);
    }
    if (rest.empty()) return;
    if (device_in_directory) parts.directory.insert(0, rest);
    else parts.device.assign(rest);
}

void parse_spec_text(VmsSpecParts& parts, std::string_view spec, bool device_in_directory,
                     bool may_be_logical) {
    clear_parts(parts);
    if (spec.empty()) return;
    if (may_be_logical && names_file_device(spec)) {
        std::string& target = device_in_directory ? parts.directory : parts.device;
        target.assign(spec);
        target.push_back(':');
        return;
    }
    // The version stays with the last field, so the search for the field
    // boundaries starts in front of the last ";".
    size_t semicolon = spec.rfind(';');
    size_t name_end = semicolon == npos ? spec.size() : semicolon;
    size_t delimiter = name_end == 0 ? npos : spec.find_last_of(">]/.:", name_end - 1);
    if (delimiter != npos && spec[delimiter] == '.') {
        parts.type.assign(spec.substr(delimiter));
        size_t front = delimiter == 0 ? npos : spec.find_last_of(">]/:", delimiter - 1);
        if (front == npos) {
            parts.name.assign(spec.substr(0, delimiter));
            return;
        }
        parts.name.assign(spec.substr(front + 1, delimiter - front - 1));
        delimiter = front;
    } else {
        parts.name.assign(delimiter == npos ? spec : spec.substr(delimiter + 1));
        if (delimiter == npos) return;
    }
    parse_front(parts, spec.substr(0, delimiter + 1), device_in_directory);
}

// The directory (with the device in front), name and type of one
// specification, Unix or VMS.
void parse_for_merge(VmsSpecParts& parts, std::string_view spec, DotfileMode mode,
                     bool may_be_logical) {
    if (spec.empty() || spec[0] != '/') {
        parse_spec_text(parts, spec, true, may_be_logical);
        return;
    }
    clear_parts(parts);
    UnixPathParts unix_parts;
    split_unix_path(unix_parts, spec, mode);
    parts.directory = std::move(unix_parts.directory);
    parts.name = std::move(unix_parts.name);
    parts.type = std::move(unix_parts.type);
}

const std::string& first_present(const std::array<VmsSpecParts, 3>& specs,
                                 std::string VmsSpecParts::*field) {
    for (const VmsSpecParts& parts : specs)
        if (!(parts.*field).empty()) return parts.*field;
    return specs[0].*field;
}

}  // namespace

void parse_vms_spec(VmsSpecParts& parts, std::string_view spec, bool device_in_directory) {
    parse_spec_text(parts, spec, device_in_directory, true);
}

void split_unix_path(UnixPathParts& parts, std::string_view path, DotfileMode mode) {
    size_t last_slash = npos;
    size_t last_dot = npos;
    bool quoted = false;
    for (size_t i = 0; i < path.size(); ++i) {
        char c = path[i];
        if (c == '"') {
            quoted = !quoted;
        } else if (!quoted && c == '/') {
            last_slash = i;
            last_dot = npos;
        } else if (!quoted && c == '.') {
            last_dot = i;
        }
    }
    size_t name_start = last_slash == npos ? 0 : last_slash + 1;
    parts.directory.assign(path.substr(0, name_start));
    // In Unix mode a leading dot belongs to the name (".login").
    size_t first_type_dot = mode == DotfileMode::unix_names ? name_start + 1 : name_start;
    if (last_dot != npos && last_dot >= first_type_dot) {
        parts.name.assign(path.substr(name_start, last_dot - name_start));
        parts.type.assign(path.substr(last_dot));
    } else {
        parts.name.assign(path.substr(name_start));
        parts.type.clear();
    }
}

int wildcard_kind(std::string_view spec) {
    int kind = 0;
    bool quoted = false;
    bool in_directory = false;
    for (size_t i = 0; i < spec.size(); ++i) {
        char c = spec[i];
        if (c == '"') quoted = !quoted;
        if (quoted || c == '"') continue;
        if (c == '*') kind = 1;
        else if (c == '%' || c == '?') return 2;
        else if (is_open_bracket(c)) in_directory = true;
        else if (is_close_bracket(c)) in_directory = false;
        else if (c == '.' && in_directory && spec.compare(i, 3, "...") == 0) return 2;
        else if (c == '/' && spec.compare(i, 3, "/./") == 0) return 2;
    }
    return kind;
}

bool check_directory_syntax(std::string_view spec) {
    bool inside = false;
    bool closed_before = false;
    size_t rooted_join_at = npos;  // where "[a.]" may be followed by "["
    for (size_t i = 0; i < spec.size(); ++i) {
        char c = spec[i];
        if (is_open_bracket(c)) {
            if (inside || (closed_before && i != rooted_join_at)) return false;
            inside = true;
        } else if (is_close_bracket(c)) {
            if (!inside) return false;
            inside = false;
            closed_before = true;
            rooted_join_at = (i > 0 && spec[i - 1] == '.') ? i + 1 : npos;
        } else if (c == '.' && inside) {
            size_t run = 1;
            while (i + run < spec.size() && spec[i + run] == '.') ++run;
            if (run == 2 || run >= 4) return false;
            i += run - 1;
        }
    }
    // An unclosed bracket would leave the rest of the text inside a
    // directory that never ends.
    return !inside;
}

namespace filespec_detail {

char lower_char(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool equal_case_blind(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (lower_char(a[i]) != lower_char(b[i])) return false;
    return true;
}

bool ends_with_case_blind(std::string_view text, std::string_view suffix) {
    return text.size() >= suffix.size() &&
           equal_case_blind(text.substr(text.size() - suffix.size()), suffix);
}


uint32_t merge_known_spec(std::string& out, std::string_view spec, std::string_view default_spec,
                          std::string_view related, DotfileMode mode, bool spec_may_be_logical) {
    if (spec.size() > kMaxPathLength || default_spec.size() > kMaxPathLength ||
        related.size() > kMaxPathLength)
        return cond::BUFOVF;
    if (spec.starts_with("/dev/")) {
        out.assign(spec);
        return cond::NORMAL;
    }
    std::array<VmsSpecParts, 3> specs;
    parse_for_merge(specs[0], spec, mode, spec_may_be_logical);
    // ".login" typed alone is a file name in Unix mode. Only the
    // specification itself is read so: a default type such as ".COM" must
    // stay a type.
    VmsSpecParts& own = specs[0];
    if (mode == DotfileMode::unix_names && !spec.empty() && spec[0] != '/' && own.name.empty() &&
        !own.type.empty())
        own.name.swap(own.type);
    parse_for_merge(specs[1], default_spec, mode, true);
    parse_for_merge(specs[2], related, mode, true);

    uint32_t status = cond::NORMAL;
    for (const VmsSpecParts& parts : specs)
        if (!parts.node.empty()) status = cond::NOSUCHNODE;
    const std::string& directory = first_present(specs, &VmsSpecParts::directory);
    const std::string& name = first_present(specs, &VmsSpecParts::name);
    const std::string& type = first_present(specs, &VmsSpecParts::type);
    if (directory.size() + name.size() + type.size() > kMaxPathLength) return cond::BUFOVF;
    out.clear();
    out.append(directory).append(name).append(type);
    return status;
}

}  // namespace filespec_detail

uint32_t merge_file_spec(std::string& out, std::string_view spec, std::string_view default_spec,
                         std::string_view related, DotfileMode mode) {
    return filespec_detail::merge_known_spec(out, spec, default_spec, related, mode, true);
}

}  // namespace dcl
