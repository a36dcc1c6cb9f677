// Starting a child program. The child borrows the interpreter's memory
// until it runs its program (vfork): nothing of the interpreter is copied
// for a command. So everything the child needs is prepared here first, and
// the child itself only makes system calls.
#pragma once

#include <string>
#include <string_view>
#include <sys/types.h>
#include <vector>

#include "files/unique_fd.h"

namespace dcl {

// The interpreter's environment with some variables set for one child.
class ChildEnvironment {
public:
    // NAME=value for the child, replacing the interpreter's own NAME.
    void set(std::string_view name, std::string_view value);
    // COLS for a screen width other than the usual 80 of the terminal on
    // `output_fd`: children that format to the screen read it.
    void set_columns(int output_fd);
    // PWD as a shell would pass it: kept when it names the working
    // directory, else the working directory's own name.
    void set_working_directory();
    // The environment as execve takes it; valid until the next change.
    char* const* envp();

private:
    std::vector<std::string> entries_;  // "NAME=value"
    std::vector<char*> envp_;
};

struct ChildProgram {
    std::string path;
    std::vector<std::string> argv;
    // The pointer arrays execve takes, pointing into the strings above.
    std::vector<char*> pointers() const;
};

struct ChildLaunch {
    ChildProgram program;
    // Run instead when `program` cannot be started (the shell that then
    // says why); empty: none.
    ChildProgram fallback;
    ChildEnvironment environment;
    // Kept open across exec besides 0..2 and what the interpreter
    // inherited; everything else is closed.
    std::vector<int> keep;
    // What 0, 1 and 2 become instead of the interpreter's streams (-1:
    // its own), and the files opened for them, closed once it started.
    int streams[3] = {-1, -1, -1};
    std::vector<UniqueFd> opened;
};

// Starts the child: the interpreter's current standard streams on 0, 1
// and 2, its other descriptors closed, signals at their defaults and none
// blocked. Returns its process id, or -1 when no process could be made.
// `exec_error` is 0 once one of its programs began to run; otherwise the
// reason the last one could not, and the child has exited with
// kExecFailed.
pid_t launch_child(ChildLaunch& launch, int& exec_error);

}  // namespace dcl
