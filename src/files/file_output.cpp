// Safe outputs for COPY, APPEND and their kin.
#include "files/file_output.h"

#include <cerrno>
#include <climits>
#include <memory>
#include <fcntl.h>
#include <unistd.h>

#include "files/file_errors.h"
#include "files/versions.h"
#include "status/condition.h"
#include "status/messages.h"

namespace dcl {

namespace {

int copy_blocks(int from, int to, bool (*stop)()) {
    static constexpr size_t kBlock = 1 << 17;
    std::unique_ptr<char[]> block(new char[kBlock]);
    for (;;) {
        if (stop && stop()) return EINTR;
        ssize_t n = read(from, block.get(), kBlock);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return errno;
        if (n == 0) return 0;
        if (!write_fully(to, std::string_view(block.get(), static_cast<size_t>(n)))) return errno ? errno : EIO;
    }
}

}  // namespace

bool names_file(const std::string& path, const struct stat& st) {
    struct stat named {};
    return ::stat(path.c_str(), &named) == 0 && named.st_dev == st.st_dev && named.st_ino == st.st_ino;
}

int copy_descriptor(int from, int to, bool (*stop)()) {
    struct stat in {}, out {};
    bool both_files = fstat(from, &in) == 0 && fstat(to, &out) == 0 && S_ISREG(in.st_mode) && S_ISREG(out.st_mode);
    while (both_files) {
        if (stop && stop()) return EINTR;
        ssize_t n = copy_file_range(from, nullptr, to, nullptr, 1 << 23, 0);
        if (n > 0) continue;
        if (n == 0) return 0;
        if (errno == EINTR) continue;
        // Not between these two (other file systems, an output opened for
        // appending, old kernels): blocks.
        if (errno == EXDEV || errno == EINVAL || errno == ENOSYS || errno == EOPNOTSUPP || errno == EBADF) break;
        return errno;
    }
    return copy_blocks(from, to, stop);
}

int NewFileOutput::open(const std::string& path, mode_t mode, bool replace) {
    abandon();
    path_ = path;
    replace_ = replace;
    target_exists_ = ::stat(path.c_str(), &target_) == 0;
    device_ = target_exists_ && !S_ISREG(target_.st_mode) && !S_ISDIR(target_.st_mode);
    if (device_) {
        fd_ = UniqueFd(::open(path.c_str(), O_WRONLY | O_CLOEXEC | O_NOCTTY));
        return fd_.valid() ? 0 : errno;
    }
    if (target_exists_ && S_ISDIR(target_.st_mode)) return EISDIR;
    scratch_ = path + ".XXXXXX";
    fd_ = UniqueFd(mkostemp(scratch_.data(), O_CLOEXEC));
    if (!fd_.valid()) {
        int error = errno;
        scratch_.clear();
        return error;
    }
    // Private from the start; its own mode before any byte is written.
    mode_set_ = fchmod(fd_.get(), mode & 07777) == 0;
    return 0;
}

uint32_t NewFileOutput::commit() {
    if (device_) {
        bool closed = fd_.close_checked();
        return closed ? 1 : write_failure_reason(errno);
    }
    if (!fd_.close_checked()) {
        int error = errno;
        abandon();
        return write_failure_reason(error);
    }
    if (!replace_ && new_version_qv(path_) == 0 && access(path_.c_str(), F_OK) == 0) {
        abandon();
        return with_severity(cond::FEX, SEV_SEVERE);
    }
    if (rename(scratch_.c_str(), path_.c_str()) != 0) {
        int error = errno;
        abandon();
        return write_failure_reason(error);
    }
    scratch_.clear();
    return 1;
}

void NewFileOutput::abandon() {
    fd_.reset();
    if (!scratch_.empty()) unlink(scratch_.c_str());
    scratch_.clear();
}

int AppendOutput::open(const std::string& path) {
    fd_ = UniqueFd(::open(path.c_str(), O_WRONLY | O_APPEND | O_CLOEXEC | O_NOCTTY));
    if (!fd_.valid()) return errno;
    if (fstat(fd_.get(), &before_) != 0) return errno;
    return 0;
}

void AppendOutput::cut_back() {
    if (fd_.valid() && S_ISREG(before_.st_mode)) (void)ftruncate(fd_.get(), before_.st_size);
}

uint32_t AppendOutput::finish() {
    if (fd_.close_checked()) return 1;
    return write_failure_reason(errno);
}

}  // namespace dcl
