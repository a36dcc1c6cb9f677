// The default directory as SHOW DEFAULT shows it and F$ENVIRONMENT
// ("DEFAULT") returns it.
#pragma once

#include <string>

namespace dcl {

struct DefaultDirectory {
    // "DISK:" when SYS$DISK is a search list of directories, else empty.
    std::string device;
    // The current directory in VMS form ("[home.kim]").
    std::string directory;
};

DefaultDirectory default_directory();

}  // namespace dcl
