// File versions, deletion with companions, and moves.
#include "files/versions.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "files/unique_fd.h"
#include "status/condition.h"
#include "status/streams.h"

namespace dcl {

namespace {

constexpr size_t kCopyBlock = 65536;
constexpr std::string_view kDataType = ".dat";
constexpr std::string_view kIndexType = ".idx";

int debug_level() {
    int& level = version_state().debug_level;
    if (level < 0) {
        const char* value = std::getenv("DEBUG8");
        level = value ? std::atoi(value) : 0;
        if (level < 0) level = 0;
    }
    return level;
}

bool name_exists(const std::string& path) {
    struct stat st;
    return lstat(path.c_str(), &st) == 0;
}

bool regular_file(const std::string& path) {
    struct stat st;
    return stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

// A file nobody may write is left as it is, also for a user whom the
// system would let write anyway.
bool read_only(const std::string& path) {
    struct stat st;
    if (stat(path.c_str(), &st) != 0) return access(path.c_str(), W_OK) != 0;
    return (st.st_mode & 0222) == 0 || access(path.c_str(), W_OK) != 0;
}

int unlink_retrying(const std::string& path) {
    int rc;
    while ((rc = unlink(path.c_str())) != 0 && errno == EINTR) {
    }
    return rc;
}

// The base of an indexed pair `path` belongs to ("dir/base" for
// dir/base.dat with dir/base.idx beside it); false for other files.
bool member_base(std::string& base, const std::string& path) {
    bool data = path.ends_with(kDataType);
    if (!data && !path.ends_with(kIndexType)) return false;
    std::string stem = path.substr(0, path.size() - kDataType.size());
    if (stem.empty() || stem.back() == '/') return false;  // ".dat" alone names no pair
    std::string other = stem + std::string(data ? kIndexType : kDataType);
    if (!name_exists(path) || !name_exists(other)) return false;
    base = stem;
    return true;
}

std::string companion_of(const std::string& path) {
    std::string base;
    std::string named = member_base(base, path) ? base : path;
    size_t slash = named.rfind('/');
    size_t start = slash == std::string::npos ? 0 : slash + 1;
    return named.substr(0, start) + "." + named.substr(start);
}

bool copy_contents(int from, int to) {
    char block[kCopyBlock];
    for (;;) {
        ssize_t n = read(from, block, sizeof block);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return false;
        if (n == 0) return true;
        if (!write_fully(to, std::string_view(block, static_cast<size_t>(n)))) return false;
    }
}

// The cross-file-system move: the copy is built under a scratch name
// beside the target and takes the target's name only when complete, so a
// failed copy leaves both the source and any old target as they were.
bool copy_then_remove(const std::string& from, const std::string& to) {
    UniqueFd source(open(from.c_str(), O_RDONLY | O_CLOEXEC));
    struct stat st;
    if (!source.valid() || fstat(source.get(), &st) != 0 || !S_ISREG(st.st_mode)) return false;
    std::string scratch = to + ".XXXXXX";
    UniqueFd target(mkostemp(scratch.data(), O_CLOEXEC));
    if (!target.valid()) return false;
    // On the disk before it takes the target's name and the source goes.
    bool copied = copy_contents(source.get(), target.get()) &&
                  fchmod(target.get(), st.st_mode & 07777) == 0 && fsync(target.get()) == 0 &&
                  target.close_checked();
    if (!copied || rename(scratch.c_str(), to.c_str()) != 0) {
        target.reset();
        unlink_retrying(scratch);
        return false;
    }
    if (unlink_retrying(from) == 0) return true;
    unlink_retrying(to);  // the source stays; do not leave two copies
    return false;
}

}  // namespace

void reset_version_state() { version_state() = VersionState{}; }

std::string backup_name(std::string_view path, int number) {
    return std::string(path) + ".~" + std::to_string(number) + "~";
}

int new_version_qv(const std::string& path) {
    if (debug_level() > 0)
        std::fprintf(redirection().error, "DEBUG: new_version_qv for file %s\n", path.c_str());
    if (!name_exists(path)) return -1;
    // Only a regular file has versions: a device, FIFO, socket or directory
    // stays where it is, in /dev or anywhere else.
    if (!regular_file(path) || read_only(path) || path.size() > kMaxVersionedPath) return 0;
    for (int number = 1; number <= kMaxBackupNumber; ++number) {
        std::string backup = backup_name(path, number);
        if (name_exists(backup)) continue;
        return rename(path.c_str(), backup.c_str()) == 0 ? number : 0;
    }
    return 0;
}

uint32_t delete_file(const std::string& path) {
    std::string companion = companion_of(path);
    if (name_exists(companion)) unlink_retrying(companion);
    if (unlink_retrying(path) == 0) return 1;
    switch (errno) {
    case EACCES:
    case EPERM:
    case EBUSY:
    case EROFS:
        return cond::PRV;
    default:
        return cond::FNF;
    }
}

int move_file(const std::string& from, const std::string& to) {
    if (rename(from.c_str(), to.c_str()) == 0) return 0;
    if (errno != EXDEV) return -1;
    return copy_then_remove(from, to) ? 0 : -1;
}

bool is_indexed_pair(const std::string& base) {
    return !base.empty() && base.back() != '/' && !name_exists(base) &&
           name_exists(base + std::string(kDataType)) && name_exists(base + std::string(kIndexType));
}

int move_indexed_file(const std::string& from, const std::string& to) {
    std::string base;
    bool pair = (name_exists(from + std::string(kDataType)) && name_exists(from + std::string(kIndexType)))
                    ? (base = from, true)
                    : member_base(base, from);
    if (!pair) return move_file(from, to);
    std::string destination = to;
    if (destination.ends_with(kDataType) || destination.ends_with(kIndexType))
        destination.resize(destination.size() - kDataType.size());
    if (move_file(base + std::string(kDataType), destination + std::string(kDataType)) != 0) return -1;
    return move_file(base + std::string(kIndexType), destination + std::string(kIndexType));
}

}  // namespace dcl
