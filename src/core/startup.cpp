// Start-up: from the program's command line to the first turn of the
// command loop.
#include "core/startup.h"

#include <climits>
#include <cstdio>
#include <cstdlib>
#include <pwd.h>
#include <sys/stat.h>
#include <sys/times.h>
#include <sys/utsname.h>
#include <unistd.h>

#include "core/command_loop.h"
#include "core/install.h"
#include "core/options.h"
#include "core/signals.h"
#include "core/terminal_comfort.h"
#include "files/filespec.h"
#include "lang/lexical_files.h"
#include "names/logical_names.h"
#include "names/symbols.h"
#include "proc/procedure.h"
#include "status/condition.h"
#include "status/defaults_file.h"
#include "status/exit.h"
#include "status/message_files.h"
#include "status/messages.h"
#include "status/session.h"
#include "tty/terminal.h"
#include "unix/redirection.h"

namespace dcl {

namespace {

// Start-up that cannot go on ends with status 1: callers test the exit
// status, and 0 would tell them that all went well.
[[noreturn]] void early_exit(const char* text) {
    std::fputs(text, stderr);
    std::exit(1);
}

void find_installation(const char* invocation) {
    auto dir = find_install_directory(invocation ? invocation : "");
    if (!dir)
        early_exit("Error - can't determine product installation path.\n"
                   "Please update your PATH or set the TESSEL environment variable.\n");
    if (!check_data_files(*dir)) std::exit(1);
    session().install_dir = *dir;
    set_message_directory(*dir);
}

// Fatal start-up conditions end the interpreter once shown.
void fault(const char* why) {
    signal_condition(FATAL_FAULT, why);
    show_messages();
    end_if_requested();
}

void take_process_identity() {
    Session& s = session();
    s.pid = getpid();
    s.gid = getegid();
    s.euid = geteuid();
    s.login_time = std::time(nullptr);
    s.login_ticks = times(&s.login_cpu);
    mode_t mask = umask(0);
    umask(mask);
    int bits = ~mask & 0777;
    s.default_protection = (bits >> 6 & 7) * 100 + (bits >> 3 & 7) * 10 + (bits & 7);
    if (const passwd* pw = getpwuid(s.euid))
        s.user_name = pw->pw_name;
    else
        fault("cannot get user name");
    struct utsname u {};
    if (uname(&u) == 0) {
        std::string node = u.nodename;
        s.node_name = node.substr(0, node.find('.'));
        s.system_version = u.release;
    }
}

// The logical names of the process: the null device, the installation
// directory, what the standard streams are, and the user-mode table.
void define_standard_names() {
    Session& s = session();
    const char* process = "LNM$PROCESS";
    lnm_create_name(process, "NL", "[dev]null.", nullptr, 0);
    if (!s.interactive) lnm_create_name(process, "TT", "[dev]null.", nullptr, 0);
    lnm_create_name("LNM$JOB", "SYS$QUORVANE", s.install_dir, nullptr, 0);
    lnm_create_name("LNM$JOB", "SYS$HELP", s.install_dir, nullptr, 0);
    struct Device {
        const char* name;
        std::string* recorded;
        const char* failure;
    } devices[] = {{"SYS$INPUT", &s.input_device, "cannot get SYS$INPUT"},
                   {"SYS$OUTPUT", &s.output_device, "cannot get SYS$OUTPUT"},
                   {"SYS$ERROR", &s.error_device, "cannot get SYS$ERROR"}};
    for (const Device& d : devices) {
        if (lnm_translate(process, d.name, d.recorded, nullptr, 0, 0, nullptr) != 1)
            fault(d.failure);
    }
    uint32_t status = lnm_create_table("LNM$PROCESS_DIRECTORY", "LNM$USERMODE", nullptr,
                                       LNM_CREATE_IF, 0, kStandardTableProtection);
    if (status != 1 && status != cond::CREATED) fault("cannot create LNM$USERMODE table");
    logical_name_store().usermode_switch = true;
    const char* directory = "LNM$PROCESS_DIRECTORY";
    if (lnm_translate(directory, "LNM$DCL_LOGICAL", nullptr, nullptr, 0, 0, nullptr) == 1) return;
    if (!is_success(lnm_create_name(directory, "LNM$DCL_LOGICAL", "LNM$FILE_DEV", nullptr, 0)))
        fault("error redefining LNM$DCL_LOGICAL");
}

void prepare_process_context() {
    Session& s = session();
    char cwd[PATH_MAX];
    if (getcwd(cwd, sizeof cwd)) s.working_dir = std::string(cwd) + "/";
    s.interactive = is_terminal(STDIN_FILENO);
    interrupts().terminal_input = s.interactive;
    static char cli_marker[] = "TQ_CLI=DCL";
    putenv(cli_marker);
    if (!std::getenv("TERM")) {
        static char default_term[] = "TERM=vt100";
        putenv(default_term);
    }
    if (s.interactive) init_tty(STDIN_FILENO);
    save_signal_handlers();
    exit_hooks() = ExitHooks{handle_terminating_signals, restore_ttys};
    set_search_interrupt_check(interrupt_requested);
    if (s.interactive) set_tty_mode(STDIN_FILENO, TTY_COMMAND);
    message_queue().status = 1;
    take_process_identity();
    import_environment(environ);
    s.null_device = std::fopen("/dev/null", "r+e");
    if (!s.null_device) fault("cannot open /dev/null");
    define_standard_names();
    if (!s.working_dir.empty()) unix_to_vms(s.default_dir, s.working_dir);
    push_procedure_level("");
    s.prompt = "QV$ ";
}

void write_banner() {
    const Session& s = session();
    std::printf("\n%s version %s %s\n\n", s.product.c_str(), s.version.c_str(), "(1999-210)");
    std::fflush(stdout);
}

// P1..P8 of the session: the words after -s, or empty when commands come
// from a pipe or file.
void define_level0_parameters(const std::vector<std::string>& words) {
    for (size_t n = 0; n < 8; ++n) {
        std::string name = "P" + std::to_string(n + 1);
        std::string_view value = n < words.size() ? std::string_view(words[n]) : "";
        signal_condition(set_symbol_text(name, value, SYM_LOCAL | SYM_STRING));
    }
}

// Unix programs that users reach by their VMS names.
void define_default_symbols() {
    discard_messages();
    signal_condition(set_symbol_text("VI", "shell vi", SYM_GLOBAL | SYM_STRING));
    if (error_queued())
        early_exit("Your system does not seem to have usable libc5 libraries.\n"
                   "Please try the glibc2 version instead.\n");
    signal_condition(set_symbol_text("VIEW", "shell view", SYM_GLOBAL | SYM_STRING));
    signal_condition(set_symbol_text("PS", "shell ps", SYM_GLOBAL | SYM_STRING));
}

void take_command_line(int argc, char** argv) {
    Session& s = session();
    CommandLine cl = parse_command_line(argc, argv);
    ProcedureFrame& level0 = procedure_stack().frames[0];
    if (cl.command) {
        level0.pending_command = *cl.command;
        level0.pending_shown = false;
        s.one_shot = true;
    } else if (!cl.procedure.empty()) {
        level0.initial_procedure = cl.procedure;
        level0.initial_parameters = cl.procedure_parameters;
        s.one_shot = true;
    }
    s.parameters = cl.parameters;
    if (!s.interactive) s.quiet = true;
    if (!s.interactive && !s.one_shot) read_commands_from_script();
    if (cl.s_given || (!s.interactive && cl.procedure.empty()))
        define_level0_parameters(cl.parameters);
    if (s.skip_logins) s.stages[1] = s.stages[2] = 1;
}

}  // namespace

void run_interpreter(int argc, char** argv) {
    reserve_standard_descriptors();
    const char* home = std::getenv("HOME");
    if (!home) early_exit("Can't find your home directory.  Please set the HOME environment variable.\n");
    session().program_path = argc > 0 ? argv[0] : "";
    if (argc > 0 && argv[0][0] == '-')
        early_exit("Error - this version of DCL does not support invocation as a login shell\n");
    find_installation(argc > 0 ? argv[0] : nullptr);
    prepare_process_context();
    std::string home_dir = home;
    if (home_dir.empty() || home_dir.back() != '/') home_dir += '/';
    session().home_dir = home_dir;
    read_defaults_files();
    take_command_line(argc, argv);
    start_terminal_comfort();
    if (!session().quiet) write_banner();
    define_default_symbols();
    command_loop();
}

}  // namespace dcl
