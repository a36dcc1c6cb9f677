// Redirection of the standard streams. The current stream of each kind is
// derived from the state, never patched by hand: a command's /OUTPUT file,
// else a DEFINE/USER file, else the level's DEFINE, else the level's base.
#include "unix/redirection.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "files/file_errors.h"
#include "files/filespec.h"
#include "files/versions.h"
#include "lang/keywords.h"
#include "lang/qualifiers.h"
#include "names/logical_names.h"
#include "proc/procedure.h"
#include "status/cli_options.h"
#include "status/condition.h"
#include "status/messages.h"

namespace dcl {

namespace {
constexpr const char* kNames[kStandardStreams] = {"SYS$INPUT", "SYS$OUTPUT", "SYS$ERROR"};
constexpr FILE* const* kProcessStreams[kStandardStreams] = {&stdin, &stdout, &stderr};

const uint32_t kOpenOutputFailure = with_severity(cond::OPENOUT, SEV_SEVERE);
const uint32_t kOpenInputFailure = with_severity(cond::OPENIN, SEV_SEVERE);

LevelStreams* current_level() {
    return procedure_depth() >= 0 ? &current_frame().streams : nullptr;
}

// What the stream is when no command-level /OUTPUT is in force.
FILE* settled_stream(StandardStream which) {
    if (FILE* user = redirection().user[which].get()) return user;
    if (const LevelStreams* level = current_level()) {
        if (FILE* defined = level->defined[which].get()) return defined;
        if (level->base[which]) return level->base[which];
    }
    return *kProcessStreams[which];
}

void settle(StandardStream which) {
    if (which == STREAM_OUTPUT && redirection().cmd_output_redirected) return;
    current_stream(which) = settled_stream(which);
}

// Defines a stream name; a superseded value is no failure. 1, or 0 after
// reporting the failure with the value.
void record_process_name(StandardStream which, std::string_view value) {
    Redirection::RecordedName& recorded = redirection().process_names[which];
    recorded.value.assign(value);
    recorded.store_changes = logical_name_store().changes;
}

uint32_t define_name(std::string_view table, StandardStream which, std::string_view value) {
    const uint64_t before = logical_name_store().changes;
    uint32_t status = lnm_create_name(table, kNames[which], value, nullptr, 0);
    if (status == 1 || status == cond::SS_SUPERSEDE) {
        if (table != "LNM$PROCESS") return 1;
        // The other streams' names were untouched: what was recorded of
        // them just before still holds.
        for (Redirection::RecordedName& other : redirection().process_names)
            if (other.store_changes == before) other.store_changes = logical_name_store().changes;
        record_process_name(which, value);
        return 1;
    }
    signal_condition(status, value);
    return 0;
}

// Does the stream's name in LNM$PROCESS have `value`? Known without a
// translation while nothing in the store changed since it was recorded.
bool process_name_is(StandardStream which, const std::string& value) {
    const Redirection::RecordedName& recorded = redirection().process_names[which];
    if (recorded.store_changes == logical_name_store().changes) return recorded.value == value;
    std::string now;
    if (lnm_translate("LNM$PROCESS", kNames[which], &now, nullptr, 0, 0, nullptr) != 1) return false;
    record_process_name(which, now);
    return now == value;
}

// The process-table name goes back to what the level has in force.
uint32_t define_level_name(StandardStream which) {
    const LevelStreams* level = current_level();
    if (!level) return 1;
    const std::string& name =
        level->defined[which] ? level->defined_name[which] : level->base_name[which];
    return define_name("LNM$PROCESS", which, name);
}

uint32_t open_input_file(std::string_view spec, OwnedFile& file) {
    std::string path;
    uint32_t status = vms_to_unix(path, spec, ".lis");
    if (!is_success(status)) return status;
    if (wildcard_kind(spec) != 0) {
        signal_condition(kOpenInputFailure, spec);
        return with_severity(cond::WLD, SEV_SEVERE);
    }
    file.reset(std::fopen(path.c_str(), "re"));
    if (!file) {
        int error = errno;
        signal_condition(kOpenInputFailure, path);
        return open_failure_reason(error, path);
    }
    return 1;
}

// What the output path names now. Only a regular file is protected by
// the abort mode and kept as a version; a device, FIFO or socket is simply
// written, wherever it lives (a file in /dev/shm is a file).
enum class OutputTarget { absent, file, directory, device };

OutputTarget output_target(const std::string& path) {
    struct stat st {};
    if (stat(path.c_str(), &st) != 0) return OutputTarget::absent;
    if (S_ISREG(st.st_mode)) return OutputTarget::file;
    if (S_ISDIR(st.st_mode)) return OutputTarget::directory;
    return OutputTarget::device;
}

uint32_t open_stream_file(StandardStream which, std::string_view spec, OwnedFile& file) {
    if (which == STREAM_INPUT) return open_input_file(spec, file);
    std::string path;
    return open_output_file(spec, ".lis", false, file, path);
}

}  // namespace

const char* stream_logical_name(StandardStream which) { return kNames[which]; }

void reserve_standard_descriptors() {
    for (int fd = STDIN_FILENO; fd <= STDERR_FILENO; ++fd) {
        if (fcntl(fd, F_GETFD) != -1 || errno != EBADF) continue;
        // Read-only: input reads as empty, output refuses every write.
        // Inherited by children on purpose: for them it stays closed too.
        int held = open("/dev/null", O_RDONLY);
        if (held >= 0 && held != fd) {
            dup2(held, fd);
            close(held);
        }
    }
}

uint32_t open_output_file(std::string_view spec, std::string_view default_spec,
                          bool command_qualifier, OwnedFile& file, std::string& path) {
    uint32_t status = vms_to_unix(path, spec, default_spec);
    if (!is_success(status)) return status;
    if (wildcard_kind(spec) != 0) {
        signal_condition(kOpenOutputFailure, spec);
        return with_severity(cond::WLD, SEV_SEVERE);
    }
    OutputTarget target = output_target(path);
    if (target == OutputTarget::directory) {
        signal_condition(kOpenOutputFailure, spec);
        return open_failure_reason(EISDIR, path);
    }
    const char* mode = "ae";
    switch (cli_options().redirect) {
    case RedirectMode::append: break;
    case RedirectMode::overwrite: mode = "we"; break;
    case RedirectMode::abort:
        if (target == OutputTarget::file) {
            signal_condition(kOpenOutputFailure, spec);
            return with_severity(cond::FEX, SEV_SEVERE);
        }
        mode = "we";
        break;
    case RedirectMode::new_version:
        if (target == OutputTarget::file && new_version_qv(path) == 0) {
            signal_condition(kOpenOutputFailure, spec);
            return with_severity(command_qualifier ? cond::FEX : cond::PRV, SEV_SEVERE);
        }
        mode = "we";
        break;
    }
    // Appending to a device makes no sense, and /dev/null refuses nothing.
    if (path == "/dev/null") mode = "we";
    file.reset(std::fopen(path.c_str(), mode));
    if (!file) {
        int error = errno;
        signal_condition(kOpenOutputFailure, spec);
        return open_failure_reason(error, path);
    }
    return 1;
}

bool finish_listing(FILE* out, uint32_t failure) {
    errno = 0;
    bool flushed = std::fflush(out) == 0;
    int error = errno;
    if (flushed && !std::ferror(out)) return true;
    // A write that failed before the flush left no error number behind.
    signal_condition(failure, kNames[STREAM_OUTPUT]);
    signal_condition(write_failure_reason(flushed ? 0 : error));
    std::clearerr(out);
    return false;
}

uint32_t redirect_command_output(std::string_view token, uint32_t& options, uint32_t flags,
                                 std::string_view default_name) {
    Redirection& r = redirection();
    if (flags & RESULT_NEGATED) {
        options &= ~OUTPUT_WANTED;
        r.no_output = true;
        if (r.cmd_output_redirected) restore_command_output();
        return 1;
    }
    options |= OUTPUT_WANTED;
    // A second /OUTPUT on the same command is ignored.
    if (!(flags & RESULT_VALUE) || r.cmd_output_redirected) return 1;
    std::string spec;
    if (!qualifier_value(spec, token, true)) return 0;
    OwnedFile file;
    std::string path;
    uint32_t status = open_output_file(spec, default_name, true, file, path);
    if (status != 1) return status;
    std::fflush(r.output);
    r.command_output = std::move(file);
    r.output = r.command_output.get();
    r.cmd_output_redirected = true;
    r.no_output = false;
    return define_name("LNM$PROCESS", STREAM_OUTPUT, path);
}

void restore_command_output() {
    Redirection& r = redirection();
    if (!r.cmd_output_redirected) return;
    r.cmd_output_redirected = false;
    settle(STREAM_OUTPUT);
    // Whatever command wrote the file, output lost on the way is its failure
    // (a command that checked its own listing has left nothing to find).
    finish_listing(r.command_output.get(), with_severity(cond::WRITEERR, SEV_ERROR));
    r.command_output.reset();
    define_level_name(STREAM_OUTPUT);
}

uint32_t define_stream(StandardStream which, std::string_view spec, bool user_mode) {
    OwnedFile file;
    uint32_t status = open_stream_file(which, spec, file);
    if (status != 1) return status;
    std::fflush(current_stream(which));
    if (user_mode) {
        redirection().user[which] = std::move(file);
        settle(which);
        return define_name("LNM$USERMODE", which, spec) == 1 ? 1 : 0;
    }
    LevelStreams* level = current_level();
    if (!level) return 1;
    // Installed before the old file closes, so the stream never dangles.
    std::swap(level->defined[which], file);
    level->defined_name[which].assign(spec);
    settle(which);
    file.reset();
    return define_name("LNM$PROCESS", which, spec) == 1 ? 1 : 0;
}

uint32_t deassign_stream(StandardStream which, bool user_mode) {
    std::fflush(current_stream(which));
    if (user_mode) {
        OwnedFile old = std::move(redirection().user[which]);
        settle(which);
        lnm_delete_name("LNM$USERMODE", kNames[which]);  // gone or not, the stream is back
        return 1;
    }
    LevelStreams* level = current_level();
    if (!level) return 1;
    OwnedFile old = std::move(level->defined[which]);
    level->defined_name[which].clear();
    settle(which);
    return define_level_name(which) == 1 ? 1 : 0;
}

void end_user_mode() {
    Redirection& r = redirection();
    for (size_t i = 0; i < kStandardStreams; ++i) {
        auto which = static_cast<StandardStream>(i);
        if (!r.user[which]) continue;
        std::fflush(r.user[which].get());
        OwnedFile old = std::move(r.user[which]);
        settle(which);
    }
    lnm_delete_name("LNM$USERMODE", "");
    uint32_t status = lnm_create_table("LNM$PROCESS_DIRECTORY", "LNM$USERMODE", nullptr,
                                       LNM_CREATE_IF, 0, kStandardTableProtection);
    if (status != 1 && status != cond::CREATED)
        signal_condition(with_severity(cond::ERROR, SEV_ERROR), "Can't reinitialize LNM$USERMODE");
    logical_name_store().usermode_definitions = 0;
}

void init_level_streams(LevelStreams& level, const LevelStreams* caller) {
    for (size_t i = 0; i < kStandardStreams; ++i) {
        auto which = static_cast<StandardStream>(i);
        if (!caller) {
            level.base[which] = *kProcessStreams[which];
            std::string value;
            lnm_translate("LNM$PROCESS", kNames[which], &value, nullptr, 0, 0, nullptr);
            level.base_name[which] = std::move(value);
            continue;
        }
        // What the caller has in force (its DEFINE outlives this level);
        // a DEFINE/USER file does not, and is left out.
        bool defined = caller->defined[which] != nullptr;
        level.base[which] = defined ? caller->defined[which].get() : caller->base[which];
        level.base_name[which] = defined ? caller->defined_name[which] : caller->base_name[which];
    }
}

uint32_t open_level_output(LevelStreams& level, std::string_view spec) {
    OwnedFile file;
    std::string path;
    uint32_t status = open_output_file(spec, ".lis", false, file, path);
    if (status != 1) return status;
    level.base[STREAM_OUTPUT] = file.get();
    level.owned_base[STREAM_OUTPUT] = std::move(file);
    level.base_name[STREAM_OUTPUT].assign(spec);
    settle(STREAM_OUTPUT);
    return define_name("LNM$PROCESS", STREAM_OUTPUT, spec) == 1 ? 1 : 0;
}

void settle_level_streams() {
    const LevelStreams* level = current_level();
    for (size_t i = 0; i < kStandardStreams; ++i) {
        auto which = static_cast<StandardStream>(i);
        settle(which);
        if (!level) continue;
        // Defined again only when it changed: a procedure call stays cheap.
        const std::string& name =
            level->defined[which] ? level->defined_name[which] : level->base_name[which];
        if (!process_name_is(which, name)) define_name("LNM$PROCESS", which, name);
    }
}

void set_session_output(OwnedFile file, const std::string& vms_name) {
    Redirection& r = redirection();
    r.session_output = std::move(file);
    if (LevelStreams* level = current_level()) {
        for (StandardStream which : {STREAM_OUTPUT, STREAM_ERROR}) {
            level->base[which] = r.session_output.get();
            level->base_name[which] = vms_name;
        }
    }
    r.output = r.error = r.session_output.get();
    define_name("LNM$PROCESS", STREAM_OUTPUT, vms_name);
    define_name("LNM$PROCESS", STREAM_ERROR, vms_name);
}

}  // namespace dcl
