// The current standard streams as plain data: SYS$INPUT, SYS$OUTPUT and
// SYS$ERROR as the interpreter and its children see them, and the files
// that redirection holds open for them. Every layer writes its output
// here; the rules that change the streams are the redirection layer's
// (unix/redirection.h).
#pragma once

#include <array>
#include <cstdio>
#include <memory>
#include <string>

namespace dcl {

struct FileCloser {
    void operator()(FILE* f) const {
        if (f) std::fclose(f);
    }
};
using OwnedFile = std::unique_ptr<FILE, FileCloser>;

enum StandardStream { STREAM_INPUT = 0, STREAM_OUTPUT = 1, STREAM_ERROR = 2 };
inline constexpr size_t kStandardStreams = 3;

// A procedure level's share of the streams. The base streams are what the
// level returns to when nothing else is in force; the defined ones come
// from a DEFINE of the stream names at this level and close with it.
struct LevelStreams {
    std::array<FILE*, kStandardStreams> base{};
    std::array<std::string, kStandardStreams> base_name;
    std::array<OwnedFile, kStandardStreams> owned_base;  // opened by the level (@/OUTPUT)
    std::array<OwnedFile, kStandardStreams> defined;
    std::array<std::string, kStandardStreams> defined_name;  // as the user gave it
};

struct Redirection {
    FILE* input = stdin;
    FILE* output = stdout;
    FILE* error = stderr;
    // A command's /OUTPUT file, closed when the command ends.
    OwnedFile command_output;
    bool cmd_output_redirected = false;
    // /NOOUTPUT: messages of this command are not copied to SYS$OUTPUT.
    bool no_output = false;
    // DEFINE/USER files: in force until the next image command is over.
    std::array<OwnedFile, kStandardStreams> user;
    // The file named with -O: output and error of the whole session.
    OwnedFile session_output;
    // The value last given to each stream's name in LNM$PROCESS, and the
    // logical-name store's change count just after: while the count stands,
    // the name still has it and need not be translated to be compared.
    struct RecordedName {
        std::string value;
        uint64_t store_changes = UINT64_MAX;
    };
    std::array<RecordedName, kStandardStreams> process_names;
};

Redirection& redirection();
// Back to the process's own streams, closing what redirection held open
// (unit tests).
void reset_redirection();

inline FILE*& current_stream(StandardStream which) {
    Redirection& r = redirection();
    return which == STREAM_INPUT ? r.input : which == STREAM_OUTPUT ? r.output : r.error;
}

}  // namespace dcl
