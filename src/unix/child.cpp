// Running Unix programs through a shell, waiting for them, and the
// interpreter's own working-directory change.
#include "unix/child.h"

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

#include "files/filespec.h"
#include "status/condition.h"
#include "status/defaults_file.h"
#include "status/interrupts.h"
#include "status/messages.h"
#include "status/session.h"
#include "tty/terminal.h"
#include "unix/plain_command.h"
#include "unix/redirection.h"
#include "unix/spawn.h"

namespace dcl {
namespace {

constexpr size_t kMaxCommandLength = 255;

// At start-up a descriptor without close-on-exec can only have come from
// the caller: the interpreter's own so far (the terminal's) have the flag.
bool inherited(int fd) {
    int flags = fcntl(fd, F_GETFD);
    return flags >= 0 && (flags & FD_CLOEXEC) == 0;
}

}  // namespace

void remember_inherited_descriptors() {
    std::vector<int>& fds = inherited_descriptors().fds;
    fds.clear();
    if (DIR* dir = opendir("/proc/self/fd")) {
        int own = dirfd(dir);
        while (const dirent* entry = readdir(dir)) {
            char* end = nullptr;
            long fd = std::strtol(entry->d_name, &end, 10);
            if (*end != '\0' || end == entry->d_name || fd < 3 || fd == own) continue;
            if (inherited(static_cast<int>(fd))) fds.push_back(static_cast<int>(fd));
        }
        closedir(dir);
    } else {
        for (int fd = 3; fd < 1024; ++fd)
            if (inherited(fd)) fds.push_back(fd);
    }
    std::sort(fds.begin(), fds.end());
}

void terminal_for_child(bool running, bool image) {
    if (!find_tty(STDIN_FILENO)) return;
    set_tty_mode(STDIN_FILENO, !running ? TTY_COMMAND : image ? TTY_IMAGE : TTY_SHELL);
}

void flush_before_child() {
    Redirection& r = redirection();
    std::fflush(r.output);
    std::fflush(r.error);
    std::fflush(stdout);
    std::fflush(stderr);
    // A file read by the interpreter: its descriptor goes back to where
    // the interpreter's reading stands, so the child starts there.
    if (r.input && r.input != stdin) std::fflush(r.input);
}

void resync_input_after_child() {
    // The child read through the shared descriptor; the stream's own idea
    // of its position is stale until it is told.
    FILE* in = redirection().input;
    if (!in) return;
    int fd = fileno(in);
    if (fd < 0) return;
    off_t reached = lseek(fd, 0, SEEK_CUR);
    if (reached >= 0) std::fseek(in, static_cast<long>(reached), SEEK_SET);
}

void report_child_signal(int status) {
    int sig = WTERMSIG(status);
    if (sig == 0) return;
    bool own_doing = interpreter_ended_child(sig);
    bool keyboard = (sig == SIGINT || sig == SIGQUIT) &&
                    (interrupts().terminal_input || is_terminal(STDOUT_FILENO));
    bool interrupted = keyboard || (own_doing && interrupts().child_quits > 0);
    // Passing on the interpreter's own end: it leaves right after.
    if (own_doing && !interrupted) return;
    uint32_t fault = condition_for_signal(sig);
    ChildState& state = child_state();
    if (!interrupted) {
        state.image_status = fault != 1 ? fault : with_severity(cond::UNIXSIG, SEV_ERROR);
        state.failed_by = fault != 1 ? 0 : sig;
    }
    FILE* err = redirection().error;
    if (WCOREDUMP(status)) {
        std::fprintf(err, "signal %d - core dumped\n", sig);
    } else if (interrupted) {
        if (!is_terminal(STDOUT_FILENO)) return;
        std::fputs("\n Interrupt \n", stdout);
        std::fflush(stdout);
    } else if (fault != 1) {
        std::fprintf(err, "subprocess terminated by signal %d\n", sig);
    }
    std::fflush(err);
}

namespace {

// Opens the files of a plain line's redirections, in order, as the shell
// would. False when one cannot be opened: the shell then runs the line and
// says why in its own words.
bool open_redirections(ChildLaunch& launch, const std::vector<PlainRedirection>& list) {
    if (list.empty()) return true;
    const Redirection& r = redirection();
    FILE* own[3] = {r.input, r.output, r.error};
    for (int i = 0; i < 3; ++i) launch.streams[i] = own[i] ? fileno(own[i]) : -1;
    for (const PlainRedirection& d : list) {
        if (d.kind == PlainRedirection::same_as) {
            launch.streams[d.stream] = launch.streams[d.target[0] - '0'];
            continue;
        }
        int flags = d.kind == PlainRedirection::read     ? O_RDONLY
                    : d.kind == PlainRedirection::append ? O_WRONLY | O_CREAT | O_APPEND
                                                         : O_WRONLY | O_CREAT | O_TRUNC;
        UniqueFd fd(::open(std::string(d.target).c_str(), flags | O_CLOEXEC | O_NOCTTY, 0666));
        if (!fd.valid()) return false;
        launch.streams[d.stream] = fd.get();
        launch.opened.push_back(std::move(fd));
    }
    return true;
}

// The shell with the command line, or the program alone when the line
// needs no shell (then the shell is only the fallback that says why the
// program could not start). A shell that reads a start-up file or finds
// an exported function of the program's name is always asked.
void plan_command(ChildLaunch& launch, const std::string& shell, const std::string& command) {
    ChildProgram through_shell{shell, {shell, "-c", command}};
    std::vector<std::string_view> words;
    std::vector<PlainRedirection> redirections;
    const char* path = std::getenv("PATH");
    std::string program;
    if (path && !std::getenv("BASH_ENV") && plain_command_words(command, words, &redirections) &&
        !std::getenv(("BASH_FUNC_" + std::string(words[0]) + "%%").c_str())) {
        program = words[0].find('/') != std::string_view::npos ? std::string(words[0])
                                                               : find_program(words[0], path);
    }
    if (program.empty() || !open_redirections(launch, redirections)) {
        std::fill(std::begin(launch.streams), std::end(launch.streams), -1);
        launch.opened.clear();
        launch.program = std::move(through_shell);
        return;
    }
    launch.program.path = program;
    launch.program.argv.assign(words.begin(), words.end());
    launch.fallback = std::move(through_shell);
    // What the shells pass a program they run.
    launch.environment.set("_", program);
    launch.environment.set_working_directory();
}

// Ends the wait for a child: the child got any interrupt that arrived
// meanwhile, so the interpreter forgets it.
void end_child_wait() {
    watch_child(0);
    interrupts().pending = 0;
    resume_interrupts();
}

std::string trailing_slash(std::string path) {
    if (path.empty() || path.back() != '/') path += '/';
    return path;
}

uint32_t chdir_failure(int error) {
    if (error == EACCES) return cond::PRV;
    if (error == ENOENT) return cond::DNF;
    return cond::SYN;
}

}  // namespace

std::string signal_name(int sig) {
    const char* abbreviation = sigabbrev_np(sig);
    std::string name = abbreviation ? std::string("SIG") + abbreviation : "signal " + std::to_string(sig);
    if (const char* description = sigdescr_np(sig)) name += std::string(" (") + description + ")";
    return name;
}

void queue_child_signal_end() {
    const ChildState& state = child_state();
    signal_condition(state.image_status, state.failed_by ? signal_name(state.failed_by) : "");
}

uint32_t condition_for_signal(int sig) {
    switch (sig) {
    case SIGILL: return cond::OPCDEC;
    case SIGABRT: return cond::ABORT;
    case SIGBUS: return cond::SS_ALIGN;
    case SIGFPE: return cond::HPARITH;
    case SIGSEGV: return cond::ACCVIO;
    default: return cond::NORMAL;
    }
}

std::string choose_shell(const char* shell_variable) {
    if (shell_variable && *shell_variable) {
        std::string_view shell(shell_variable);
        size_t slash = shell.rfind('/');
        std::string_view last = slash == std::string_view::npos ? shell : shell.substr(slash + 1);
        if (last.substr(0, 3) != "dcl") return std::string(shell);
    }
    return access("/bin/ksh", X_OK) == 0 ? "/bin/ksh" : "/bin/sh";
}

pid_t wait_child(int& status, pid_t pid, bool no_hang) {
    pid_t got;
    do {
        got = waitpid(pid > 0 ? pid : -1, &status, no_hang ? WNOHANG : 0);
    } while (got == -1 && errno == EINTR);
    if (got == -1) return -1;
    if (got == pid && pid > 0 && WIFSIGNALED(status)) report_child_signal(status);
    return got;
}

int unix_cmd(std::string_view command) {
    std::string shell = choose_shell(std::getenv("SHELL"));
    std::string text(command);
    defer_interrupts();
    terminal_for_child(true, false);
    flush_before_child();
    child_state() = ChildState{};
    ChildLaunch launch;
    plan_command(launch, shell, text);
    launch.environment.set_columns(fileno(redirection().output));
    int exec_error = 0;
    pid_t pid = launch_child(launch, exec_error);
    if (pid < 0) {
        signal_condition(FATAL_FAULT, "can't fork");
        terminal_for_child(false, false);
        end_child_wait();
        return 1;
    }
    watch_child(pid);
    int status = 0;
    pid_t got = wait_child(status, pid, false);
    terminal_for_child(false, false);
    end_child_wait();
    resync_input_after_child();
    if (got != pid) status = 0;
    if (child_state().image_status != 1) {
        queue_child_signal_end();
        return 0;
    }
    if (WIFSIGNALED(status)) return 0;
    int code = WIFEXITED(status) ? WEXITSTATUS(status) : 0;
    if (exec_error != 0) {
        signal_condition(cond::FNM);
        return 2;
    }
    return code;
}

uint32_t change_directory(std::string_view path) {
    PreviousDirectory& previous = previous_directory();
    bool back = path == "-";
    if (back && !previous.valid) return cond::DNF;
    std::string target = back ? previous.path : std::string(path);
    // Taken before the change: a failed change still replaces it.
    previous.valid = filespec_detail::current_directory(previous.path);
    if (target.empty()) {
        const char* home = std::getenv("HOME");
        if (!home) return cond::DNF;
        target = home;
    }
    if (chdir(target.c_str()) != 0) return chdir_failure(errno);
    if (back) {
        std::fprintf(redirection().output, "%s\n", target.c_str());
        std::fflush(redirection().output);
    }
    std::string absolute = target;
    if (target.front() != '/' && !filespec_detail::current_directory(absolute)) absolute.clear();
    // Unknown (the directory vanished): better no name than a wrong one.
    if (!absolute.empty()) absolute = trailing_slash(absolute);
    session().working_dir = absolute;
    std::string vms;
    if (is_success(unix_to_vms(vms, absolute))) session().default_dir = vms;
    return cond::NORMAL;
}

std::string search_path(std::string_view program, const char* path_variable) {
    std::string name(program);
    if (name.empty() || name.front() == '/' || !path_variable) return name;
    std::string_view path(path_variable);
    std::string candidate = name;
    for (;;) {
        size_t colon = path.find(':');
        std::string_view element = path.substr(0, colon);
        candidate = element.empty() ? "./" + name : std::string(element) + "/" + name;
        if (access(candidate.c_str(), F_OK) == 0) return candidate;
        if (colon == std::string_view::npos) return candidate;
        path.remove_prefix(colon + 1);
    }
}

uint32_t find_unix_command(std::string& result, std::string_view key,
                           std::string_view default_command, bool search) {
    if (defaults_list().entries.empty()) {
        result = std::string(default_command);
        return 1;
    }
    std::string text = default_value(key).value_or(std::string(default_command));
    if (!search) {
        if (text.size() > kMaxCommandLength) return cond::BUFOVF;
        result = text;
        return 1;
    }
    size_t blank = text.find(' ');
    std::string program = text.substr(0, blank);
    std::string arguments = blank == std::string::npos ? "" : text.substr(blank);
    std::string path = search_path(program, std::getenv("PATH"));
    if (access(path.c_str(), F_OK) != 0) {
        signal_condition(cond::ACTIMAGE, key);
        signal_condition(with_severity(cond::IMAGEFNF, SEV_ERROR), path);
        return 0;
    }
    if (path.size() + arguments.size() > kMaxCommandLength) return cond::BUFOVF;
    result = path + arguments;
    return 1;
}

SignalHandler set_signal(int sig, SignalHandler handler) {
    struct sigaction action {};
    struct sigaction previous {};
    action.sa_handler = handler;
    sigemptyset(&action.sa_mask);
    action.sa_flags = 0;
    if (sigaction(sig, &action, &previous) != 0) return SIG_ERR;
    return previous.sa_handler;
}

void block_signal(int sig) {
    sigset_t set;
    sigemptyset(&set);
    sigaddset(&set, sig);
    sigprocmask(SIG_BLOCK, &set, nullptr);
}

int file_exists(const char* path) { return access(path, F_OK) == 0 ? 1 : 0; }
int file_writable(const char* path) { return access(path, W_OK) == 0 ? 1 : 0; }
int file_readable(const char* path) { return access(path, R_OK) == 0 ? 1 : 0; }

}  // namespace dcl
