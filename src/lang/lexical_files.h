// Lexical functions on file specifications and directories: F$DIRECTORY,
// F$PARSE, F$SEARCH, F$FUV (Unix to VMS) and F$FVU (VMS to Unix), and the
// search contexts F$SEARCH keeps between calls.
#pragma once

#include <climits>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "lang/lexical_functions.h"

namespace dcl {

uint32_t lexical_directory(LexicalCall& call);
uint32_t lexical_parse(LexicalCall& call);
uint32_t lexical_search(LexicalCall& call);
uint32_t lexical_fuv(LexicalCall& call);
uint32_t lexical_fvu(LexicalCall& call);

// One F$SEARCH stream of one procedure level: the file name it
// searched and the matches not yet returned.
struct SearchContext {
    std::string spec;
    int stream = 0;
    int level = 0;
    bool searched = false;             // the search has run for `spec`
    std::vector<std::string> pending;  // matches still to return, in order
    size_t next = 0;                   // the next of them
};

struct LexicalSearchState {
    std::vector<SearchContext> contexts;
    // The lowest procedure level reached since the last F$SEARCH: contexts
    // of deeper levels belong to procedures that have ended.
    int lowest_level = INT_MAX;
};

LexicalSearchState& lexical_search_state();
void reset_lexical_search_state();

// Called when a procedure level ends, with the depth now current.
void note_procedure_level_popped(int new_depth);

}  // namespace dcl
