// Reading a line at the terminal with VMS line editing: cursor and control
// keys, insert and overstrike, command recall with the arrow keys, keys
// defined with DEFINE/KEY, Ctrl-Z for the end of input.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace dcl {

inline constexpr size_t kMaxEditLine = 255;

struct LineEditState {
    // Set when a recall key ended the read: the caller reads again, and the
    // next read shows the recalled line.
    bool reprompt = false;
};

LineEditState& line_edit_state();

// Shows `prompt` and reads a line, appended to the text already in `line`.
// `single_key`, when not 0, is a character that ends the read at once and
// is the whole answer. Returns 1; RMS_EOF when the user ended input (Ctrl-Z,
// F10) or the terminal can deliver no more; CONTROLY for Ctrl-C or Ctrl-Y;
// RTB for a line longer than 255 characters; 0 at the end of a
// non-terminal input.
uint32_t getline(std::string_view prompt, std::string& line, char single_key = 0);

}  // namespace dcl
