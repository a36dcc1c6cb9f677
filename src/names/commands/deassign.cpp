// DEASSIGN: removes one logical name, or empties a table. The names the
// interpreter itself depends on (the standard streams, SYS$COMMAND, TT,
// the job's login and scratch directories) are put back as they were at
// start-up instead of disappearing.
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/dispatch.h"
#include "core/handlers.h"
#include "files/scratch.h"
#include "lang/keywords.h"
#include "lang/qualifier_codes.h"
#include "lang/qualifiers.h"
#include "lang/verbs.h"
#include "names/commands/logical_commands.h"
#include "names/logical_names.h"
#include "status/condition.h"
#include "status/messages.h"
#include "status/session.h"
#include "unix/redirection.h"

namespace dcl {

namespace {

constexpr uint32_t kTableChoices = DEASSIGN_OPT_GROUP | DEASSIGN_OPT_JOB | DEASSIGN_OPT_PROCESS |
                                   DEASSIGN_OPT_SYSTEM | DEASSIGN_OPT_TABLE;

constexpr KeywordRecord kRows[] = {
    {"ALL", KW_NO_NEGATE, qual::DEASSIGN_ALL},
    {"EXECUT", 0, qual::DEASSIGN_EXECUTIVE, ValueKind::unsupported},
    {"GROUP", 0, qual::DEASSIGN_GROUP},
    {"JOB", 0, qual::DEASSIGN_JOB},
    {"PROCES", 0, qual::DEASSIGN_PROCESS},
    {"SUPERV", 0, qual::DEASSIGN_SUPERVISOR},
    {"SYSTEM", 0, qual::DEASSIGN_SYSTEM},
    {"TABLE", KW_NEEDS_VALUE, qual::DEASSIGN_TABLE, ValueKind::text},
    {"USER", 0, qual::DEASSIGN_USER},
};

struct DeassignRequest {
    uint32_t options = DEASSIGN_INITIAL_OPTIONS;
    std::string table;
    const ParsedParameter* name = nullptr;
};

void choose_table(uint32_t& options, uint32_t bit, bool on) {
    set_exclusive_flag(options, bit, kTableChoices & ~bit, on);
}

// The qualifiers in the order given: a later one overrides an earlier one.
void apply_qualifier(DeassignRequest& request, const ParsedQualifier& q) {
    uint32_t& options = request.options;
    bool on = !q.negated();
    switch (q.code) {
    case qual::DEASSIGN_ALL: set_exclusive_flag(options, DEASSIGN_OPT_ALL, 0, on); break;
    case qual::DEASSIGN_GROUP: choose_table(options, DEASSIGN_OPT_GROUP, on); break;
    case qual::DEASSIGN_JOB: choose_table(options, DEASSIGN_OPT_JOB, on); break;
    case qual::DEASSIGN_PROCESS: choose_table(options, DEASSIGN_OPT_PROCESS, on); break;
    case qual::DEASSIGN_SYSTEM: choose_table(options, DEASSIGN_OPT_SYSTEM, on); break;
    case qual::DEASSIGN_SUPERVISOR:
        set_exclusive_flag(options, DEASSIGN_OPT_SUPERVISOR, DEASSIGN_OPT_USER, on);
        break;
    case qual::DEASSIGN_USER:
        set_exclusive_flag(options, DEASSIGN_OPT_USER, DEASSIGN_OPT_SUPERVISOR, on);
        break;
    case qual::DEASSIGN_TABLE:
        choose_table(options, DEASSIGN_OPT_TABLE, on);
        if (on) request.table = q.value;
        break;
    default: break;
    }
}

// A name given where /ALL is in effect is one parameter too many; /ALL
// after the name leaves it alone.
bool read_request(const ParsedCommand& cmd, DeassignRequest& request) {
    request.name = cmd.parameter(0);
    bool name_checked = request.name == nullptr;
    auto check_name = [&] {
        name_checked = true;
        if (!(request.options & DEASSIGN_OPT_ALL)) return true;
        extra_parameter(request.name->token);
        return false;
    };
    for (const ParsedQualifier& q : cmd.qualifiers()) {
        if (!name_checked && q.after_parameters > 0 && !check_name()) return false;
        apply_qualifier(request, q);
    }
    return name_checked || check_name();
}

std::string deassign_table(uint32_t options, std::string_view table_text) {
    std::string table = (options & DEASSIGN_OPT_GROUP)    ? std::string("LNM$GROUP")
                        : (options & DEASSIGN_OPT_JOB)    ? std::string("LNM$JOB")
                        : (options & DEASSIGN_OPT_SYSTEM) ? std::string("LNM$SYSTEM")
                        : (options & DEASSIGN_OPT_TABLE)  ? logical_name_argument(table_text)
                                                          : std::string("LNM$PROCESS");
    if ((options & DEASSIGN_OPT_USER) && table.starts_with("LNM$PROCESS")) table = "LNM$USERMODE";
    return table;
}

bool is_process_table(std::string_view table) { return table.starts_with("LNM$PROCESS"); }
bool is_usermode_table(std::string_view table) { return table == "LNM$USERMODE"; }

// DEASSIGN/ALL keeps the table's TQ_DISK_DEVICES: every value it has,
// however many of them the file layer could use as devices.
std::vector<std::string> saved_disk_devices(const std::string& table) {
    std::vector<std::string> devices;
    for (uint32_t index = 0; index <= kMaxValueIndex; ++index) {
        std::string value;
        if (lnm_translate(table, "TQ_DISK_DEVICES", &value, nullptr, LNM_CASE_BLIND, index,
                          nullptr) != 1)
            break;
        devices.push_back(std::move(value));
    }
    return devices;
}

void redefine_disk_devices(const std::string& table, const std::vector<std::string>& devices) {
    for (size_t i = 0; i < devices.size(); ++i) {
        uint32_t status = lnm_create_name(table, "TQ_DISK_DEVICES", devices[i], nullptr,
                                          i == 0 ? 0 : LNM_APPEND);
        if (!is_success(status)) break;
    }
}

void reset_standard_streams(bool one_command) {
    for (StandardStream stream : {STREAM_INPUT, STREAM_OUTPUT, STREAM_ERROR}) {
        uint32_t status = deassign_stream(stream, one_command);
        if (!is_success(status)) signal_condition(status);
    }
}

void recreate_usermode_table() {
    uint32_t status = lnm_create_table("LNM$PROCESS_DIRECTORY", "LNM$USERMODE", nullptr,
                                       LNM_CREATE_IF, 0, kStandardTableProtection);
    if (status != 1 && status != cond::CREATED) signal_condition(status, "LNM$USERMODE");
}

uint32_t deassign_all(const std::string& table) {
    // The system table is beyond every user, privileged or not.
    if (table == "LNM$SYSTEM") {
        signal_condition(cond::NOPRIV, table);
        return 0;
    }
    bool usermode = is_usermode_table(table);
    bool process = is_process_table(table);
    if (process || usermode) reset_standard_streams(usermode);
    std::vector<std::string> devices = saved_disk_devices(table);
    uint32_t status = lnm_delete_name(table, "");
    if (status != 1) {
        signal_condition(status, "");
        return 0;
    }
    if (usermode)
        recreate_usermode_table();
    else if (process)
        restore_process_names();
    else
        initc_log();  // re-creates LNM$JOB and the user-mode switch if they went
    redefine_disk_devices(table, devices);
    return 1;
}

uint32_t define_again(std::string_view table, const std::string& name, std::string_view value) {
    uint32_t status = lnm_create_name(table, name, value, nullptr, 0);
    if (status == 1 || status == cond::SS_SUPERSEDE) return 1;
    signal_condition(status, name);
    return 0;
}

std::string home_directory() {
    const char* home = std::getenv("HOME");
    if (!home) return {};
    std::string path = home;
    if (path.empty() || path.back() != '/') path += '/';
    return path;
}

// The job's directories go back to what the environment says.
std::optional<uint32_t> restore_job_name(const std::string& name) {
    std::string value;
    if (name == "SYS$SCRATCH")
        value = scratch_directory();
    else if (name == "SYS$LOGIN" || name == "SYS$LOGIN_DEVICE")
        value = home_directory();
    else
        return std::nullopt;
    lnm_delete_name("LNM$JOB", name);  // gone or not, it is defined afresh
    return define_again("LNM$JOB", name, value);
}

uint32_t deassign_name(const std::string& table, const std::string& name) {
    if (table == "LNM$SYSTEM" && name.starts_with("SYS$")) {
        signal_condition(cond::NOPRIV, name);
        return 0;
    }
    bool usermode = is_usermode_table(table);
    if (is_process_table(table) || usermode) {
        if (std::optional<StandardStream> stream = standard_stream_named(name)) {
            uint32_t status = deassign_stream(*stream, usermode);
            if (is_success(status)) return 1;
            signal_condition(status, name);
            return 0;
        }
        if (name == "SYS$COMMAND" || name == "TT") {
            lnm_delete_name(table, name);  // gone or not, it is defined afresh
            return define_again("LNM$PROCESS", name, session().input_device);
        }
    }
    if (table.starts_with("LNM$JOB"))
        if (std::optional<uint32_t> status = restore_job_name(name)) return *status;
    uint32_t status = lnm_delete_name(table, name);
    if (status == 1) return 1;
    signal_condition(status, name);
    return 0;
}

}  // namespace

uint32_t deassign_logical(uint32_t options, std::string_view table_text, std::string_view name_text) {
    std::string table = deassign_table(options, table_text);
    if (options & DEASSIGN_OPT_ALL) return deassign_all(table);
    return deassign_name(table, logical_name_argument(name_text));
}

void restore_process_names() {
    // Created as LNM$PROCESS: table names resolve before directory names,
    // so from now on this is the table LNM$PROCESS and LNM$FILE_DEV reach.
    uint32_t status = lnm_create_table("LNM$PROCESS_DIRECTORY", "LNM$PROCESS", nullptr,
                                       LNM_CREATE_IF, 0, kStandardTableProtection);
    if (status != 1 && status != cond::CREATED) {
        signal_condition(FATAL_FAULT, "can't restore LNM$PROCESS");
        return;
    }
    const Session& s = session();
    char terminal[L_ctermid] = {};
    const char* controlling = ctermid(terminal);
    struct StandardName {
        const char* name;
        std::string_view value;
    } names[] = {
        {"SYS$COMMAND", s.input_device}, {"SYS$INPUT", s.input_device},
        {"SYS$OUTPUT", s.output_device}, {"SYS$ERROR", s.error_device},
        {"TT", controlling ? controlling : ""}, {"NL", "[dev]null."},
    };
    for (const StandardName& n : names) {
        status = lnm_create_name("LNM$PROCESS", n.name, n.value, nullptr, 0);
        if (status != 1 && status != cond::SS_SUPERSEDE)
            signal_condition(FATAL_FAULT, std::string("can't restore ") + n.name);
    }
}

const KeywordTable kDeassignQualifiers{verb::DEASSIGN, kRows};

uint32_t deassign_command(const ParsedCommand& cmd, CommandStreams&) {
    DeassignRequest request;
    if (!read_request(cmd, request)) return 0;
    if (!request.name && !(request.options & DEASSIGN_OPT_ALL)) return ask_for(cmd, 0);
    return deassign_logical(request.options, request.table,
                            request.name ? request.name->text : std::string_view());
}

}  // namespace dcl
