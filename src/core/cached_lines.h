// Procedure lines served from the level's line cache: a loop that runs the
// same lines again skips reading, expanding and tokenising them.
#pragma once

#include <string>

#include "proc/procedure.h"

namespace dcl {

// Whether the cache may be used now: verification shows each line as it is
// expanded, so a verified procedure reads its lines.
bool line_cache_in_use();

// The line at `start` as it was kept: puts the command state where reading,
// expansion and tokenising would have and moves the input after the line.
// False when it is not kept, or its meaning may have changed since.
bool take_cached_line(LineCache& cache, long start);

// Keeps the line just read (from `start` to `next`), expanded and tokenised
// (an empty expansion has no tokens), when its meaning rests on nothing the
// cache does not check: no substitution, one physical line, no verb
// symbol, no message queued on the way.
void keep_line(LineCache& cache, long start, long next, bool tokenized);

// The same for the command after an IF's THEN, which the loop runs as the
// level's pending command. `text` is that command.
bool take_cached_then(LineCache& cache, long if_line, const std::string& text);
void keep_then(LineCache& cache, long if_line, const std::string& text);

}  // namespace dcl
