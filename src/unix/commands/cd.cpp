// CD: changes the interpreter's working directory and its default
// directory with it.
#include <string>

#include "core/handlers.h"
#include "status/condition.h"
#include "status/messages.h"
#include "unix/child.h"

namespace dcl {

void cd_command(CommandContext& cmd) {
    std::string path;
    size_t next = cmd.verb_index + 1;
    if (next < cmd.tokens.size() && cmd.tokens[next].type == TOKEN_PARAMETER) {
        path = cmd.tokens[next].text;
    }
    uint32_t result = change_directory(path);
    if (result != 0 && !is_success(result)) signal_condition(result);
}

}  // namespace dcl
