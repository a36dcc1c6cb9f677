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
constexpr uint32_t kNeedsValue = KW_NEEDS_VALUE;

constexpr KeywordRecord kSetCliRows[] = {
    {"CTRLJ", 0, qual::CLI_CTRLJ},
    {"DEBUG", kNeedsValue, qual::CLI_DEBUG, ValueKind::unsupported},
    {"DIRDAT", kNeedsValue, qual::CLI_DIRDATE, ValueKind::keyword, qual::DATE_VALUES},
    {"EXIT_S", kNeedsValue, qual::CLI_EXIT_STATUS, ValueKind::string, 0, ""},
    {"FORTRA", kNeedsValue, qual::CLI_FORTRAN, ValueKind::unsupported},
    {"HEXPID", 0, qual::CLI_HEXPID},
    {"INDEXE", kNeedsValue, qual::CLI_INDEXED, ValueKind::unsupported},
    {"INQUIR", kNeedsValue, qual::CLI_INQUIRE, ValueKind::unsupported},
    {"LOWERC", 0, qual::CLI_LOWERCASE},
    {"PASSTH", 0, qual::CLI_PASSTHROUGH},
    {"REDIRE", kNeedsValue, qual::CLI_REDIRECT, ValueKind::keyword, qual::CLI_REDIRECT},
    {"RUNSYM", 0, qual::CLI_RUNSYM, ValueKind::unsupported},
    {"UNSUPP", kNeedsValue, qual::CLI_UNSUPPORTED, ValueKind::keyword, qual::CLI_UNSUPPORTED},
    {"UPPERC", 0, qual::CLI_UPPERCASE},
    {"VERIFY", 0, qual::CLI_VERIFY},
    {"VMSDOT", 0, qual::CLI_VMSDOT},
};
static_assert(std::size(kSetCliRows) == 16);

constexpr KeywordRecord kShowCliRows[] = {
    {"DEFAUL", 0, qual::SHOW_CLI_DEFAULTS},
    {"QUEUES", 0, qual::SHOW_CLI_QUEUES},
    {"VERSIO", 0, qual::SHOW_CLI_VERSION},
};

bool set_exit_status(const std::string& value, bool negated) {
    if (negated) {
        cli_options().exit_override = 0;
        return true;
    }
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

// A keyword value's code tells which option it sets.
void set_keyword_option(uint32_t keyword) {
    CliOptions& o = cli_options();
    switch (keyword) {
    case qual::REDIRECT_APPEND: o.redirect = RedirectMode::append; break;
    case qual::REDIRECT_OVERWRITE: o.redirect = RedirectMode::overwrite; break;
    case qual::REDIRECT_ABORT: o.redirect = RedirectMode::abort; break;
    case qual::REDIRECT_RENAME: o.redirect = RedirectMode::new_version; break;
    case qual::UNSUPPORTED_IGNORE: o.unsupported = UnsupportedPolicy::ignore; break;
    case qual::UNSUPPORTED_INFORM: o.unsupported = UnsupportedPolicy::inform; break;
    case qual::UNSUPPORTED_ERROR: o.unsupported = UnsupportedPolicy::error; break;
    case qual::DATE_CREATE:
    case qual::DATE_STATUS: o.directory_date = DirectoryDate::status_change; break;
    case qual::DATE_MODIFIED: o.directory_date = DirectoryDate::modification; break;
    case qual::DATE_ACCESS: o.directory_date = DirectoryDate::access; break;
    case qual::DATE_ALL: o.directory_date = DirectoryDate::all; break;
    default: break;
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

const KeywordTable kSetCliQualifiers{verb::SET_CLI, kSetCliRows};
const KeywordTable kShowCliQualifiers{verb::SHOW_CLI, kShowCliRows};

bool apply_cli_qualifier(const ParsedQualifier& q) {
    CliOptions& o = cli_options();
    bool on = !q.negated();
    switch (q.code) {
    case qual::CLI_UPPERCASE: o.upper_case = on; return true;
    case qual::CLI_LOWERCASE: o.upper_case = !on; return true;
    case qual::CLI_PASSTHROUGH: o.pass_to_shell = on; return true;
    case qual::CLI_HEXPID: o.hex_pids = on; return true;
    case qual::CLI_VERIFY: o.forced_verify = on; return true;
    case qual::CLI_VMSDOT: o.vms_dotfiles = on; return true;
    case qual::CLI_CTRLJ: o.ctrlj_terminates = !on; return true;
    case qual::CLI_EXIT_STATUS: return set_exit_status(q.value, !on);
    default: set_keyword_option(q.keyword); return true;
    }
}

// Each qualifier has taken effect as it was read.
uint32_t set_cli(const ParsedCommand&, CommandStreams&) { return 1; }

uint32_t show_cli(const ParsedCommand& cmd, CommandStreams& io) {
    if (cmd.flag(qual::SHOW_CLI_VERSION, false)) {
        std::fprintf(io.out, "%s version %s\n", session().product.c_str(), session().version.c_str());
        return 1;
    }
    write_options(io.out);
    return 1;
}

}  // namespace dcl
