// The current standard streams: SYS$INPUT, SYS$OUTPUT and SYS$ERROR as the
// interpreter and its children see them.
#pragma once

#include <cstdio>
#include <cstdint>
#include <memory>
#include <string_view>

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

enum StandardStream { STREAM_INPUT = 0, STREAM_OUTPUT = 1, STREAM_ERROR = 2 };

// DEFINE SYS$INPUT/SYS$OUTPUT/SYS$ERROR: sends a standard stream to a file,
// for the session or (DEFINE/USER) for the next command only. Returns a
// condition to report.
uint32_t redirect_standard_stream(StandardStream which, std::string_view file, bool one_command);

// DEASSIGN of those names: puts the stream back as it was at start-up.
uint32_t reset_standard_stream(StandardStream which, bool one_command);

}  // namespace dcl
