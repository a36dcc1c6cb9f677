// The cache of procedure files.
#include "proc/procedure_files.h"

namespace dcl {
namespace {

bool same_time(const timespec& a, const timespec& b) { return a.tv_sec == b.tv_sec && a.tv_nsec == b.tv_nsec; }

int64_t nanoseconds(const timespec& t) { return int64_t{t.tv_sec} * 1000000000 + t.tv_nsec; }

// Whether `t` lies within the second before `now` (a full second counts:
// a clock tick may straddle it), or after it.
bool within_a_second(const timespec& t, const timespec& now) {
    return nanoseconds(t) >= nanoseconds(now) - 1000000000;
}

}  // namespace

FileIdentity FileIdentity::of(const struct stat& st) {
    return {st.st_dev, st.st_ino, st.st_size, st.st_mtim, st.st_ctim};
}

bool FileIdentity::operator==(const FileIdentity& other) const {
    return device == other.device && inode == other.inode && size == other.size &&
           same_time(modified, other.modified) && same_time(changed, other.changed);
}

std::shared_ptr<ProcedureText> ProcedureFileCache::find(const std::string& path,
                                                        const FileIdentity& now_on_disk) const {
    auto it = files_.find(path);
    if (it == files_.end() || !(it->second.identity == now_on_disk)) return nullptr;
    return it->second.text;
}

void ProcedureFileCache::remember(const std::string& path, const FileIdentity& identity,
                                  std::shared_ptr<ProcedureText> text, timespec read_at) {
    if (auto old = files_.find(path); old != files_.end()) {
        bytes_ -= old->second.identity.size;
        files_.erase(old);
    }
    if (identity.size > kMaxFileSize || within_a_second(identity.modified, read_at) ||
        within_a_second(identity.changed, read_at))
        return;
    // Procedures in use are few: a full cache starts over rather than
    // keeping ages.
    if (files_.size() >= kMaxFiles || bytes_ + identity.size > kMaxBytes) {
        files_.clear();
        bytes_ = 0;
    }
    bytes_ += identity.size;
    files_.emplace(path, Kept{identity, std::move(text)});
}

}  // namespace dcl
