// The session's script on standard input: read in place when it can be
// positioned, else kept as it is read, so that labels behind the reader
// stay reachable.
#include "proc/script_input.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <memory>
#include <string>
#include <unistd.h>

namespace dcl {

namespace {

constexpr size_t kReadPiece = 64 * 1024;

// Every byte read so far from an unseekable descriptor; `position` is the
// reader's place in it.
struct KeptInput {
    int fd = -1;
    std::string kept;
    size_t position = 0;
    bool at_end = false;  // the writer has closed its end
};

// Reads one more piece onto the kept text. 1 for data, 0 at the end, -1
// on failure (an interruption included: errno tells).
int read_more(KeptInput& in) {
    if (in.at_end) return 0;
    size_t old_size = in.kept.size();
    in.kept.resize(old_size + kReadPiece);
    ssize_t n = ::read(in.fd, in.kept.data() + old_size, kReadPiece);
    in.kept.resize(old_size + (n > 0 ? static_cast<size_t>(n) : 0));
    if (n < 0) return -1;
    if (n == 0) in.at_end = true;
    return n > 0 ? 1 : 0;
}

ssize_t kept_read(void* cookie, char* buffer, size_t size) {
    KeptInput& in = *static_cast<KeptInput*>(cookie);
    if (in.position >= in.kept.size()) {
        int got = read_more(in);
        if (got < 0) return -1;
        if (in.position >= in.kept.size()) return 0;
    }
    size_t n = std::min(size, in.kept.size() - in.position);
    std::memcpy(buffer, in.kept.data() + in.position, n);
    in.position += n;
    return static_cast<ssize_t>(n);
}

// A target beyond what was kept is read up to; past the end it is the
// end, as for a file.
int kept_seek(void* cookie, off64_t* offset, int whence) {
    KeptInput& in = *static_cast<KeptInput*>(cookie);
    off64_t base = whence == SEEK_SET ? 0 : static_cast<off64_t>(in.position);
    if (whence == SEEK_END) {
        int got;
        while ((got = read_more(in)) > 0) {}
        if (got < 0) return -1;
        base = static_cast<off64_t>(in.kept.size());
    }
    off64_t target = base + *offset;
    if (target < 0) {
        errno = EINVAL;
        return -1;
    }
    while (static_cast<size_t>(target) > in.kept.size()) {
        int got = read_more(in);
        if (got < 0) return -1;
        if (got == 0) break;
    }
    in.position = static_cast<size_t>(target);
    *offset = target;
    return 0;
}

int kept_close(void* cookie) {
    delete static_cast<KeptInput*>(cookie);
    return 0;
}

}  // namespace

FILE* open_script_input(int fd, OwnedFile& owned) {
    owned.reset();
    if (lseek(fd, 0, SEEK_CUR) >= 0) return fd == STDIN_FILENO ? stdin : nullptr;
    auto in = std::make_unique<KeptInput>();
    in->fd = fd;
    cookie_io_functions_t functions{kept_read, nullptr, kept_seek, kept_close};
    FILE* stream = fopencookie(in.get(), "r", functions);
    if (!stream) return nullptr;
    in.release();  // the stream owns it now: kept_close frees it
    owned.reset(stream);
    return stream;
}

}  // namespace dcl
