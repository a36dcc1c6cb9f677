// Characters of a line as the terminal shows them: a UTF-8 sequence is one
// character in one column; any other byte of 128 or more (Latin-1, or a
// broken sequence) is a character of its own, in one column too.
#pragma once

#include <cstddef>
#include <string_view>

namespace dcl {

// How many continuation bytes a UTF-8 lead byte announces (0 for a byte
// that leads no sequence).
constexpr int utf8_continuations(unsigned char lead) {
    if (lead >= 0xC2 && lead <= 0xDF) return 1;
    if (lead >= 0xE0 && lead <= 0xEF) return 2;
    if (lead >= 0xF0 && lead <= 0xF4) return 3;
    return 0;
}

constexpr bool is_continuation(unsigned char c) { return (c & 0xC0) == 0x80; }

// The length in bytes of the character at `pos`: the whole sequence when
// a well-formed one starts there (no overlong form, no surrogate, nothing
// beyond U+10FFFF), else 1.
constexpr size_t char_length(std::string_view text, size_t pos) {
    auto byte = [&](size_t i) { return static_cast<unsigned char>(text[i]); };
    unsigned char lead = byte(pos);
    size_t n = static_cast<size_t>(utf8_continuations(lead));
    if (n == 0 || text.size() - pos <= n) return 1;
    unsigned char second = byte(pos + 1);
    unsigned char low = 0x80, high = 0xBF;
    if (lead == 0xE0) low = 0xA0;
    if (lead == 0xED) high = 0x9F;
    if (lead == 0xF0) low = 0x90;
    if (lead == 0xF4) high = 0x8F;
    if (second < low || second > high) return 1;
    for (size_t i = 2; i <= n; ++i)
        if (!is_continuation(byte(pos + i))) return 1;
    return n + 1;
}

// The number of characters (columns) of a text.
constexpr int text_columns(std::string_view text) {
    int columns = 0;
    for (size_t pos = 0; pos < text.size(); pos += char_length(text, pos)) ++columns;
    return columns;
}

// Where the character before byte offset `pos` starts (0 at the start).
constexpr size_t char_before(std::string_view text, size_t pos) {
    size_t start = 0;
    for (size_t at = 0; at < pos; at += char_length(text, at)) start = at;
    return start;
}

// The byte offset `columns` characters after `pos`, at most the end.
constexpr size_t chars_forward(std::string_view text, size_t pos, int columns) {
    for (; columns > 0 && pos < text.size(); --columns) pos += char_length(text, pos);
    return pos;
}

}  // namespace dcl
