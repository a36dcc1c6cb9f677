// Ordering the versions of a file for PURGE.
#include "files/commands/purge_versions.h"

#include <algorithm>

namespace dcl {

namespace {

// Longer numbers are no backups of ours (and would not fit).
constexpr size_t kMaxNumberDigits = 18;

}  // namespace

int64_t backup_number(std::string_view entry, std::string_view& plain) {
    if (entry.size() < 5 || entry.back() != '~') return -1;
    size_t start = entry.rfind(".~", entry.size() - 2);
    if (start == std::string_view::npos || start == 0) return -1;
    std::string_view digits = entry.substr(start + 2, entry.size() - start - 3);
    if (digits.empty() || digits.size() > kMaxNumberDigits) return -1;
    int64_t number = 0;
    for (char c : digits) {
        if (c < '0' || c > '9') return -1;
        number = number * 10 + (c - '0');
    }
    plain = entry.substr(0, start);
    return number;
}

void order_versions(std::vector<PurgeVersion>& versions) {
    std::stable_sort(versions.begin(), versions.end(), [](const PurgeVersion& a, const PurgeVersion& b) {
        bool a_plain = a.number < 0, b_plain = b.number < 0;
        if (a_plain != b_plain) return a_plain;
        if (a.file.modified != b.file.modified) return a.file.modified > b.file.modified;
        return a.number > b.number;
    });
}

std::vector<size_t> versions_to_purge(const std::vector<PurgeVersion>& versions, int64_t keep) {
    std::vector<size_t> out;
    // At least the newest stays, whatever /KEEP says.
    size_t first = static_cast<size_t>(std::max<int64_t>(keep, 1));
    for (size_t i = first; i < versions.size(); ++i) {
        if (versions[i].number >= 0 && versions[i].selected) out.push_back(i);
    }
    return out;
}

}  // namespace dcl
