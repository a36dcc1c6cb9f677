// A plain line read at the terminal, without editing: the terminal's own
// line discipline does the editing here.
#include "tty/line_reader.h"

#include <cerrno>
#include <cstdio>
#include <unistd.h>

#include "core/signals.h"
#include "status/condition.h"

namespace dcl {

uint32_t read_terminal_line(std::string_view prompt, std::string& line) {
    std::fwrite(prompt.data(), 1, prompt.size(), stdout);
    std::fflush(stdout);
    std::string text;
    for (;;) {
        int c = std::getc(stdin);
        if (c == EOF) {
            bool interrupted = std::ferror(stdin) && errno == EINTR;
            std::clearerr(stdin);
            const InterruptState& s = interrupts();
            if (s.pending || s.terminate || s.fatal_signal) return cond::CONTROLY;
            if (interrupted) continue;  // e.g. a refused Ctrl-Z: keep reading
            if (text.empty()) return cond::RMS_EOF;
            break;
        }
        if (c == '\n') break;
        text.push_back(static_cast<char>(c));
    }
    if (text.size() > kMaxTerminalLine) return cond::RTB;
    line += text;
    return 1;
}

}  // namespace dcl
