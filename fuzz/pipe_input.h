// Fuzz input delivered the way the interpreter receives it from another
// process: through a pipe whose writer has gone.
#pragma once

#include <cstddef>
#include <cstdint>
#include <unistd.h>

// The read end of a pipe holding `data`, or -1. Inputs are kept within what
// a pipe holds without a reader.
inline int pipe_with_input(const uint8_t* data, size_t size) {
    if (size > 60000) return -1;
    int ends[2];
    if (pipe(ends) != 0) return -1;
    size_t written = 0;
    while (written < size) {
        ssize_t n = write(ends[1], data + written, size - written);
        if (n <= 0) break;
        written += static_cast<size_t>(n);
    }
    close(ends[1]);
    return ends[0];
}
