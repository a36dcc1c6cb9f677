// Placeholder: the symbol store is being written.
#include "names/symbols.h"

#include "proc/procedure.h"
#include "status/condition.h"

namespace dcl {

namespace {
SymbolTables g_tables;
}  // namespace

SymbolTables& symbol_tables() { return g_tables; }
void reset_symbol_tables() { g_tables = SymbolTables{}; }
SymbolTable& local_symbols() { return current_frame().local_symbols; }
uint32_t set_symbol(std::string_view, std::string_view, uint32_t) { return cond::NOTAVAIL; }
uint32_t get_symbol(std::string_view, std::string&, uint32_t&, SymbolSelector, std::string*) {
    return cond::UNDSYM;
}
uint32_t get_symbol_text(std::string_view, std::string&, uint32_t&, SymbolSelector, std::string*) {
    return cond::UNDSYM;
}
uint32_t delete_symbol(std::string_view, uint32_t) { return cond::UNDSYM; }
bool symbol_name_valid(std::string_view) { return true; }
bool symbol_abbrev_match(std::string_view a, std::string_view b) { return a == b; }
void import_environment(char**) {}
VerbSymbolScope::VerbSymbolScope() : saved_(g_tables.scope) {}
VerbSymbolScope::~VerbSymbolScope() { g_tables.scope = saved_; }

}  // namespace dcl
