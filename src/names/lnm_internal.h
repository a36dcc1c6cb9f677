// Inside the logical-name store: the request and reply records that pass
// between the client operations and the server, the directories and tables
// the server keeps, and the routines the store's files share. Nothing
// outside src/names/lnm_*.cpp (and the store's unit tests) includes this.
#pragma once

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>
#include <type_traits>

#include "names/logical_names.h"

namespace dcl {

namespace lnm {

inline constexpr size_t kDirectoryEntries = 128;
inline constexpr uint32_t kDefaultTableSlots = 256;
inline constexpr uint32_t kQuotaBytesPerSlot = 16;
// A quota asking for more slots than this is refused as a failed
// allocation: the slot array is allocated whole at creation.
inline constexpr uint32_t kMaxTableSlots = 65536;
// Table resolution follows at most this many directory names.
inline constexpr int kMaxResolutionSteps = 10;
// Translations nest through search lists at most this deep.
inline constexpr uint32_t kMaxTranslationDepth = 9;
// Descents into search-list values one translation may make. Search lists
// that fan out or refer to themselves would otherwise take exponential
// time before the depth limit stops them; real ones need a handful.
inline constexpr uint32_t kMaxTranslationDescents = 4096;
// Output-file names are followed through LNM$FILE_DEV at most this often.
inline constexpr int kMaxOutputNameTranslations = 10;
// Protection of a table whose creator gave no mask.
inline constexpr uint16_t kDefaultTableProtection = 0x00BB;

inline constexpr std::string_view kProcessDirectory = "LNM$PROCESS_DIRECTORY";
inline constexpr std::string_view kSystemDirectory = "LNM$SYSTEM_DIRECTORY";
inline constexpr std::string_view kFileDevice = "LNM$FILE_DEV";

// ---- names -------------------------------------------------------------------

char fold(char c);
// Compares names with ASCII letters folded to upper case: <0, 0 or >0.
int compare_folded(std::string_view a, std::string_view b);
bool equal_folded(std::string_view a, std::string_view b);
bool starts_with_exact(std::string_view text, std::string_view prefix);

// How a lookup compares names: exactly, or without regard to case.
enum class Match { EXACT, CASE_BLIND };
bool names_match(std::string_view a, std::string_view b, Match match);

// A text of at most N-1 characters in a fixed buffer, NUL-terminated.
template <size_t N>
class FixedText {
public:
    static constexpr size_t kCapacity = N - 1;
    // False (and nothing changed) when the text does not fit.
    bool assign(std::string_view text) {
        if (text.size() > kCapacity) return false;
        if (!text.empty()) std::memcpy(bytes_, text.data(), text.size());
        bytes_[text.size()] = '\0';
        length_ = static_cast<uint16_t>(text.size());
        return true;
    }
    void clear() {
        bytes_[0] = '\0';
        length_ = 0;
    }
    std::string_view view() const { return {bytes_, length_}; }
    const char* c_str() const { return bytes_; }
    bool empty() const { return length_ == 0; }

private:
    char bytes_[N] = {};
    uint16_t length_ = 0;
};

using TableNameText = FixedText<kMaxTableName + 1>;
using LogicalNameText = FixedText<kMaxLogicalName + 1>;
using ValueText = FixedText<kMaxLogicalValue + 1>;

// ---- request and reply records ---------------------------------------------------

enum RequestCode : uint32_t {
    REQUEST_CREATE_NAME = 1,
    REQUEST_CREATE_TABLE = 2,
    REQUEST_DELETE = 3,
    REQUEST_TRANSLATE = 4,
    REQUEST_PRINT_TABLE = 5,
};

// Every request starts with this; the dispatcher fills the identity.
struct RequestHeader {
    uint32_t code = 0;
    uint32_t process_id = 0;
    uint32_t owner_process_id = 0;
    uint32_t job_id = 0;
    uint32_t group_id = 0;
};

struct CreateNameRequest {
    RequestHeader header{REQUEST_CREATE_NAME};
    uint32_t attributes = 0;
    TableNameText table;
    LogicalNameText name;
    ValueText value;
};

struct CreateTableRequest {
    RequestHeader header{REQUEST_CREATE_TABLE};
    uint32_t attributes = 0;
    uint32_t quota = 0;
    uint16_t protection = 0;
    TableNameText parent;
    TableNameText table;  // empty: the store chooses a name
};

struct DeleteRequest {
    RequestHeader header{REQUEST_DELETE};
    TableNameText table;
    LogicalNameText name;  // empty: every name of the table
};

struct TranslateRequest {
    RequestHeader header{REQUEST_TRANSLATE};
    uint32_t attributes = 0;
    uint32_t index = 0;
    TableNameText table;
    LogicalNameText name;
};

struct PrintTableRequest {
    RequestHeader header{REQUEST_PRINT_TABLE};
    TableNameText table;
    LogicalNameText output_file;
    uint32_t style = 0;
    uint32_t user_id = 0;
    uint32_t group_id = 0;
};

// The dispatcher reaches a record through its header, which the record's
// first member is; that needs standard layout.
static_assert(std::is_standard_layout_v<CreateNameRequest>);
static_assert(std::is_standard_layout_v<CreateTableRequest>);
static_assert(std::is_standard_layout_v<DeleteRequest>);
static_assert(std::is_standard_layout_v<TranslateRequest>);
static_assert(std::is_standard_layout_v<PrintTableRequest>);

// One record for every answer: create name and create table fill `table`;
// translate fills all three fields.
struct Reply {
    uint32_t status = 0;
    uint32_t attributes = 0;
    ValueText value;
    TableNameText table;
};

// ---- tables -------------------------------------------------------------------

// One value of a logical name. Name and value share one allocation: the
// name, a NUL, the value, a NUL.
struct Slot {
    std::unique_ptr<char[]> text;  // null: the slot is free
    uint16_t name_length = 0;
    uint16_t value_length = 0;
    uint32_t attributes = 0;
    uint32_t index = 0;

