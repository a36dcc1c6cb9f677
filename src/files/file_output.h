// Output files that are never left half-written. New contents go to a
// private scratch file beside the target; only when they are complete does
// the scratch file take the target's name, the old file having been kept
// as a numbered version (or replaced when the user asked). Appended
// contents that fail are cut off again. A device is written as it is.
#pragma once

#include <cstdint>
#include <string>
#include <sys/stat.h>
#include <sys/types.h>

#include "files/unique_fd.h"

namespace dcl {

// Whether `path` names the file `st` describes (same device and inode).
bool names_file(const std::string& path, const struct stat& st);

// Copies everything `from` still has into `to` (copy_file_range where the
// kernel can, else blocks of 128 KiB), asking `stop` between pieces. 0,
// the errno of the failure, or EINTR when `stop` said so.
int copy_descriptor(int from, int to, bool (*stop)() = nullptr);

class NewFileOutput {
public:
    NewFileOutput() = default;
    NewFileOutput(const NewFileOutput&) = delete;
    NewFileOutput& operator=(const NewFileOutput&) = delete;
    ~NewFileOutput() { abandon(); }

    // Prepares `path` for new contents with the permission bits `mode`.
    // 0, or the errno of the failure.
    int open(const std::string& path, mode_t mode, bool replace);
    int fd() const { return fd_.get(); }
    // False when the permission bits could not be set (the file stays
    // private).
    bool mode_set() const { return mode_set_; }
    const std::string& path() const { return path_; }
    // The new contents become the file. 1; FEX (severe) when the old file
    // could be kept neither as a version nor replaced; else the condition
    // for the errno of a failed write or close.
    uint32_t commit();
    // Forgets the new contents: the target stays as it was.
    void abandon();

private:
    std::string path_, scratch_;
    UniqueFd fd_;
    bool device_ = false, replace_ = false, target_exists_ = false, mode_set_ = true;
    struct stat target_ {};
};

// An existing file opened to be appended to; on failure it is cut back to
// the length it had.
class AppendOutput {
public:
    // 0, or the errno of the failure.
    int open(const std::string& path);
    int fd() const { return fd_.get(); }
    void cut_back();
    // 1, or the condition for a failed close.
    uint32_t finish();

private:
    UniqueFd fd_;
    struct stat before_ {};
};

}  // namespace dcl
