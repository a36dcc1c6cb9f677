// The symbol pipe and the running of images.
#include "unix/symbol_pipe.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <strings.h>

#include "files/filespec.h"
#include "names/logical_names.h"
#include "names/symbols.h"
#include "proc/input_data.h"
#include "status/condition.h"
#include "status/interrupts.h"
#include "status/messages.h"
#include "unix/child.h"
#include "unix/redirection.h"
#include "unix/spawn.h"

namespace dcl {

namespace {

void put16(std::string& out, uint16_t v) {
    out.push_back(static_cast<char>(v & 0xFF));
    out.push_back(static_cast<char>(v >> 8));
}

void put32(std::string& out, uint32_t v) {
    for (int shift = 0; shift < 32; shift += 8) out.push_back(static_cast<char>((v >> shift) & 0xFF));
}

uint32_t get_le(std::string_view s, size_t at, size_t width) {
    uint32_t v = 0;
    for (size_t i = 0; i < width; ++i)
        v |= static_cast<uint32_t>(static_cast<unsigned char>(s[at + i])) << (8 * i);
    return v;
}

uint32_t scope_kind(uint16_t scope) {
    if (scope == sympipe::SCOPE_LOCAL) return SYM_LOCAL;
    if (scope == sympipe::SCOPE_ENVIRONMENT) return SYM_ENVIRONMENT;
    return SYM_GLOBAL;
}

uint16_t kind_scope(uint32_t type) {
    if (type & SYM_LOCAL) return sympipe::SCOPE_LOCAL;
    if (type & SYM_ENVIRONMENT) return sympipe::SCOPE_ENVIRONMENT;
    return sympipe::SCOPE_GLOBAL;
}

// Splits "NAME\0VALUE\0" (the terminators may be missing at the very end).
void split_name_value(std::string_view data, std::string_view& name, std::string_view& value) {
    size_t nul = data.find('\0');
    name = data.substr(0, nul);
    value = {};
    if (nul == std::string_view::npos) return;
    value = data.substr(nul + 1);
    value = value.substr(0, value.find('\0'));
}

PipeMessage serve_set(const PipeMessage& request, ImageRun& run, PipeMessage reply) {
    std::string_view name, value;
    split_name_value(request.data, name, value);
    if (strncasecmp(std::string(name).c_str(), "$STATUS", 8) == 0 && name.size() == 7) {
        // Bit 29 would send the procedure to a label named by nobody; the
        // inhibit bit keeps its meaning.
        uint32_t status = static_cast<uint32_t>(std::strtoul(std::string(value).c_str(), nullptr, 10));
        run.image_status = status & ~CONTINUE_AT_LABEL_BIT;
        run.status_reported = true;
        return reply;
    }
    uint32_t status = set_symbol_text(name, value, scope_kind(request.scope) | SYM_STRING);
    if (status == 1) return reply;
    reply.status = same_message_number(status, cond::ABSYMD) ? sympipe::REPLY_CLASH : sympipe::REPLY_FAILED;
    return reply;
}

}  // namespace

bool encode_message(const PipeMessage& message, std::string& out) {
    if (message.data.size() > sympipe::kMaxBody - sympipe::kHeaderSize) return false;
    std::string bytes;
    put16(bytes, static_cast<uint16_t>(sympipe::kHeaderSize + message.data.size()));
    put32(bytes, message.status);
    put16(bytes, message.function);
    put16(bytes, message.scope);
    bytes += message.data;
    out = std::move(bytes);
    return true;
}

int16_t decode_length(const unsigned char bytes[2]) {
    return static_cast<int16_t>(static_cast<uint16_t>(bytes[0] | (bytes[1] << 8)));
}

bool decode_message(std::string_view body, PipeMessage& message) {
    if (body.size() < sympipe::kHeaderSize) return false;
    message.status = get_le(body, 0, 4);
    message.function = static_cast<uint16_t>(get_le(body, 4, 2));
    message.scope = static_cast<uint16_t>(get_le(body, 6, 2));
    message.data.assign(body.substr(sympipe::kHeaderSize));
    return true;
}

PipeMessage serve_request(const PipeMessage& request, ImageRun& run) {
    PipeMessage reply;
    reply.function = request.function;
    reply.scope = request.scope;
    reply.status = sympipe::REPLY_OK;
    std::string_view name, value;
    split_name_value(request.data, name, value);
    switch (request.function) {
    case sympipe::GET: {
        uint32_t type = 0;
        if (name.empty() || get_symbol_text(name, reply.data, type) != 1) {
            reply.data.clear();
            reply.status = sympipe::REPLY_FAILED;
            reply.scope = sympipe::SCOPE_NONE;
        } else {
            reply.scope = kind_scope(type);
        }
        return reply;
    }
    case sympipe::SET:
        return serve_set(request, run, reply);
    case sympipe::DELETE:
        if (delete_symbol(name, scope_kind(request.scope)) != 1) reply.status = sympipe::REPLY_FAILED;
        return reply;
    default:
        reply.status = sympipe::REPLY_BAD_FUNCTION;
        return reply;
    }
}

PipeMessage refused_request_reply() {
    PipeMessage reply;
    reply.status = sympipe::REPLY_FAILED;
    return reply;
}

bool split_image_words(std::string_view text, std::vector<std::string>& words) {
    words.clear();
    size_t i = 0;
    auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; };
    while (true) {
        while (i < text.size() && blank(text[i])) ++i;
        if (i >= text.size()) return true;
        if (words.size() >= kMaxImageWords) return false;
        std::string word;
        bool quoted = false;
        for (; i < text.size() && (quoted || !blank(text[i])); ++i) {
            if (text[i] != '"') {
                word.push_back(text[i]);
            } else if (quoted && i + 1 < text.size() && text[i + 1] == '"') {
                word.push_back('"');
                ++i;
            } else {
                quoted = !quoted;
            }
        }
        words.push_back(std::move(word));
    }
}

