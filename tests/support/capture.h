// Test support: a fresh interpreter state and captured message streams.
#pragma once

#include <cstdio>
#include <string>

#include "core/state_reset.h"
#include "unix/redirection.h"

namespace dcl::test {

inline std::string read_all(FILE* f) {
    std::fflush(f);
    std::rewind(f);
    std::string text;
    char buf[4096];
    for (size_t n; (n = std::fread(buf, 1, sizeof buf, f)) > 0;) text.append(buf, n);
    return text;
}

// Resets the interpreter and sends its error stream to a temporary file.
class CapturedErrors {
public:
    CapturedErrors() : file_(std::tmpfile()) {
        reset_process_state();
        redirection().error = file_;
    }
    ~CapturedErrors() {
        reset_process_state();
        std::fclose(file_);
    }
    CapturedErrors(const CapturedErrors&) = delete;
    CapturedErrors& operator=(const CapturedErrors&) = delete;

    // What was written since the last call.
    std::string take() {
        std::string text = read_all(file_);
        std::fclose(file_);
        file_ = std::tmpfile();
        redirection().error = file_;
        return text;
    }

private:
    FILE* file_;
};

}  // namespace dcl::test
