// The procedure-level stack: pushing a level, binding its streams and
// parameters, and ending it.
#include "proc/procedure.h"

#include <cstdio>
#include <sys/stat.h>

#include "core/session.h"
#include "core/signals.h"
#include "files/filespec.h"
#include "files/versions.h"
#include "info/logout.h"
#include "lang/lexical_files.h"
#include "names/logical_names.h"
#include "status/condition.h"
#include "status/messages.h"

namespace dcl {

namespace {
ProcedureStack g_stack;

constexpr const char* kStreamNames[3] = {"SYS$INPUT", "SYS$OUTPUT", "SYS$ERROR"};
constexpr size_t kParameterCount = 8;
}  // namespace

ProcedureStack& procedure_stack() { return g_stack; }

void reset_procedure_stack() { g_stack = ProcedureStack{}; }

ProcedureFrame& current_frame() { return g_stack.frames[static_cast<size_t>(g_stack.depth)]; }

namespace {

// A new level inherits its caller's environment and global scope settings;
// local symbols are always visible at first.
LevelScopes inherited_scopes() {
    LevelScopes scopes;
    if (g_stack.depth < 0) {
        const SymbolScope& now = symbol_tables().scope;
        scopes.general.environment = now.environment;
        scopes.general.global = now.global;
    } else {
        const LevelScopes& caller = current_frame().scopes;
        scopes.general.environment = caller.general.environment;
        scopes.general.global = caller.general.global;
        scopes.verb.environment = caller.verb.environment;
        scopes.verb.global = caller.verb.global;
    }
    return scopes;
}

using StreamNames = std::array<std::optional<std::string>, 3>;

// What SYS$INPUT, SYS$OUTPUT and SYS$ERROR translate to in LNM$PROCESS now.
StreamNames current_stream_names() {
    StreamNames names;
    std::string value;
    for (size_t i = 0; i < names.size(); ++i) {
        if (lnm_translate("LNM$PROCESS", kStreamNames[i], &value, nullptr, 0, 0, nullptr) == 1)
            names[i] = value;
    }
    return names;
}

// Defines one of the three stream names; a replaced value is no failure.
// False after queueing.
bool define_stream_name(size_t which, std::string_view value) {
    uint32_t status = lnm_create_name("LNM$PROCESS", kStreamNames[which], value, nullptr, 0);
    if (status == 1 || status == cond::SS_SUPERSEDE) return true;
    signal_condition(status, value);
    return false;
}

// The caller's names come back where the level changed them.
void restore_stream_names(const StreamNames& names) {
    StreamNames now = current_stream_names();
    for (size_t i = 0; i < names.size(); ++i) {
        if (names[i] == now[i]) continue;
        if (names[i]) define_stream_name(i, *names[i]);
        else lnm_delete_name("LNM$PROCESS", kStreamNames[i]);
    }
}

void set_in_procedure_flag() {
    g_stack.in_procedure = g_stack.depth > 0 || !session().interactive;
}

}  // namespace

uint32_t push_procedure_level(const std::string& procedure_name) {
    if (g_stack.depth >= ProcedureStack::kMaxLevels - 1) return cond::STKOVF;
    LevelScopes scopes = inherited_scopes();
    const Redirection& r = redirection();
    std::array<FILE*, 3> caller_streams = {r.input, r.output, r.error};
    StreamNames names = current_stream_names();
    ++g_stack.depth;
    ProcedureFrame& f = current_frame();
    f = ProcedureFrame{};
    f.scopes = scopes;
    symbol_tables().scope.local = true;
    f.procedure_name = procedure_name;
    if (g_stack.depth == 0) {
        f.input = stdin;
        f.output = stdout;
        f.error = stderr;
        g_stack.command_input = stdin;
    } else {
        const ProcedureFrame& level0 = g_stack.frames[0];
        f.input = level0.input;
        f.output = level0.output;
        f.error = level0.error;
    }
    f.input_name = names[STREAM_INPUT].value_or("");
    f.output_name = names[STREAM_OUTPUT].value_or("");
    f.error_name = names[STREAM_ERROR].value_or("");
    f.caller_streams = caller_streams;
    f.caller_names = std::move(names);
    set_in_procedure_flag();
    return 1;
}

namespace {

// The procedure file becomes the level's input, SYS$INPUT and the stream
// command lines come from. Without a file (CALL) the level goes on reading
// A procedure file is read whole and served from memory: a jump is then a
// seek inside the buffer, with no system call per GOTO. Files that are not
// plain, are empty or very large are read from the disk as they are.
OwnedFile open_procedure_file(const std::string& path, std::string& text) {
    constexpr off_t kMaxInMemory = 16 << 20;
    text.clear();
    OwnedFile disk(std::fopen(path.c_str(), "r"));
    struct stat st {};
    if (!disk || fstat(fileno(disk.get()), &st) != 0 || !S_ISREG(st.st_mode) ||
        st.st_size <= 0 || st.st_size > kMaxInMemory)
        return disk;
    text.resize(static_cast<size_t>(st.st_size));
    if (std::fread(text.data(), 1, text.size(), disk.get()) == text.size()) {
        if (FILE* memory = fmemopen(text.data(), text.size(), "r")) return OwnedFile(memory);
    }
    text.clear();
    std::rewind(disk.get());
    return disk;
}

// its caller's stream.
uint32_t bind_input(ProcedureFrame& f, std::string_view path) {
    if (path.empty()) {
        f.input = g_stack.frames[static_cast<size_t>(g_stack.depth - 1)].input;
        return 1;
    }
    std::string unix_path(path);
    OwnedFile file = open_procedure_file(unix_path, f.input_text);
    if (!file) {
        signal_condition(with_severity(cond::OPENIN, SEV_SEVERE), unix_path);
        return cond::PRV;
    }
    f.input = file.get();
    f.owned_input = std::move(file);
    f.input_name = f.procedure_name;
    redirection().input = f.input;
    g_stack.command_input = f.input;
    return define_stream_name(STREAM_INPUT, f.input_name) ? 1 : 0;
}

// /OUTPUT: a new version of the file becomes the level's SYS$OUTPUT; an
// existing file is kept as a backup.
uint32_t bind_output(ProcedureFrame& f, std::string_view spec) {
    if (spec.empty()) return 1;
    std::string path;
    uint32_t status = vms_to_unix(path, spec, ".lis");
    if (!is_success(status)) return status;
    const uint32_t open_failure = with_severity(cond::OPENOUT, SEV_SEVERE);
    if (wildcard_kind(spec) != 0) {
        signal_condition(open_failure, spec);
        return with_severity(cond::WLD, SEV_SEVERE);
    }
    if (path.rfind("/dev/", 0) != 0 && new_version_qv(path) == 0) {
        signal_condition(open_failure, spec);
        return with_severity(cond::PRV, SEV_SEVERE);
    }
    OwnedFile file(std::fopen(path.c_str(), "w"));
    if (!file) {
        signal_condition(open_failure, spec);
        return cond::PRV;
    }
    f.output = file.get();
    f.owned_output = std::move(file);
    f.output_name.assign(spec);
    redirection().output = f.output;
    return define_stream_name(STREAM_OUTPUT, f.output_name) ? 1 : 0;
}

uint32_t define_parameters(const std::vector<std::string>& parameters) {
    std::string name = "P0";
    for (size_t n = 0; n < kParameterCount; ++n) {
        name[1] = static_cast<char>('1' + n);
        std::string_view value = n < parameters.size() ? std::string_view(parameters[n]) : "";
        uint32_t status = set_symbol_text(name, value, SYM_LOCAL | SYM_STRING);
        if (!is_success(status)) return status;
    }
    return 1;
}

}  // namespace

uint32_t open_procedure_streams(std::string_view input_path, std::string_view output_spec,
                                const std::vector<std::string>& parameters) {
    ProcedureFrame& f = current_frame();
    uint32_t status = bind_input(f, input_path);
    if (status == 1) status = bind_output(f, output_spec);
    if (status == 1) status = define_parameters(parameters);
    if (status != 1) pop_procedure_level();
    return status;
}

void pop_procedure_level() {
    if (g_stack.depth <= 0) {
        if (!session().interactive) {
            show_messages();
            logout_session(0);
        }
        return;
    }
    defer_interrupts();
    ProcedureFrame& f = current_frame();
    const bool called = f.called;
    const long return_position = f.return_position;
    StreamNames names = std::move(f.caller_names);
    Redirection& r = redirection();
    r.input = f.caller_streams[STREAM_INPUT];
    r.output = f.caller_streams[STREAM_OUTPUT];
    r.error = f.caller_streams[STREAM_ERROR];
    // Closed once nothing points at them any more.
    OwnedFile input = std::move(f.owned_input);
    OwnedFile output = std::move(f.owned_output);
    f = ProcedureFrame{};
    if (called && seek_input(return_position) != 1) signal_condition(cond::POSERR, " ");
    --g_stack.depth;
    note_procedure_level_popped(g_stack.depth);
    if (!called) g_stack.command_input = current_frame().input;
    symbol_tables().scope = current_frame().scopes.general;
    set_in_procedure_flag();
    restore_stream_names(names);
    // The CALL raised its block's count so that the block outlived the call.
    if (called) adjust_newest_if_block(-1);
    resume_interrupts();
}

bool reading_from_file() { return g_stack.depth > 0 || !session().interactive; }

}  // namespace dcl
