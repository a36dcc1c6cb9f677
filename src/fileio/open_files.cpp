// Records of files opened by OPEN. Reading goes through one buffer per
// file, so a file of any size is read in constant memory; writing goes
// straight to the file, one write per record, so that nothing written is
// lost when the session ends abruptly and a failure is reported by the
// WRITE that met it.
#include "fileio/open_files.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "files/file_errors.h"
#include "status/condition.h"
#include "status/interrupts.h"
#include "status/streams.h"

namespace dcl {

namespace {

int open_flags(OpenMode mode) {
    constexpr int kCommon = O_CLOEXEC | O_NOCTTY;
    switch (mode) {
    case OpenMode::read: return O_RDONLY | kCommon;
    case OpenMode::write: return O_WRONLY | O_CREAT | O_EXCL | kCommon;
    case OpenMode::read_write: return O_RDWR | kCommon;
    case OpenMode::append: return O_WRONLY | O_APPEND | kCommon;
    }
    return O_RDONLY | kCommon;
}

// A record that did not reach the file is at least an error, so that ON
// ERROR stops a procedure that would go on losing its output.
uint32_t write_failed(int error) {
    uint32_t reason = write_failure_reason(error);
    return severity_of(reason) == SEV_WARNING ? with_severity(reason, SEV_SEVERE) : reason;
}

}  // namespace

int OpenFile::open(const std::string& path, OpenMode mode) {
    UniqueFd fd(::open(path.c_str(), open_flags(mode), 0666));
    if (!fd.valid() && errno == EEXIST && mode == OpenMode::write) {
        // A device (or a file that could not be moved aside) is there: a
        // device is written as it is.
        struct stat there {};
        if (stat(path.c_str(), &there) != 0 || S_ISREG(there.st_mode)) return EEXIST;
        fd = UniqueFd(::open(path.c_str(), O_WRONLY | O_CLOEXEC | O_NOCTTY));
    }
    if (!fd.valid()) return errno;
    struct stat st {};
    if (fstat(fd.get(), &st) != 0) return errno;
    if (S_ISDIR(st.st_mode)) return EISDIR;
    fd_ = std::move(fd);
    mode_ = mode;
    seekable_ = S_ISREG(st.st_mode) || S_ISBLK(st.st_mode);
    return 0;
}

ssize_t OpenFile::fill_buffer() {
    if (!buffer_) buffer_ = std::make_unique<char[]>(kBufferSize);
    if (start_ > 0) {
        std::memmove(buffer_.get(), buffer_.get() + start_, end_ - start_);
        buffer_offset_ += static_cast<off_t>(start_);
        end_ -= start_;
        start_ = 0;
    }
    for (;;) {
        char* at = buffer_.get() + end_;
        size_t room = kBufferSize - end_;
        ssize_t got = seekable_ ? ::pread(fd_.get(), at, room, buffer_offset_ + static_cast<off_t>(end_))
                                : ::read(fd_.get(), at, room);
        if (got >= 0) {
            end_ += static_cast<size_t>(got);
            return got;
        }
        if (errno != EINTR || interrupt_requested()) return -1;
    }
}

// The rest of an over-long record is passed over up to its newline.
uint32_t OpenFile::skip_rest_of_line() {
    for (;;) {
        const void* newline = std::memchr(buffer_.get() + start_, '\n', end_ - start_);
        if (newline) {
            start_ = static_cast<size_t>(static_cast<const char*>(newline) - buffer_.get()) + 1;
            return 1;
        }
        start_ = end_;
        ssize_t got = fill_buffer();
        if (got == 0) return 1;
        if (got < 0) return errno == EINTR ? 0 : open_failure_reason(errno, {});
    }
}

uint32_t OpenFile::read_record(std::string& record) {
    if (!readable()) return with_severity(cond::FAC, SEV_SEVERE);
    if (at_end_) return cond::RMS_EOF;
    for (;;) {
        const char* from = buffer_ ? buffer_.get() + start_ : nullptr;
        size_t have = end_ - start_;
        const void* newline = have ? std::memchr(from, '\n', have) : nullptr;
        size_t length = newline ? static_cast<size_t>(static_cast<const char*>(newline) - from) : have;
        bool complete = newline != nullptr;
        if (complete || length > kMaxRecordLength) {
            size_t kept = length > kMaxRecordLength ? kMaxRecordLength : length;
            record.assign(from, kept);
            record_offset_ = buffer_offset_ + static_cast<off_t>(start_);
            record_length_ = length;
            if (kept < length) {
                start_ += kept;
                uint32_t skipped = skip_rest_of_line();
                return skipped == 1 ? cond::RTB : skipped;
            }
            start_ += length + 1;
            return 1;
        }
        ssize_t got = fill_buffer();
        if (got < 0) return errno == EINTR ? 0 : open_failure_reason(errno, {});
        if (got > 0) continue;
        if (have == 0) {
            at_end_ = true;
            record_offset_ = -1;
            return cond::RMS_EOF;
        }
        // A last record without its newline.
        record.assign(buffer_.get() + start_, have);
        record_offset_ = buffer_offset_ + static_cast<off_t>(start_);
        record_length_ = have;
        start_ = end_;
        return 1;
    }
}

uint32_t OpenFile::write_record(std::string_view record) {
    if (!writable()) return with_severity(cond::FAC, SEV_SEVERE);
    line_.assign(record);
    line_.push_back('\n');
    if (mode_ == OpenMode::read_write && ::lseek(fd_.get(), 0, SEEK_END) < 0)
        return write_failed(errno);
    if (!write_fully(fd_.get(), line_)) return write_failed(errno);
    // A file read to its end may have grown: the next READ looks again.
    at_end_ = false;
    return 1;
}

uint32_t OpenFile::update_record(std::string_view record) {
    if (mode_ != OpenMode::read_write || record_offset_ < 0) return with_severity(cond::FAC, SEV_SEVERE);
    if (record.size() != record_length_) return with_severity(cond::RSZ, SEV_SEVERE);
    size_t done = 0;
    while (done < record.size()) {
        ssize_t n = ::pwrite(fd_.get(), record.data() + done, record.size() - done,
                             record_offset_ + static_cast<off_t>(done));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return write_failed(errno);
        done += static_cast<size_t>(n);
    }
    // The buffer may still hold the old bytes of a record read again later.
    off_t buffered_end = buffer_offset_ + static_cast<off_t>(end_);
    if (buffer_ && record_offset_ < buffered_end && record_offset_ >= buffer_offset_) {
        size_t at = static_cast<size_t>(record_offset_ - buffer_offset_);
        std::memcpy(buffer_.get() + at, record.data(), std::min(record.size(), end_ - at));
    }
    return 1;
}

uint32_t OpenFile::close() {
    buffer_.reset();
    if (fd_.close_checked()) return 1;
    return write_failed(errno);
}

OpenFileEntry* find_opened_file(std::string_view name) {
    auto& files = open_file_table().files;
    auto found = files.find(std::string(name));
    return found == files.end() ? nullptr : &found->second;
}

std::optional<NamedStream> find_standard_stream(std::string_view name) {
    const Redirection& r = redirection();
    if (name == "SYS$INPUT") return NamedStream{r.input, false};
    if (name == "SYS$OUTPUT") return NamedStream{r.output, true};
    if (name == "SYS$ERROR") return NamedStream{r.error, true};
    if (name == "SYS$COMMAND") return NamedStream{stdout, true};
    return std::nullopt;
}

}  // namespace dcl
