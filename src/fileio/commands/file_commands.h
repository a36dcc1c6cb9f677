// What OPEN, CLOSE, READ, WRITE and INQUIRE share: the channel name as
// typed, the /ERROR-style jump instead of a message, and lines read from
// the session's standard input streams.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace dcl {

struct ParsedCommand;

// A logical name as typed: upper case outside quotes, unquoted, one
// trailing colon dropped.
std::string channel_name(std::string_view typed);

// The label a qualifier such as /ERROR=label names (upper case outside
// quotes, unquoted); empty when the qualifier was not given.
std::string label_of(const ParsedCommand& cmd, uint32_t qualifier);

// A failure of the command: with a label the procedure continues there and
// nothing is shown; otherwise `status` is queued with `argument`.
void fail_or_jump(uint32_t status, std::string_view argument, const std::string& label);

// A failure on the channel `name`: UNDFIL and FAC name the channel; the
// other conditions of the record operations stand alone.
void channel_failed(uint32_t status, std::string_view name, const std::string& label);

// Reads one line of SYS$INPUT or SYS$COMMAND (`command` true), as READ
// and INQUIRE take them: at a terminal with `prompt` and line editing;
// from the procedure's or the script's own command stream the next line,
// where a line beginning with "$" is the end of the data and is left to
// be run; anything else line by line. Returns 1, RMS_EOF, RTB (the first
// kMaxRecordLength bytes given), CONTROLY, or 0 when an interrupt ended
// the wait.
uint32_t read_standard_line(bool command, std::string_view prompt, std::string& line);

}  // namespace dcl
