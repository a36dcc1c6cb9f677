// Tab completion of a command line: which word the cursor ends, what kind
// of name it must be (a verb, a qualifier, a SET or SHOW keyword, a
// symbol, a logical name, a file in VMS or Unix form), and what can be
// added to it. The names come from `CompletionSources`, so the rules can
// be tested against made-up vocabularies and directories.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "tty/line_editor.h"

namespace dcl {

struct DirectoryEntryName {
    std::string name;
    bool directory = false;
};

// How the words after a line's first word are read.
enum class LineWords {
    dcl,   // DCL: qualifiers after "/", VMS file specifications
    unix,  // the line goes to a Unix program: words are Unix paths
};

struct CompletionSources {
    // The verbs that can be run, full names in upper case.
    std::function<std::vector<std::string>()> verbs;
    // The verb a typed word runs by DCL's abbreviation rules (upper case
    // full name), or "" when none or several.
    std::function<std::string(std::string_view word)> verb_of;
    // How a line whose first word is `verb` (a full name, or a word that is
    // no verb) reads its words.
    std::function<LineWords(std::string_view verb)> line_words;
    // SET's or SHOW's keywords (full names); empty for other verbs.
    std::function<std::vector<std::string>(std::string_view verb)> keywords;
    // The qualifier names ("SIZE", no slash) of a verb, or of a SET or SHOW
    // keyword when `keyword` is not empty.
    std::function<std::vector<std::string>(std::string_view verb, std::string_view keyword)>
        qualifiers;
    std::function<std::vector<std::string>()> symbols;
    std::function<std::vector<std::string>()> logical_names;
    // The entries of a directory: `directory` is the VMS directory part
    // typed ("", "[.SUB]", "SYS$LOGIN:"), or with `vms` false the Unix
    // directory part ("", "src/", "/usr/", "~/"). False when unreadable.
    std::function<bool(std::string_view directory, bool vms, std::vector<DirectoryEntryName>& out)>
        list_directory;
};

TabCompletion complete_command_line(std::string_view line, size_t cursor,
                                    const CompletionSources& sources);

}  // namespace dcl
