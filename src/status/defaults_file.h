// The defaults files: ~/.qvdefaults, then qvdefaults in the installation
// directory. Each line is "KEY value"; the user's file wins.
#pragma once

#include <map>
#include <optional>
#include <string>
#include <string_view>

namespace dcl {

struct DefaultsList {
    std::map<std::string, std::string> entries;  // sorted by key, byte order
};

DefaultsList& defaults_list();
// This part alone back to its start value (unit tests).
void reset_defaults_list();

// Reads both files once at start-up; problems are reported, never fatal.
void read_defaults_files();

// Reads one defaults file into the list (keys already present are kept).
void read_defaults_file(const std::string& path);

std::optional<std::string> default_value(std::string_view key);

}  // namespace dcl
