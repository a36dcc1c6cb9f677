// The server handlers of the logical-name store: create a name, create a
// table, delete, translate. Each answers in the reply record it is given;
// none checks privileges or protection (the command-level wrappers do).
#include <cstdio>
#include <new>

#include "names/lnm_internal.h"
#include "status/text.h"
#include "status/condition.h"

namespace dcl::lnm {

namespace {

std::unique_ptr<char[]> copy_text(std::string_view text) {
    std::unique_ptr<char[]> copy(new (std::nothrow) char[text.size() + 1]);
    if (!copy) return nullptr;
    if (!text.empty()) std::memcpy(copy.get(), text.data(), text.size());
    copy[text.size()] = '\0';
    return copy;
}

// ---- create name -------------------------------------------------------------

// The index a further value of an existing name takes.
std::optional<uint32_t> next_table_index(const Table& table, std::string_view name) {
    for (uint32_t index = 1; index <= kMaxValueIndex; ++index)
        if (!table.find_exact(name, index)) return index;
    return std::nullopt;
}

std::optional<uint32_t> next_directory_index(Directory& directory, std::string_view name) {
    for (uint32_t index = 1; index <= kMaxValueIndex; ++index)
        if (!find_directory_name(directory, name, index, Match::EXACT)) return index;
    return std::nullopt;
}

// A name that becomes a directory name (an alias or search list of tables).
uint32_t create_directory_name(const Directories& dirs, Directory& directory,
                               const CreateNameRequest& request, Reply& reply) {
    std::string_view name = request.name.view();
    std::string_view value = request.value.view();
    // Directory entries hold names no longer than table names.
    if (name.size() > kMaxTableName) return cond::IVLOGNAM;
    uint32_t index = 0;
    bool supersede = false;
    if (const DirectoryEntry* existing = find_directory_name(directory, name, 0, Match::EXACT)) {
        if (existing->attributes & LNM_NO_ALIAS) return cond::DUPLNAM;
        if (request.attributes & LNM_APPEND) {
            std::optional<uint32_t> next = next_directory_index(directory, name);
            if (!next) return cond::EXLNMQUOTA;
            index = *next;
        } else {
            supersede = true;
        }
    }
    // Everything that can fail is settled before the old values go.
    uint32_t reusable = supersede ? count_directory_name(directory, name) : 0;
    if (free_entries(directory) + reusable == 0) return cond::NOSLOT;
    std::unique_ptr<char[]> stored_value = copy_text(value);
    if (!stored_value) return cond::INSFMEM;
    if (supersede) erase_directory_name(directory, name);
    DirectoryEntry* entry = first_free_entry(directory);
    if (!entry) return cond::INTERR;
    entry->name.assign(name);
    entry->kind = EntryKind::DIRECTORY_NAME;
    entry->attributes = request.attributes | LNM_EXISTS;
    entry->value = std::move(stored_value);
    entry->value_length = static_cast<uint16_t>(value.size());
    entry->index = static_cast<uint8_t>(index);
    ++lnm_server_state().directory_changes;
    if (!reply.table.assign(name_of_directory(dirs, &directory))) return cond::BUFFEROVF;
    return supersede ? cond::SS_SUPERSEDE : cond::NORMAL;
}

// `named_directly`: the request named the table itself, which is then the
// only table a superseded name is deleted from; a name that stands for
// tables loses the name in every table it reaches.
uint32_t create_table_name(const Directories& dirs, Table& table, const CreateNameRequest& request,
                           bool named_directly) {
    std::string_view name = request.name.view();
    std::string_view value = request.value.view();
    uint32_t index = 0;
    bool supersede = false;
    if (const Slot* existing = table.find_exact(name, 0)) {
        if (existing->attributes & LNM_NO_ALIAS) return cond::DUPLNAM;
        if (request.attributes & LNM_APPEND) {
            std::optional<uint32_t> next = next_table_index(table, name);
            if (!next) return cond::EXLNMQUOTA;
            index = *next;
        } else {
            supersede = true;
        }
    }
    // A replacement must not lose the old values when the new one cannot
    // be stored: room and memory are settled first, counting the slots the
    // old values will give back (a full table can still be redefined).
    uint32_t reusable = supersede ? table.count_values(name) : 0;
    if (table.free_slots() + reusable == 0) return cond::EXLNMQUOTA;
    std::unique_ptr<char[]> text = pack_name_value(name, value);
    if (!text) return cond::INSFMEM;
    if (supersede && named_directly) table.erase_values(name);
    if (supersede && !named_directly) delete_name_in_tables(dirs, request.table.view(), name);
    if (!table.insert(std::move(text), name, value, request.attributes | LNM_EXISTS, index))
        return cond::INTERR;
    return supersede ? cond::SS_SUPERSEDE : cond::NORMAL;
}

// ---- create table --------------------------------------------------------------

// The parent is a directory, or a table whose directory takes the new one.
Directory* parent_directory(const Directories& dirs, std::string_view parent) {
    if (Directory* directory = directory_named(dirs, parent)) return directory;
    return find_table_anywhere(dirs, parent).directory;
}

// "LNM$" and a hexadecimal counter; a directory of 128 entries holds at
// most 128 tables, so one of the first 129 names is free.
bool choose_table_name(Directory& directory, TableNameText& name) {
    for (uint32_t counter = 0; counter <= kDirectoryEntries; ++counter) {
        char candidate[kMaxTableName + 1];
        std::snprintf(candidate, sizeof candidate, "LNM$%04x", counter);
        if (!find_table_entry(directory, candidate, Match::CASE_BLIND)) return name.assign(candidate);
    }
    return false;
}

TableOwner owner_of(const CreateTableRequest& request) {
    TableOwner owner;
    owner.process_id = request.header.owner_process_id;
    owner.job_id = request.header.job_id;
    owner.group_id = request.header.group_id;
    owner.protection = request.protection ? static_cast<uint16_t>(~request.protection)
                                          : kDefaultTableProtection;
    return owner;
}

// ---- translate -------------------------------------------------------------------

struct Translation {
    const Directories& dirs;
    std::string_view name;
    uint32_t index;
    Match match;
    Reply& reply;
};

uint32_t answer(Reply& reply, std::string_view value, std::string_view table, uint32_t attributes) {
    if (!reply.value.assign(value) || !reply.table.assign(table)) return cond::BUFFEROVF;
    reply.attributes = attributes;
    return cond::NORMAL;
}

// A name looked up in a directory: a directory name, else a table.
uint32_t translate_in_directory(const Translation& t, Directory& directory) {
    std::string_view directory_name = name_of_directory(t.dirs, &directory);
    if (const DirectoryEntry* alias = find_directory_name(directory, t.name, t.index, t.match))
        return answer(t.reply, alias->value_view(), directory_name, alias->attributes);
    if (const DirectoryEntry* table = find_table_entry(directory, t.name, t.match))
        return answer(t.reply, "", directory_name, table->attributes);
    return cond::NOLOGNAM;
}

// One step of a search list: the table of that name, else its value at
// this index (a TERMINAL directory name is not followed).
const DirectoryEntry* search_list_step(const Directories& dirs, std::string_view table,
                                       uint32_t index) {
    if (Located found = find_table_anywhere(dirs, table); found.entry) return found.entry;
    return find_directory_name_anywhere(dirs, table, index, true).entry;
}

// Every step of a search list in order, as search_list_step finds them
// one index after another; kept until the store changes.
const std::vector<const DirectoryEntry*>& search_steps(const Directories& dirs,
                                                       std::string_view table) {
    LnmServerState& state = lnm_server_state();
    forget_stale_lookups(state);
    FoldedName key(table);
    if (auto it = state.search_steps.find(key.view()); it != state.search_steps.end())
        return it->second;
    auto it = state.search_steps.try_emplace(std::string(key.view())).first;
    const DirectoryEntry* previous = nullptr;
    for (uint32_t n = 0; n <= kMaxValueIndex; ++n) {
        const DirectoryEntry* step = search_list_step(dirs, table, n);
        if (!step || step == previous) break;
        previous = step;
        it->second.push_back(step);
    }
    return it->second;
}

bool take_descent() {
    uint32_t& left = lnm_server_state().descents_left;
    if (left == 0) return false;
    --left;
    return true;
}

uint32_t translate(const Translation& t, std::string_view table, uint32_t depth) {
    if (depth > kMaxTranslationDepth) return cond::NOLOGNAM;
    if (table.empty() || table.size() > kMaxTableName || t.name.empty() ||
        t.name.size() > kMaxLogicalName)
        return cond::IVLOGNAM;
    if (t.index > kMaxValueIndex) return cond::BADPARAM;
    if (Directory* directory = directory_named(t.dirs, table))
        return translate_in_directory(t, *directory);
    bool found_any = false;
    for (const DirectoryEntry* step : search_steps(t.dirs, table)) {
        found_any = true;
        if (step->is_table()) {
            if (const Slot* slot = step->table->find(t.name, t.index, t.match))
                return answer(t.reply, slot->value(), step->name.view(), slot->attributes);
        } else if (!step->value_view().empty() && take_descent()) {
            if (translate(t, step->value_view(), depth + 1) == cond::NORMAL) return cond::NORMAL;
        }
    }
    return found_any ? cond::NOLOGNAM : cond::NOLOGTAB;
}

// ---- delete --------------------------------------------------------------------------

// A name given with a directory: a table of that name goes, with every
// table its name reaches; otherwise the directory name's values go.
uint32_t delete_in_directory(const Directories& dirs, Directory& directory, std::string_view name) {
    DirectoryEntry* own = find_table_entry(directory, name, Match::EXACT);
    if (!own) return erase_directory_name(directory, name) > 0 ? cond::NORMAL : cond::NOLOGNAM;
    // Collected before anything goes: once the table is gone its name
    // could resolve to another table through a directory name.
    ReachedTables reached;
    collect_tables_reached(dirs, name, reached);
    own->release();
    for (size_t i = 0; i < reached.count; ++i)
        if (reached.tables[i]->is_table()) reached.tables[i]->release();
    return cond::NORMAL;
}

uint32_t empty_tables(const Directories& dirs, std::string_view table) {
    ReachedTables reached;
    collect_tables_reached(dirs, table, reached);
    if (reached.count == 0) return cond::NOLOGTAB;
    for (size_t i = 0; i < reached.count; ++i) reached.tables[i]->table->clear();
    return cond::NORMAL;
}

}  // namespace

uint32_t delete_name_in_tables(const Directories& dirs, std::string_view table,
                               std::string_view name) {
    ReachedTables reached;
    collect_tables_reached(dirs, table, reached);
    if (reached.count == 0) return cond::NOLOGTAB;
    bool deleted = false;
    for (size_t i = 0; i < reached.count; ++i)
        if (reached.tables[i]->table->erase_values(name) > 0) deleted = true;
    return deleted ? cond::NORMAL : cond::NOLOGNAM;
}

uint32_t crelnm(const CreateNameRequest& request, Reply& reply) {
    Directories dirs = directories_for(request.header);
    std::string_view table = request.table.view();
    if (Directory* directory = directory_named(dirs, table))
        return create_directory_name(dirs, *directory, request, reply);
    Located direct = find_table_anywhere(dirs, table);
    Located target = direct.entry ? direct : resolve_table(dirs, table, 0);
    if (!target.entry || !target.entry->is_table()) return cond::NOLOGTAB;
    uint32_t status = create_table_name(dirs, *target.entry->table, request, direct.entry != nullptr);
    if (is_success(status) && !reply.table.assign(target.entry->name.view())) return cond::BUFFEROVF;
    return status;
}

uint32_t crelnt(const CreateTableRequest& request, Reply& reply) {
    Directories dirs = directories_for(request.header);
    Directory* directory = parent_directory(dirs, request.parent.view());
    if (!directory) return cond::NOLOGTAB;
    TableNameText name = request.table;
    if (name.empty() && !choose_table_name(*directory, name)) return cond::NOSLOT;
    DirectoryEntry* entry = find_table_entry(*directory, name.view(), Match::EXACT);
    uint32_t status = cond::CREATED;
    if (entry) {
        if (request.attributes & LNM_CREATE_IF) return cond::NORMAL;
        if (entry->attributes & LNM_NO_ALIAS) return cond::DUPLNAM;
        status = cond::SS_SUPERSEDE;
    } else if (!(entry = first_free_entry(*directory))) {
        return cond::NOSLOT;
    }
    // The new slot array exists before a superseded table's goes.
    std::optional<uint32_t> capacity = table_capacity(name.view(), request.quota);
    std::unique_ptr<Table> table = capacity ? Table::create(*capacity) : nullptr;
    if (!table) return cond::INSFMEM;
    table->owner = owner_of(request);
    entry->release();
    entry->name = name;
    entry->kind = EntryKind::TABLE;
    entry->attributes = request.attributes | LNM_TABLE;
    entry->table = std::move(table);
    ++lnm_server_state().directory_changes;
    reply.table = name;
    return status;
}

uint32_t dellnm(const DeleteRequest& request, Reply&) {
    Directories dirs = directories_for(request.header);
    std::string_view table = request.table.view();
    std::string_view name = request.name.view();
    if (name.empty()) return empty_tables(dirs, table);
    if (Directory* directory = directory_named(dirs, table))
        return delete_in_directory(dirs, *directory, name);
    return delete_name_in_tables(dirs, table, name);
}

uint32_t trnlnm(const TranslateRequest& request, Reply& reply) {
    Directories dirs = directories_for(request.header);
    lnm_server_state().descents_left = kMaxTranslationDescents;
    Match match = (request.attributes & LNM_CASE_BLIND) ? Match::CASE_BLIND : Match::EXACT;
    return translate(Translation{dirs, request.name.view(), request.index, match, reply},
                     request.table.view(), 0);
}

}  // namespace dcl::lnm
