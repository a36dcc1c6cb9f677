// DELETE/SYMBOL: removes one symbol, or every symbol of the current level's
// local table or of the global table.
#include <algorithm>
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include "core/command_state.h"
#include "core/handlers.h"
#include "lang/keywords.h"
#include "lang/qualifier_codes.h"
#include "lang/qualifiers.h"
#include "names/symbols.h"
#include "proc/procedure.h"
#include "status/condition.h"
#include "status/messages.h"

namespace dcl {

namespace {

// The informational DELSYM message, shown at once rather than queued.
constexpr uint32_t kSymbolDeletedMessage = 0x30003;

constexpr uint32_t DELETE_ALL = 1;
constexpr uint32_t DELETE_LOG = 2;

struct DeleteRequest {
    uint32_t options = 0;
    uint32_t kind = SYM_LOCAL;
    const Token* name = nullptr;
};

std::string_view qualifier_name(std::string_view token) {
    token.remove_prefix(std::min<size_t>(1, token.size()));
    return token.substr(0, token.find('='));
}

bool apply_delete_qualifier(DeleteRequest& request, uint32_t code, std::string_view token,
                            uint32_t flags) {
    switch (code) {
    case qual::DELETE_SYMBOL_ALL: return apply_flag(request.options, DELETE_ALL, flags, qualifier_name(token));
    case qual::DELETE_SYMBOL_LOG: return apply_flag(request.options, DELETE_LOG, flags, qualifier_name(token));
    case qual::DELETE_SYMBOL_LOCAL: request.kind = SYM_LOCAL; return true;
    case qual::DELETE_SYMBOL_GLOBAL: request.kind = SYM_GLOBAL; return true;
    case qual::DELETE_SYMBOL_ENVIRONMENT: request.kind = SYM_ENVIRONMENT; return true;
    default: return !unsupported_qualifier(token);
    }
}

// Walks the tokens after the verb, leaving out the /SYMBOL that chose this
// form. False after queueing.
bool read_request(const CommandContext& cmd, size_t form_index, DeleteRequest& request) {
    for (size_t i = cmd.verb_index + 1; i < cmd.tokens.size(); ++i) {
        if (i == form_index) continue;
        const Token& t = cmd.tokens[i];
        if (t.type == TOKEN_QUALIFIER) {
            uint32_t flags = 0;
            uint32_t code = lookup_qualifier(t.text, qual::DELETE_SYMBOL_FORM, flags);
            if (code == 0 || !apply_delete_qualifier(request, code, t.text, flags)) return false;
        } else if (!request.name) {
            request.name = &t;
        } else {
            extra_parameter(t.text);
            return false;
        }
    }
    if (request.name && (request.options & DELETE_ALL)) {
        extra_parameter(request.name->text);
        return false;
    }
    return true;
}

void log_deletion(uint32_t kind, std::string_view name) {
    const char* table = kind == SYM_LOCAL ? "Local" : kind == SYM_GLOBAL ? "Global" : "Environment";
    std::string text = std::string(table) + " symbol " + std::string(name) + " has been deleted";
    put_message(kSymbolDeletedMessage, "DELSYM", text);
}

void delete_whole_table(const DeleteRequest& request) {
    SymbolTable* table = request.kind == SYM_GLOBAL ? &symbol_tables().global : current_local_table();
    if (!table) return;
    std::vector<Symbol> removed = std::move(table->records);
    table->records.clear();
    if (!(request.options & DELETE_LOG)) return;
    for (const Symbol& s : removed) log_deletion(request.kind, s.name);
}

}  // namespace

void delete_symbol_command(CommandContext& cmd, size_t form_index) {
    DeleteRequest request;
    if (!read_request(cmd, form_index, request)) return;
    if (request.options & DELETE_ALL) {
        if (request.kind == SYM_ENVIRONMENT) {
            signal_condition(cond::CONFQUAL);
            return;
        }
        delete_whole_table(request);
        return;
    }
    if (!request.name) {
        ask_for_parameter("_Symbol: ");
        return;
    }
    uint32_t status = delete_symbol(request.name->text, request.kind);
    if (status == 1) {
        if (request.options & DELETE_LOG) log_deletion(request.kind, request.name->text);
    } else if (status != 0) {
        signal_condition(status, normalize_symbol_name(request.name->text));
    }
}

}  // namespace dcl
