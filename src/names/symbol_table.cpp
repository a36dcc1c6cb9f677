// One symbol table: full names by hash, abbreviated names ("SH*OW") in a
// short list kept in name order. A procedure that keeps thousands of
// symbols finds each one in constant time; a reference is compared with
// the abbreviated names only where one of them could come first.
#include <algorithm>

#include "names/symbols.h"

namespace dcl {

namespace {

bool abbreviated_name(std::string_view name) { return name.find('*') != std::string_view::npos; }

bool by_name(const Symbol* a, const Symbol* b) { return a->name < b->name; }

}  // namespace

const Symbol* SymbolTable::find(std::string_view reference) const {
    if (abbreviated_name(reference)) return find_by_scan(reference);
    const Symbol* best = nullptr;
    if (auto it = full_.find(reference); it != full_.end()) best = &it->second;
    // In name order: the first abbreviation that accepts the reference
    // wins when it sorts before the full name found.
    for (const Symbol& s : abbreviated_) {
        if (best && !(s.name < best->name)) break;
        if (symbol_abbrev_match(s.name, reference)) return &s;
    }
    return best;
}

Symbol* SymbolTable::find(std::string_view reference) {
    return const_cast<Symbol*>(static_cast<const SymbolTable*>(this)->find(reference));
}

// A reference that holds a "*" itself: every stored name is tried.
const Symbol* SymbolTable::find_by_scan(std::string_view reference) const {
    const Symbol* best = nullptr;
    auto consider = [&](const Symbol& s) {
        if (symbol_abbrev_match(s.name, reference) && (!best || s.name < best->name)) best = &s;
    };
    for (const auto& [name, s] : full_) consider(s);
    for (const Symbol& s : abbreviated_) consider(s);
    return best;
}

Symbol* SymbolTable::stored(std::string_view name) {
    if (!abbreviated_name(name)) {
        auto it = full_.find(name);
        return it == full_.end() ? nullptr : &it->second;
    }
    auto it = std::lower_bound(abbreviated_.begin(), abbreviated_.end(), name,
                               [](const Symbol& s, std::string_view n) { return s.name < n; });
    return it != abbreviated_.end() && it->name == name ? &*it : nullptr;
}

Symbol& SymbolTable::insert(Symbol symbol) {
    ++names_added_like(symbol.name);
    if (!abbreviated_name(symbol.name)) {
        std::string key = symbol.name;
        return full_.insert_or_assign(std::move(key), std::move(symbol)).first->second;
    }
    auto it = std::lower_bound(abbreviated_.begin(), abbreviated_.end(), symbol.name,
                               [](const Symbol& s, const std::string& n) { return s.name < n; });
    return *abbreviated_.insert(it, std::move(symbol));
}

void SymbolTable::rename(Symbol* record, std::string_view name) {
    if (record->name == name) return;
    Symbol renamed = *record;
    erase(record);
    renamed.name.assign(name);
    insert(std::move(renamed));
}

void SymbolTable::erase(const Symbol* record) {
    if (!abbreviated_name(record->name)) {
        full_.erase(full_.find(record->name));
        return;
    }
    auto index = record - abbreviated_.data();
    abbreviated_.erase(abbreviated_.begin() + index);
}

std::vector<const Symbol*> SymbolTable::sorted() const {
    std::vector<const Symbol*> list;
    list.reserve(size());
    for (const auto& [name, s] : full_) list.push_back(&s);
    for (const Symbol& s : abbreviated_) list.push_back(&s);
    std::sort(list.begin(), list.end(), by_name);
    return list;
}

std::vector<Symbol> SymbolTable::take_all() {
    std::vector<Symbol> records;
    records.reserve(size());
    for (const Symbol* s : sorted()) records.push_back(std::move(*const_cast<Symbol*>(s)));
    full_.clear();
    abbreviated_.clear();
    return records;
}

}  // namespace dcl
