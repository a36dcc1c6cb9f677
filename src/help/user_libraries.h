// User help libraries: the files named by HLP$LIBRARY, HLP$LIBRARY_1,
// HLP$LIBRARY_2, ... in the logical-name tables HELP/USERLIBRARY chooses.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace dcl {

// The tables searched: bits of HELP's option word.
inline constexpr uint32_t HELP_USER_GROUP = 0x100;
inline constexpr uint32_t HELP_USER_PROCESS = 0x200;
inline constexpr uint32_t HELP_USER_SYSTEM = 0x400;
inline constexpr uint32_t HELP_USER_ALL = 0x700;

// The default of every library specification.
inline constexpr std::string_view kHelpLibraryDefault = "SYS$HELP:tesselhelp.hlb";

struct UserLibrary {
    std::string name;  // the file name without its type: what "@name" selects
    std::string spec;  // the translation, as defined
    std::string path;  // the Unix file
};

// The process table first, then the group and system tables; in each
// HLP$LIBRARY and then the numbered names until one is missing.
std::vector<UserLibrary> find_user_libraries(uint32_t options);

// The first library whose name begins with `prefix`, without regard to
// case; nullptr when none does.
const UserLibrary* user_library_named(std::span<const UserLibrary> libraries, std::string_view prefix);

// The file name of `path` without directory and type.
std::string library_name_of(std::string_view path);

// The Unix file a library name stands for, completed from
// SYS$HELP:tesselhelp.hlb (the name as given when it cannot be
// translated, for the open failure to name).
std::string help_library_path(std::string_view spec);

}  // namespace dcl
