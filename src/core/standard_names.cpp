// The values of the standard logical names.
#include "core/standard_names.h"

#include <cstdlib>
#include <unistd.h>

#include "files/filespec.h"
#include "files/scratch.h"
#include "tty/terminal.h"

namespace dcl {

namespace {

struct StreamDevice {
    std::string name;
    bool terminal = false;
};

// A terminal is named by its device; anything else by what the
// environment variable says (empty when it says nothing).
StreamDevice stream_device(int fd, const char* variable) {
    if (is_terminal(fd)) {
        const char* device = ttyname(fd);
        return {device ? device : "/dev/tty", true};
    }
    const char* value = std::getenv(variable);
    return {value ? value : "", false};
}

// The standard device names are kept in VMS form.
std::string device_value(const std::string& value) {
    return value.starts_with("/dev/") ? unix_path_to_vms(value) : value;
}

}  // namespace

void standard_name_values(StandardNameValues& out) {
    StreamDevice input = stream_device(STDIN_FILENO, "TQ_SYS_INPUT");
    StreamDevice output = stream_device(STDOUT_FILENO, "TQ_SYS_OUTPUT");
    StreamDevice error = stream_device(STDERR_FILENO, "TQ_SYS_ERROR");
    out.input = device_value(input.name);
    out.output = device_value(output.name);
    out.error = device_value(error.name);
    bool any_terminal = input.terminal || output.terminal || error.terminal;
    out.terminal = device_value(any_terminal ? "/dev/tty" : "/dev/null");
    out.null_device = device_value("/dev/null");
    out.scratch = scratch_directory();
}

}  // namespace dcl
