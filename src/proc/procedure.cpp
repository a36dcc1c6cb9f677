// The procedure-level stack: pushing a level, binding its streams and
// parameters, and ending it.
#include "proc/procedure.h"

#include <cstdio>
#include <ctime>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "files/filespec.h"
#include "files/unique_fd.h"
#include "files/versions.h"
#include "lang/lexical_files.h"
#include "names/logical_names.h"
#include "proc/script_input.h"
#include "status/condition.h"
#include "status/exit.h"
#include "status/interrupts.h"
#include "status/messages.h"
#include "status/session.h"

namespace dcl {

namespace {
constexpr size_t kParameterCount = 8;
}  // namespace

ProcedureFrame& current_frame() {
    ProcedureStack& ps = procedure_stack();
    return ps.frames[static_cast<size_t>(ps.depth)];
}

namespace {

// A new level inherits its caller's environment and global scope settings;
// local symbols are always visible at first.
LevelScopes inherited_scopes() {
    LevelScopes scopes;
    if (procedure_stack().depth < 0) {
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

// The stack's depth, and the copy the lower layers read.
void set_depth(ProcedureStack& ps, int depth) {
    ps.depth = depth;
    command_source().depth = depth;
}

void set_in_procedure_flag() {
    ProcedureStack& ps = procedure_stack();
    ps.in_procedure = ps.depth > 0 || !session().interactive;
}

}  // namespace

void settle_current_streams() {
    if (auto settle = procedure_stack().stream_rules.settle) settle();
}

std::shared_ptr<ProcedureText> current_procedure_text() {
    ProcedureStack& ps = procedure_stack();
    int level = ps.depth;
    while (level > 0 && ps.frames[static_cast<size_t>(level)].called) --level;
    if (level < 0) return nullptr;
    ProcedureFrame& owner = ps.frames[static_cast<size_t>(level)];
    return owner.source;
}

uint32_t push_procedure_level(const std::string& procedure_name) {
    ProcedureStack& ps = procedure_stack();
    if (ps.depth >= ProcedureStack::kMaxLevels - 1) return cond::STKOVF;
    LevelScopes scopes = inherited_scopes();
    const LevelStreams* caller = ps.depth >= 0 ? &current_frame().streams : nullptr;
    ProcedureFrame& f = ps.frames[static_cast<size_t>(ps.depth + 1)];
    f = ProcedureFrame{};
    if (auto init = ps.stream_rules.init) init(f.streams, caller);
    set_depth(ps, ps.depth + 1);
    symbol_tables().levels.push_back({&f.local_symbols, &f.scopes});
    f.scopes = scopes;
    symbol_tables().scope.local = true;
    f.procedure_name = procedure_name;
    if (ps.depth == 0) {
        f.input = stdin;
        settle_input();
        ps.command_input = stdin;
    } else {
        f.input = ps.frames[0].input;
    }
    set_in_procedure_flag();
    return 1;
}

namespace {

// A procedure file is read whole and served from memory: a jump is then a
// seek inside the buffer, with no system call per GOTO, and an unchanged
// file run again is neither read nor parsed again. Files that are not
// plain, are empty or very large are read from the disk as they are.
OwnedFile open_procedure_file(const std::string& path, std::shared_ptr<ProcedureText>& source) {
    constexpr off_t kMaxInMemory = 16 << 20;
    source.reset();
    ProcedureFileCache& cache = procedure_stack().file_cache;
    struct stat st {};
    if (cache.size() > 0 && stat(path.c_str(), &st) == 0) {
        if (std::shared_ptr<ProcedureText> kept = cache.find(path, FileIdentity::of(st))) {
            if (FILE* memory = fmemopen(kept->text.data(), kept->text.size(), "r")) {
                source = std::move(kept);
                return OwnedFile(memory);
            }
        }
    }
    // Plain system calls: a stdio stream would cost another fstat and a
    // buffer.
    UniqueFd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (!fd.valid()) return nullptr;
    if (fstat(fd.get(), &st) == 0 && S_ISREG(st.st_mode) && st.st_size > 0 && st.st_size <= kMaxInMemory) {
        auto text = std::make_shared<ProcedureText>();
        text->text.resize(static_cast<size_t>(st.st_size));
        ssize_t got = read_fully(fd.get(), text->text.data(), text->text.size());
        if (got == static_cast<ssize_t>(text->text.size())) {
            if (FILE* memory = fmemopen(text->text.data(), text->text.size(), "r")) {
                timespec now {};
                clock_gettime(CLOCK_REALTIME, &now);
                cache.remember(path, FileIdentity::of(st), text, now);
                source = std::move(text);
                return OwnedFile(memory);
            }
        }
        if (lseek(fd.get(), 0, SEEK_SET) != 0) return nullptr;
    }
    OwnedFile disk(fdopen(fd.get(), "r"));
    if (disk) fd.release();
    return disk;
}

// The procedure file becomes the level's input, SYS$INPUT and the stream
// command lines come from. Without a file (CALL) the level goes on reading
// its caller's stream.
uint32_t bind_input(ProcedureFrame& f, std::string_view path) {
    if (path.empty()) {
        const ProcedureStack& ps = procedure_stack();
        const ProcedureFrame& caller = ps.frames[static_cast<size_t>(ps.depth - 1)];
        f.input = caller.input;
        f.streams.base[STREAM_INPUT] = caller.streams.base[STREAM_INPUT];
        f.streams.base_name[STREAM_INPUT] = caller.streams.base_name[STREAM_INPUT];
        return 1;
    }
    std::string unix_path(path);
    OwnedFile file = open_procedure_file(unix_path, f.source);
    if (!file) {
        signal_condition(with_severity(cond::OPENIN, SEV_SEVERE), unix_path);
        return cond::PRV;
    }
    f.input = file.get();
    f.owned_input = std::move(file);
    f.streams.base[STREAM_INPUT] = f.input;
    f.streams.base_name[STREAM_INPUT] = f.procedure_name;
    settle_input();
    procedure_stack().command_input = f.input;
    return 1;
}

// The level's own output file (@/OUTPUT), by the stream rules.
uint32_t open_own_output(LevelStreams& level, std::string_view spec) {
    auto open = procedure_stack().stream_rules.open_output;
    return open ? open(level, spec) : 1;
}

uint32_t define_parameters(const std::vector<std::string>& parameters) {
    std::string name = "P0";
    // The table of a level just pushed is empty, and P1..P8 are valid
    // names: they go in directly, without the checks and the search for a
    // related name that a definition makes (a CALL costs twice as much
    // otherwise).
    SymbolTable* table = current_local_table();
    bool fresh = table && table->empty();
    for (size_t n = 0; n < kParameterCount; ++n) {
        name[1] = static_cast<char>('1' + n);
        std::string_view value = n < parameters.size() ? std::string_view(parameters[n]) : "";
        if (fresh && value.size() <= kMaxSymbolValue) {
            table->insert(Symbol{name, std::string(value), SYM_LOCAL | SYM_STRING, {}});
            continue;
        }
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
    if (status == 1 && !output_spec.empty()) status = open_own_output(f.streams, output_spec);
    if (status == 1) status = define_parameters(parameters);
    if (status == 1) settle_current_streams();
    if (status != 1) pop_procedure_level();
    return status;
}

void read_commands_from_script() {
    ProcedureStack& ps = procedure_stack();
    ProcedureFrame& level0 = ps.frames[0];
    FILE* script = open_script_input(STDIN_FILENO, level0.owned_input);
    if (!script) return;
    level0.input = script;
    level0.streams.base[STREAM_INPUT] = script;
    if (ps.depth == 0) {
        settle_input();
        ps.command_input = script;
        settle_current_streams();
    }
    ps.script_input = true;
}

bool failures_end_session() { return !session().interactive || session().one_shot; }

void end_session(uint32_t status) {
    show_messages();
    interpreter_exit(is_success(status) ? 0 : status & 0xFF);
}

void pop_procedure_level() {
    ProcedureStack& ps = procedure_stack();
    if (ps.depth <= 0) {
        if (!session().interactive) {
            show_messages();
            interpreter_exit(0);
        }
        return;
    }
    defer_interrupts();
    ProcedureFrame& f = current_frame();
    const bool called = f.called;
    const long return_position = f.return_position;
    // Closed once the caller's streams are back in force.
    ProcedureFrame ending = std::move(f);
    f = ProcedureFrame{};
    if (called && seek_input(return_position) != 1) signal_condition(cond::POSERR, " ");
    set_depth(ps, ps.depth - 1);
    symbol_tables().levels.pop_back();
    note_procedure_level_popped(ps.depth);
    if (!called) {
        settle_input();
        ps.command_input = current_frame().input;
    }
    symbol_tables().scope = current_frame().scopes.general;
    set_in_procedure_flag();
    settle_current_streams();
    // The CALL raised its block's count so that the block outlived the call.
    if (called) adjust_newest_if_block(-1);
    resume_interrupts();
}

}  // namespace dcl
