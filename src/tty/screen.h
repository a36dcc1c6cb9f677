// Drawing the line being edited: cursor moves across wrapped rows, echo,
// insertion and deletion, all collected in a buffer that the editor writes
// once per key. Columns count characters, not bytes (tty/characters.h):
// a UTF-8 sequence takes one column, as does any other byte.
#pragma once

#include <string>
#include <string_view>

#include "tty/capabilities.h"

namespace dcl {

struct LineDisplay {
    const Capabilities* caps = nullptr;
    int width = 0;        // 0: unknown, no rows are counted
    bool wraps = false;   // the terminal wraps at the width: rows are ended here
    bool echo = true;
    int column = 0;       // from the start of the prompt
    std::string out;      // bytes not yet written
};

// Writes the collected bytes to `fd`.
void flush_display(LineDisplay& d, int fd);

// Text that always shows (the prompt, messages), wrapped like echo.
void show_text(LineDisplay& d, std::string_view text);

// One character (all its bytes) when echoing is on.
void echo_char(LineDisplay& d, std::string_view character);

// Every character of `text` when echoing is on.
void echo_text(LineDisplay& d, std::string_view text);

// Moves the cursor back or forward over `n` columns of text already shown.
void cursor_left(LineDisplay& d, int n);
void cursor_right(LineDisplay& d, int n);

// Removes `n` characters at byte offset `position` (where the cursor is)
// and redraws the rest of the line.
void delete_chars(LineDisplay& d, std::string& buffer, int n, int position);

// Inserts `character` (its bytes) at byte offset `cursor`, redraws the
// tail and advances the cursor past it.
void insert_char(LineDisplay& d, std::string& buffer, std::string_view character, int& cursor);

// Erases the shown prompt and line (`shown_length` columns); the cursor
// ends at the prompt's start.
void erase_display(LineDisplay& d, int shown_length);

}  // namespace dcl