// ---- the running image -----------------------------------------------------

namespace {

// Waits for the image without blocking; true once it has ended (the end is
// recorded in `run`).
bool reap_image(ImageRun& run);

// Waits until `fd` has data or the image has ended. SIGCHLD is blocked
// outside ppoll, so an end between the check and the wait still wakes it.
bool await_data(int fd, ImageRun& run, bool (*ended)(ImageRun&)) {
    sigset_t during;
    sigprocmask(SIG_BLOCK, nullptr, &during);
    sigdelset(&during, SIGCHLD);
    while (true) {
        if (ended(run)) return false;
        pollfd p{fd, POLLIN, 0};
        int n = ppoll(&p, 1, nullptr, &during);
        if (n > 0) return true;
        if (n < 0 && errno != EINTR) return false;
    }
}


// Reads exactly `size` bytes, giving up when the image ends first.
bool read_exact(int fd, char* buffer, size_t size, ImageRun& run, bool (*ended)(ImageRun&)) {
    size_t got = 0;
    while (got < size) {
        if (!await_data(fd, run, ended)) return false;
        ssize_t n = ::read(fd, buffer + got, size - got);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        got += static_cast<size_t>(n);
    }
    return true;
}

// Writes one reply. The descriptor does not block, and a reply (shorter
// than PIPE_BUF) goes in whole or not at all. When the pipe is full the
// wait ends with room, with the image's end, or with a further request:
// an image that sends requests without reading its replies gets no more
// of them, instead of both sides waiting for ever.
static_assert(sympipe::kMaxBody + 2 <= PIPE_BUF, "a reply must be written atomically");

bool write_reply(int reply_fd, int request_fd, std::string_view bytes, ImageRun& run,
                 bool (*ended)(ImageRun&)) {
    sigset_t during;
    sigprocmask(SIG_BLOCK, nullptr, &during);
    sigdelset(&during, SIGCHLD);
    while (true) {
        ssize_t n = ::write(reply_fd, bytes.data(), bytes.size());
        if (n == static_cast<ssize_t>(bytes.size())) return true;
        if (n >= 0 || (errno != EINTR && errno != EAGAIN)) return false;
        if (ended(run)) return false;
        pollfd p[2] = {{reply_fd, POLLOUT, 0}, {request_fd, POLLIN, 0}};
        int ready = ppoll(p, 2, nullptr, &during);
        if (ready < 0 && errno != EINTR) return false;
        if (ready > 0 && !(p[0].revents & POLLOUT) && (p[1].revents & POLLIN)) return true;
    }
}

// Discards `size` bytes of a request that does not fit the buffer.
bool discard(int fd, size_t size, ImageRun& run, bool (*ended)(ImageRun&)) {
    char chunk[256];
    while (size > 0) {
        size_t part = size < sizeof chunk ? size : sizeof chunk;
        if (!read_exact(fd, chunk, part, run, ended)) return false;
        size -= part;
    }
    return true;
}

}  // namespace

