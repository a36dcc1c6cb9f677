// The interpreter's session: what start-up finds out about the installation,
// the user and the process, and the options given on the command line.
#pragma once

#include <array>
#include <cstdint>
#include <cstdio>
#include <ctime>
#include <string>
#include <sys/times.h>
#include <sys/types.h>
#include <vector>

namespace dcl {

struct Session {
    std::string install_dir;     // always ends in "/"
    std::string home_dir;        // HOME with a trailing "/"
    std::string default_dir = "[???]";  // VMS form of the working directory
    std::string working_dir;     // Unix form, with a trailing "/"
    std::string program_path;    // argv[0] as given
    std::string prompt = "QV$ ";
    bool prompt_directory = false;  // SET PROMPT/PWD: the default directory on a line before each prompt
    std::string product = "Tessel CLI";
    std::string version = "1.91";
    bool interactive = false;    // standard input is a terminal
    bool one_shot = false;       // -c or a procedure operand: run it and exit
    bool quiet = false;          // no banner
    std::array<int, 3> stages{}; // site start-up, system login, user login taken
    std::string login_procedure; // -L
    bool verify = false;
    bool image_verify = false;
    bool skip_logins = false;    // -S or -c
    int default_protection = 755;
    time_t login_time = 0;
    clock_t login_ticks = 0;
    struct tms login_cpu {};
    std::string user_name;
    uid_t euid = 0;
    pid_t pid = 0;
    gid_t gid = 0;
    std::string node_name = "UNIX";
    std::string system_version = "?.?";
    FILE* null_device = nullptr;
    std::vector<std::string> parameters;  // -s: the values of P1..P8
    // What SYS$INPUT, SYS$OUTPUT and SYS$ERROR translated to at start-up.
    std::string input_device, output_device, error_device;
};

Session& session();

inline constexpr size_t kMaxPromptLength = 32;
inline constexpr size_t kMaxLineLength = 1024;
inline constexpr size_t kMaxNameLength = 255;

}  // namespace dcl
