// The logical-name store: tables of name/value pairs in two directories
// (the system directory and the process directory), search lists of
// tables, multi-valued names and the user-mode overlay. It lives in this
// process's memory only and is built as a small client and server: each
// client operation fills a request record, one dispatcher runs the
// server's handler, and the handler answers in one reply record.
//
// Status values keep their system-service meanings: 1 success, 20 bad
// parameter, 36 no privilege, 148 duplicate name, 292 no memory, 340
// invalid logical name, 348 invalid table name, 444 no such logical name,
// 532 directory full, 1537 buffer overflow, 1585 superseded, 1713 table
// created, 8780 table full, 8852 no such table (cond::NORMAL, BADPARAM,
// NOPRIV, DUPLNAM, INSFMEM, IVLOGNAM, IVLOGTAB, NOLOGNAM, NOSLOT,
// BUFFEROVF, SS_SUPERSEDE, CREATED, EXLNMQUOTA, NOLOGTAB); inside the store
// also 22220 for a request it does not serve (cond::LNM_BADREQUEST) and
// 22224 when no reply was produced (cond::INTERR), which is also the exit
// status when the store cannot be set up at start-up.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>
#include "status/text.h"

namespace dcl {

// Attribute bits of names, directory entries and tables.
inline constexpr uint32_t LNM_NO_ALIAS = 0x1;       // cannot be superseded
inline constexpr uint32_t LNM_CONFINE = 0x2;        // left out of listings
inline constexpr uint32_t LNM_TABLE = 0x8;          // the entry names a table
inline constexpr uint32_t LNM_CONCEALED = 0x100;
inline constexpr uint32_t LNM_TERMINAL = 0x200;     // not followed when resolving tables
inline constexpr uint32_t LNM_EXISTS = 0x400;
inline constexpr uint32_t LNM_CREATE_IF = 0x1000000;  // tables: keep an existing one
inline constexpr uint32_t LNM_APPEND = 0x1000000;     // names: add a further value
inline constexpr uint32_t LNM_CASE_BLIND = 0x2000000;

// Limits (lengths without the terminating NUL).
inline constexpr size_t kMaxTableName = 31;
inline constexpr size_t kMaxLogicalName = 255;
inline constexpr size_t kMaxLogicalValue = 255;
inline constexpr uint32_t kMaxValueIndex = 127;

// The protection mask the standard tables are created with.
inline constexpr uint16_t kStandardTableProtection = 0xFFF4;

// The listing style SHOW LOGICAL asks prtlnt_qv for.
inline constexpr uint32_t LISTING_STYLE_SHOW = 1;

// The server side: directories, tables and the reply record. Its layout is
// private to the store (names/lnm_internal.h).
struct LnmServerState;
struct LnmServerStateDeleter {
    void operator()(LnmServerState* state) const;
};

// What the standard names start with, in VMS form: the devices of the
// three standard streams (SYS$COMMAND is the input's), the terminal (TT),
// the null device (NL) and the scratch directory (SYS$SCRATCH). Finding
// them takes the terminal driver and file specifications, which live above
// the store.
struct StandardNameValues {
    std::string input, output, error;
    std::string terminal;
    std::string null_device;
    std::string scratch;
};

// All of the store's process-wide state.
struct LogicalNameStore {
    bool usermode_switch = false;       // LNM$USERMODE is consulted first
    uint32_t usermode_definitions = 0;  // DEFINE/USER since the last command
    bool disk_devices_stale = true;     // TQ_DISK_DEVICES changed: reread it
    bool initialised = false;           // set by the first client operation
    uint64_t changes = 0;               // create and delete operations so far
    std::unique_ptr<LnmServerState, LnmServerStateDeleter> server;
    // Asked whenever the process or job table is created afresh; the
    // interpreter wires it up. Unset, those names are not defined.
    void (*standard_values)(StandardNameValues& out) = nullptr;
};

LogicalNameStore& logical_name_store();

// ---- client operations ----------------------------------------------------
// Each starts the store on first use. `out_table` (when given) receives the
// table that took the name or the new table's name, and is emptied on
// failure.
uint32_t crelnm_qv(std::string_view table, std::string_view name, std::string_view value,
                   std::string* out_table, uint32_t attributes);
uint32_t crelnt_qv(std::string_view parent, std::string_view table, std::string* out_table,
                   uint32_t attributes, uint32_t quota, uint16_t protection);
// An empty name addresses the whole table (or the tables of a search list).
uint32_t dellnm_qv(std::string_view table, std::string_view name);
// One trailing colon of `name` is dropped. Nothing is written on failure.
uint32_t trnlnm_qv(std::string_view table, std::string_view name, std::string* value_out,
                   std::string* table_out, uint32_t attributes, uint32_t index,
                   uint32_t* attributes_out);
// Writes a listing of a table (or of every table of a search list) into a
// file, truncating it.
uint32_t prtlnt_qv(std::string_view table, std::string_view output_file, uint32_t style);
// The names of a table (or of every table of a search list), each once,
// sorted; empty when there is no such table.
std::vector<std::string> logical_names_in(std::string_view table);

// ---- command-level operations ---------------------------------------------
// What the rest of the interpreter calls: the privilege rule for the system
// table, the "name::" retry, and interrupts held off while the store works.
uint32_t lnm_create_name(std::string_view table, std::string_view name, std::string_view value,
                         std::string* out_table, uint32_t attributes);
uint32_t lnm_delete_name(std::string_view table, std::string_view name);
uint32_t lnm_create_table(std::string_view parent, std::string_view table, std::string* out_table,
                          uint32_t attributes, uint32_t quota, uint16_t protection);
uint32_t lnm_translate(std::string_view table, std::string_view name, std::string* value_out,
                       std::string* table_out, uint32_t attributes, uint32_t index,
                       uint32_t* attributes_out);

// Re-creates the process side of the store: LNM$PROCESS_TABLE with the
// standard process names, LNM$JOB and the job table, and the user-mode
// switch. Existing tables are kept as they are.
void initc_log();

// A logical name, table name or pattern as typed: upper case outside
// quotes, then unquoted (a doubled quote inside quotes is one quote).
inline std::string logical_name_argument(std::string_view text) {
    return remove_quotes(upper_outside_quotes(text));
}

}  // namespace dcl
