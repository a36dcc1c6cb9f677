// Starting child programs with vfork. Until it runs its program the child
// shares the interpreter's memory and stack, and the interpreter waits: the
// child must not allocate, touch a stream or return. It works from a
// ChildSetup made beforehand and makes only system calls.
#include "unix/spawn.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "status/interrupts.h"
#include "unix/child.h"
#include "unix/redirection.h"

extern char** environ;

namespace dcl {

void ChildEnvironment::set(std::string_view name, std::string_view value) {
    std::string entry;
    entry.reserve(name.size() + 1 + value.size());
    entry.append(name).append(1, '=').append(value);
    for (std::string& existing : entries_) {
        if (existing.compare(0, name.size() + 1, entry, 0, name.size() + 1) == 0) {
            existing = std::move(entry);
            return;
        }
    }
    entries_.push_back(std::move(entry));
}

void ChildEnvironment::set_columns(int output_fd) {
    struct winsize size {};
    if (ioctl(output_fd, TIOCGWINSZ, &size) != 0 || size.ws_col == 0 || size.ws_col == 80) return;
    set("COLS", std::to_string(size.ws_col));
}

void ChildEnvironment::set_working_directory() {
    const char* pwd = std::getenv("PWD");
    struct stat here {}, named {};
    if (pwd && pwd[0] == '/' && stat(".", &here) == 0 && stat(pwd, &named) == 0 &&
        here.st_dev == named.st_dev && here.st_ino == named.st_ino)
        return;
    char cwd[PATH_MAX];
    if (getcwd(cwd, sizeof cwd)) set("PWD", cwd);
}

char* const* ChildEnvironment::envp() {
    envp_.clear();
    for (char** entry = environ; entry && *entry; ++entry) {
        std::string_view text(*entry);
        bool replaced = std::any_of(entries_.begin(), entries_.end(), [&](const std::string& own) {
            size_t name_end = own.find('=') + 1;
            return text.substr(0, name_end) == std::string_view(own).substr(0, name_end);
        });
        if (!replaced) envp_.push_back(*entry);
    }
    for (std::string& own : entries_) envp_.push_back(own.data());
    envp_.push_back(nullptr);
    return envp_.data();
}

std::vector<char*> ChildProgram::pointers() const {
    std::vector<char*> result;
    result.reserve(argv.size() + 1);
    for (const std::string& word : argv) result.push_back(const_cast<char*>(word.c_str()));
    result.push_back(nullptr);
    return result;
}

namespace {

struct DescriptorSpan {
    unsigned first, last;
};

// What the child does, worked out before it exists.
struct ChildSetup {
    int streams[3] = {-1, -1, -1};
    std::vector<DescriptorSpan> to_close;
    unsigned descriptor_limit = 65535;  // for kernels without close_range
    const std::vector<int>* keep = nullptr;
    std::vector<int> default_signals;   // ignored by the caller: back to default
    const char* path = nullptr;
    char* const* argv = nullptr;
    const char* fallback_path = nullptr;
    char* const* fallback_argv = nullptr;
    char* const* envp = nullptr;
    volatile int* exec_error = nullptr;
};

// The spans of descriptors above 2 that are not in `open`.
std::vector<DescriptorSpan> spans_to_close(std::vector<int> open) {
    std::sort(open.begin(), open.end());
    std::vector<DescriptorSpan> spans;
    unsigned from = 3;
    for (int fd : open) {
        if (fd < static_cast<int>(from)) continue;
        if (static_cast<unsigned>(fd) > from) spans.push_back({from, static_cast<unsigned>(fd) - 1});
        from = static_cast<unsigned>(fd) + 1;
    }
    spans.push_back({from, ~0u});
    return spans;
}

void close_span(const DescriptorSpan& span, unsigned limit) {
    if (close_range(span.first, span.last, 0) == 0) return;
    for (unsigned fd = span.first; fd <= std::min(span.last, limit); ++fd) close(static_cast<int>(fd));
}

// In the child. The streams are first moved above 2 so that none is
// overwritten by another's move (a redirection file may itself sit on 0,
// 1 or 2); the copies on 0..2 are inherited.
[[noreturn]] void become_program(const ChildSetup& setup) {
    int held[3];
    for (int target = 0; target < 3; ++target)
        held[target] = setup.streams[target] >= 0 ? fcntl(setup.streams[target], F_DUPFD_CLOEXEC, 3) : -1;
    for (int target = 0; target < 3; ++target) {
        if (held[target] < 0) continue;
        dup2(held[target], target);
        close(held[target]);
    }
    for (const DescriptorSpan& span : setup.to_close) close_span(span, setup.descriptor_limit);
    for (int fd : *setup.keep) fcntl(fd, F_SETFD, 0);
    struct sigaction default_action {};
    default_action.sa_handler = SIG_DFL;
    for (int sig : setup.default_signals) sigaction(sig, &default_action, nullptr);
    sigset_t none;
    sigemptyset(&none);
    sigprocmask(SIG_SETMASK, &none, nullptr);
    execve(setup.path, setup.argv, setup.envp);
    if (setup.fallback_path) execve(setup.fallback_path, setup.fallback_argv, setup.envp);
    *setup.exec_error = errno;
    _exit(kExecFailed);
}

void take_streams(ChildSetup& setup) {
    Redirection& r = redirection();
    FILE* streams[3] = {r.input, r.output, r.error};
    for (int target = 0; target < 3; ++target) setup.streams[target] = streams[target] ? fileno(streams[target]) : -1;
}

}  // namespace

pid_t launch_child(ChildLaunch& launch, int& exec_error) {
    ChildSetup setup;
    take_streams(setup);
    for (int target = 0; target < 3; ++target)
        if (launch.streams[target] >= 0) setup.streams[target] = launch.streams[target];
    std::vector<int> open = inherited_descriptors().fds;
    open.insert(open.end(), launch.keep.begin(), launch.keep.end());
    setup.to_close = spans_to_close(std::move(open));
    long limit = sysconf(_SC_OPEN_MAX);
    if (limit > 0 && limit < 65536) setup.descriptor_limit = static_cast<unsigned>(limit) - 1;
    setup.keep = &launch.keep;
    const sigset_t& ignored = inherited_descriptors().ignored_signals;
    for (int sig = 1; sig < NSIG; ++sig)
        if (sigismember(&ignored, sig) == 1) setup.default_signals.push_back(sig);
    std::vector<char*> argv = launch.program.pointers();
    std::vector<char*> fallback_argv = launch.fallback.pointers();
    setup.path = launch.program.path.c_str();
    setup.argv = argv.data();
    if (!launch.fallback.path.empty()) {
        setup.fallback_path = launch.fallback.path.c_str();
        setup.fallback_argv = fallback_argv.data();
    }
    setup.envp = launch.environment.envp();
    volatile int child_error = 0;
    setup.exec_error = &child_error;

    // Every signal waits until the child has its program: a handler run
    // in the child would act on the interpreter's memory.
    sigset_t all, saved;
    sigfillset(&all);
    sigprocmask(SIG_SETMASK, &all, &saved);
    interrupts().child_starting = 1;
    pid_t pid = vfork();
    if (pid == 0) become_program(setup);
    int fork_error = errno;
    interrupts().child_starting = 0;
    sigprocmask(SIG_SETMASK, &saved, nullptr);
    exec_error = pid > 0 ? child_error : fork_error;
    return pid;
}

}  // namespace dcl
