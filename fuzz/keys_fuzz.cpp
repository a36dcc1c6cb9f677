// Fuzzes keyboard input: bytes from a terminal decoded into keys (escape
// sequences, 8-bit CSI, cut-off and unknown sequences).
#include <cstddef>
#include <cstdint>
#include <unistd.h>

#include "tty/keys.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace dcl;
    if (size > 60000) return 0;  // what a pipe holds without a reader
    reset_key_input();
    int keys[2];
    if (pipe(keys) != 0) return 0;
    size_t written = 0;
    while (written < size) {
        ssize_t n = write(keys[1], data + written, size - written);
        if (n <= 0) break;
        written += static_cast<size_t>(n);
    }
    close(keys[1]);
    // Every byte is consumed at most once, so the input must end.
    for (size_t guard = 0; guard <= size; ++guard)
        if (read_key(keys[0]) == KEY_END_OF_INPUT) break;
    close(keys[0]);
    reset_key_input();
    return 0;
}
