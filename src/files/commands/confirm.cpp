// Confirmation and paging prompts: the line editor at a terminal, one line
// of input otherwise.
#include "files/commands/confirm.h"

#include <cstdio>
#include <string>
#include <unistd.h>

#include "files/unique_fd.h"
#include "status/condition.h"
#include "status/text.h"
#include "tty/capabilities.h"
#include "tty/keys.h"
#include "tty/line_editor.h"
#include "tty/terminal.h"
#include "unix/redirection.h"

namespace dcl {

ConfirmAnswer confirm_answer(std::string_view typed) {
    std::string answer = upper_ascii(typed);
    trim_blanks(answer);
    if (answer.empty()) return ConfirmAnswer::no;
    auto begins = [&](std::string_view word) { return word.starts_with(answer); };
    if (begins("ALL")) return ConfirmAnswer::all;
    if (begins("YES") || begins("TRUE") || answer == "1") return ConfirmAnswer::yes;
    if (begins("QUIT")) return ConfirmAnswer::quit;
    if (begins("NO") || begins("FALSE") || answer == "0") return ConfirmAnswer::no;
    return ConfirmAnswer::unreadable;
}

ConfirmAnswer confirm_prompt(std::string_view question) {
    for (;;) {
        std::string line;
        uint32_t status = getline(question, line);
        if (status == 0 || status == cond::RMS_EOF) return ConfirmAnswer::no;
        if (status != 1) return ConfirmAnswer::unreadable;
        ConfirmAnswer answer = confirm_answer(line);
        if (answer != ConfirmAnswer::unreadable) return answer;
    }
}

ConfirmStep confirm_file(std::string_view question, bool& asking, uint32_t& end_status) {
    if (!asking) return ConfirmStep::take;
    switch (confirm_prompt(question)) {
    case ConfirmAnswer::yes: return ConfirmStep::take;
    case ConfirmAnswer::all: asking = false; return ConfirmStep::take;
    case ConfirmAnswer::no: return ConfirmStep::skip;
    case ConfirmAnswer::quit: end_status = 1; return ConfirmStep::end;
    case ConfirmAnswer::unreadable: break;
    }
    end_status = with_severity(cond::RMS_EOF, SEV_ERROR);
    return ConfirmStep::end;
}

bool read_terminal_lines(int fd) {
    std::string line;
    bool written = true;
    for (;;) {
        line.clear();
        uint32_t status = getline("", line);
        if (status != 1 && line.empty()) break;
        line.push_back('\n');
        written = write_fully(fd, line);
        if (!written || status != 1) break;
    }
    set_tty_mode(STDIN_FILENO, TTY_COMMAND);
    return written;
}

bool page_prompt() {
    const Capabilities& caps = terminal_state().caps;
    FILE* out = redirection().output;
    std::fflush(out);
    if (!caps.mr.empty() && !caps.me.empty()) {
        std::fputs("\n\t\t\t    ", stdout);
        std::fflush(stdout);
        put_cap(caps.mr, STDOUT_FILENO);
        std::fputs("Press RETURN to continue", stdout);
        std::fflush(stdout);
        put_cap(caps.me, STDOUT_FILENO);
    } else {
        std::fputs("\n\t\t\t    Press RETURN to continue", out);
    }
    std::fflush(stdout);
    std::fflush(out);
    set_tty_mode(STDIN_FILENO, TTY_SINGLE_KEY);
    int key = read_key(STDIN_FILENO);
    int typed = 0;
    // A printable key and up to 19 more are echoed until a control key.
    while (key >= 0x20 && key < 0x7F && typed < 20) {
        std::fputc(key, stdout);
        std::fflush(stdout);
        ++typed;
        key = read_key(STDIN_FILENO);
    }
    int width = screen_width() > 0 ? screen_width() : 80;
    std::printf("\r%*s\n", width, "");
    std::fflush(stdout);
    set_tty_mode(STDIN_FILENO, TTY_COMMAND);
    return typed == 0 && (key == '\r' || key == '\n');
}

}  // namespace dcl
