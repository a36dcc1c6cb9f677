// The shared text rules.
#include "status/text.h"

namespace dcl {

std::string upper_ascii(std::string_view text) {
    std::string out(text);
    for (char& c : out) c = upper_ascii(c);
    return out;
}

bool equal_nocase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && starts_with_nocase(a, b);
}

bool starts_with_nocase(std::string_view text, std::string_view prefix) {
    if (text.size() < prefix.size()) return false;
    for (size_t i = 0; i < prefix.size(); ++i)
        if (upper_ascii(text[i]) != upper_ascii(prefix[i])) return false;
    return true;
}

void trim_blanks(std::string& text) {
    size_t end = text.size();
    while (end > 0 && is_blank(text[end - 1])) --end;
    size_t start = 0;
    while (start < end && is_blank(text[start])) ++start;
    text.erase(end);
    text.erase(0, start);
}

std::string remove_quotes(std::string_view text) {
    std::string out;
    bool quoted = false;
    for (size_t i = 0; i < text.size(); ++i) {
        char c = text[i];
        if (c != '"') {
            out.push_back(c);
        } else if (quoted && i + 1 < text.size() && text[i + 1] == '"') {
            out.push_back('"');
            ++i;
        } else {
            quoted = !quoted;
        }
    }
    return out;
}

std::string upper_outside_quotes(std::string_view text) {
    std::string out(text);
    bool quoted = false;
    for (char& c : out) {
        if (c == '"') quoted = !quoted;
        if (!quoted) c = upper_ascii(c);
    }
    return out;
}

}  // namespace dcl
