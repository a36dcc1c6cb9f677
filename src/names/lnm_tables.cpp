// Tables, directories and table resolution of the logical-name store.
#include <algorithm>
#include <cstring>
#include <new>

#include "names/lnm_internal.h"
#include "status/text.h"

namespace dcl::lnm {

// ---- names -------------------------------------------------------------------

char fold(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

int compare_folded(std::string_view a, std::string_view b) {
    size_t common = std::min(a.size(), b.size());
    for (size_t i = 0; i < common; ++i) {
        auto ca = static_cast<unsigned char>(fold(a[i]));
        auto cb = static_cast<unsigned char>(fold(b[i]));
        if (ca != cb) return ca < cb ? -1 : 1;
    }
    if (a.size() == b.size()) return 0;
    return a.size() < b.size() ? -1 : 1;
}

bool equal_folded(std::string_view a, std::string_view b) {
    return a.size() == b.size() && compare_folded(a, b) == 0;
}

bool starts_with_exact(std::string_view text, std::string_view prefix) {
    return text.substr(0, prefix.size()) == prefix;
}

bool names_match(std::string_view a, std::string_view b, Match match) {
    return match == Match::EXACT ? a == b : equal_folded(a, b);
}

std::unique_ptr<char[]> pack_name_value(std::string_view name, std::string_view value) {
    std::unique_ptr<char[]> text(new (std::nothrow) char[name.size() + value.size() + 2]);
    if (!text) return nullptr;
    char* p = text.get();
    if (!name.empty()) std::memcpy(p, name.data(), name.size());
    p[name.size()] = '\0';
    p += name.size() + 1;
    if (!value.empty()) std::memcpy(p, value.data(), value.size());
    p[value.size()] = '\0';
    return text;
}

// ---- tables -------------------------------------------------------------------

namespace {

// The name order: folded name, then index.
int compare_key(const Slot& slot, std::string_view name, uint32_t index) {
    if (int c = compare_folded(slot.name(), name)) return c;
    if (slot.index == index) return 0;
    return slot.index < index ? -1 : 1;
}

}  // namespace

std::unique_ptr<Table> Table::create(uint32_t capacity) {
    std::unique_ptr<Table> table(new (std::nothrow) Table);
    if (!table) return nullptr;
    if (capacity > 0) {
        table->slots_.reset(new (std::nothrow) Slot[capacity]);
        table->order_.reset(new (std::nothrow) uint32_t[capacity]);
        if (!table->slots_ || !table->order_) return nullptr;
    }
    table->capacity_ = capacity;
    return table;
}

uint32_t Table::lower_bound(std::string_view name, uint32_t index) const {
    uint32_t low = 0, high = used_;
    while (low < high) {
        uint32_t mid = low + (high - low) / 2;
        if (compare_key(in_order(mid), name, index) < 0)
            low = mid + 1;
        else
            high = mid;
    }
    return low;
}

uint32_t Table::upper_bound(std::string_view name, uint32_t index) const {
    uint32_t low = 0, high = used_;
    while (low < high) {
        uint32_t mid = low + (high - low) / 2;
        if (compare_key(in_order(mid), name, index) <= 0)
            low = mid + 1;
        else
            high = mid;
    }
    return low;
}

uint32_t Table::position_exact(std::string_view name, uint32_t index) const {
    uint32_t end = upper_bound(name, index);
    for (uint32_t p = lower_bound(name, index); p < end; ++p)
        if (in_order(p).name() == name) return p;
    return used_;
}

const Slot* Table::find_exact(std::string_view name, uint32_t index) const {
    uint32_t position = position_exact(name, index);
    return position < used_ ? &in_order(position) : nullptr;
}

const Slot* Table::find_case_blind(std::string_view name, uint32_t index) const {
    // Newer names come first among equals, so the oldest is the last.
    uint32_t end = upper_bound(name, index);
    if (end == lower_bound(name, index)) return nullptr;
    return &in_order(end - 1);
}

const Slot* Table::find(std::string_view name, uint32_t index, Match match) const {
    return match == Match::EXACT ? find_exact(name, index) : find_case_blind(name, index);
}

uint32_t Table::count_values(std::string_view name) const {
    uint32_t count = 0;
    while (count <= kMaxValueIndex && find_exact(name, count)) ++count;
    return count;
}

bool Table::insert(std::unique_ptr<char[]> text, std::string_view name, std::string_view value,
                   uint32_t attributes, uint32_t index) {
    uint32_t free = 0;
    while (free < capacity_ && slots_[free].in_use()) ++free;
    if (free == capacity_) return false;
    Slot& slot = slots_[free];
    slot.text = std::move(text);
    slot.name_length = static_cast<uint16_t>(name.size());
    slot.value_length = static_cast<uint16_t>(value.size());
    slot.attributes = attributes;
    slot.index = index;
    // In front of any equal key: the newcomer counts as the smaller.
    uint32_t position = lower_bound(name, index);
    std::memmove(&order_[position + 1], &order_[position], (used_ - position) * sizeof order_[0]);
    order_[position] = free;
    ++used_;
    if (free >= high_water_) high_water_ = free + 1;
    return true;
}

void Table::erase_at(uint32_t position) {
    slots_[order_[position]] = Slot{};
    std::memmove(&order_[position], &order_[position + 1],
                 (used_ - position - 1) * sizeof order_[0]);
    --used_;
}

uint32_t Table::erase_values(std::string_view name) {
    uint32_t erased = 0;
    for (uint32_t index = 0; index <= kMaxValueIndex; ++index) {
        uint32_t position = position_exact(name, index);
        if (position == used_) break;
        erase_at(position);
        ++erased;
    }
    return erased;
}

void Table::clear() {
    for (uint32_t i = 0; i < high_water_; ++i) slots_[i] = Slot{};
    used_ = 0;
    high_water_ = 0;
}

std::optional<uint32_t> table_capacity(std::string_view name, uint32_t quota) {
    if (quota == 0 || name == "LNM$SYSTEM_TABLE" || starts_with_exact(name, "LNM$GROUP") ||
        starts_with_exact(name, "LNM$PROCESS_"))
        return kDefaultTableSlots;
    uint32_t slots = quota / kQuotaBytesPerSlot;
    if (slots > kMaxTableSlots) return std::nullopt;
    return slots;
}

// ---- directories ------------------------------------------------------------------

void DirectoryEntry::release() {
    ++lnm_server_state().directory_changes;
    name.clear();
    kind = EntryKind::TABLE;
    attributes = 0;
    table.reset();
    value.reset();
    value_length = 0;
    index = 0;
}

Directory* directory_named(const Directories& dirs, std::string_view name) {
    if (name == kProcessDirectory) return dirs.process;
    if (name == kSystemDirectory) return dirs.system;
    return nullptr;
}

std::string_view name_of_directory(const Directories& dirs, const Directory* directory) {
    return directory == dirs.process ? kProcessDirectory : kSystemDirectory;
}

DirectoryEntry* find_table_entry(Directory& directory, std::string_view name, Match match) {
    for (DirectoryEntry& entry : directory.entries)
        if (entry.is_table() && names_match(entry.name.view(), name, match)) return &entry;
    return nullptr;
}

DirectoryEntry* find_directory_name(Directory& directory, std::string_view name, uint32_t index,
                                    Match match) {
    for (DirectoryEntry& entry : directory.entries) {
        if (entry.in_use() && entry.kind == EntryKind::DIRECTORY_NAME && entry.index == index &&
            names_match(entry.name.view(), name, match))
            return &entry;
    }
    return nullptr;
}

uint32_t free_entries(const Directory& directory) {
    return static_cast<uint32_t>(
        std::count_if(directory.entries.begin(), directory.entries.end(),
                      [](const DirectoryEntry& entry) { return !entry.in_use(); }));
}

uint32_t count_directory_name(const Directory& directory, std::string_view name) {
    return static_cast<uint32_t>(std::count_if(
        directory.entries.begin(), directory.entries.end(), [name](const DirectoryEntry& entry) {
            return entry.in_use() && entry.kind == EntryKind::DIRECTORY_NAME &&
                   entry.name.view() == name;
        }));
}

DirectoryEntry* first_free_entry(Directory& directory) {
    for (DirectoryEntry& entry : directory.entries)
        if (!entry.in_use()) return &entry;
    return nullptr;
}

uint32_t erase_directory_name(Directory& directory, std::string_view name) {
    uint32_t erased = 0;
    for (DirectoryEntry& entry : directory.entries) {
        if (entry.in_use() && entry.kind == EntryKind::DIRECTORY_NAME && entry.name.view() == name) {
            entry.release();
            ++erased;
        }
    }
    return erased;
}

// ---- resolution -------------------------------------------------------------------

namespace {

Located search_directories(const Directories& dirs, std::string_view name) {
    for (Directory* directory : {dirs.process, dirs.system}) {
        if (!directory) continue;
        if (DirectoryEntry* entry = find_table_entry(*directory, name, Match::CASE_BLIND))
            return {directory, entry};
    }
    return {};
}

}  // namespace

void forget_stale_lookups(LnmServerState& state) {
    if (state.search_steps_at == state.directory_changes) return;
    state.search_steps.clear();
    state.tables_found.clear();
    state.search_steps_at = state.directory_changes;
}

// Kept until a directory entry changes: procedure levels and translations
// look the same few tables up again and again.
Located find_table_anywhere(const Directories& dirs, std::string_view name) {
    if (name.size() > kMaxTableName) return search_directories(dirs, name);
    LnmServerState& state = lnm_server_state();
    forget_stale_lookups(state);
    FoldedName key(name);
    if (auto it = state.tables_found.find(key.view()); it != state.tables_found.end())
        return it->second;
    Located found = search_directories(dirs, name);
    state.tables_found.emplace(std::string(key.view()), found);
    return found;
}

Located find_directory_name_anywhere(const Directories& dirs, std::string_view name,
                                     uint32_t index, bool skip_terminal) {
    for (Directory* directory : {dirs.process, dirs.system}) {
        if (!directory) continue;
        DirectoryEntry* entry = find_directory_name(*directory, name, index, Match::CASE_BLIND);
        if (entry && !(skip_terminal && (entry->attributes & LNM_TERMINAL)))
            return {directory, entry};
    }
    return {};
}

Located resolve_table(const Directories& dirs, std::string_view name, uint32_t index) {
    Located previous;
    for (int step = 0; step < kMaxResolutionSteps; ++step) {
        if (Located table = find_table_anywhere(dirs, name); table.entry) return table;
        Located alias = find_directory_name_anywhere(dirs, name, index, false);
        if (!alias.entry) return previous;
        if (alias.entry->attributes & LNM_TERMINAL) return {};
        previous = alias;
        name = alias.entry->value_view();
        index = 0;
    }
    return {};
}

void collect_tables_reached(const Directories& dirs, std::string_view name, ReachedTables& out) {
    out.count = 0;
    const DirectoryEntry* previous = nullptr;
    // Directory-name indexes end at 127, so the search list ends there too.
    for (uint32_t index = 0; index <= kMaxValueIndex; ++index) {
        Located found = resolve_table(dirs, name, index);
        if (!found.entry || found.entry == previous) return;
        previous = found.entry;
        if (found.entry->is_table()) out.tables[out.count++] = found.entry;
    }
}

}  // namespace dcl::lnm
