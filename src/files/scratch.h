// Scratch files: the scratch directory, fresh names for temporary files,
// and the register of temporary files that live for one command and are
// removed by the command loop when the command is over (also when it
// failed).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace dcl {

// Longest path the register takes; longer ones are refused, never cut.
inline constexpr size_t kMaxTemporaryPath = 267;

struct TemporaryFiles {
    std::vector<std::string> paths;  // registered, oldest first
    unsigned counter = 0;            // numbers the fallback names
};

TemporaryFiles& temporary_files();

// The scratch directory: TQTMPDIR with a trailing "/", else "/tmp/".
std::string scratch_directory();

// A fresh "qvXXXXXX" name in the scratch area: SYSSCRATCH, else what
// SYS$SCRATCH translates to (a VMS directory converted), else /tmp; a
// directory the user cannot write to is replaced by /tmp. The file is
// created, empty and private to the user, unless the system's name routine
// failed and the "qvNNNNNN" fallback name (counter and process id) was
// used.
std::string temporary_file_name();

// Creates an empty file of a new name in the scratch area and registers
// it. Returns its path, or an empty string when no file could be created
// or registered.
std::string create_temporary_file();

// Adds a file to the register. Returns 1; BUFOVF for a path longer than
// kMaxTemporaryPath, and the file is then removed at once so that it does
// not outlive the command.
uint32_t register_temporary_file(std::string_view path);

// Removes every registered file, the most recent first, and empties the
// register.
void remove_temporary_files();

}  // namespace dcl
