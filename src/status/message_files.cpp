// The message database files. facil.dat and messages.dat are read whole and
// indexed in place, then searched by bisection; user message files (FACQ and
// MSGQ records) are parsed into lists grouped by facility. Every file comes
// from outside the program, so each read is checked against the data's end:
// whatever cannot be parsed is taken as the end of the records.
#include "status/message_files.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <deque>
#include <memory>
#include <new>
#include <span>
#include <string_view>
#include <vector>

#include "status/condition.h"

namespace dcl {
namespace {

constexpr uint32_t kFacilityMagic = 0x0B60B600;
constexpr uint32_t kMessageMagic = 0x0B6000B6;
constexpr size_t kHeaderSize = 32;
// A facility is bits 16-27 and bit 31; a stored message value also keeps the
// message number, dropping the severity and bits 28-30.
constexpr uint32_t kFacilityMask = 0x8FFF0000;
constexpr uint32_t kStoredMask = ~(SEVERITY_MASK | 0x70000000u);

struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};
using FilePtr = std::unique_ptr<std::FILE, FileCloser>;

uint32_t le32(const char* p) {
    auto b = reinterpret_cast<const unsigned char*>(p);
    return b[0] | b[1] << 8 | b[2] << 16 | uint32_t(b[3]) << 24;
}

uint32_t be32(const char* p) {
    auto b = reinterpret_cast<const unsigned char*>(p);
    return uint32_t(b[0]) << 24 | b[1] << 16 | b[2] << 8 | b[3];
}

// Reads records out of a buffer. A read that would run past the end fails.
struct Cursor {
    std::string_view data;
    size_t pos = kHeaderSize;

