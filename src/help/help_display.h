// The text HELP shows, built as strings for the command to write: key
// paths, topic texts, entry lists in columns, the prompts.
#pragma once

#include <span>
#include <string>
#include <string_view>

#include "help/help_topics.h"

namespace dcl {

// A blank line, then each key of `path` in upper case on a line of its
// own followed by a blank line, two blanks further in at each level
// below the first; then the text of the last key.
void append_topic(std::string& out, const HelpLibrary& library, std::span<const HelpKey> path);

// The text of `key` without the blank lines around it, and a blank line.
void append_text(std::string& out, const HelpLibrary& library, const HelpKey& key);

// `heading` and `names` in columns 11 wide after two blanks, a new line
// when the next name would reach `width` - 4; ends with a blank line.
void append_columns(std::string& out, std::string_view heading, std::span<const std::string> names, int width);

// The entries below `path` under "Information available" (top level) or
// "Additional information available", subtopics and qualifier entries on
// lines of their own. Nothing when there are none.
void append_entries(std::string& out, const HelpLibrary& library, std::span<const HelpKey> path, int width);

void append_not_found(std::string& out, std::span<const std::string> words);

// "Topic? ", "COPY Subtopic? ", with "@name " first for a user library.
std::string help_prompt(std::string_view user_library, std::span<const HelpKey> path);

}  // namespace dcl
