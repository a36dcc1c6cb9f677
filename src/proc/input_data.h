// Data lines of a command procedure: the lines after a command that reads
// SYS$INPUT (up to the next "$" line, or a DECK ... EOD group) become that
// command's input, so that it never reads the procedure's own commands.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

#include "lang/keywords.h"
#include "status/streams.h"

namespace dcl {

// DECK's qualifiers: the data reader parses DECK lines itself.
extern const KeywordTable kDeckQualifiers;

// What collect_input_data replaced, for finish_input_data to put back.
struct InputData {
    bool active = false;
    FILE* replaced = nullptr;    // SYS$INPUT before the command
    FILE* substitute = nullptr;  // what the command got instead
    int depth = 0;               // level the command ran at
    OwnedFile scratch;           // the data lines, when there were any
    std::string scratch_path;
};

InputData& input_data();

// Before such a command runs in a procedure, or at level 0 when the
// session reads a script from standard input (elsewhere it does nothing):
// copies the data lines to a scratch file that becomes the command's
// SYS$INPUT, or gives the command the null device when there are none and
// SYS$INPUT is the command stream. In a script only a command line that
// began with "$" (`dollar_line`) has data lines: without the "$" there is
// nothing to tell data from commands. Returns 1; 0 when a failure was
// queued; else a condition for the caller to queue. On failure the command
// must not run.
uint32_t collect_input_data(bool dollar_line);

// After the command: SYS$INPUT returns to the level's stream, the data read
// are echoed to SYS$OUTPUT under image verification, and data left unread
// are reported (SKPDAT). Does nothing when collect_input_data replaced
// nothing.
void finish_input_data();

// The file holding the current command's data lines; empty when it has
// none.
const std::string& input_data_path();

}  // namespace dcl