    bool u32(uint32_t& out) {
        if (pos > data.size() || data.size() - pos < 4) return false;
        out = le32(data.data() + pos);
        pos += 4;
        return true;
    }
    bool cstr(std::string_view& out) {
        size_t nul = data.find('\0', pos);
        if (nul == std::string_view::npos) return false;
        out = data.substr(pos, nul - pos);
        pos = nul + 1;
        return true;
    }
};

// What the diagnostics call the two files.
struct FileKind {
    const char* routine;
    const char* buffer_name;
    const char* magic_name;
    const char* list_name;
    uint32_t magic;
    size_t min_record;  // the smallest record, to bound a header's count
};

constexpr FileKind kFacilityKind{"get_facdata", "fac_buf", "facility", "fac_list", kFacilityMagic, 5};
constexpr FileKind kMessageKind{"get_msgdata", "msg_buf", "message", "msg_list", kMessageMagic, 10};

// Reads `path` whole into `buffer`; the data read is returned, empty after
// a failure, which is reported on standard error.
std::string_view read_whole(const std::string& path, const FileKind& kind,
                            std::unique_ptr<char[]>& buffer) {
    const char* p = path.c_str();
    if (access(p, R_OK) != 0) {
        std::fprintf(stderr, "QVLIB %s: can't find %s\n", kind.routine, p);
        return {};
    }
    struct stat st {};
    if (stat(p, &st) != 0) {
        std::fprintf(stderr, "QVLIB %s: can't stat %s\n", kind.routine, p);
        return {};
    }
    size_t want = st.st_size > 0 ? static_cast<size_t>(st.st_size) : 0;
    buffer.reset(new (std::nothrow) char[want + 1]);
    if (!buffer) {
        std::fprintf(stderr, "QVLIB %s: can't malloc %s\n", kind.routine, kind.buffer_name);
        return {};
    }
    FilePtr file(std::fopen(p, "rbe"));
    if (!file) {
        std::fprintf(stderr, "QVLIB %s: can't open %s\n", kind.routine, p);
        return {};
    }
    size_t got = want ? std::fread(buffer.get(), 1, want, file.get()) : 0;
    if (got == 0) std::fprintf(stderr, "QVLIB %s: nothing read from %s\n", kind.routine, p);
    return {buffer.get(), got};
}

// Checks the magic and sizes the index. The count in the header is only
// believed as far as the data could hold that many records.
template <class Record>
bool start_index(IndexedFile<Record>& file, std::string_view data, const FileKind& kind) {
    char head[8] = {};
    std::copy_n(data.begin(), std::min<size_t>(data.size(), sizeof head), head);
    if (le32(head) != kind.magic) {
        std::fprintf(stderr, "QVLIB: bad %s file magic, %x should be %x\n", kind.magic_name,
                     le32(head), kind.magic);
        return false;
    }
    size_t room = data.size() > kHeaderSize ? (data.size() - kHeaderSize) / kind.min_record : 0;
    size_t count = std::min<size_t>(le32(head + 4), room);
    file.index.reset(new (std::nothrow) Record[count]);
    if (!file.index) {
        std::fprintf(stderr, "QVLIB %s: can't malloc %s\n", kind.routine, kind.list_name);
        return false;
    }
    file.count = count;
    return true;
}

void load_facilities(IndexedFile<FacilityRecord>& file, const std::string& path) {
    std::string_view data = read_whole(path, kFacilityKind, file.buffer);
    if (data.empty() || !start_index(file, data, kFacilityKind)) {
        file = {};
        return;
    }
    Cursor in{data};
    size_t n = 0;
    for (FacilityRecord r{}; n < file.count && in.u32(r.value) && in.cstr(r.name); ++n)
        file.index[n] = r;
    file.count = n;
}

void load_messages(IndexedFile<MessageRecord>& file, const std::string& path) {
    std::string_view data = read_whole(path, kMessageKind, file.buffer);
    if (data.empty() || !start_index(file, data, kMessageKind)) {
        file = {};
        return;
    }
    Cursor in{data};
    size_t n = 0;
    for (; n < file.count; ++n) {
        MessageRecord r{};
        uint32_t flag = 0;
        if (!in.u32(r.value) || !in.cstr(r.ident) || !in.cstr(r.text) || !in.u32(flag)) break;
        r.directives = flag != 0;
        file.index[n] = r;
    }
    file.count = n;
}

void load_database_files(MessageDatabase& db) {
    if (db.files_tried) return;
    db.files_tried = true;
    load_facilities(db.facilities, db.directory + "facil.dat");
    load_messages(db.messages, db.directory + "messages.dat");
}

// Bisection over records in ascending order of value. A damaged file out of
// order can only make a search miss.
template <class Record>
const Record* find_record(std::span<const Record> records, uint32_t value) {
    auto it = std::lower_bound(records.begin(), records.end(), value,
                               [](const Record& r, uint32_t v) { return r.value < v; });
    return it != records.end() && it->value == value ? &*it : nullptr;
}

std::string_view facility_of_value(const MessageDatabase& db, uint32_t value) {
    const FacilityRecord* f = find_record(db.facilities.records(), value & kFacilityMask);
    return f ? f->name : "NONAME";
}

const MessageRecord* find_message(const MessageDatabase& db, uint32_t value) {
    std::span<const MessageRecord> all = db.messages.records();
    if (const MessageRecord* m = find_record(all, value & kStoredMask)) return m;
    return find_record(all, value & MESSAGE_NUMBER_MASK);
}

// The user messages; the file named by TQ_LOADMSG is loaded at the first
// miss when no user file has been loaded by then.
const UserMessage* find_user_message(MessageDatabase& db, uint32_t value) {
    if (db.user_paths.empty() && !db.env_file_tried) {
        if (const char* env = std::getenv("TQ_LOADMSG")) {
            db.env_file_tried = true;
            load_message_file(env);
        }
    }
    for (const UserGroup& g : db.user_groups) {
        if (g.facility != (value & kFacilityMask)) continue;
        for (const UserMessage& m : g.messages)
            if (m.value == (value & kStoredMask)) return &m;
    }
    return nullptr;
}

struct FoundMessage {
    std::string_view facility;
    std::string_view ident;
    std::string_view text;
    bool directives = false;
};

std::string compose(unsigned parts, uint32_t value, const FoundMessage& m) {
    parts &= PART_ALL;
    if (parts == 0) return {};
    if (parts == PART_TEXT) return std::string(m.text);
    bool severity = parts & PART_SEVERITY, ident = parts & PART_IDENT;
    std::string line = "%";
    if (parts & PART_FACILITY) {
        line += m.facility;
        if (severity || ident) line += '-';
    }
    if (severity) {
        line += "WSEIF?L?"[value & SEVERITY_MASK];
        if (ident) line += '-';
    }
    if (ident) line += m.ident;
    if (parts & PART_TEXT) {
        line += ", ";
        line += m.text;
    }
    return line;
}

bool read_bytes(std::FILE* f, size_t n, std::string& out) {
    out.resize(n);
    return std::fread(out.data(), 1, n, f) == n;
}

bool read_counted(std::FILE* f, std::string& out) {
    int n = std::fgetc(f);
    return n != EOF && read_bytes(f, static_cast<size_t>(n), out);
}

void file_user_message(MessageDatabase& db, UserMessage m) {
    uint32_t facility = m.value & kFacilityMask;
    auto g = std::find_if(db.user_groups.begin(), db.user_groups.end(),
                          [&](const UserGroup& u) { return u.facility == facility; });
    if (g == db.user_groups.end()) g = db.user_groups.insert(g, UserGroup{facility, {}});
    g->messages.push_front(std::move(m));
}

// The rest of a MSGQ record: identification, text, the value (big-endian),
// the directive flag and a reserved byte. False when the file ends first.
bool read_user_message(MessageDatabase& db, std::FILE* f, int facility) {
    UserMessage m{0, {}, {}, false, facility};
    std::string tail;
    if (!read_counted(f, m.ident) || !read_counted(f, m.text) || !read_bytes(f, 6, tail))
        return false;
    m.value = be32(tail.data()) & kStoredMask;
    m.directives = tail[4] != 0;
    file_user_message(db, std::move(m));
    return true;
}

// Reads records to the end of the file; a record cut short ends the reading
// like the end of the file does.
uint32_t read_user_records(MessageDatabase& db, std::FILE* f) {
    int facility = -1;
    for (std::string tag; read_bytes(f, 4, tag);) {
        if (tag == "FACQ") {
            std::string name;
            if (!read_counted(f, name)) break;
            db.user_facilities.push_back(std::move(name));
            facility = static_cast<int>(db.user_facilities.size()) - 1;
        } else if (tag == "MSGQ") {
            if (!read_user_message(db, f, facility)) break;
        } else {
            std::fprintf(stderr, "QVLIB sysloadmsg: bad magic number %u\n", le32(tag.data()));
            return cond::INTERR;
        }
    }
    return cond::NORMAL;
}

}  // namespace