bool serve_one_request(int request_fd, int reply_fd, ImageRun& run, bool (*ended)(ImageRun&)) {
    char length_bytes[2];
    if (!read_exact(request_fd, length_bytes, 2, run, ended)) return false;
    int length = decode_length(reinterpret_cast<unsigned char*>(length_bytes));
    PipeMessage reply;
    if (length < static_cast<int>(sympipe::kHeaderSize) || static_cast<size_t>(length) > sympipe::kMaxBody) {
        if (length > 0 && !discard(request_fd, static_cast<size_t>(length), run, ended)) return false;
        reply = refused_request_reply();
    } else {
        char body[sympipe::kMaxBody];
        if (!read_exact(request_fd, body, static_cast<size_t>(length), run, ended)) return false;
        PipeMessage request;
        decode_message(std::string_view(body, static_cast<size_t>(length)), request);
        reply = serve_request(request, run);
    }
    std::string bytes;
    encode_message(reply, bytes);
    return write_reply(reply_fd, request_fd, bytes, run, ended);
}

namespace {

bool reap_image(ImageRun& run) {
    if (run.pid < 0) return true;
    int status = 0;
    pid_t r = wait_child(status, run.pid, true);
    if (r == 0) return false;
    run.pid = -1;
    run.exit_code = r > 0 && WIFEXITED(status) ? WEXITSTATUS(status) : 0;
    uint32_t fault = child_state().image_status;
    if (!run.status_reported && fault != 1) run.image_status = fault;
    return true;
}

// A handler that does nothing: its only use is to end ppoll with EINTR.
void note_child(int) {}

// Stale bytes left by an image that died mid-exchange would be taken for
// the next image's traffic.
void drain(int fd) {
    char chunk[256];
    pollfd p{fd, POLLIN, 0};
    while (poll(&p, 1, 0) > 0 && (p.revents & POLLIN)) {
        if (::read(fd, chunk, sizeof chunk) <= 0) return;
    }
}

// All four ends are the interpreter's: the image gets its two in the
// forked child only, so no other child ever holds them.
uint32_t open_symbol_pipe() {
    SymbolPipe& p = symbol_pipe();
    if (p.open()) return 1;
    int request[2], reply[2];
    if (::pipe2(request, O_CLOEXEC) != 0) return cond::NOPIPE;
    if (::pipe2(reply, O_CLOEXEC) != 0) {
        ::close(request[0]);
        ::close(request[1]);
        return cond::NOPIPE;
    }
    p.request_read = UniqueFd(request[0]);
    p.request_write = UniqueFd(request[1]);
    p.reply_read = UniqueFd(reply[0]);
    p.reply_write = UniqueFd(reply[1]);
    fcntl(reply[1], F_SETFL, fcntl(reply[1], F_GETFL) | O_NONBLOCK);
    return 1;
}

// The image's program with the pipe's ends named in its environment.
void plan_image(ChildLaunch& launch, const std::vector<std::string>& argv, pid_t parent) {
    SymbolPipe& pipe = symbol_pipe();
    launch.program = {argv[0], argv};
    launch.keep = {pipe.reply_read.get(), pipe.request_write.get()};
    ChildEnvironment& env = launch.environment;
    env.set("CLI_SYM_READPIPE", std::to_string(pipe.reply_read.get()));
    env.set("CLI_SYM_WRITEPIPE", std::to_string(pipe.request_write.get()));
    env.set("CLI_PID", std::to_string(parent));
    std::string vms;
    if (unix_to_vms(vms, argv[0]) == 1 && vms.size() < 256) env.set("TQ_IMAGNAME", vms);
    env.set_columns(fileno(redirection().output));
}

bool image_ended(ImageRun& run) { return reap_image(run); }

void serve_until_end(ImageRun& run) {
    while (serve_one_request(symbol_pipe().request_read.get(), symbol_pipe().reply_write.get(), run, image_ended)) {
    }
    // A failed reply write leaves the image running: wait for it anyway.
    while (!reap_image(run)) {
        sigset_t during;
        sigprocmask(SIG_BLOCK, nullptr, &during);
        sigdelset(&during, SIGCHLD);
        sigsuspend(&during);
    }
}

}  // namespace

