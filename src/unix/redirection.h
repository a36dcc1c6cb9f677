// The current standard streams: SYS$INPUT, SYS$OUTPUT and SYS$ERROR as the
// interpreter and its children see them.
#pragma once

#include <cstdio>
#include <memory>

namespace dcl {

struct FileCloser {
    void operator()(FILE* f) const {
        if (f) std::fclose(f);
    }
};
using OwnedFile = std::unique_ptr<FILE, FileCloser>;

struct Redirection {
    FILE* input = stdin;
    FILE* output = stdout;
    FILE* error = stderr;
    // Output of the current command is redirected (a /OUTPUT qualifier):
    // messages then stay on the error stream.
    bool command_output_active = false;
    // The file named with -O: output and error of the whole session.
    OwnedFile owned_output;
};

Redirection& redirection();
void reset_redirection();

// Puts back the streams that a command redirected for itself.
void undo_command_redirection();

}  // namespace dcl
