// The procedure-level stack.
#include "proc/procedure.h"

#include "core/session.h"
#include "info/logout.h"
#include "lang/lexical_files.h"
#include "status/condition.h"
#include "status/messages.h"

namespace dcl {

namespace {
ProcedureStack g_stack;
}

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

}  // namespace

uint32_t push_procedure_level(const std::string& procedure_name) {
    if (g_stack.depth >= ProcedureStack::kMaxLevels - 1) return cond::STKOVF;
    LevelScopes scopes = inherited_scopes();
    ++g_stack.depth;
    ProcedureFrame& f = current_frame();
    f = ProcedureFrame{};
    f.scopes = scopes;
    symbol_tables().scope.local = true;
    f.procedure_name = procedure_name;
    if (g_stack.depth == 0) {
        f.input = stdin;
        g_stack.command_input = stdin;
    } else {
        f.input = g_stack.frames[0].input;
    }
    g_stack.in_procedure = g_stack.depth > 0 || !session().interactive;
    return 1;
}

void pop_procedure_level() {
    if (g_stack.depth <= 0) {
        if (!session().interactive) {
            show_messages();
            logout_session(0);
        }
        return;
    }
    current_frame() = ProcedureFrame{};
    --g_stack.depth;
    note_procedure_level_popped(g_stack.depth);
    g_stack.command_input = current_frame().input;
    symbol_tables().scope = current_frame().scopes.general;
    g_stack.in_procedure = g_stack.depth > 0 || !session().interactive;
}

bool reading_from_file() { return g_stack.depth > 0 || !session().interactive; }

uint32_t goto_label(std::string_view) { return 1; }

}  // namespace dcl