uint32_t get_message_text(std::string& out, uint32_t value, unsigned parts, bool* directives) {
    MessageDatabase& db = message_database();
    load_database_files(db);
    FoundMessage found;
    uint32_t status = cond::NORMAL;
    char missing[32];
    if (const MessageRecord* m = find_message(db, value)) {
        found = {facility_of_value(db, value), m->ident, m->text, m->directives};
    } else if (const UserMessage* u = find_user_message(db, value)) {
        std::string_view facility = "SYSTEM";
        if (u->facility >= 0) facility = db.user_facilities[u->facility];
        found = {facility, u->ident, u->text, u->directives};
    } else {
        status = cond::NOMSG;
        found = {facility_of_value(db, value), "NOMSG", {}, false};
        if (parts & PART_TEXT) {
            std::snprintf(missing, sizeof missing, "Message number %8.8X", value);
            found.text = missing;
        }
    }
    if (directives) *directives = found.directives;
    out = compose(parts, value, found);
    return status;
}

std::string get_facility_name(uint32_t value) {
    MessageDatabase& db = message_database();
    load_database_files(db);
    return std::string(facility_of_value(db, value));
}

uint32_t load_message_file(const std::string& path) {
    MessageDatabase& db = message_database();
    if (std::find(db.user_paths.begin(), db.user_paths.end(), path) != db.user_paths.end())
        return cond::NORMAL;
    FilePtr file(std::fopen(path.c_str(), "rbe"));
    if (!file) return cond::PRV;
    uint32_t status = read_user_records(db, file.get());
    if (status != cond::NORMAL) return status;
    db.user_paths.push_back(path);
    // Only a file that loaded is handed on to child processes: a bad one
    // would also be tried again at the next miss.
    if (!std::getenv("TQ_LOADMSG") && setenv("TQ_LOADMSG", path.c_str(), 0) != 0)
        return cond::INSFMEM;
    return cond::NORMAL;
}

void drop_user_message_files() {
    MessageDatabase& db = message_database();
    const char* env = std::getenv("TQ_LOADMSG");
    if (env && std::find(db.user_paths.begin(), db.user_paths.end(), env) != db.user_paths.end())
        unsetenv("TQ_LOADMSG");
    db.env_file_tried = true;
    db.user_facilities.clear();
    db.user_groups.clear();
    db.user_paths.clear();
}

void set_message_directory(const std::string& directory) {
    MessageDatabase& db = message_database();
    std::string dir = directory;
    if (!dir.empty() && dir.back() != '/') dir += '/';
    if (dir == db.directory) return;
    db.directory = dir;
    db.files_tried = false;
    db.facilities = {};
    db.messages = {};
}

void reset_message_files() { message_database() = MessageDatabase{}; }

}  // namespace dcl
