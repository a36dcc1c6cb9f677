// What F$GETJPI and F$PID read from /proc, and how Linux process facts map
// onto VMS ones. The readers of the texts are kept apart from the file
// access so that fixed texts can try them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <sys/types.h>

namespace dcl {

// The fields of /proc/<pid>/stat that F$GETJPI uses.
struct ProcStat {
    int64_t pid = 0;
    std::string command;  // between the parentheses; may hold blanks and ")"
    char state = '?';
    int64_t parent = 0;
    int64_t tty = 0;  // tty_nr: the controlling terminal's device number
    uint64_t minor_faults = 0, major_faults = 0;
    uint64_t user_ticks = 0, system_ticks = 0;
    int64_t nice = 0;
    uint64_t start_ticks = 0;  // since boot
    int64_t resident_pages = 0;
};

// False when the text is cut short or malformed.
bool parse_proc_stat(std::string_view text, ProcStat& stat);

// The index-th number (from 0) after "key:" at the start of a line of a
// /proc text such as status or io ("VmPeak:\t  1234 kB", "Uid:\t1000\t1000").
std::optional<uint64_t> proc_field(std::string_view text, std::string_view key, size_t index = 0);

// The VMS scheduling state of a process in Linux state `state` ("CUR" is
// for the caller itself and is not given here).
std::string_view vms_state(char state);

// 4 - nice/5, kept within 0..15.
int32_t vms_priority(int64_t nice);

// The /dev path of a terminal device number, or "" for none or an unknown
// kind of terminal.
std::string terminal_path(int64_t tty);

// The 8 upper-case hex digits of a process id, and back; nullopt when the
// text (blanks around it allowed) is not 1 to 8 hex digits.
std::string format_pid(int64_t pid);
std::optional<int64_t> parse_pid(std::string_view text);

// A small text file such as /proc/stat, or nullopt when it cannot be read.
std::optional<std::string> read_text_file(const std::string& path);
// A file of /proc/<pid>/, or nullopt when it cannot be read (gone, or
// another user's).
std::optional<std::string> read_proc_file(int64_t pid, std::string_view name);
// The user owning a process, or nullopt when there is no such process.
std::optional<uid_t> process_owner(int64_t pid);
// A process of another user is seen only with WORLD or SYSPRV enabled.
bool process_visible(uid_t owner);

// The user name of the effective user.
std::string own_user_name();

}  // namespace dcl
