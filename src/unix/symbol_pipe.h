// Running an image directly, and the symbol pipe through which the image
// reads, defines and deletes DCL symbols and reports its $STATUS while it
// runs.
#pragma once

#include <sys/types.h>

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "files/unique_fd.h"

namespace dcl {

namespace sympipe {
// Functions of a request.
inline constexpr uint16_t GET = 1;
inline constexpr uint16_t SET = 2;
inline constexpr uint16_t DELETE = 3;
// Scopes: the three symbol tables.
inline constexpr uint16_t SCOPE_NONE = 0;
inline constexpr uint16_t SCOPE_LOCAL = 1;
inline constexpr uint16_t SCOPE_GLOBAL = 2;
inline constexpr uint16_t SCOPE_ENVIRONMENT = 3;
// Reply status codes.
inline constexpr uint32_t REPLY_OK = 0;
inline constexpr uint32_t REPLY_FAILED = 10;
inline constexpr uint32_t REPLY_BAD_FUNCTION = 11;
inline constexpr uint32_t REPLY_CLASH = 12;
// Status, function and scope, after the 16-bit length.
inline constexpr size_t kHeaderSize = 8;
// The largest message body served: a name, a value of the longest symbol
// value and their terminators fit with room to spare.
inline constexpr size_t kMaxBody = 2048;
}  // namespace sympipe

struct PipeMessage {
    uint32_t status = 0;
    uint16_t function = 0;
    uint16_t scope = 0;
    std::string data;
};

// The message as it goes down a pipe: the 16-bit length, then the header
// and the data, little-endian. False (out untouched) when the body would
// not fit the length field or the receiving buffer.
bool encode_message(const PipeMessage& message, std::string& out);

// Reads a body (what follows the length). False when it is shorter than
// the header.
bool decode_message(std::string_view body, PipeMessage& message);

// Reads the 16-bit length that starts a message.
int16_t decode_length(const unsigned char bytes[2]);

// What the image reported and how it ended, for one run.
struct ImageRun {
    pid_t pid = -1;
    int exit_code = 0;
    uint32_t image_status = 1;     // a reported $STATUS, or a mapped signal
    bool status_reported = false;
};

// Answers one request: symbol look-ups and changes, and $STATUS, which is
// stored in `run`.
PipeMessage serve_request(const PipeMessage& request, ImageRun& run);

// The reply to a request whose length field is unusable (shorter than the
// header, negative, or longer than the buffer).
PipeMessage refused_request_reply();

// The two pipes, made at the first image and kept for the session. They
// are close-on-exec: only an image gets its two ends, in its own child.
struct SymbolPipe {
    UniqueFd request_read;
    UniqueFd request_write;  // the image's end: CLI_SYM_WRITEPIPE
    UniqueFd reply_read;     // the image's end: CLI_SYM_READPIPE
    UniqueFd reply_write;
    bool open() const { return request_read.valid() && reply_read.valid(); }
};

SymbolPipe& symbol_pipe();

// Serves one request that has arrived on `request_fd` and writes the reply
// to `reply_fd`. `ended` is polled while the body is awaited, so a writer
// that dies half-way does not hang the interpreter. Returns false on a
// system error of the pipes (errno set) or when the image ended.
bool serve_one_request(int request_fd, int reply_fd, ImageRun& run, bool (*ended)(ImageRun&));

// Queues why an image could not be started (the errno of its exec) and
// returns the reason's condition.
uint32_t image_start_failure(std::string_view image, int error);

// Runs an image (argv[0] is its Unix path), serving the symbol pipe until
// it ends. Returns a condition value: a reported $STATUS; a condition for a
// fault signal; the queued reason when it could not be started; else the
// low eight bits of the exit code.
uint32_t run_image(const std::vector<std::string>& argv);

// Splits a foreign command's text into words: blanks separate, double
// quotes group and are removed, a doubled quote inside stands for one.
// False when there are more than kMaxImageWords words.
inline constexpr size_t kMaxImageWords = 255;
bool split_image_words(std::string_view text, std::vector<std::string>& words);

}  // namespace dcl
