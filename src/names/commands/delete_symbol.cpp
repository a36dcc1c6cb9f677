// DELETE/SYMBOL: removes one symbol, or every symbol of the current level's
// local table or of the global table.
#include <algorithm>
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include "core/dispatch.h"
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

constexpr KeywordRecord kRows[] = {
    {"ALL", KW_NO_NEGATE, qual::DELETE_SYMBOL_ALL},
    {"ENVIRO", KW_NO_NEGATE, qual::DELETE_SYMBOL_ENVIRONMENT},
    {"GLOBAL", KW_NO_NEGATE, qual::DELETE_SYMBOL_GLOBAL},
    {"LOCAL", KW_NO_NEGATE, qual::DELETE_SYMBOL_LOCAL},
    {"LOG", 0, qual::DELETE_SYMBOL_LOG},
};

struct DeleteRequest {
    uint32_t options = 0;
    uint32_t kind = SYM_LOCAL;
};

// The options and the table that the last of /LOCAL, /GLOBAL and
// /ENVIRONMENT chose.
DeleteRequest read_request(const ParsedCommand& cmd) {
    DeleteRequest request;
    switch (cmd.last_of({qual::DELETE_SYMBOL_LOCAL, qual::DELETE_SYMBOL_GLOBAL,
                         qual::DELETE_SYMBOL_ENVIRONMENT})) {
    case qual::DELETE_SYMBOL_GLOBAL: request.kind = SYM_GLOBAL; break;
    case qual::DELETE_SYMBOL_ENVIRONMENT: request.kind = SYM_ENVIRONMENT; break;
    default: request.kind = SYM_LOCAL; break;
    }
    if (cmd.flag(qual::DELETE_SYMBOL_ALL, false)) request.options |= DELETE_ALL;
    if (cmd.flag(qual::DELETE_SYMBOL_LOG, false)) request.options |= DELETE_LOG;
    return request;
}

void log_deletion(uint32_t kind, std::string_view name) {
    const char* table = kind == SYM_LOCAL ? "Local" : kind == SYM_GLOBAL ? "Global" : "Environment";
    std::string text = std::string(table) + " symbol " + std::string(name) + " has been deleted";
    put_message(kSymbolDeletedMessage, "DELSYM", text);
}

void delete_whole_table(const DeleteRequest& request) {
    SymbolTable* table = request.kind == SYM_GLOBAL ? &symbol_tables().global : current_local_table();
    if (!table) return;
    std::vector<Symbol> removed = table->take_all();
    if (!(request.options & DELETE_LOG)) return;
    for (const Symbol& s : removed) log_deletion(request.kind, s.name);
}

}  // namespace

const KeywordTable kDeleteSymbolQualifiers{qual::DELETE_SYMBOL_FORM, kRows};

uint32_t delete_symbol_command(const ParsedCommand& cmd, CommandStreams&) {
    DeleteRequest request = read_request(cmd);
    const ParsedParameter* name = cmd.parameter(0);
    if (name && (request.options & DELETE_ALL)) {
        extra_parameter(name->text);
        return 0;
    }
    if (request.options & DELETE_ALL) {
        if (request.kind == SYM_ENVIRONMENT) return cond::CONFQUAL;
        delete_whole_table(request);
        return 1;
    }
    if (!name) return ask_for(cmd, 0);
    uint32_t status = delete_symbol(name->text, request.kind);
    if (status == 1) {
        if (request.options & DELETE_LOG) log_deletion(request.kind, name->text);
    } else if (status != 0) {
        signal_condition(status, normalize_symbol_name(name->text));
    }
    return 1;
}

}  // namespace dcl
