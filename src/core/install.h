// Finding the installation directory and checking its data files.
#pragma once

#include <optional>
#include <string>

namespace dcl {

// The directory holding the program's data files, ending in "/": TESSEL,
// then the program found on PATH, then the standard places; a second pass
// uses the invocation name (a name with "/" is a path). nullopt when none.
std::optional<std::string> find_install_directory(const std::string& invocation_name);

// The directory part of a program path after resolving one symbolic link;
// a relative link is taken relative to the link's own directory.
std::string program_directory(const std::string& program_path);

// Checks that the three data files are readable; on failure prints the
// explanation and returns false.
bool check_data_files(const std::string& install_dir);

}  // namespace dcl
