// Block IF: the look-ahead scan that finds a block's THEN, ELSE and ENDIF
// lines, and the closing of finished blocks that the command loop runs
// before it reads a procedure line.
#pragma once

#include <cstdio>
#include <optional>
#include <string>

namespace dcl {

// What one scan of a block found. Positions are byte offsets into the
// procedure file.
struct IfScan {
    bool complete = false;            // THEN and the matching ENDIF found, no duplicate
    std::optional<long> then_start;   // after the THEN line
    std::optional<long> else_start;   // after the ELSE line
    long else_line = 0;               // start of the ELSE line
    long endif_line = 0;              // start of the ENDIF line
    long after_endif = 0;             // after the ENDIF line
    std::string then_command;         // words after THEN on its line, each followed by a blank
    std::string else_command;         // words after ELSE on its line
};

// Reads `in` from its current position up to the ENDIF that closes the
// block (or a duplicate THEN/ELSE, or the end of the file). The stream is
// left where the scan stopped. Lines without "$" are passed over, unless
// `dollar_optional` (a script on standard input, whose command lines may
// lack it).
IfScan scan_if_block(FILE* in, bool dollar_optional = false);

// The block form of IF: scans to the block's end, moves the input to the
// start of the branch `condition` chooses and records where it ends.
void open_if_block(bool condition);

// Runs before each procedure line is read: blocks whose chosen branch has
// been read to its end continue after their ENDIF.
void close_finished_if_blocks();

}  // namespace dcl
