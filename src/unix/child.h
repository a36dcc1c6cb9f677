// Child processes: running a command line through a Unix shell, waiting for
// a child, the working-directory change, and the program behind a utility.
#pragma once

#include <csignal>
#include <cstdint>
#include <string>
#include <string_view>
#include <sys/types.h>
#include <vector>

namespace dcl {

// What the interpreter knows about the child it waits for (the process id
// itself is interrupts().child, so that interrupts reach it).
struct ChildState {
    uint32_t image_status = 1;  // a condition once a signal ended the child
    int failed_by = 0;          // the signal behind an image_status that names it
};

ChildState& child_state();

// Where CD was before its last change: "CD -" goes back there.
struct PreviousDirectory {
    std::string path;
    bool valid = false;
};

PreviousDirectory& previous_directory();

// What the interpreter's caller handed down and children get as it was:
// the descriptors above 2 (sorted), and the signals it had ignored, which
// children get back at their default disposition.
struct InheritedDescriptors {
    std::vector<int> fds;
    sigset_t ignored_signals{};
};

InheritedDescriptors& inherited_descriptors();

// The condition for a child ended by a fault signal (illegal instruction,
// abort, bus error, arithmetic trap, segmentation fault); 1 for others.
uint32_t condition_for_signal(int sig);

// How a message names a signal: "SIGKILL (Killed)".
std::string signal_name(int sig);

// Queues the condition of a child that a signal ended, with the signal's
// name when the condition takes it.
void queue_child_signal_end();

// The shell for command lines, from the value of SHELL (nullptr: unset).
// A shell whose name starts with "dcl" is refused so that the interpreter
// never starts itself; then /bin/ksh when executable, else /bin/sh.
std::string choose_shell(const char* shell_variable);

// Runs a command line through the shell with the current standard streams
// and waits. Returns the exit code (0..255); 0 when the shell ended by a
// signal; 2 when the shell could not be started and 1 when no process
// could be created (both already queued).
int unix_cmd(std::string_view command);

// waitpid repeated on EINTR; reports a child's end by a signal (a fault
// signal sets child_state().image_status). Returns what waitpid returned.
pid_t wait_child(int& status, pid_t pid, bool no_hang);

// CD: "-" is the previous directory, "" is HOME. Returns a condition.
uint32_t change_directory(std::string_view path);

// The command line of a utility verb: the defaults-file entry `key` or
// `default_command`; with `search`, its program is looked up on PATH.
// Returns 1 with `result` set; 0 when the failure was queued; BUFOVF
// (unqueued) when the result would be too long.
uint32_t find_unix_command(std::string& result, std::string_view key,
                           std::string_view default_command, bool search);

// The PATH search alone: the first existing "element/program" (an empty
// element meaning "./"), or the last candidate tried.
std::string search_path(std::string_view program, const char* path_variable);

// A child that could not start its program exits with this code.
inline constexpr int kExecFailed = 88;

// Notes the descriptors above 2 that the interpreter was started with:
// they are its caller's to pass on, and children inherit them. Every other
// descriptor is the interpreter's own.
void remember_inherited_descriptors();

// The terminal (when standard input is one) in the mode for a running
// shell command or image, or back in the interpreter's mode.
void terminal_for_child(bool running, bool image);

// Before a fork: written streams flushed, a read file's descriptor at the
// stream's position.
void flush_before_child();

// After a child ended: SYS$INPUT's stream continues where the child left
// the file.
void resync_input_after_child();

// Reports a child's end by a signal: an interrupt from the keyboard (or a
// Ctrl-Y the interpreter passed on) shows its notice; any other signal
// makes child_state().image_status a failure (a fault its own condition).
void report_child_signal(int status);

using SignalHandler = void (*)(int);

// Installs a handler with an empty mask and no SA_RESTART, so interrupted
// system calls fail with EINTR. Returns the previous handler, or SIG_ERR.
SignalHandler set_signal(int sig, SignalHandler handler);

// Adds one signal to the blocked set.
void block_signal(int sig);

// access() tests: 1 when the file exists, is writable, is readable.
int file_exists(const char* path);
int file_writable(const char* path);
int file_readable(const char* path);

}  // namespace dcl
