// The logical-name store's state, its start-up (the system side in
// inits_log, the process side in initc_log) and the dispatcher that hands
// each request to its handler.
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>
#include <pwd.h>
#include <string>
#include <unistd.h>

#include "names/lnm_internal.h"
#include "status/condition.h"
#include "status/streams.h"

namespace dcl {

void LnmServerStateDeleter::operator()(LnmServerState* state) const { delete state; }

LnmServerState& lnm_server_state() {
    LogicalNameStore& store = logical_name_store();
    if (!store.server) lnm::ensure_initialised();
    return *store.server;
}

namespace lnm {

namespace {

// Start-up cannot go on without the store: the process ends.
[[noreturn]] void exit_initialisation() {
    std::fflush(stdout);
    std::exit(static_cast<int>(cond::INTERR));
}

[[noreturn]] void fail_system_side(const char* what) {
    int saved = errno;
    FILE* err = redirection().error;
    std::fprintf(err, "QVLIB: error %d in %s\n", saved, "inits_log");
    std::fprintf(err, "%s: %s\n", what, std::strerror(saved));
    exit_initialisation();
}

void define_or_exit(std::string_view table, std::string_view name, std::string_view value) {
    uint32_t status = crelnm_qv(table, name, value, nullptr, 0);
    if (is_success(status)) return;
    std::printf("crelnm_qv(%.*s) in initc_log(): %d\n", static_cast<int>(name.size()), name.data(),
                static_cast<int>(status));
    exit_initialisation();
}

// The values of the standard names, when the layers above supply them.
bool standard_values(StandardNameValues& values) {
    auto supply = logical_name_store().standard_values;
    if (supply) supply(values);
    return supply != nullptr;
}

void define_process_names() {
    define_or_exit(kProcessDirectory, "LNM$PROCESS", "LNM$PROCESS_TABLE");
    StandardNameValues v;
    if (!standard_values(v)) return;
    const char* table = "LNM$PROCESS_TABLE";
    define_or_exit(table, "SYS$COMMAND", v.input);
    define_or_exit(table, "SYS$INPUT", v.input);
    define_or_exit(table, "SYS$OUTPUT", v.output);
    define_or_exit(table, "SYS$ERROR", v.error);
    define_or_exit(table, "TT", v.terminal);
    define_or_exit(table, "NL", v.null_device);
}

std::string home_directory() {
    std::string home;
    if (const char* variable = std::getenv("HOME"))
        home = variable;
    else if (const passwd* entry = getpwuid(geteuid()))
        home = entry->pw_dir ? entry->pw_dir : "";
    if (home.empty() || home.back() != '/') home += '/';
    return home;
}

void define_job_names(const std::string& job_table) {
    define_or_exit(job_table, "SYS$LOGIN", home_directory());
    StandardNameValues v;
    if (standard_values(v)) define_or_exit(job_table, "SYS$SCRATCH", v.scratch);
}

std::string job_table_name(uint32_t process_id) {
    char name[kMaxTableName + 1];
    std::snprintf(name, sizeof name, "LNM$JOB_%05u", process_id);
    return name;
}

// The user-mode overlay is on exactly when LNM$USERMODE is a table.
void refresh_usermode_switch() {
    LogicalNameStore& store = logical_name_store();
    store.usermode_switch = false;
    uint32_t attributes = 0;
    if (trnlnm_qv(kProcessDirectory, "LNM$USERMODE", nullptr, nullptr, 0, 0, &attributes) ==
            cond::NORMAL &&
        (attributes & LNM_TABLE))
        store.usermode_switch = true;
}

void initialise_process_side() {
    uint32_t status = crelnt_qv(kProcessDirectory, "LNM$PROCESS_TABLE", nullptr, LNM_CREATE_IF, 0,
                                kStandardTableProtection);
    if (status != cond::NORMAL && status != cond::CREATED) {
        std::printf("crelnt_qv(LNM$PROCESS) in initc_log(): %d\n", static_cast<int>(status));
        exit_initialisation();
    }
    if (status == cond::CREATED) define_process_names();
    std::string job_table = job_table_name(lnm_server_state().process_id);
    define_or_exit(kProcessDirectory, "LNM$JOB", job_table);
    status = crelnt_qv(kSystemDirectory, job_table, nullptr, LNM_CREATE_IF, 0,
                       kStandardTableProtection);
    if (status != cond::NORMAL && status != cond::CREATED) {
        std::printf("crelnt_qv(%s) in initc_log: %d\n", job_table.c_str(), static_cast<int>(status));
        exit_initialisation();
    }
    if (status == cond::CREATED) define_job_names(job_table);
    refresh_usermode_switch();
}

}  // namespace

void inits_log() {
    LnmServerState& state = *logical_name_store().server;
    state.system_directory.reset(new (std::nothrow) Directory);
    if (!state.system_directory) fail_system_side("calloc(system_directory)");
    state.process_directory = ProcessDirectorySlot{};
    ++state.directory_changes;
    if (!is_success(crelnm_qv(kSystemDirectory, kFileDevice, "LNM$PROCESS", nullptr, LNM_APPEND)) ||
        !is_success(crelnm_qv(kSystemDirectory, kFileDevice, "LNM$JOB", nullptr, LNM_APPEND)))
        fail_system_side("crelnm(LNM$FILE_DEV)");
}

void ensure_initialised() {
    LogicalNameStore& store = logical_name_store();
    if (store.initialised) return;
    // Marked first: the definitions made below are client calls too.
    store.initialised = true;
    store.server.reset(new (std::nothrow) LnmServerState);
    if (!store.server) fail_system_side("calloc(system_directory)");
    store.server->process_id = static_cast<uint32_t>(getpid());
    store.server->group_id = static_cast<uint32_t>(getegid());
    inits_log();
    initialise_process_side();
}

Directories directories_for(const RequestHeader& header) {
    LnmServerState& state = lnm_server_state();
    ProcessDirectorySlot& slot = state.process_directory;
    if (slot.process_id == -1) {
        slot.directory.reset(new (std::nothrow) Directory);
        ++state.directory_changes;
        if (slot.directory) {
            slot.process_id = header.process_id;
            slot.job_id = header.job_id;
        }
    }
    Directories dirs;
    if (slot.process_id == static_cast<int64_t>(header.process_id)) dirs.process = slot.directory.get();
    dirs.system = state.system_directory.get();
    return dirs;
}

const Reply& last_reply() { return lnm_server_state().reply; }

uint32_t dispatch(RequestHeader& request) {
    LnmServerState& state = lnm_server_state();
    request.process_id = state.process_id;
    request.owner_process_id = state.process_id;
    request.job_id = state.process_id;
    request.group_id = state.group_id;
    Reply& reply = state.reply;
    reply = Reply{};
    reply.status = cond::INTERR;  // what remains when no handler answers
    switch (request.code) {
    case REQUEST_CREATE_NAME:
        reply.status = crelnm(reinterpret_cast<const CreateNameRequest&>(request), reply);
        break;
    case REQUEST_CREATE_TABLE:
        reply.status = crelnt(reinterpret_cast<const CreateTableRequest&>(request), reply);
        break;
    case REQUEST_DELETE:
        reply.status = dellnm(reinterpret_cast<const DeleteRequest&>(request), reply);
        break;
    case REQUEST_TRANSLATE:
        reply.status = trnlnm(reinterpret_cast<const TranslateRequest&>(request), reply);
        break;
    case REQUEST_PRINT_TABLE:
        reply.status = prtlnt(reinterpret_cast<const PrintTableRequest&>(request), reply);
        break;
    default:
        reply.status = cond::LNM_BADREQUEST;
        break;
    }
    return reply.status;
}

}  // namespace lnm

void initc_log() {
    // Before the first operation, starting the store does this already.
    if (!logical_name_store().initialised) {
        lnm::ensure_initialised();
        return;
    }
    lnm::initialise_process_side();
}

}  // namespace dcl
