// The versions PURGE sees of one file: the plain file is the newest, its
// backups name.~N~ beside it are older. Backup numbers are reused once a
// version is deleted, so the age of a backup is its modification time; the
// number only breaks ties.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "files/search.h"

namespace dcl {

// The number of a backup name "X.~N~" (N decimal digits), with `plain`
// set to X; -1 for any other name (plain stays untouched).
int64_t backup_number(std::string_view entry, std::string_view& plain);

struct PurgeVersion {
    FoundFile file;
    int64_t number = 0;     // the backup number; -1 for the plain file
    bool selected = false;  // /BEFORE, /SINCE and /BY_OWNER take it
};

// Newest first: the plain file, then the backups by modification time,
// newer first, equal times by the higher number.
void order_versions(std::vector<PurgeVersion>& versions);

// The places in `versions` (ordered) that go when `keep` versions stay: all
// beyond the first `keep` that the selection took. A file never loses its
// newest version, nor its plain file.
std::vector<size_t> versions_to_purge(const std::vector<PurgeVersion>& versions, int64_t keep);

}  // namespace dcl
