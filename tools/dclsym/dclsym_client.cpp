// The symbol-pipe client: one request, one reply, little-endian header.
#include "dclsym.h"

#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

constexpr size_t kHeader = 8;    // status, function, scope
constexpr size_t kMaxBody = 2048;  // what the interpreter accepts
constexpr unsigned kGet = 1, kSet = 2, kDelete = 3;

int pipe_fd(const char *variable) {
    const char *text = std::getenv(variable);
    if (!text || !*text) return -1;
    char *end = nullptr;
    long fd = std::strtol(text, &end, 10);
    return (*end == '\0' && fd >= 0) ? static_cast<int>(fd) : -1;
}

bool write_all(int fd, const std::string &bytes) {
    size_t done = 0;
    while (done < bytes.size()) {
        ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        done += static_cast<size_t>(n);
    }
    return true;
}

bool read_all(int fd, unsigned char *buffer, size_t size) {
    size_t got = 0;
    while (got < size) {
        ssize_t n = ::read(fd, buffer + got, size - got);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        got += static_cast<size_t>(n);
    }
    return true;
}

void put_le(std::string &out, unsigned long v, int width) {
    for (int i = 0; i < width; ++i) out.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
}

unsigned long get_le(const unsigned char *p, int width) {
    unsigned long v = 0;
    for (int i = 0; i < width; ++i) v |= static_cast<unsigned long>(p[i]) << (8 * i);
    return v;
}

// Sends one request; the reply's data goes to `reply` (when given).
int exchange(unsigned function, int scope, const std::string &data, std::string *reply, int *reply_scope) {
    int to = pipe_fd("CLI_SYM_WRITEPIPE");
    int from = pipe_fd("CLI_SYM_READPIPE");
    if (to < 0 || from < 0) return DCLSYM_NOPIPE;
    if (data.size() > kMaxBody - kHeader) return DCLSYM_TOOLONG;
    std::string message;
    put_le(message, kHeader + data.size(), 2);
    put_le(message, 0, 4);
    put_le(message, function, 2);
    put_le(message, static_cast<unsigned>(scope), 2);
    message += data;
    if (!write_all(to, message)) return DCLSYM_NOPIPE;
    unsigned char length_bytes[2];
    if (!read_all(from, length_bytes, 2)) return DCLSYM_NOPIPE;
    long length = static_cast<short>(get_le(length_bytes, 2));
    if (length < static_cast<long>(kHeader) || static_cast<size_t>(length) > kMaxBody) return DCLSYM_NOPIPE;
    unsigned char body[kMaxBody];
    if (!read_all(from, body, static_cast<size_t>(length))) return DCLSYM_NOPIPE;
    if (reply) reply->assign(reinterpret_cast<char *>(body) + kHeader, static_cast<size_t>(length) - kHeader);
    if (reply_scope) *reply_scope = static_cast<int>(get_le(body + 6, 2));
    return static_cast<int>(get_le(body, 4));
}

std::string with_nul(const char *text) {
    std::string s(text ? text : "");
    s.push_back('\0');
    return s;
}

}  // namespace

extern "C" int dclsym_get(const char *name, char *value, size_t size, int *scope) {
    std::string reply;
    int found_scope = 0;
    int status = exchange(kGet, 0, with_nul(name), &reply, &found_scope);
    if (scope) *scope = found_scope;
    if (status != DCLSYM_OK) return status;
    if (!value || reply.size() >= size) return DCLSYM_TOOLONG;
    std::memcpy(value, reply.data(), reply.size());
    value[reply.size()] = '\0';
    return DCLSYM_OK;
}

extern "C" int dclsym_set(const char *name, const char *value, int scope) {
    return exchange(kSet, scope, with_nul(name) + with_nul(value), nullptr, nullptr);
}

extern "C" int dclsym_delete(const char *name, int scope) {
    return exchange(kDelete, scope, with_nul(name), nullptr, nullptr);
}

extern "C" int dclsym_report_status(unsigned long status) {
    char text[32];
    std::snprintf(text, sizeof text, "%lu", status);
    return dclsym_set("$STATUS", text, DCLSYM_GLOBAL);
}
