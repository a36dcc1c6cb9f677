// SET CLI and SHOW CLI: the interpreter's own options. SET CLI applies each
// qualifier at once, so earlier ones stay in effect when a later one fails.
#include <cstdio>

#include "core/handlers.h"
#include "lang/keywords.h"
#include "lang/qualifier_codes.h"
#include "lang/qualifiers.h"
#include "lang/verbs.h"
#include "status/cli_options.h"
#include "status/condition.h"
#include "status/messages.h"
#include "status/session.h"

namespace dcl {

namespace {

constexpr int kMaxExitStatus = 255;

// Looks a qualifier's value up in its keyword table; 0 after queueing.
uint32_t keyword_value(std::string_view token, uint32_t table) {
    std::string value;
    if (!qualifier_value(value, token, true)) return 0;
    uint32_t flags = 0;
    return lookup_keyword(value, table, flags);
}

bool set_exit_status(std::string_view token, bool negated) {
    if (negated) {
        cli_options().exit_override = 0;
        return true;
    }
    std::string value;
    if (!qualifier_value(value, token, true)) return false;
    int64_t number = 0;
    if (uint32_t status = parse_number(number, value); !is_success(status)) {
        signal_condition(status, value);
        return false;
    }
    if (number > kMaxExitStatus) {
        signal_condition(cond::SET_BADVALUE, value, "EXIT_STATUS");
        return false;
    }
    cli_options().exit_override = static_cast<int>(number);
    return true;
}

bool set_keyword_option(uint32_t code, std::string_view token) {
    CliOptions& o = cli_options();
    switch (code) {
    case qual::CLI_REDIRECT:
        switch (keyword_value(token, qual::CLI_REDIRECT)) {
        case qual::REDIRECT_APPEND: o.redirect = RedirectMode::append; return true;
        case qual::REDIRECT_OVERWRITE: o.redirect = RedirectMode::overwrite; return true;
        case qual::REDIRECT_ABORT: o.redirect = RedirectMode::abort; return true;
        case qual::REDIRECT_RENAME: o.redirect = RedirectMode::new_version; return true;
        default: return false;
        }
    case qual::CLI_UNSUPPORTED:
        switch (keyword_value(token, qual::CLI_UNSUPPORTED)) {
        case qual::UNSUPPORTED_IGNORE: o.unsupported = UnsupportedPolicy::ignore; return true;
        case qual::UNSUPPORTED_INFORM: o.unsupported = UnsupportedPolicy::inform; return true;
        case qual::UNSUPPORTED_ERROR: o.unsupported = UnsupportedPolicy::error; return true;
        default: return false;
        }
    case qual::CLI_DIRDATE:
        switch (keyword_value(token, qual::DATE_VALUES)) {
        case qual::DATE_CREATE:
        case qual::DATE_STATUS: o.directory_date = DirectoryDate::status_change; return true;
        case qual::DATE_MODIFIED: o.directory_date = DirectoryDate::modification; return true;
        case qual::DATE_ACCESS: o.directory_date = DirectoryDate::access; return true;
        case qual::DATE_ALL: o.directory_date = DirectoryDate::all; return true;
        default: return false;
        }
    default:
        return !unsupported_qualifier(token);
    }
}

bool apply_cli_qualifier(uint32_t code, std::string_view token, uint32_t flags) {
    CliOptions& o = cli_options();
    bool on = !(flags & RESULT_NEGATED);
    switch (code) {
    case qual::CLI_UPPERCASE: o.upper_case = on; return true;
    case qual::CLI_LOWERCASE: o.upper_case = !on; return true;
    case qual::CLI_PASSTHROUGH: o.pass_to_shell = on; return true;
    case qual::CLI_HEXPID: o.hex_pids = on; return true;
    case qual::CLI_VERIFY: o.forced_verify = on; return true;
    case qual::CLI_VMSDOT: o.vms_dotfiles = on; return true;
    case qual::CLI_CTRLJ: o.ctrlj_terminates = !on; return true;
    case qual::CLI_EXIT_STATUS: return set_exit_status(token, !on);
    default: return set_keyword_option(code, token);
    }
}

void write_options(FILE* out) {
    const CliOptions& o = cli_options();
    static const char* const kUnsupported[] = {"Ignoring use of unsupported qualifiers\n",
                                               "Informing user when unsupported qualifiers are used\n",
                                               "Error when unsupported qualifiers are used\n"};
    static const char* const kRedirect[] = {"Output redirection appends to existing files\n",
                                            "Output redirection overwrites existing files\n",
                                            "Output redirection aborts when file exists\n",
                                            "Output redirection uses version numbering\n"};
    static const char* const kDate[] = {"DIRECTORY/DATE default is the date of last status change\n",
                                        "DIRECTORY/DATE default is the date of last modification\n",
                                        "DIRECTORY/DATE default is the date of last access\n",
                                        "DIRECTORY/DATE default is ALL\n"};
    std::fputs(o.pass_to_shell ? "Passing unknown commands to shell\n"
                               : "Not passing unknown commands to shell\n", out);
    std::fputs(o.vms_dotfiles ? "Using VMS-like dotfile interpretation\n"
                              : "Using UNIX dotfile interpretation\n", out);
    std::fputs(kUnsupported[static_cast<int>(o.unsupported)], out);
    std::fputs(kRedirect[static_cast<int>(o.redirect)], out);
    std::fputs(o.upper_case ? "Mapping command lines to upper case\n"
                            : "Mapping command lines to lower case\n", out);
    std::fputs(o.ctrlj_terminates ? "Control-J is a line termination character\n"
                                  : "Control-J is a line editing character\n", out);
    std::fputs(o.hex_pids ? "Mapping native process ids to hexadecimal\n"
                          : "Using native (decimal) process ids\n", out);
    std::fputs(kDate[static_cast<int>(o.directory_date)], out);
    if (o.forced_verify) std::fputs("Forced verification is enabled\n", out);
}

}  // namespace

void set_cli(CommandContext& cmd) {
    for_each_qualifier(cmd.tokens, cmd.verb_index, verb::SET_CLI, apply_cli_qualifier);
}

void show_cli(CommandContext& cmd) {
    enum : uint32_t { DEFAULTS = 1, QUEUES = 2, VERSION = 4 };
    uint32_t options = 0;
    auto take = [&](uint32_t code, std::string_view token, uint32_t flags) {
        uint32_t bit = code == qual::SHOW_CLI_VERSION  ? VERSION
                       : code == qual::SHOW_CLI_QUEUES ? QUEUES
                                                       : DEFAULTS;
        return apply_flag(options, bit, flags, token.substr(1));
    };
    if (!for_each_qualifier(cmd.tokens, cmd.verb_index, verb::SHOW_CLI, take)) return;
    if (options & VERSION) {
        std::fprintf(cmd.out, "%s version %s\n", session().product.c_str(), session().version.c_str());
        return;
    }
    write_options(cmd.out);
}

}  // namespace dcl
