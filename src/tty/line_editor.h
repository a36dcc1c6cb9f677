// Reading a line at the terminal with VMS line editing: cursor and control
// keys, insert and overstrike, command recall with the arrow keys, keys
// defined with DEFINE/KEY, Ctrl-Z for the end of input.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace dcl {

inline constexpr size_t kMaxEditLine = 255;

// What the Tab key does at the cursor.
struct TabCompletion {
    bool insert_tab = false;           // no completion here: a tab character goes in
    std::string insert;                // text to put in at the cursor
    std::vector<std::string> choices;  // the names that fit, listed on a second Tab
};

// Completes the line's word that ends at byte `cursor`.
using TabCompleter = std::function<TabCompletion(std::string_view line, size_t cursor)>;

struct LineEditState {
    // Set when a recall key ended the read: the caller reads again, and the
    // next read shows the recalled line.
    bool reprompt = false;
    // Tab completion; unset, Tab is a character like any other.
    TabCompleter completer;
};

LineEditState& line_edit_state();

// Shows `prompt` and reads a line, appended to the text already in `line`.
// `single_key`, when not 0, is a character that ends the read at once and
// is the whole answer. Returns 1; RMS_EOF when the user ended input (Ctrl-Z,
// F10) or the terminal can deliver no more; CONTROLY for Ctrl-C or Ctrl-Y;
// RTB for a line longer than 255 characters; 0 at the end of a
// non-terminal input. `command` says the line is a command: Tab completes
// it (with the text already in `line` before it).
uint32_t getline(std::string_view prompt, std::string& line, char single_key = 0, bool command = false);

}  // namespace dcl
