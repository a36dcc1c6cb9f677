// Reading one command line from the terminal.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace dcl {

inline constexpr size_t kMaxTerminalLine = 255;

// Shows `prompt` and reads a line into `line` (appended after its current
// text). Returns 1, RMS_EOF at end of input, CONTROLY when an interrupt
// arrived, RTB when the line is longer than 255 characters.
uint32_t read_terminal_line(std::string_view prompt, std::string& line);

}  // namespace dcl
