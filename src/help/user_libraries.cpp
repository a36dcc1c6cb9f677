// Collecting the user help libraries from the logical-name tables.
#include "help/user_libraries.h"

#include <cstdio>

#include "files/filespec.h"
#include "names/logical_names.h"
#include "status/condition.h"
#include "status/text.h"

namespace dcl {

namespace {

// A sound bound on the numbered names one table may hold.
constexpr int kMaxNumbered = 1000;

bool translation(std::string_view table, std::string_view name, std::string& value) {
    value.clear();
    return is_success(lnm_translate(table, name, &value, nullptr, LNM_CASE_BLIND, 0, nullptr));
}

void add_library(std::vector<UserLibrary>& out, const std::string& spec) {
    UserLibrary library;
    library.spec = spec;
    library.path = help_library_path(spec);
    library.name = library_name_of(library.path);
    out.push_back(std::move(library));
}

void collect_table(std::string_view table, std::vector<UserLibrary>& out) {
    std::string value;
    if (!translation(table, "HLP$LIBRARY", value)) return;
    add_library(out, value);
    char name[32];
    for (int n = 1; n <= kMaxNumbered; ++n) {
        std::snprintf(name, sizeof name, "HLP$LIBRARY_%d", n);
        if (!translation(table, name, value)) return;
        add_library(out, value);
    }
}

}  // namespace

std::string library_name_of(std::string_view path) {
    UnixPathParts parts;
    split_unix_path(parts, path, current_dotfile_mode());
    return parts.name;
}

std::string help_library_path(std::string_view spec) {
    std::string path;
    if (vms_to_unix(path, spec, kHelpLibraryDefault) != 1 || path.empty()) path = spec;
    return path;
}

std::vector<UserLibrary> find_user_libraries(uint32_t options) {
    std::vector<UserLibrary> out;
    if (options & HELP_USER_PROCESS) collect_table("LNM$PROCESS", out);
    if (options & HELP_USER_GROUP) collect_table("LNM$GROUP", out);
    if (options & HELP_USER_SYSTEM) collect_table("LNM$SYSTEM", out);
    return out;
}

const UserLibrary* user_library_named(std::span<const UserLibrary> libraries, std::string_view prefix) {
    for (const UserLibrary& library : libraries)
        if (library.name.size() >= prefix.size() && equal_nocase(std::string_view(library.name).substr(0, prefix.size()), prefix))
            return &library;
    return nullptr;
}

}  // namespace dcl
