// Unix paths in VMS form, for the names the interpreter defines itself
// ("/dev/null" is "[dev]null.", "/home/ann/" is "[home.ann]").
#pragma once

#include <string>
#include <string_view>

namespace dcl {

std::string unix_path_to_vms(std::string_view path);

}  // namespace dcl
