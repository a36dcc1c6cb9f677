// The message database: the facility file, the message file and user message
// files named by TQ_LOADMSG. Loaded on first use, searched by condition value.
#pragma once

#include <cstdint>
#include <deque>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace dcl {

// Parts of a message line, as a bit set.
enum MessagePart : unsigned {
    PART_TEXT = 1,
    PART_IDENT = 2,
    PART_SEVERITY = 4,
    PART_FACILITY = 8,
    PART_ALL = 15,
};

// Fills `out` with the message for `value` formatted with the given parts
// ("%FAC-S-IDENT, text"; the text alone when only PART_TEXT is asked).
// Returns 1 when found, NOMSG (0x621) when not. `directives`, when given,
// tells whether the text holds !AS-style directives.
uint32_t get_message_text(std::string& out, uint32_t value, unsigned parts,
                          bool* directives = nullptr);

// The facility name of `value` from the facility file, or "NONAME".
std::string get_facility_name(uint32_t value);

// Loads one user message file; 1, or the failing condition value. A file
// already loaded gives 1 at once; the first one loaded also becomes
// TQ_LOADMSG when that is unset, so that child processes find it.
uint32_t load_message_file(const std::string& path);

// Forgets the user message files loaded so far (SET MESSAGE/DELETE). The
// file named by TQ_LOADMSG is not loaded again by a later miss, and
// TQ_LOADMSG is removed when it names one of the dropped files, so that
// child processes do not find them either.
void drop_user_message_files();

// Where the database files live ("" is the current directory); set by
// start-up before the first lookup. A new directory drops the files loaded
// from the old one.
void set_message_directory(const std::string& directory);

// Forgets everything loaded and the directory (unit tests).
void reset_message_files();

// ---- the loaded database ----------------------------------------------------
struct FacilityRecord {
    uint32_t value;
    std::string_view name;
};

struct MessageRecord {
    uint32_t value;
    std::string_view ident;
    std::string_view text;
    bool directives;
};

// One data file read whole; the index points into the buffer.
template <class Record>
struct IndexedFile {
    std::unique_ptr<char[]> buffer;
    std::unique_ptr<Record[]> index;
    size_t count = 0;
    std::span<const Record> records() const { return {index.get(), count}; }
};

struct UserMessage {
    uint32_t value;
    std::string ident;
    std::string text;
    bool directives;
    int facility;  // index into the user facility names, -1 before any FACQ
};

struct UserGroup {
    uint32_t facility;
    std::deque<UserMessage> messages;  // newest first
};

struct MessageDatabase {
    std::string directory;
    bool files_tried = false;  // facil.dat and messages.dat are tried once
    IndexedFile<FacilityRecord> facilities;
    IndexedFile<MessageRecord> messages;
    bool env_file_tried = false;  // the TQ_LOADMSG file, at the first miss
    std::vector<std::string> user_facilities;
    std::vector<UserGroup> user_groups;
    std::vector<std::string> user_paths;
};

MessageDatabase& message_database();

}  // namespace dcl
