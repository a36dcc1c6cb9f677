// The command recall buffer: the last 20 command lines, and the position
// that the next line read at the terminal starts from.
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
    size_t newest = 0;  // slot of the newest entry when count > 0
    // Lines back from the newest that the next read offers (0: none, -1:
    // the text already read is offered again).
    int position = 0;
};

RecallList& recall_list();
// This part alone back to its start value (unit tests).
void reset_recall_list();

// Stores a command (cut to 255 characters); empty lines and a repeat of
// the newest entry are not stored.
void add_recall(std::string_view line);
// The same for a buffer of one's own (the history file's loader).
void add_recall_to(RecallList& recall, std::string_view line);

// The line at the current recall position (1 = newest), or the empty text.
std::string get_recall();

// The n-th newest entry (1 = newest), or nullptr.
const std::string* recalled(size_t n);
const std::string* recalled_from(const RecallList& recall, size_t n);

}  // namespace dcl
