// The interpreter's own command line.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace dcl {

struct CommandLine {
    std::optional<std::string> command;  // -c: the one command to run
    std::string procedure;               // the procedure operand, VMS form
    std::vector<std::string> procedure_parameters;  // the operands after it
    bool s_given = false;                // -s: the words are P1..P8
    std::vector<std::string> parameters;
};

// Parses the options, applying their effects to the session; option errors
// are reported on standard error and end the program.
CommandLine parse_command_line(int argc, char** argv);

}  // namespace dcl
