// Formatting what HELP shows.
#include "help/help_display.h"

#include <vector>

#include "status/text.h"

namespace dcl {

namespace {

constexpr size_t kColumn = 11;

void trim_trailing_blanks(std::string& out) {
    while (!out.empty() && out.back() == ' ') out.pop_back();
}

// Names in columns; a line is started for the first name.
void append_name_lines(std::string& out, std::span<const std::string> names, int width) {
    size_t limit = width > 8 ? static_cast<size_t>(width) - 4 : 4;
    size_t column = 0;  // characters written after the two leading blanks
    bool line_open = false;
    for (const std::string& name : names) {
        if (line_open && 2 + column + name.size() >= limit) {
            trim_trailing_blanks(out);
            out += '\n';
            line_open = false;
        }
        if (!line_open) {
            out += "  ";
            column = 0;
            line_open = true;
        }
        out += name;
        size_t pad = kColumn - name.size() % kColumn;
        out.append(pad, ' ');
        column += name.size() + pad;
    }
    if (line_open) {
        trim_trailing_blanks(out);
        out += '\n';
    }
}

}  // namespace

void append_topic(std::string& out, const HelpLibrary& library, std::span<const HelpKey> path) {
    out += '\n';
    for (size_t level = 0; level < path.size(); ++level) {
        out.append(2 * level, ' ');
        out += upper_ascii(path[level].name);
        out += "\n\n";
    }
    if (!path.empty()) append_text(out, library, path.back());
}

void append_text(std::string& out, const HelpLibrary& library, const HelpKey& key) {
    std::vector<std::string_view> text = library.text(key);
    auto blank = [](std::string_view line) { return line.find_first_not_of(" \t\r") == std::string_view::npos; };
    size_t first = 0;
    while (first < text.size() && blank(text[first])) ++first;
    while (text.size() > first && blank(text.back())) text.pop_back();
    for (size_t i = first; i < text.size(); ++i) {
        out += text[i];
        out += '\n';
    }
    if (text.size() > first) out += '\n';
}

void append_columns(std::string& out, std::string_view heading, std::span<const std::string> names, int width) {
    out += heading;
    append_name_lines(out, names, width);
    out += '\n';
}

void append_entries(std::string& out, const HelpLibrary& library, std::span<const HelpKey> path, int width) {
    std::vector<std::string> topics, qualifiers;
    for (const HelpKey& key : help_entries(library, path))
        (key.qualifier() ? qualifiers : topics).push_back(key.name);
    if (topics.empty() && qualifiers.empty()) return;
    out += path.empty() ? "\n  Information available:\n\n" : "  Additional information available:\n\n";
    append_name_lines(out, topics, width);
    append_name_lines(out, qualifiers, width);
    out += '\n';
}

void append_not_found(std::string& out, std::span<const std::string> words) {
    out += "  Sorry, no documentation on ";
    for (const std::string& word : words) {
        out += word;
        out += ' ';
    }
    out += "\n\n";
}

std::string help_prompt(std::string_view user_library, std::span<const HelpKey> path) {
    std::string prompt;
    if (!user_library.empty()) {
        prompt += '@';
        prompt += user_library;
        prompt += ' ';
    }
    for (const HelpKey& key : path) {
        prompt += key.name;
        prompt += ' ';
    }
    prompt += path.empty() ? "Topic? " : "Subtopic? ";
    return prompt;
}

}  // namespace dcl
