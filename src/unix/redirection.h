// The current standard streams: SYS$INPUT, SYS$OUTPUT and SYS$ERROR as the
// interpreter and its children see them, and the four ways of redirecting
// them (a command's /OUTPUT, DEFINE in the process table, DEFINE/USER, a
// procedure level's own files), each with its own lifetime.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "status/streams.h"

namespace dcl {

// "SYS$INPUT", "SYS$OUTPUT" or "SYS$ERROR".
const char* stream_logical_name(StandardStream which);

// Start-up, before anything is opened: a standard descriptor that the
// caller left closed is held by /dev/null opened for reading only, so no
// file the interpreter opens takes its place, and writes to a closed
// output still fail as they should. (A closed input reads as empty.)
void reserve_standard_descriptors();

// The option-word bit that says a command's output is wanted.
inline constexpr uint32_t OUTPUT_WANTED = 0x40000000;

// Opens `spec` (default file `default_spec`) for writing as the SET CLI
// redirect mode says. On failure it has reported the open failure and
// returns the condition for the caller; `command_qualifier` selects the
// /OUTPUT form of the version failure.
uint32_t open_output_file(std::string_view spec, std::string_view default_spec,
                          bool command_qualifier, OwnedFile& file, std::string& path);

// Ends a listing written to `out`: flushes it and, when any write of it
// failed, queues `failure` ("error writing SYS$OUTPUT") and the reason,
// and clears the stream's error indicator so that the next command starts
// clean. True when everything was written.
bool finish_listing(FILE* out, uint32_t failure);

// /OUTPUT[=file] and /NOOUTPUT of a command. `flags` are the qualifier
// lookup's result flags. Returns 1, 0 after reporting, or a condition.
uint32_t redirect_command_output(std::string_view token, uint32_t& options, uint32_t flags,
                                 std::string_view default_name);

// Ends a command's redirection; the command loop calls it after every
// command, and after an interrupt. (/NOOUTPUT lasts until the command's
// messages are shown: the next turn clears it.)
void restore_command_output();

// DEFINE/ASSIGN of SYS$INPUT, SYS$OUTPUT or SYS$ERROR in the process table
// (for the current level) or, with `user_mode`, for the next command.
// Returns 1, or a condition after reporting the open failure.
uint32_t define_stream(StandardStream which, std::string_view spec, bool user_mode);

// DEASSIGN of those names: the stream returns to what the level had.
uint32_t deassign_stream(StandardStream which, bool user_mode);

// After an image command: the DEFINE/USER streams end and LNM$USERMODE is
// emptied.
void end_user_mode();

// Level set-up: the base streams and names of a level just pushed.
void init_level_streams(LevelStreams& level, const LevelStreams* caller);

// A procedure level's own output file becomes its base output.
uint32_t open_level_output(LevelStreams& level, std::string_view spec);

// The current streams and the three names after the level stack changed.
void settle_level_streams();

// -O file: the session's output and error, and level 0's base for them.
void set_session_output(OwnedFile file, const std::string& vms_name);

}  // namespace dcl