    bool in_use() const { return text != nullptr; }
    std::string_view name() const { return {text.get(), name_length}; }
    std::string_view value() const { return {text.get() + name_length + 1, value_length}; }
};

// Name and value packed for a slot; null when memory ran out.
std::unique_ptr<char[]> pack_name_value(std::string_view name, std::string_view value);

// Who made a table; recorded and listed, never checked.
struct TableOwner {
    uint32_t process_id = 0;
    uint32_t job_id = 0;
    uint32_t group_id = 0;
    uint16_t protection = 0;
};

// A table: a slot array allocated once, plus the slots in use kept in name
// order (folded name, then index; of names that differ only in case and
// share an index, the newer comes first). The order is an array of slot
// numbers sized to the capacity, so inserting never allocates and lookups
// are binary searches.
class Table {
public:
    // Null when memory ran out.
    static std::unique_ptr<Table> create(uint32_t capacity);

    // (name, index) with the exact case, or null.
    const Slot* find_exact(std::string_view name, uint32_t index) const;
    // (name, index) without regard to case: of several names that differ
    // only in case, the one defined first, as a search down the original
    // unbalanced tree meets it. Null when absent.
    const Slot* find_case_blind(std::string_view name, uint32_t index) const;
    const Slot* find(std::string_view name, uint32_t index, Match match) const;

    uint32_t free_slots() const { return capacity_ - used_; }
    // Values of the name (exact case) from index 0 up to the first gap.
    uint32_t count_values(std::string_view name) const;
    // Stores a value in the first free slot. The caller has made sure that
    // a slot is free; false only if none is.
    bool insert(std::unique_ptr<char[]> text, std::string_view name, std::string_view value,
                uint32_t attributes, uint32_t index);
    // Deletes the name's values from index 0 up to the first gap; returns
    // how many went.
    uint32_t erase_values(std::string_view name);
    void clear();

    // Slots in use, in name order.
    uint32_t size() const { return used_; }
    const Slot& in_order(uint32_t position) const { return slots_[order_[position]]; }

    TableOwner owner;

private:
    Table() = default;
    // First position in the order whose key is not below (name, index).
    uint32_t lower_bound(std::string_view name, uint32_t index) const;
    uint32_t upper_bound(std::string_view name, uint32_t index) const;
    // Position of (name, index) with the exact case; size() when absent.
    uint32_t position_exact(std::string_view name, uint32_t index) const;
    void erase_at(uint32_t position);

    std::unique_ptr<Slot[]> slots_;
    std::unique_ptr<uint32_t[]> order_;
    uint32_t capacity_ = 0;
    uint32_t used_ = 0;
    uint32_t high_water_ = 0;  // one past the highest slot ever used
};

// ---- directories ------------------------------------------------------------------

enum class EntryKind : uint8_t { TABLE = 0, DIRECTORY_NAME = 1 };

// An entry of a directory: a table, or one value of a directory name (a
// name with several values has one entry per index).
struct DirectoryEntry {
    TableNameText name;  // empty: the entry is free
    EntryKind kind = EntryKind::TABLE;
    uint32_t attributes = 0;
    std::unique_ptr<Table> table;         // tables
    std::unique_ptr<char[]> value;        // directory names: NUL-terminated
    uint16_t value_length = 0;
    uint8_t index = 0;

