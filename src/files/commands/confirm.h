// The /CONFIRM question of the file commands, and the pause of TYPE/PAGE.
#pragma once

#include <cstdint>
#include <string_view>

namespace dcl {

enum class ConfirmAnswer { no = 0, yes = 1, all = 2, unreadable = 3, quit = 4 };

// Asks `question` until the answer is one of ALL, YES, TRUE, 1, QUIT, NO,
// FALSE, 0 (or a beginning of one of the words); an empty answer or the
// end of input is no.
ConfirmAnswer confirm_prompt(std::string_view question);

// /CONFIRM for one file of a command: whether to take it, skip it, or end
// the command (QUIT ends it with success, an unreadable answer with an
// error). ALL stops the asking: `asking` turns false.
enum class ConfirmStep { take, skip, end };
ConfirmStep confirm_file(std::string_view question, bool& asking, uint32_t& end_status);

// The answer a typed text gives; unreadable when it is none of them.
ConfirmAnswer confirm_answer(std::string_view typed);

// Lines typed at the terminal, each with its newline, into `fd` until the
// end of input (Ctrl-Z). False when a write failed (errno tells why).
bool read_terminal_lines(int fd);

// "Press RETURN to continue" at the terminal: true to go on (RETURN),
// false to stop (any other key).
bool page_prompt();

}  // namespace dcl
