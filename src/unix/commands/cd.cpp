// CD: changes the interpreter's working directory and its default
// directory with it.
#include <string>

#include "core/handlers.h"
#include "status/condition.h"
#include "status/messages.h"
#include "unix/child.h"

namespace dcl {

uint32_t cd_command(const ParsedCommand& cmd, CommandStreams&) {
    const ParsedParameter* path = cmd.parameter(0);
    uint32_t result = change_directory(path ? path->text : std::string_view());
    return result != 0 && !is_success(result) ? result : 1;
}

}  // namespace dcl
