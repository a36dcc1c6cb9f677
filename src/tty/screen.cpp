// Display helpers of the line editor. Columns count from the start of the
// prompt; with a known width, column c is on row c / width. A row is ended
// explicitly when the text reaches the width, so the cursor position never
// depends on how the terminal handles its last column.
#include "tty/screen.h"

#include <algorithm>

#include "files/unique_fd.h"
#include "tty/characters.h"

namespace dcl {

namespace {

int row_of(const LineDisplay& d, int column) { return d.width > 0 ? column / d.width : 0; }
int x_of(const LineDisplay& d, int column) { return d.width > 0 ? column % d.width : column; }

// A move by `count` with the parameterised capability, or the single-step
// one repeated.
void repeat_move(LineDisplay& d, const std::string& many, const std::string& one, int count) {
    if (count <= 0) return;
    if (!many.empty() && (count > 1 || one.empty())) {
        d.out += expand_cap(cap_format(many, count, 0));
        return;
    }
    std::string step = expand_cap(one);
    for (int i = 0; i < count; ++i) d.out += step;
}

void move_across(LineDisplay& d, int from_x, int to_x) {
    if (to_x < from_x) repeat_move(d, d.caps->LE, d.caps->le, from_x - to_x);
    else repeat_move(d, d.caps->RI, d.caps->nd, to_x - from_x);
}

void advance(LineDisplay& d, std::string_view character) {
    d.out.append(character);
    ++d.column;
    if (d.wraps && d.width > 0 && d.column % d.width == 0) d.out += "\r\n";
}

// Calls `each` with every character of `text`.
template <typename Each>
void for_each_char(std::string_view text, Each each) {
    for (size_t pos = 0; pos < text.size();) {
        size_t length = char_length(text, pos);
        each(text.substr(pos, length));
        pos += length;
    }
}

}  // namespace

void flush_display(LineDisplay& d, int fd) {
    write_fully(fd, d.out);
    d.out.clear();
}

void show_text(LineDisplay& d, std::string_view text) {
    for_each_char(text, [&](std::string_view c) { advance(d, c); });
}

void echo_char(LineDisplay& d, std::string_view character) {
    if (d.echo) advance(d, character);
}

void echo_text(LineDisplay& d, std::string_view text) {
    if (d.echo) show_text(d, text);
}

void cursor_left(LineDisplay& d, int n) {
    n = std::min(n, d.column);
    if (n <= 0) return;
    int to = d.column - n;
    repeat_move(d, d.caps->UP, d.caps->up, row_of(d, d.column) - row_of(d, to));
    move_across(d, x_of(d, d.column), x_of(d, to));
    d.column = to;
}

void cursor_right(LineDisplay& d, int n) {
    if (n <= 0) return;
    int to = d.column + n;
    int rows = row_of(d, to) - row_of(d, d.column);
    for (int i = 0; i < rows; ++i) d.out += "\r\n";
    move_across(d, rows > 0 ? 0 : x_of(d, d.column), x_of(d, to));
    d.column = to;
}

void delete_chars(LineDisplay& d, std::string& buffer, int n, int position) {
    auto from = static_cast<size_t>(position);
    if (n <= 0 || from >= buffer.size()) return;
    size_t end = chars_forward(buffer, from, n);
    n = text_columns(std::string_view(buffer).substr(from, end - from));
    buffer.erase(from, end - from);
    if (!d.echo) return;  // nothing was drawn, so nothing moves
    std::string_view tail = std::string_view(buffer).substr(from);
    echo_text(d, tail);
    for (int i = 0; i < n; ++i) echo_char(d, " ");
    cursor_left(d, text_columns(tail) + n);
}

void insert_char(LineDisplay& d, std::string& buffer, std::string_view character, int& cursor) {
    buffer.insert(static_cast<size_t>(cursor), character);
    std::string_view tail = std::string_view(buffer).substr(static_cast<size_t>(cursor));
    cursor += static_cast<int>(character.size());
    if (!d.echo) return;
    echo_text(d, tail);
    cursor_left(d, text_columns(tail.substr(character.size())));
}

void erase_display(LineDisplay& d, int shown_length) {
    int end = d.column;
    cursor_left(d, d.column);
    if (!d.caps->cd.empty()) {
        d.out += expand_cap(d.caps->cd);
        return;
    }
    int length = std::max(shown_length, end);
    for (int i = 0; i < length; ++i) advance(d, " ");
    cursor_left(d, d.column);
}

}  // namespace dcl
