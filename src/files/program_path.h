// Finding the program's own directory at start-up: following the link the
// program may have been started through, and searching PATH.
#pragma once

#include <string>
#include <string_view>

namespace dcl {

// The directory (ending in "/") of `program_path` once symbolic links are
// followed (a relative link target is taken from the link's directory); a
// path without "/" gives the current directory. True when a link was
// followed.
bool locate_program_directory(std::string& directory, std::string_view program_path);

// The first directory of PATH (ending in "/"; an empty element or "." is
// the current directory) that holds `name`, or with `need_execute` holds
// it as an executable file. False when PATH is unset or nothing is found.
bool search_path(std::string& directory, std::string_view name, bool need_execute);

}  // namespace dcl