uint32_t image_start_failure(std::string_view image, int error) {
    signal_condition(cond::ACTIMAGE, image);
    uint32_t reason = error == ENOENT ? cond::FNF : cond::PRV;
    signal_condition(reason);
    return reason;
}

uint32_t run_image(const std::vector<std::string>& argv) {
    if (argv.empty()) return cond::NOPIPE;
    child_state() = ChildState{};
    if (uint32_t status = open_symbol_pipe(); status != 1) return status;
    drain(symbol_pipe().request_read.get());
    drain(symbol_pipe().reply_read.get());
    flush_before_child();
    struct sigaction quiet{}, previous{};
    quiet.sa_handler = note_child;
    sigemptyset(&quiet.sa_mask);
    sigaction(SIGCHLD, &quiet, &previous);
    sigset_t block, saved;
    sigemptyset(&block);
    sigaddset(&block, SIGCHLD);
    sigprocmask(SIG_BLOCK, &block, &saved);
    defer_interrupts();
    terminal_for_child(true, true);
    ImageRun run;
    // The image can find its data lines by name too.
    const std::string& data = input_data_path();
    bool data_named = !data.empty() && is_success(lnm_create_name("LNM$USERMODE", "SYS$INPUT",
                                                                  data, nullptr, 0));
    ChildLaunch launch;
    plan_image(launch, argv, getpid());
    int exec_error = 0;
    pid_t pid = launch_child(launch, exec_error);
    if (pid < 0) {
        signal_condition(FATAL_FAULT, "can't fork");
    } else {
        run.pid = pid;
        watch_child(pid);
        serve_until_end(run);
    }
    terminal_for_child(false, true);
    watch_child(0);
    interrupts().pending = 0;
    resume_interrupts();
    sigprocmask(SIG_SETMASK, &saved, nullptr);
    resync_input_after_child();
    if (data_named) lnm_delete_name("LNM$USERMODE", "SYS$INPUT");
    sigaction(SIGCHLD, &previous, nullptr);
    if (pid < 0) return 1;
    if (exec_error != 0) return image_start_failure(argv[0], exec_error);
    // What the image reported wins over the signal that ended it.
    if (run.status_reported) child_state().failed_by = 0;
    if (run.image_status != 1 || run.status_reported) return run.image_status;
    return static_cast<uint32_t>(run.exit_code & 0xFF);
}

}  // namespace dcl
