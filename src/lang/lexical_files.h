// Lexical functions on file specifications and directories: F$DIRECTORY,
// F$PARSE, F$SEARCH, F$FUV (Unix to VMS) and F$FVU (VMS to Unix), and the
// search contexts F$SEARCH keeps between calls.
#pragma once

#include <climits>
#include <cstddef>
#include <cstdint>
#include <map>
#include <string>
#include <utility>

#include "files/file_walker.h"
#include "lang/lexical_functions.h"

namespace dcl {

uint32_t lexical_directory(LexicalCall& call);
uint32_t lexical_parse(LexicalCall& call);
uint32_t lexical_search(LexicalCall& call);
uint32_t lexical_fuv(LexicalCall& call);
uint32_t lexical_fvu(LexicalCall& call);

// One F$SEARCH stream of one procedure level: the file name it searches
// and the walker that is part way through it.
struct SearchContext {
    std::string spec;
    FileWalker walker;
};

struct LexicalSearchState {
    // Keyed by (procedure level, stream), so that the contexts of ended
    // levels are the last ones.
    std::map<std::pair<int, int>, SearchContext> contexts;
    // The lowest procedure level reached since the last F$SEARCH: contexts
    // of deeper levels belong to procedures that have ended.
    int lowest_level = INT_MAX;
    // Asked by the walkers between files; installed by the session, which
    // owns the interrupts. reset_lexical_search_state keeps it.
    bool (*interrupted)() = nullptr;
};

LexicalSearchState& lexical_search_state();
// This part alone back to its start value (unit tests).
void reset_lexical_search_state();
void set_search_interrupt_check(bool (*check)());

// Called when a procedure level ends, with the depth now current.
void note_procedure_level_popped(int new_depth);

}  // namespace dcl
