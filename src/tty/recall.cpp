// The recall ring.
#include "tty/recall.h"

namespace dcl {

void reset_recall_list() { recall_list() = RecallList{}; }

void add_recall(std::string_view line) { add_recall_to(recall_list(), line); }

void add_recall_to(RecallList& r, std::string_view line) {
    line = line.substr(0, RecallList::kMaxLine);
    if (line.empty()) return;
    if (r.count > 0 && r.ring[r.newest] == line) return;
    r.newest = r.count == 0 ? 0 : (r.newest + 1) % RecallList::kEntries;
    r.ring[r.newest].assign(line);
    if (r.count < RecallList::kEntries) ++r.count;
}

std::string get_recall() {
    int n = recall_list().position;
    const std::string* line = n > 0 ? recalled(static_cast<size_t>(n)) : nullptr;
    return line ? *line : std::string();
}

const std::string* recalled(size_t n) { return recalled_from(recall_list(), n); }

const std::string* recalled_from(const RecallList& r, size_t n) {
    if (n == 0 || n > r.count) return nullptr;
    size_t index = (r.newest + RecallList::kEntries - (n - 1)) % RecallList::kEntries;
    return &r.ring[index];
}

}  // namespace dcl