    bool in_use() const { return !name.empty(); }
    bool is_table() const { return in_use() && kind == EntryKind::TABLE; }
    std::string_view value_view() const {
        return value ? std::string_view(value.get(), value_length) : std::string_view();
    }
    void release();
};

struct Directory {
    std::array<DirectoryEntry, kDirectoryEntries> entries;
};

// The directories a request sees: its process directory (null when none
// could be had) and the system directory.
struct Directories {
    Directory* process = nullptr;
    Directory* system = nullptr;
};

// A directory by its exact name, or null.
Directory* directory_named(const Directories& dirs, std::string_view name);
std::string_view name_of_directory(const Directories& dirs, const Directory* directory);

DirectoryEntry* find_table_entry(Directory& directory, std::string_view name, Match match);
DirectoryEntry* find_directory_name(Directory& directory, std::string_view name, uint32_t index,
                                    Match match);
uint32_t free_entries(const Directory& directory);
// Values of a directory name (exact case), whatever their indexes.
uint32_t count_directory_name(const Directory& directory, std::string_view name);
DirectoryEntry* first_free_entry(Directory& directory);
// Deletes every value of a directory name (exact case); returns how many.
// Values are only ever added at the first free index and deleted all
// together, so "every value" and "index 0 up to the first gap" agree.
uint32_t erase_directory_name(Directory& directory, std::string_view name);

struct Located {
    Directory* directory = nullptr;
    DirectoryEntry* entry = nullptr;
};

// Hashes std::string and std::string_view alike: the lookup caches are
// searched without building a string.
struct NameHash {
    using is_transparent = void;
    size_t operator()(std::string_view name) const { return std::hash<std::string_view>{}(name); }
};

// A table name (at most kMaxTableName characters) in upper case, on the
// stack: the key of the lookup caches.
class FoldedName {
public:
    explicit FoldedName(std::string_view name) {
        size_ = std::min(name.size(), sizeof text_);
        for (size_t i = 0; i < size_; ++i) {
            char c = name[i];
            text_[i] = c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
        }
    }
    std::string_view view() const { return {text_, size_}; }

private:
    char text_[kMaxTableName + 1];
    size_t size_;
};

// A table of that name (folded), in the process directory, then the system
// directory.
Located find_table_anywhere(const Directories& dirs, std::string_view name);
// A directory name of that name and index (folded), in the process
// directory, then the system directory; with skip_terminal, one carrying
// LNM_TERMINAL counts as absent.
Located find_directory_name_anywhere(const Directories& dirs, std::string_view name,
                                     uint32_t index, bool skip_terminal);
// Table resolution: follows directory names to a table. The result may be
// a directory name (which callers reject, it being no table) or nothing.
Located resolve_table(const Directories& dirs, std::string_view name, uint32_t index);

// Every table a search list reaches, resolved at indexes 0, 1, ... until
// nothing is found or a result repeats.
struct ReachedTables {
    std::array<DirectoryEntry*, kMaxValueIndex + 1> tables{};
    size_t count = 0;
};
void collect_tables_reached(const Directories& dirs, std::string_view name, ReachedTables& out);

// Capacity of a new table: the default, or quota / 16 for tables that may
// have a quota. Nothing when the quota asks for more than may be allocated.
std::optional<uint32_t> table_capacity(std::string_view name, uint32_t quota);

// ---- server -------------------------------------------------------------------------

struct ProcessDirectorySlot {
    std::unique_ptr<Directory> directory;
    uint32_t job_id = 0;
    int64_t process_id = -1;  // -1: free
};

// Runs the handler for the request's code; returns the reply's status
// (cond::LNM_BADREQUEST for an unknown code).
uint32_t dispatch(RequestHeader& request);
// The reply of the last request.
const Reply& last_reply();

// The handlers, reached only through dispatch.
uint32_t crelnm(const CreateNameRequest& request, Reply& reply);
uint32_t crelnt(const CreateTableRequest& request, Reply& reply);
uint32_t dellnm(const DeleteRequest& request, Reply& reply);
uint32_t trnlnm(const TranslateRequest& request, Reply& reply);
uint32_t prtlnt(const PrintTableRequest& request, Reply& reply);

// The directories a request with this identity works on.
Directories directories_for(const RequestHeader& header);

// Removes the name from every table reached through `table` (the delete
// operation with a name, for tables and search lists).
uint32_t delete_name_in_tables(const Directories& dirs, std::string_view table,
                               std::string_view name);

// Starts the store on the first client operation.
void ensure_initialised();
// The system side of start-up: the system directory and LNM$FILE_DEV.
void inits_log();

}  // namespace lnm

// The store's server state, owned by logical_name_store().server.
struct LnmServerState {
    uint32_t process_id = 0;
    uint32_t group_id = 0;
    std::unique_ptr<lnm::Directory> system_directory;
    // The interpreter presents one identity only, so one process
    // directory serves every request.
    lnm::ProcessDirectorySlot process_directory;
    lnm::Reply reply;
    uint32_t descents_left = 0;  // of the translation in progress
    // Counts the changes of the directories' entries (tables and directory
    // names made, replaced or released): the steps of a search list depend
    // on nothing else.
    uint64_t directory_changes = 0;
    // The steps of the search lists translated so far, by upper-case table
    // name, valid while directory_changes is what it was when they were
    // found: a translation need not look them up in the directories again.
    std::unordered_map<std::string, std::vector<const lnm::DirectoryEntry*>, lnm::NameHash,
                       std::equal_to<>>
        search_steps;
    // Tables found by name in the directories, likewise.
    std::unordered_map<std::string, lnm::Located, lnm::NameHash, std::equal_to<>> tables_found;
    uint64_t search_steps_at = UINT64_MAX;
};

LnmServerState& lnm_server_state();

namespace lnm {
// Drops the tables and search-list steps found before a directory entry
// changed.
void forget_stale_lookups(LnmServerState& state);
}  // namespace lnm

}  // namespace dcl
