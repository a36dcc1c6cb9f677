// The command recall list: the last 20 command lines, newest last.
#pragma once

#include <array>
#include <string>
#include <string_view>

namespace dcl {

struct RecallList {
    static constexpr size_t kEntries = 20;
    static constexpr size_t kMaxLine = 255;
    std::array<std::string, kEntries> ring;
    size_t count = 0;   // entries in use
    size_t newest = 0;  // index of the newest entry when count > 0
};

RecallList& recall_list();
void reset_recall_list();

// Enters a line (cut to 255 characters); empty lines and a repeat of the
// newest entry are not entered.
void add_to_recall(std::string_view line);

// The n-th newest entry (1 = newest), or nullptr.
const std::string* recalled(size_t n);

}  // namespace dcl
