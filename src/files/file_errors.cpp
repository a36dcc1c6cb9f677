// Error numbers mapped to the RMS-style reasons shown after a failed open
// or write.
#include "files/file_errors.h"

#include <cerrno>
#include <string>
#include <sys/stat.h>

#include "status/condition.h"

namespace dcl {

namespace {

// Does the directory that `path` names its file in exist? A path without
// a "/" lives in the current directory, which does.
bool directory_part_exists(std::string_view path) {
    size_t slash = path.rfind('/');
    if (slash == std::string_view::npos) return true;
    std::string directory(path.substr(0, slash + 1));
    struct stat st {};
    return stat(directory.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

}  // namespace

uint32_t open_failure_reason(int error, std::string_view path) {
    switch (error) {
    case ENOENT: return directory_part_exists(path) ? cond::FNF : cond::DNF;
    case ENOTDIR: return cond::DNF;  // a component on the way is a file
    case ENOSPC:
    case EDQUOT:
    case EFBIG: return cond::DEVICEFULL;
    case ENAMETOOLONG: return cond::FNM;
    // EISDIR: a directory is no record file; as on VMS, where directory
    // files refuse to be opened for writing, it is a protection matter.
    default: return cond::PRV;
    }
}

uint32_t write_failure_reason(int error) {
    switch (error) {
    case ENOSPC:
    case EDQUOT:
    case EFBIG: return cond::DEVICEFULL;
    case EACCES:
    case EPERM: return cond::PRV;
    default: return cond::WER;
    }
}

}  // namespace dcl
