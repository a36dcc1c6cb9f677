// Small text rules every layer shares. Command words are ASCII: case is
// folded for ASCII letters only, whatever the locale.
#pragma once

#include <array>
#include <string>
#include <string_view>

namespace dcl {

inline bool is_blank(char c) { return c == ' ' || c == '\t'; }
inline bool is_ascii_digit(char c) { return c >= '0' && c <= '9'; }
inline bool is_ascii_letter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

inline char upper_ascii(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }
inline char lower_ascii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

// A few characters to scan for, tested by table: a scan costs no library
// call per character (as std::string's find_first_of makes).
class CharSet {
public:
    constexpr explicit CharSet(std::string_view members) {
        for (char c : members) table_[static_cast<unsigned char>(c)] = true;
    }
    constexpr bool contains(char c) const { return table_[static_cast<unsigned char>(c)]; }
    // The position of the first member at or after `from`, or npos.
    constexpr size_t find_in(std::string_view text, size_t from = 0) const {
        for (size_t i = from; i < text.size(); ++i)
            if (contains(text[i])) return i;
        return std::string_view::npos;
    }

private:
    std::array<bool, 256> table_{};
};

// `text` with its ASCII letters in upper case.
std::string upper_ascii(std::string_view text);

// Equal, or beginning with `prefix`, with ASCII letters compared without
// regard to case.
bool equal_nocase(std::string_view a, std::string_view b);
bool starts_with_nocase(std::string_view text, std::string_view prefix);

// Blanks and tabs removed from both ends.
void trim_blanks(std::string& text);

// Double quotes removed; a doubled quote inside a quoted part stands for
// one quote.
std::string remove_quotes(std::string_view text);

// ASCII letters upper-cased outside double quotes.
std::string upper_outside_quotes(std::string_view text);

}  // namespace dcl
