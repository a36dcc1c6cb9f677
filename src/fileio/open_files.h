// Files opened by OPEN: a table by logical name of open descriptors, read
// record by record through a fixed buffer and written record by record.
// The files are process-permanent: they outlive the procedure level that
// opened them, until CLOSE or the end of the session.
#pragma once

#include <cstdint>
#include <cstdio>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <sys/types.h>
#include <unordered_map>

#include "files/unique_fd.h"

namespace dcl {

// The longest record READ hands back: the longest symbol value that an
// expression still takes whole (its texts count their terminating NUL).
inline constexpr size_t kMaxRecordLength = 1023;

enum class OpenMode : uint8_t { read, write, read_write, append };

class OpenFile {
public:
    // Opens `path`: read needs an existing file; write creates a new one
    // (the caller has made room for it); read_write and append need an
    // existing file. 0, or the errno of the failure.
    int open(const std::string& path, OpenMode mode);

    bool readable() const { return mode_ == OpenMode::read || mode_ == OpenMode::read_write; }
    bool writable() const { return mode_ != OpenMode::read; }
    int fd() const { return fd_.get(); }

    // The next record, without its newline. 1; RMS_EOF at the end (again
    // on every later call); RTB for a longer record, of which the first
    // kMaxRecordLength bytes are given and the rest skipped; 0 when an
    // interrupt stopped the wait; else the reason a read failed.
    uint32_t read_record(std::string& record);

    // Writes one record and its newline: at the end of the file for a
    // file opened read_write. 1, or the reason the write failed.
    uint32_t write_record(std::string_view record);

    // Replaces the record last read, in place: it must keep its length
    // (RSZ otherwise, nothing written). FAC when none has been read.
    uint32_t update_record(std::string_view record);

    // Closes the descriptor: 1, or the reason the close failed.
    uint32_t close();

private:
    // Reads more of the file behind what the buffer holds. The bytes read,
    // 0 at the end, -1 on failure (errno set).
    ssize_t fill_buffer();
    uint32_t skip_rest_of_line();

    static constexpr size_t kBufferSize = 64 * 1024;

    UniqueFd fd_;
    OpenMode mode_ = OpenMode::read;
    bool seekable_ = false;
    bool at_end_ = false;
    std::unique_ptr<char[]> buffer_;  // allocated at the first read
    size_t start_ = 0, end_ = 0;      // the unread bytes
    off_t buffer_offset_ = 0;         // where buffer_[0] lies in the file
    off_t record_offset_ = -1;        // the record last read; -1: none
    size_t record_length_ = 0;
    std::string line_;                // a record and its newline, reused
};

struct OpenFileEntry {
    std::string spec;  // VMS form of the file: the logical name's value
    std::string path;
    OpenFile file;
};

struct OpenFileTable {
    // By logical name: upper case, no trailing colon.
    std::unordered_map<std::string, OpenFileEntry> files;
    std::string record;  // READ's, its buffer reused from command to command
};

OpenFileTable& open_file_table();

// The file OPEN gave `name`, or nullptr.
OpenFileEntry* find_opened_file(std::string_view name);

// The four standard names always mean the current standard streams of the
// procedure level: SYS$INPUT (read), SYS$OUTPUT and SYS$ERROR (write), and
// SYS$COMMAND, written as the process's standard output.
struct NamedStream {
    FILE* stream;
    bool writable;
};
std::optional<NamedStream> find_standard_stream(std::string_view name);

}  // namespace dcl
