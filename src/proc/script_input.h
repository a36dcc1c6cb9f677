// Standard input as the session's command stream when it is no terminal
// (`dclsh < script`, `generator | dclsh`). Jumps must work there as in a
// procedure file, and no child may ever read the script itself.
#pragma once

#include <cstdio>

#include "status/streams.h"

namespace dcl {

// The stream level 0 reads its commands from descriptor `fd` (standard
// input; a seekable `fd` other than 0 gives null). A seekable one (a
// regular file) is read in place through stdin, which is not owned:
// `owned` stays empty. Anything else (a pipe, a socket) is read through a
// stream that keeps every byte it has read, so that positions stay valid:
// a jump back seeks inside what was kept, a jump forward reads on. That
// stream is returned in `owned` as well. Null only when no stream could be
// made (out of memory); the caller then reads stdin as it is.
FILE* open_script_input(int fd, OwnedFile& owned);

}  // namespace dcl
