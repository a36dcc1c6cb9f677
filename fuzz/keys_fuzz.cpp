// Fuzzes keyboard input: bytes from a terminal decoded into keys (escape
// sequences, 8-bit CSI, cut-off and unknown sequences).
#include <cstddef>
#include <cstdint>
#include <unistd.h>

#include "pipe_input.h"
#include "tty/keys.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace dcl;
    int keys = pipe_with_input(data, size);
    if (keys < 0) return 0;
    reset_key_input();
    // Every byte is consumed at most once, so the input must end.
    for (size_t guard = 0; guard <= size; ++guard)
        if (read_key(keys) == KEY_END_OF_INPUT) break;
    close(keys);
    reset_key_input();
    return 0;
}
