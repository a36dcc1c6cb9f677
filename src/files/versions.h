// Versions of files on disk: the current version keeps the plain Unix name
// and older ones stay beside it as name.~N~. Also deleting a file with its
// hidden companion (dir/.name) and moving files, across file systems and
// as base.dat/base.idx pairs.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace dcl {

inline constexpr int kMaxBackupNumber = 999999;
inline constexpr size_t kMaxVersionedPath = 1019;

struct VersionState {
    int debug_level = -1;  // DEBUG8, read on first use; -1 not read yet
};

VersionState& version_state();
// This part alone back to its start value (unit tests).
void reset_version_state();

// "path.~N~".
std::string backup_name(std::string_view path, int number);

// Makes room for a new version of `path` by renaming it to the lowest free
// backup name. Returns the backup number, 0 when nothing was moved (not a
// regular file, a read-only file, a path too long, no free number, a
// failed rename), or -1 when the file does not exist.
int new_version_qv(const std::string& path);

// Removes a file and its companion. Returns 1, PRV (no permission, busy,
// read-only file system) or FNF.
uint32_t delete_file(const std::string& path);

// Renames; across file systems the file is copied (permission bits kept)
// and the source removed only once the copy is complete. 0 or -1.
int move_file(const std::string& from, const std::string& to);

// An indexed file: `base` itself does not exist, base.dat and base.idx do.
bool is_indexed_pair(const std::string& base);

// Moves a file, or an indexed pair (named by its base or by either member)
// as a whole: base.dat and base.idx go to `to` + ".dat" and ".idx" (a
// destination naming a member loses that type first). 0 or -1.
int move_indexed_file(const std::string& from, const std::string& to);

}  // namespace dcl
