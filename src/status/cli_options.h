// The interpreter's own options (SET CLI, SHOW CLI).
#pragma once

namespace dcl {

enum class UnsupportedPolicy { ignore = 0, inform = 1, error = 2 };
enum class RedirectMode { append = 0, overwrite = 1, abort = 2, new_version = 3 };
enum class DirectoryDate { status_change = 0, modification = 1, access = 2, all = 3 };

struct CliOptions {
    bool pass_to_shell = true;        // unknown verbs go to the Unix shell
    bool upper_case = false;          // case mapping of command text
    UnsupportedPolicy unsupported = UnsupportedPolicy::inform;
    RedirectMode redirect = RedirectMode::append;
    bool vms_dotfiles = false;
    bool ctrlj_terminates = false;    // Ctrl-J ends the line instead of editing
    bool hex_pids = false;
    DirectoryDate directory_date = DirectoryDate::status_change;
    bool forced_verify = false;       // -V
    int exit_override = 0;            // 0..255; 0 means none
};

CliOptions& cli_options();

}  // namespace dcl
